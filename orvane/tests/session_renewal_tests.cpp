// A session the server no longer knows: the channel asks its handler to log
// in again, opens again under the new session and sends the same request
// once more; the renewal dialog logs in the session's own operator only.
#include "general_helper.h"
#include "login_dialog.h"
#include "protocol/status.h"
#include "request_channel.h"
#include "scripted_transport.h"
#include "session.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <gtest/gtest.h>

namespace orvane {
namespace {

using testing::ScriptedTransport;

class LostSession : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("OrvaneVLM"), QStringLiteral("OrvaneVLM")).clear();
        session.SetTransportFactory([this](const QString&) { return transport; });
        transport->respond("LOGIN", [this](const wire::Request& request) -> wire::Answer {
            const auto* pw = wire::findField(request.fields, "PW");
            if (pw && std::get<std::string>(pw->value) == "wrong")
                return {wire::status::NotAuthorized, {}};
            return {0, {{"TK", "tok" + std::to_string(++logins)}, {"PF", false}, {"SW", ""}}};
        });
        transport->respond("OPEN", [](const wire::Request&) {
            return wire::Answer{0, {{"AC", 5}, {"PV", "1"}}};
        });
        ASSERT_EQ(session.Login("", "jsmith", "pw"), 0);
        ASSERT_TRUE(channel.Open(5, session, nullptr));
        transport->clearSent();
    }

    // The codes sent, each with the token it went under.
    std::vector<std::string> sentWithTokens() const {
        std::vector<std::string> out;
        for (const auto& sent : transport->sent())
            out.push_back(sent.request.code + "@" + sent.token);
        return out;
    }

    int logins = 0;
    std::shared_ptr<ScriptedTransport> transport = std::make_shared<ScriptedTransport>();
    Session session;
    RequestChannel channel;
};

TEST_F(LostSession, ALoginAgainOpensTheChannelAndSendsTheSameRequestOnce) {
    transport->queueFailure("GET_RECORD_SETS", wire::status::NotLoggedIn, "HTTP 401");
    transport->queue("GET_RECORD_SETS", {0, {{"RSID", 4}, {"RSN", "Kept"}}});
    int asked = 0;
    channel.SetSessionLostHandler([&] {
        ++asked;
        return session.Renew("pw") == 0;
    });

    channel.AddField("OI", "jsmith");
    channel.AddNumericField("RT", 1);
    EXPECT_EQ(channel.SendRequest("GET_RECORD_SETS"), 0);

    EXPECT_EQ(asked, 1);
    EXPECT_EQ(sentWithTokens(), (std::vector<std::string>{"GET_RECORD_SETS@tok1", "LOGIN@",
                                                          "OPEN@tok2", "GET_RECORD_SETS@tok2"}));
    const auto requests = transport->sent("GET_RECORD_SETS");
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1], requests[0]);
    EXPECT_EQ(requests[1].fields, (wire::Fields{{"OI", "jsmith"}, {"RT", 1}}));
    EXPECT_EQ(transport->sent("OPEN")[0].fields, (wire::Fields{{"AC", 5}}));
    // The answer read is the resent request's, and later requests use the new session.
    ASSERT_TRUE(channel.NextRecord("RSID"));
    EXPECT_EQ(channel.GetField("RSN"), "Kept");
    transport->queue("GET_JOBS", {0, {}});
    channel.SendRequest("GET_JOBS");
    EXPECT_EQ(transport->sent().back().token, "tok2");
}

