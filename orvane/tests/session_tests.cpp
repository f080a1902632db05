// The session: what it takes from the command line, and how it logs in
// and out over whatever transport the server choice makes.
#include "protocol/status.h"
#include "scripted_transport.h"
#include "session.h"

#include <QStandardPaths>
#include <gtest/gtest.h>
#include <stdexcept>

namespace orvane {
namespace {

using testing::ScriptedTransport;

TEST(SessionCommandLine, DefaultsToTheEmbeddedServerInTheUsersDataFolder) {
    Session session;
    session.Initialise({"velumar"}, nullptr);
    EXPECT_EQ(session.ServerName(), "This computer (embedded)");
    EXPECT_TRUE(session.CommandLineServer().isEmpty());
    EXPECT_TRUE(session.CommandLineOperator().isEmpty());
    EXPECT_EQ(session.DatabasePath(),
              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/velumar.db");
    EXPECT_FALSE(session.IsLoggedIn());
}

TEST(SessionCommandLine, ReadsServerOperatorAndDatabaseInEitherForm) {
    Session session;
    const QStringList args{
        "velumar",           "/NOCHECK", "--server",          "https://lib.example:8443",
        "--operator=jsmith", "--db",     "/tmp/x/velumar.db", "--unknown"};
    session.Initialise(args, nullptr);
    EXPECT_EQ(session.CommandLine(), args);
    EXPECT_EQ(session.ServerName(), "https://lib.example:8443");
    EXPECT_EQ(session.CommandLineServer(), "https://lib.example:8443");
    EXPECT_EQ(session.CommandLineOperator(), "jsmith");
    EXPECT_EQ(session.DatabasePath(), "/tmp/x/velumar.db");
}

TEST(SessionCommandLine, EmbeddedCanBeNamedAndAMissingValueIsIgnored) {
    Session session;
    session.Initialise({"velumar", "--server=Embedded", "--operator"}, nullptr);
    EXPECT_EQ(session.ServerName(), "This computer (embedded)");
    EXPECT_TRUE(session.CommandLineOperator().isEmpty());
}

class SessionLoginTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.SetTransportFactory([this](const QString& server) {
            servers.push_back(server);
            return transport;
        });
        session.Initialise({"velumar"}, nullptr);
    }

    std::shared_ptr<ScriptedTransport> transport = std::make_shared<ScriptedTransport>();
    QStringList servers; // what the factory was asked for
    Session session;
};

TEST_F(SessionLoginTest, SendsThePasswordOnlyWhenOneIsGiven) {
    transport->queue("LOGIN", {0, {{"TK", "t1"}}});
    transport->queue("LOGIN", {0, {{"TK", "t2"}}});
    session.Login("embedded", "demo", "");
    session.Login("embedded", "demo", "secret");

    const auto logins = transport->sent("LOGIN");
    ASSERT_EQ(logins.size(), 2u);
    EXPECT_EQ(logins[0].fields, (wire::Fields{{"OI", "demo"}}));
    EXPECT_EQ(logins[1].fields, (wire::Fields{{"OI", "demo"}, {"PW", "secret"}}));
    EXPECT_EQ(transport->sent()[0].token, "");
}

TEST_F(SessionLoginTest, KeepsWhatTheServerAnswers) {
    transport->queue("LOGIN",
                     {0, {{"TK", "token-1"}, {"PF", true}, {"SW", "https://support.example"}}});
    EXPECT_EQ(session.Login("http://server.example", "jsmith", "pw"), 0);
    EXPECT_TRUE(session.IsLoggedIn());
    EXPECT_EQ(session.Token(), "token-1");
    EXPECT_EQ(session.OperatorId(), "jsmith");
    EXPECT_TRUE(session.PasswordFlag());
    EXPECT_EQ(session.SupportWebText(), "https://support.example");
    EXPECT_EQ(session.ServerName(), "http://server.example");
    EXPECT_EQ(servers, QStringList{"http://server.example"});
}

TEST_F(SessionLoginTest, ARefusalLeavesNoOneLoggedIn) {
    transport->queue("LOGIN", {wire::status::NotAuthorized, {}});
    EXPECT_EQ(session.Login("", "demo", "wrong"), wire::status::NotAuthorized);
    EXPECT_FALSE(session.IsLoggedIn());
    EXPECT_TRUE(session.OperatorId().isEmpty());
}

TEST_F(SessionLoginTest, AnAcceptedLoginWithoutATokenIsABadAnswer) {
    transport->queue("LOGIN", {0, {{"PF", false}}});
    EXPECT_EQ(session.Login("", "demo", ""), wire::status::BadAnswer);
    EXPECT_FALSE(session.IsLoggedIn());
    EXPECT_FALSE(session.LastError().isEmpty());
}

TEST_F(SessionLoginTest, ARetryOnTheSameServerKeepsItsTransport) {
    transport->queue("LOGIN", {6, {}});
    transport->queue("LOGIN", {0, {{"TK", "a"}}});
    transport->queue("LOGIN", {0, {{"TK", "b"}}});
    session.Login("This computer (embedded)", "demo", "x");
    session.Login("embedded", "demo", "demo");
    session.Login("http://other.example", "demo", "demo");
    // Embedded is asked for as an empty server name.
    EXPECT_EQ(servers, (QStringList{"", "http://other.example"}));
}

TEST_F(SessionLoginTest, AServerThatCannotBeSetUpIsUnreachable) {
    session.SetTransportFactory([](const QString&) -> std::shared_ptr<Transport> {
        throw std::runtime_error("disk full");
    });
    EXPECT_EQ(session.Login("", "demo", ""), wire::status::Unreachable);
    EXPECT_EQ(session.LastError(), "disk full");
    EXPECT_FALSE(session.IsLoggedIn());
}

TEST_F(SessionLoginTest, LogoutEndsTheSessionOnTheServer) {
    transport->queue("LOGIN", {0, {{"TK", "token-1"}}});
    session.Login("", "demo", "");
    session.Logout();
    ASSERT_EQ(transport->codes(), (std::vector<std::string>{"LOGIN", "LOGOUT"}));
    EXPECT_EQ(transport->sent().back().token, "token-1");
    EXPECT_FALSE(session.IsLoggedIn());

    session.Logout(); // nothing to end
    EXPECT_EQ(transport->sent().size(), 2u);
}

} // namespace
} // namespace orvane
