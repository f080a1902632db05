// The scripted server every client test relies on.
#include "protocol/status.h"
#include "scripted_transport.h"

#include <gtest/gtest.h>

namespace orvane::testing {
namespace {

TEST(ScriptedTransport, KeepsEveryRequestWithItsExactFieldsAndToken) {
    ScriptedTransport transport;
    transport.exchange({"LOGIN", {{"OI", "demo"}, {"PW", "x"}}}, "");
    transport.exchange({"ADD", {{"RSID", 4}, {"RID", 1}, {"RID", 2}, {"UP", false}}}, "t1");

    ASSERT_EQ(transport.sent().size(), 2u);
    EXPECT_EQ(transport.codes(), (std::vector<std::string>{"LOGIN", "ADD"}));
    EXPECT_EQ(transport.sent()[1].token, "t1");
    EXPECT_EQ(transport.sent("ADD").front().fields,
              (wire::Fields{{"RSID", 4}, {"RID", 1}, {"RID", 2}, {"UP", false}}));
    EXPECT_TRUE(transport.sent("NONE").empty());
}

TEST(ScriptedTransport, QueuedAnswersGoOutInOrderThenTheResponderAnswers) {
    ScriptedTransport transport;
    transport.queue("GET", {0, {{"N", 1}}});
    transport.queue("GET", {7, {}});
    transport.respond("GET", [](const wire::Request& r) {
        return wire::Answer{0, {{"ECHO", static_cast<qint32>(r.fields.size())}}};
    });
    EXPECT_EQ(transport.unused(), 2u);

    EXPECT_EQ(transport.exchange({"GET", {}}, "").answer, (wire::Answer{0, {{"N", 1}}}));
    EXPECT_EQ(transport.exchange({"GET", {}}, "").status, 7);
    EXPECT_EQ(transport.exchange({"GET", {{"A", 1}, {"B", 2}}}, "").answer,
              (wire::Answer{0, {{"ECHO", 2}}}));
    EXPECT_EQ(transport.unused(), 0u);
}

TEST(ScriptedTransport, UnscriptedCodesAreUnknownRequests) {
    ScriptedTransport transport;
    transport.queue("OTHER", {0, {}});
    EXPECT_EQ(transport.exchange({"MISSING", {}}, "").status, wire::status::UnknownRequest);
}

TEST(ScriptedTransport, AScriptedFailureGivesNoAnswer) {
    ScriptedTransport transport;
    transport.queueFailure("SAVE", wire::status::NotLoggedIn, "token expired");
    const auto result = transport.exchange({"SAVE", {}}, "t");
    EXPECT_EQ(result.status, wire::status::NotLoggedIn);
    EXPECT_EQ(result.error, "token expired");
    EXPECT_TRUE(result.answer.fields.empty());
}

} // namespace
} // namespace orvane::testing