TEST_F(LostSession, DeclinedOrFailedRenewalsAnswerSessionLostAndAreOfferedAgainNextTime) {
    struct Case {
        const char* what;
        std::function<bool(Session&)> handler;
        std::vector<std::string> sent;
    };
    const std::vector<Case> cases{
        {"declined", [](Session&) { return false; }, {"SAVE@tok1"}},
        {"wrong password", [](Session& s) { return s.Renew("wrong") == 0; },
         {"SAVE@tok1", "LOGIN@"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        transport->clearSent();
        int asked = 0;
        channel.SetSessionLostHandler([&] {
            ++asked;
            return c.handler(session);
        });
        for (int i = 0; i < 2; ++i)
            transport->queueFailure("SAVE", wire::status::NotLoggedIn, "HTTP 401");
        channel.AddField("OI", "jsmith");
        EXPECT_EQ(channel.SendRequest("SAVE"), SessionLostStatus);
        EXPECT_TRUE(SessionLost(channel.SendRequest("SAVE")));
        EXPECT_EQ(asked, 2);
        auto expected = c.sent;
        expected.insert(expected.end(), c.sent.begin(), c.sent.end());
        EXPECT_EQ(sentWithTokens(), expected);
        // A failed renewal leaves the session as it was: the same operator, the old token.
        EXPECT_EQ(session.OperatorId(), "jsmith");
        EXPECT_EQ(session.Token(), "tok1");
    }
}

TEST_F(LostSession, OtherFailuresAndRequestsSentWhileRenewingAreNotRenewed) {
    int asked = 0;
    qint16 nested = 0;
    channel.SetSessionLostHandler([&] {
        ++asked;
        // A timer firing under the login dialog may send meanwhile.
        transport->queueFailure("GET_JOBS", wire::status::NotLoggedIn, "HTTP 401");
        nested = channel.SendRequest("GET_JOBS");
        return false;
    });
    transport->queueFailure("LOAD", wire::status::Unreachable, "refused");
    EXPECT_EQ(channel.SendRequest("LOAD"), wire::status::Unreachable);
    transport->queue("LOAD", {wire::status::NotAuthorized, {}});
    EXPECT_EQ(channel.SendRequest("LOAD"), wire::status::NotAuthorized);
    EXPECT_EQ(asked, 0);

    transport->queueFailure("LOAD", wire::status::NotLoggedIn, "HTTP 401");
    EXPECT_EQ(channel.SendRequest("LOAD"), SessionLostStatus);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(nested, SessionLostStatus);

    // A channel given its token, not opened over a session, has nothing to renew.
    RequestChannel given(transport, "tok1");
    given.SetSessionLostHandler([&] { return ++asked > 0; });
    transport->queueFailure("LOAD", wire::status::NotLoggedIn, "HTTP 401");
    EXPECT_EQ(given.SendRequest("LOAD"), SessionLostStatus);
    EXPECT_EQ(asked, 1);
}

TEST_F(LostSession, TheRenewalDialogLogsInTheSessionsOwnOperatorOnTheSameServer) {
    GeneralHelper helper;
    QString shownOperator;
    bool operatorFixed = false;
    bool serverFixed = false;
    helper.SetDialogRunner([&](LoginDialog& dialog) {
        auto* operatorId = dialog.findChild<QLineEdit*>("txtOperatorId");
        shownOperator = operatorId->text();
        operatorFixed = operatorId->isReadOnly();
        serverFixed = !dialog.findChild<QComboBox*>("cboServer")->isEnabled();
        operatorId->setText("someone-else"); // cannot happen through the screen; must not matter
        dialog.findChild<QLineEdit*>("txtPassword")->setText("wrong");
        dialog.TryLogin();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(dialog.StatusText(),
                  "Login failed: the operator ID or password is not correct.");
        dialog.findChild<QLineEdit*>("txtPassword")->setText("pw");
        dialog.TryLogin();
        return dialog.result();
    });

    EXPECT_EQ(helper.Login(session, GeneralHelper::RenewSession), 0);
    EXPECT_EQ(shownOperator, "jsmith");
    EXPECT_TRUE(operatorFixed);
    EXPECT_TRUE(serverFixed);
    const auto loginsSent = transport->sent("LOGIN");
    ASSERT_EQ(loginsSent.size(), 2u);
    for (const auto& login : loginsSent)
        EXPECT_EQ(std::get<std::string>(wire::findField(login.fields, "OI")->value), "jsmith");
    EXPECT_EQ(session.Token(), "tok2");
    EXPECT_EQ(session.OperatorId(), "jsmith");
    // No LOGOUT with the dead token, and the remembered login is not touched.
    EXPECT_TRUE(transport->sent("LOGOUT").empty());
    EXPECT_FALSE(QSettings("OrvaneVLM", "OrvaneVLM").contains("Login/LastOperator"));
}

// Logging in again sits on the window in use, so it takes that window's look
// (its read-only fields drawn as such); the first login has no window yet.
TEST_F(LostSession, TheRenewalDialogSitsOverTheWindowInUse) {
    QWidget window;
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_EQ(QApplication::activeWindow(), &window);
    GeneralHelper helper;
    QWidget* renewalParent = nullptr;
    helper.SetDialogRunner([&](LoginDialog& dialog) {
        renewalParent = dialog.parentWidget();
        return int(QDialog::Rejected);
    });
    EXPECT_NE(helper.Login(session, GeneralHelper::RenewSession), 0);
    EXPECT_EQ(renewalParent, &window);
}

} // namespace
} // namespace orvane
