#pragma once
// A session on the scripted server, logged in as "jsmith" with the channel
// open, for the record set models; the requests sent before the test's own
// are forgotten.

#include "request_channel.h"
#include "scripted_transport.h"
#include "session.h"
#include "session/session_state.h"
#include "testing/recording_platform_services.h"
#include "testing/scripted_server.h"

#include <gtest/gtest.h>
#include <memory>

namespace velumar::testing {

class ScriptedRecordSets : public ::testing::Test {
protected:
    void start(const QStringList& held = securityCodes()) {
        state.session().SetTransportFactory([this](const QString&) { return transport; });
        scriptHealthyServer(*transport, held);
        ASSERT_EQ(state.session().Login("", "jsmith", ""), 0);
        ASSERT_TRUE(state.channel().Open(5, state.session(), nullptr));
        transport->clearSent();
    }
    void SetUp() override { start(); }

    // The fields of the only request sent under this code.
    orvane::wire::Fields sentFields(const std::string& code) {
        const auto requests = transport->sent(code);
        EXPECT_EQ(requests.size(), 1u) << code;
        return requests.empty() ? orvane::wire::Fields{} : requests[0].fields;
    }

    std::shared_ptr<orvane::testing::ScriptedTransport> transport =
        std::make_shared<orvane::testing::ScriptedTransport>();
    RecordingPlatformServices platform;
    SessionState state{platform};
};

} // namespace velumar::testing
