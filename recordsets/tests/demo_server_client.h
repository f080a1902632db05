#pragma once
// A client run on the embedded server of the test's own database, logged in
// as one of the demo operators ("demo" holds every right, "viewer" only the
// view rights), with settings in a folder of the test's own.

#include "embedded_server.h"
#include "preferences/preferences.h"
#include "record_sets.h"
#include "request_channel.h"
#include "session.h"
#include "session/session_state.h"
#include "testing/recording_platform_services.h"
#include "tests/temp_settings.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace velumar::testing {

struct DemoClient {
    DemoClient(const QString& db, const QString& operatorId) {
        state.setPreferences(std::make_unique<Preferences>(settings.Store()));
        state.session().Initialise({"velumar", "--db", db}, qApp);
        EXPECT_EQ(state.session().Login("", operatorId, ""), 0) << operatorId.toStdString();
        EXPECT_TRUE(state.channel().Open(5, state.session(), nullptr));
    }
    RecordSets& sets() { return state.manager<RecordSets>(); }
    // The set of that name as the server lists it now; null when there is none.
    const RecordSet* find(const QString& name) {
        sets().LoadRecordSets();
        for (int i = 0; i < sets().Items().Count(); ++i)
            if (sets().Items().At(i).Name() == name)
                return &sets().Items().At(i);
        return nullptr;
    }

    TempSettings settings;
    RecordingPlatformServices platform;
    SessionState state{platform};
};

} // namespace velumar::testing
