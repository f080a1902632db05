#pragma once
// The preview on the scripted server, logged in as "jsmith" with the channel
// open; the requests of the start-up are forgotten. Records for the answers
// are made here from their text form.

#include "marc/iso2709_writer.h"
#include "marc/mnemonic_reader.h"
#include "preferences/preferences.h"
#include "preview.h"
#include "protocol/octets.h"
#include "record_sets.h"
#include "request_channel.h"
#include "scripted_transport.h"
#include "session.h"
#include "session/session_state.h"
#include "testing/recording_platform_services.h"
#include "testing/scripted_server.h"
#include "tests/temp_settings.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace velumar::testing {

// A record's octets as the wire carries them, from its lines in the text form.
inline std::string wireRecord(const std::string& mnemonic) {
    marc::MnemonicReader reader(mnemonic);
    auto record = reader.next();
    EXPECT_TRUE(record) << mnemonic;
    std::string octets;
    if (record) {
        EXPECT_FALSE(marc::appendIso2709(*record, octets));
    }
    return orvane::wire::octetsToText(octets);
}

class ScriptedPreview : public ::testing::Test {
protected:
    void SetUp() override {
        state.setPreferences(std::make_unique<Preferences>(settings.Store()));
        state.session().SetTransportFactory([this](const QString&) { return transport; });
        scriptHealthyServer(*transport);
        ASSERT_EQ(state.session().Login("", "jsmith", ""), 0);
        ASSERT_TRUE(state.channel().Open(5, state.session(), nullptr));
        transport->clearSent();
    }

    Preview& preview() { return state.manager<Preview>(); }

    // A record set as the server lists it.
    const RecordSet& recordSet(qint32 id, const std::string& name, qint32 recordType = 1) {
        transport->queue("GET_RECORD_SETS", {0,
                                             {{"RSID", id},
                                              {"RSCO", "amy"},
                                              {"RSD", ""},
                                              {"RSN", name},
                                              {"RSC", 3},
                                              {"RST", 1},
                                              {"RT", recordType},
                                              {"RSUD", "2026-03-01 10:00:00"},
                                              {"RSUO", ""}}});
        RecordSets& sets = state.manager<RecordSets>();
        sets.LoadRecordSets();
        transport->clearSent();
        const RecordSet* set = sets.GetRecordSet(id);
        EXPECT_NE(set, nullptr);
        return *set;
    }

    static RuleSet group(qint32 id, const QString& name) {
        RuleSet g;
        g.Id = id;
        g.Name = name;
        return g;
    }

    // The fields of the only request sent under this code.
    orvane::wire::Fields sentFields(const std::string& code) {
        const auto requests = transport->sent(code);
        EXPECT_EQ(requests.size(), 1u) << code;
        return requests.empty() ? orvane::wire::Fields{} : requests[0].fields;
    }

    TempSettings settings;
    std::shared_ptr<orvane::testing::ScriptedTransport> transport =
        std::make_shared<orvane::testing::ScriptedTransport>();
    RecordingPlatformServices platform;
    SessionState state{platform};
};

} // namespace velumar::testing
