// Building and sending requests through the channel, opening it over a
// logged-in session, and its log.
#include "protocol/status.h"
#include "request_channel.h"
#include "scripted_transport.h"
#include "session.h"
#include "startup_companion.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvane {
namespace {

using testing::ScriptedTransport;

QString readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class ChannelRequestTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString logPath = dir.filePath("velumar.log");
    std::shared_ptr<ScriptedTransport> transport = std::make_shared<ScriptedTransport>();
    RequestChannel channel{transport, "tok", LogWriter(logPath)};
};

TEST_F(ChannelRequestTest, SendsTheFieldsInTheOrderAddedWithTheirKinds) {
    transport->queue("GET_RECORD_SETS", {0, {}});
    channel.AddField("OI", "jsmith");
    channel.AddNumericField("RSID", 12);
    channel.AddBoolField("UP", true);
    channel.AddField("NM", QString::fromUtf8("Müller"));
    EXPECT_EQ(channel.SendRequest("GET_RECORD_SETS"), 0);

    ASSERT_EQ(transport->sent().size(), 1u);
    const auto& sent = transport->sent().front();
    EXPECT_EQ(sent.token, "tok");
    EXPECT_EQ(
        sent.request,
        (wire::Request{"GET_RECORD_SETS",
                       {{"OI", "jsmith"}, {"RSID", 12}, {"UP", true}, {"NM", "M\xc3\xbcller"}}}));
}

TEST_F(ChannelRequestTest, FieldsGoWithOneSendOnly) {
    channel.AddField("OI", "jsmith");
    channel.SendRequest("FIRST");
    channel.SendRequest("SECOND");
    ASSERT_EQ(transport->sent().size(), 2u);
    EXPECT_EQ(transport->sent()[0].request.fields.size(), 1u);
    EXPECT_TRUE(transport->sent()[1].request.fields.empty());
}

TEST_F(ChannelRequestTest, ASendThatGetsNoAnswerClearsFieldsAndTheOldAnswer) {
    transport->queue("READ", {0, {{"NM", "kept until now"}}});
    channel.SendRequest("READ");
    transport->queueFailure("SAVE", wire::status::Unreachable, "connection refused");

    channel.AddNumericField("RSID", 3);
    EXPECT_EQ(channel.SendRequest("SAVE"), wire::status::Unreachable);
    EXPECT_EQ(channel.LastError(), "connection refused");
    EXPECT_EQ(channel.GetField("NM"), "");

    channel.SendRequest("AGAIN");
    EXPECT_TRUE(transport->sent("AGAIN").front().fields.empty());
    EXPECT_TRUE(channel.LastError().isEmpty());
    EXPECT_TRUE(readAll(logPath).contains("SAVE: no answer (status 9001): connection refused"));
}

TEST_F(ChannelRequestTest, StatusesOfTheRequestItselfAreNotLogged) {
    transport->queue("SAVE", {6, {}});
    EXPECT_EQ(channel.SendRequest("SAVE"), 6);
    EXPECT_FALSE(QFile::exists(logPath));
}

TEST(UnopenedChannel, AnswersNotLoggedInAndSendsNothing) {
    QTemporaryDir dir;
    RequestChannel channel{LogWriter(dir.filePath("log"))};
    channel.AddField("OI", "x");
    EXPECT_EQ(channel.SendRequest("GETCHARSETS"), wire::status::NotLoggedIn);
    EXPECT_EQ(channel.CountRecords("CSID"), 0);
}

// Opening over a session that logged in to a scripted server.
class ChannelOpenTest : public ::testing::Test {
protected:
    void SetUp() override {
        transport->queue("LOGIN", {0, {{"TK", "session-token"}}});
        session.SetTransportFactory([this](const QString&) { return transport; });
        session.Initialise({"velumar", "--server", "http://example.test:8080"}, nullptr);
    }

    QTemporaryDir dir;
    QString logPath = dir.filePath("velumar.log");
    std::shared_ptr<ScriptedTransport> transport = std::make_shared<ScriptedTransport>();
    Session session;
    RequestChannel channel{LogWriter(logPath)};
    StartupCompanion companion;
};

TEST_F(ChannelOpenTest, SendsOpenWithTheApplicationCodeUnderTheSessionToken) {
    ASSERT_EQ(session.Login(session.CommandLineServer(), "demo", {}), 0);
    transport->queue("OPEN", {0, {}});
    companion.SetSession(session);
    channel.AddField("STALE", "dropped");

    EXPECT_TRUE(channel.Open(5, session, &companion));

    const auto opens = transport->sent("OPEN");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens.front().fields, (wire::Fields{{"AC", 5}}));
    EXPECT_EQ(transport->sent().back().token, "session-token");
    EXPECT_EQ(companion.ServerText(), "http://example.test:8080");
    EXPECT_EQ(companion.ProgressText(), "Connected.");

    // Later requests go the same way.
    channel.SendRequest("GETCHARSETS");
    EXPECT_EQ(transport->sent().back().token, "session-token");
}

TEST_F(ChannelOpenTest, RefusedOpenAnswersFalseAndSaysWhyInTheLog) {
    ASSERT_EQ(session.Login(session.CommandLineServer(), "demo", {}), 0);
    transport->queue("OPEN", {6, {}});
    EXPECT_FALSE(channel.Open(5, session, &companion));
    EXPECT_EQ(companion.ProgressText(), "Connecting to http://example.test:8080...");
    EXPECT_TRUE(readAll(logPath).contains("refused application 5 for demo (status 6)"));
}

TEST_F(ChannelOpenTest, WithoutALoginNothingIsSent) {
    EXPECT_FALSE(channel.Open(5, session, nullptr));
    EXPECT_TRUE(transport->sent().empty());
}

} // namespace
} // namespace orvane
