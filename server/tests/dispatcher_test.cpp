// The checks every request gets before its handler runs, and what happens
// when a handler fails.

#include "dispatch/request_context.h"
#include "protocol/status.h"
#include "test_server.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

class DispatcherTest : public ::testing::Test {
protected:
    DispatcherTest() : server(TestServerOptions::loggingTo(logDir.file("server.log"))) {
        server.core().dispatcher().add(
            {.code = "TEST_ECHO",
             .right = {},
             .fields = {{"ID", wire::Kind::Number, true}, {"UP", wire::Kind::Bool}},
             .run = [](RequestContext& ctx) { ctx.reply("ID", ctx.number("ID")); }});
        server.core().dispatcher().add(
            {.code = "TEST_FAIL", .right = {}, .fields = {}, .run = [](RequestContext& ctx) {
                 ctx.reply("HALF", true);
                 throw std::runtime_error("disk on fire");
             }});
        token = server.login("demo", "demo");
    }

    std::string log() { return readFile(logDir.file("server.log")); }

    TempDir logDir;
    TestServer server;
    std::string token;
};

} // namespace

TEST_F(DispatcherTest, UnknownCodeIsStatus90AndLogged) {
    EXPECT_EQ(server.send(token, {"NO_SUCH_THING", {{"OI", "demo"}}}),
              (wire::Answer{wire::status::UnknownRequest, {}}));
    EXPECT_NE(log().find("unknown request code \"NO_SUCH_THING\" from demo"), std::string::npos)
        << log();
    // Without a session not even that is told.
    EXPECT_EQ(server.post({"NO_SUCH_THING", {}}, {}).status, 401);
}

TEST_F(DispatcherTest, FieldOfTheWrongKindOrMissingIsHttp400) {
    EXPECT_EQ(server.send(token, {"TEST_ECHO", {{"ID", 7}, {"UP", false}}}),
              (wire::Answer{0, {{"ID", 7}}}));

    const auto wrongKind = server.post({"TEST_ECHO", {{"ID", "7"}}}, token);
    EXPECT_EQ(wrongKind.status, 400);
    EXPECT_EQ(wire::decodeError(wrongKind.body), "field ID of TEST_ECHO must be number, not text");

    EXPECT_EQ(server.post({"TEST_ECHO", {{"ID", 7}, {"UP", 1}}}, token).status, 400);
    const auto missing = server.post({"TEST_ECHO", {}}, token);
    EXPECT_EQ(missing.status, 400);
    EXPECT_EQ(wire::decodeError(missing.body), "field ID is required by TEST_ECHO");
    // LOGIN is checked the same way, before any password work.
    EXPECT_EQ(server.post({"LOGIN", {{"OI", 12}}}, {}).status, 400);
}

TEST_F(DispatcherTest, HandlerFailureIsStatus99WithNoFieldsAndLogged) {
    EXPECT_EQ(server.send(token, {"TEST_FAIL", {}}), (wire::Answer{wire::status::ServerError, {}}));
    EXPECT_NE(log().find("\"TEST_FAIL\" failed: disk on fire"), std::string::npos) << log();
    // The server goes on answering.
    EXPECT_EQ(server.send(token, {"TEST_ECHO", {{"ID", 1}}}).status, 0);
}

TEST_F(DispatcherTest, OperatorIdOtherThanTheSessionsIsStatus6) {
    EXPECT_EQ(server.send(token, {"TEST_ECHO", {{"OI", "viewer"}, {"ID", 1}}}),
              (wire::Answer{wire::status::NotAuthorized, {}}));
    EXPECT_EQ(server.send(token, {"TEST_ECHO", {{"OI", 5}, {"ID", 1}}}).status,
              wire::status::NotAuthorized);
    EXPECT_EQ(server.send(token, {"TEST_ECHO", {{"OI", "Demo"}, {"ID", 1}}}).status, 0);
}
