// LOGIN, OPEN and LOGOUT: who gets a session, what comes with it, and when
// a token stops working.

#include "auth/password.h"
#include "protocol/status.h"
#include "test_server.h"

#include <gtest/gtest.h>
#include <regex>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

wire::Request login(const std::string& id, const std::string& password) {
    return {"LOGIN", {{"OI", id}, {"PW", password}}};
}

const wire::Request Open{"OPEN", {{"AC", 5}}};

} // namespace

TEST(SessionLogin, AnswersTokenPasswordFlagAndSupportText) {
    TestServer server;
    const auto answer = server.send({}, login("demo", "demo"));

    ASSERT_EQ(answer.status, 0);
    ASSERT_EQ(answer.fields.size(), 3u);
    EXPECT_EQ(answer.fields[0].key, "TK");
    const auto token = std::get<std::string>(answer.fields[0].value);
    EXPECT_TRUE(std::regex_match(token, std::regex("[0-9a-f]{64}"))) << token;
    EXPECT_EQ(answer.fields[1], (wire::Field{"PF", false}));
    EXPECT_EQ(answer.fields[2],
              (wire::Field{"SW", std::string("https://help.example.org/velumar/support")}));

    // The token opens a session for the operator who logged in.
    const auto session = server.core().sessions().find(token);
    ASSERT_TRUE(session);
    EXPECT_EQ(session->operatorId, "demo");
}

TEST(SessionLogin, OperatorIdIgnoresCaseAndFlagAndSupportTextComeFromTheStore) {
    TestServerOptions options;
    options.demo = false;
    TestServer server(options);
    server.db().exec("INSERT INTO operators (operator_id, password_hash, password_flag) "
                     "VALUES ('jsmith', '" +
                     hashPassword("secret") + "', 1)");
    const auto answer = server.send({}, login("JSmith", "secret"));

    ASSERT_EQ(answer.status, 0);
    ASSERT_EQ(answer.fields.size(), 3u);
    EXPECT_EQ(answer.fields[1], (wire::Field{"PF", true}));
    // No support web text stored: empty, but still answered.
    EXPECT_EQ(answer.fields[2], (wire::Field{"SW", std::string()}));
}

TEST(SessionLogin, WrongPasswordAndUnknownOperatorGetTheSameBareRefusal) {
    TestServer server;
    const wire::Answer refused{wire::status::NotAuthorized, {}};

    EXPECT_EQ(server.send({}, login("demo", "wrong")), refused);
    EXPECT_EQ(server.send({}, login("nobody", "demo")), refused);
    EXPECT_EQ(server.send({}, login("demo", "")), refused);
    // Without trust in local logins a missing password is a wrong one.
    EXPECT_EQ(server.send({}, {"LOGIN", {{"OI", "demo"}}}), refused);
}

TEST(SessionLogin, RefusalLogNamesNeitherTypedIdNorPassword) {
    TempDir logDir;
    TestServer server(TestServerOptions::loggingTo(logDir.file("server.log")));
    server.send({}, login("demo", "hunter22"));
    server.send({}, login("hunter33", "x"));

    const std::string log = readFile(logDir.file("server.log"));
    EXPECT_NE(log.find("LOGIN refused for operator demo"), std::string::npos) << log;
    EXPECT_NE(log.find("LOGIN refused for an unknown operator id"), std::string::npos) << log;
    EXPECT_EQ(log.find("hunter"), std::string::npos) << log;
}

TEST(SessionLogin, TrustedLocalLoginNeedsNoPasswordButChecksOneGiven) {
    TestServerOptions options;
    options.trustLocalLogin = true;
    TestServer server(options);
    const auto passwordless = server.send({}, {"LOGIN", {{"OI", "viewer"}}});
    EXPECT_EQ(passwordless.status, 0);
    EXPECT_NE(wire::findField(passwordless.fields, "TK"), nullptr);

    EXPECT_EQ(server.send({}, login("viewer", "wrong")).status, wire::status::NotAuthorized);
    EXPECT_EQ(server.send({}, {"LOGIN", {{"OI", "nobody"}}}).status, wire::status::NotAuthorized);
    EXPECT_EQ(server.send({}, login("viewer", "viewer")).status, 0);
}

TEST(SessionOpen, ConfirmsTheClientApplicationOnly) {
    TestServer server;
    const auto token = server.login("viewer", "viewer");

    EXPECT_EQ(server.send(token, Open), (wire::Answer{0, {{"AC", 5}, {"PV", "1"}}}));
    EXPECT_EQ(server.send(token, {"OPEN", {{"AC", 4}}}),
              (wire::Answer{wire::status::InvalidValue, {}}));
}

TEST(SessionToken, MissingUnknownOrIdleTokenIsRefusedWith401AndJsonError) {
    FakeClock clock;
    TestServerOptions options;
    options.sessionIdleLimit = std::chrono::seconds(600);
    options.clock = clock.function();
    TestServer server(options);
    const auto token = server.login("demo", "demo");

    for (const std::string& bad : {std::string(), std::string(64, '0')}) {
        const auto reply = server.post(Open, bad);
        EXPECT_EQ(reply.status, 401);
        EXPECT_FALSE(wire::decodeError(reply.body).empty()) << reply.body;
    }

    // Each use restarts the idle time.
    clock.advance(std::chrono::seconds(590));
    EXPECT_EQ(server.send(token, Open).status, 0);
    clock.advance(std::chrono::seconds(590));
    EXPECT_EQ(server.send(token, Open).status, 0);

    clock.advance(std::chrono::seconds(601));
    const auto expired = server.post(Open, token);
    EXPECT_EQ(expired.status, 401);
    EXPECT_NE(wire::decodeError(expired.body).find("expired"), std::string::npos) << expired.body;
}

TEST(SessionLogout, EndsOnlyTheCallersSession) {
    TestServer server;
    const auto first = server.login("demo", "demo");
    const auto second = server.login("demo", "demo");
    EXPECT_NE(first, second);

    EXPECT_EQ(server.send(first, {"LOGOUT", {}}), (wire::Answer{0, {}}));
    EXPECT_EQ(server.post(Open, first).status, 401);
    EXPECT_EQ(server.send(second, Open).status, 0);
}
