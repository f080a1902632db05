// The library's dialogs the main window opens: change password (the exact
// request, and each refusal with its reason), login information and about.
#include "dialogs/about_dialog.h"
#include "dialogs/change_password_dialog.h"
#include "dialogs/login_information_dialog.h"
#include "protocol/status.h"
#include "qt_printers.h"
#include "request_channel.h"
#include "scripted_transport.h"
#include "session.h"
#include "version.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace orvane {
namespace {

using wire::Answer;
using wire::Fields;

class ChangePasswordTest : public ::testing::Test {
protected:
    void enter(const QString& oldPassword, const QString& newPassword, const QString& confirm) {
        dialog.findChild<QLineEdit*>("txtOldPassword")->setText(oldPassword);
        dialog.findChild<QLineEdit*>("txtNewPassword")->setText(newPassword);
        dialog.findChild<QLineEdit*>("txtConfirmPassword")->setText(confirm);
        dialog.TryChange();
    }

    std::shared_ptr<testing::ScriptedTransport> transport =
        std::make_shared<testing::ScriptedTransport>();
    RequestChannel channel{transport, "tok"};
    Session session;
    ChangePasswordDialog dialog{session, channel, "All"};
};

TEST_F(ChangePasswordTest, SendsTheOldAndNewPasswordAndAcceptsOnSuccess) {
    transport->queue("CHANGE_PASSWORD", Answer{0, {}});
    enter("old-secret", "new-secret", "new-secret");

    ASSERT_EQ(transport->sent("CHANGE_PASSWORD").size(), 1u);
    EXPECT_EQ(transport->sent("CHANGE_PASSWORD")[0].fields,
              (Fields{{"PW", std::string("old-secret")}, {"NPW", std::string("new-secret")}}));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.StatusText(), ChangePasswordDialog::ChangedText);
    EXPECT_EQ(dialog.Scope(), "All");
}

TEST_F(ChangePasswordTest, AWrongOldPasswordAndAWeakNewOneAreRefusedWithTheirReasons) {
    transport->queue("CHANGE_PASSWORD", Answer{wire::status::NotAuthorized, {}});
    transport->queue("CHANGE_PASSWORD", Answer{wire::status::InvalidValue, {}});
    transport->queue("CHANGE_PASSWORD", Answer{99, {}});

    enter("wrong", "new-secret", "new-secret");
    EXPECT_EQ(dialog.StatusText(), "The old password is not correct.");
    EXPECT_EQ(dialog.focusWidget(), dialog.findChild<QLineEdit*>("txtOldPassword"));
    enter("old-secret", "abc", "abc");
    EXPECT_EQ(dialog.StatusText(),
              "The new password was refused: it is too short. Please choose a longer one.");
    enter("old-secret", "abcdef", "abcdef");
    EXPECT_EQ(dialog.StatusText(), "Failed to change the password. Error code = 99");

    EXPECT_EQ(transport->sent("CHANGE_PASSWORD").size(), 3u);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST_F(ChangePasswordTest, AConfirmationThatDiffersOrAnEmptyOrUnchangedPasswordIsNotSent) {
    enter("old", "new-one", "new-two");
    EXPECT_EQ(dialog.StatusText(), "The new password and its confirmation differ.");
    enter("old", "", "");
    EXPECT_EQ(dialog.StatusText(), "Please enter the new password.");
    enter("same", "same", "same");
    EXPECT_EQ(dialog.StatusText(), "The new password must differ from the old password.");
    EXPECT_TRUE(transport->sent().empty());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST(InformationDialogs, LoginInformationAndAboutShowWhoWhereAndWhichVersions) {
    Session session;
    session.Initialise({"velumar", "--server", "https://lib.example:8443"}, nullptr);
    const LoginInformationDialog info(session, "", "", "All");
    EXPECT_EQ(info.windowTitle(), "Login Information");
    EXPECT_TRUE(info.Details().contains("Server: https://lib.example:8443"));
    EXPECT_TRUE(info.Details().contains("Logged in: No"));
    EXPECT_TRUE(info.Details().contains("Programs: All"));

    const AboutDialog about(session, "0.1.0", "1");
    EXPECT_EQ(about.windowTitle(), "About Velumar");
    EXPECT_TRUE(about.VersionText().contains("Program version: 0.1.0"));
    EXPECT_TRUE(about.VersionText().contains(QString("Server-access library version: ") +
                                             LibraryVersion()));
    EXPECT_TRUE(about.VersionText().contains("Server protocol version: 1"));
}

} // namespace
} // namespace orvane
