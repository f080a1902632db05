// The start-up login: unattended from the command line, or through the
// login dialog, which is driven here without a modal loop.
#include "general_helper.h"
#include "login_dialog.h"
#include "protocol/status.h"
#include "scripted_transport.h"
#include "session.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvane {
namespace {

using testing::ScriptedTransport;

// A server that knows one operator, "demo" with password "demo".
wire::Answer answerLogin(const wire::Request& request) {
    const auto* oi = wire::findField(request.fields, "OI");
    const auto* pw = wire::findField(request.fields, "PW");
    if (oi && std::get<std::string>(oi->value) == "demo" && pw &&
        std::get<std::string>(pw->value) == "demo")
        return {0, {{"TK", "token"}, {"PF", false}, {"SW", "help"}}};
    return {wire::status::NotAuthorized, {}};
}

class LoginTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings(QStringLiteral("OrvaneVLM"), QStringLiteral("OrvaneVLM")).clear();
        transport->respond("LOGIN", answerLogin);
        session.SetTransportFactory([this](const QString& server) {
            servers.push_back(server);
            return transport;
        });
    }
    void TearDown() override { qunsetenv("VELUMAR_PASSWORD"); }

    QString logText() const {
        QFile file(logPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir dir;
    QString logPath = dir.filePath("velumar.log");
    std::shared_ptr<ScriptedTransport> transport = std::make_shared<ScriptedTransport>();
    QStringList servers;
    Session session;
    GeneralHelper helper{LogWriter(logPath)};
};

// Fills the dialog and presses OK, as an operator would.
void enter(LoginDialog& dialog, const QString& server, const QString& operatorId,
           const QString& password) {
    dialog.findChild<QComboBox*>("cboServer")->setCurrentText(server);
    dialog.findChild<QLineEdit*>("txtOperatorId")->setText(operatorId);
    dialog.findChild<QLineEdit*>("txtPassword")->setText(password);
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

TEST_F(LoginTest, TheCommandLineOperatorLogsInUnattended) {
    session.Initialise({"velumar", "--operator", "demo"}, nullptr);
    qputenv("VELUMAR_PASSWORD", "demo");
    helper.SetDialogRunner([](LoginDialog&) {
        ADD_FAILURE() << "no dialog may be shown";
        return 0;
    });

    EXPECT_EQ(helper.Login(session, GeneralHelper::StartupLogin), 0);
    EXPECT_EQ(transport->sent("LOGIN").front().fields,
              (wire::Fields{{"OI", "demo"}, {"PW", "demo"}}));
    EXPECT_EQ(servers, QStringList{""});
    EXPECT_EQ(session.OperatorId(), "demo");
}

TEST_F(LoginTest, AnUnattendedRefusalIsLoggedAndAnswered) {
    session.Initialise({"velumar", "--operator", "demo"}, nullptr);
    helper.SetDialogRunner([](LoginDialog&) {
        ADD_FAILURE() << "no dialog may be shown";
        return 0;
    });

    EXPECT_EQ(helper.Login(session, GeneralHelper::StartupLogin), wire::status::NotAuthorized);
    EXPECT_FALSE(session.IsLoggedIn());
    EXPECT_TRUE(logText().contains("Login of demo on This computer (embedded) failed (status 6)"))
        << logText().toStdString();
}

TEST_F(LoginTest, WithoutAnOperatorTheDialogAsks) {
    session.Initialise({"velumar"}, nullptr);
    helper.SetDialogRunner([](LoginDialog& dialog) {
        enter(dialog, "This computer (embedded)", "demo", "demo");
        return dialog.result();
    });
    EXPECT_EQ(helper.Login(session, GeneralHelper::StartupLogin), 0);
    EXPECT_TRUE(session.IsLoggedIn());
}

TEST_F(LoginTest, CancellingTheDialogAnswersNonZero) {
    session.Initialise({"velumar"}, nullptr);
    helper.SetDialogRunner([](LoginDialog& dialog) {
        dialog.reject();
        return dialog.result();
    });
    EXPECT_EQ(helper.Login(session, GeneralHelper::StartupLogin), GeneralHelper::Cancelled);
    EXPECT_TRUE(transport->sent().empty());
}

TEST_F(LoginTest, AWrongPasswordKeepsTheDialogOpenForAnotherTry) {
    session.Initialise({"velumar"}, nullptr);
    LoginDialog dialog(session);
    dialog.show();

    enter(dialog, "http://lib.example:8080", "demo", "wrong");
    EXPECT_EQ(dialog.StatusText(), "Login failed: the operator ID or password is not correct.");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.findChild<QLineEdit*>("txtPassword")->text().isEmpty());
    EXPECT_FALSE(QSettings("OrvaneVLM", "OrvaneVLM").contains("Login/LastOperator"));

    enter(dialog, "http://lib.example:8080", "demo", "demo");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(session.ServerName(), "http://lib.example:8080");

    const QSettings settings("OrvaneVLM", "OrvaneVLM");
    EXPECT_EQ(settings.value("Login/LastServer").toString(), "http://lib.example:8080");
    EXPECT_EQ(settings.value("Login/LastOperator").toString(), "demo");
}

TEST_F(LoginTest, TheNextDialogOffersTheRememberedServerAndOperator) {
    {
        QSettings settings("OrvaneVLM", "OrvaneVLM");
        settings.setValue("Login/LastServer", "http://lib.example:8080");
        settings.setValue("Login/LastOperator", "jsmith");
    }
    session.Initialise({"velumar"}, nullptr);
    LoginDialog dialog(session);
    const auto* server = dialog.findChild<QComboBox*>("cboServer");
    EXPECT_EQ(server->currentText(), "http://lib.example:8080");
    EXPECT_EQ(server->itemText(0), "This computer (embedded)");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtOperatorId")->text(), "jsmith");
    EXPECT_EQ(dialog.findChild<QLineEdit*>("txtPassword")->echoMode(), QLineEdit::Password);
}

TEST_F(LoginTest, TheCommandLineServerBeatsTheRememberedOne) {
    QSettings("OrvaneVLM", "OrvaneVLM").setValue("Login/LastServer", "http://old.example");
    session.Initialise({"velumar", "--server", "embedded"}, nullptr);
    LoginDialog dialog(session);
    EXPECT_EQ(dialog.findChild<QComboBox*>("cboServer")->currentText(), "This computer (embedded)");
}

TEST_F(LoginTest, AnEmbeddedLoginIsRememberedAsEmbedded) {
    session.Initialise({"velumar"}, nullptr);
    LoginDialog dialog(session);
    enter(dialog, "This computer (embedded)", "demo", "demo");
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(QSettings("OrvaneVLM", "OrvaneVLM").value("Login/LastServer").toString(), "embedded");
}

TEST_F(LoginTest, AnUnreachableServerIsNamed) {
    transport->queueFailure("LOGIN", wire::status::Unreachable, "Connection");
    session.Initialise({"velumar"}, nullptr);
    LoginDialog dialog(session);
    dialog.show();
    enter(dialog, "http://127.0.0.1:9", "demo", "demo");
    EXPECT_EQ(dialog.StatusText(), "Cannot reach the server at http://127.0.0.1:9.");
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(LoginTest, AnEmptyOperatorIdIsNotSent) {
    session.Initialise({"velumar"}, nullptr);
    LoginDialog dialog(session);
    enter(dialog, "This computer (embedded)", "  ", "demo");
    EXPECT_EQ(dialog.StatusText(), "Enter an operator ID.");
    EXPECT_TRUE(transport->sent().empty());
}

} // namespace
} // namespace orvane
