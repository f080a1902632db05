#pragma once
// A session state logged in as "jsmith" over a scripted server, and the
// RuleSets manager it shares.

#include "testing/scripted_server.h"
#include "request_channel.h"
#include "rule_sets.h"
#include "scripted_transport.h"
#include "session.h"
#include "session/session_state.h"
#include "testing/recording_platform_services.h"

#include <gtest/gtest.h>
#include <memory>

namespace velumar::testing {

class RuleSetsTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.session().SetTransportFactory([this](const QString&) { return transport; });
        scriptHealthyServer(*transport);
        ASSERT_EQ(state.session().Login("", "jsmith", ""), 0);
        ASSERT_TRUE(state.channel().Open(5, state.session(), nullptr));
        transport->clearSent();
    }

    RuleSets& ruleSets() { return state.manager<RuleSets>(); }

    std::shared_ptr<orvane::testing::ScriptedTransport> transport =
        std::make_shared<orvane::testing::ScriptedTransport>();
    RecordingPlatformServices platform;
    SessionState state{platform};
};

} // namespace velumar::testing
