#pragma once
// Changes the logged-in operator's password: the old one, the new one twice.
// The server decides ("CHANGE_PASSWORD" with "PW" and "NPW"); a refusal
// keeps the dialog open with the reason shown, success accepts it.

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace orvane {

class Channel;
class Session;

class ChangePasswordDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr char WrongOldPasswordText[] = "The old password is not correct.";
    static constexpr char WeakPasswordText[] =
        "The new password was refused: it is too short. Please choose a longer one.";
    static constexpr char MismatchText[] = "The new password and its confirmation differ.";
    static constexpr char EmptyPasswordText[] = "Please enter the new password.";
    static constexpr char SamePasswordText[] =
        "The new password must differ from the old password.";
    static constexpr char ChangedText[] = "Your password has been changed.";

    // scope: which programs the change is for; this library knows only "All".
    ChangePasswordDialog(Session& session, Channel& channel, const QString& scope,
                         QWidget* parent = nullptr);

    QString StatusText() const;
    QString Scope() const { return scope_; }

    // What OK does: checks what is entered and asks the server.
    void TryChange();

private:
    QString failureText(qint32 status) const;
    void showFailure(const QString& text, QLineEdit* focus);

    Session& session_;
    Channel& channel_;
    QString scope_;
    QLineEdit* oldPassword_;
    QLineEdit* newPassword_;
    QLineEdit* confirmPassword_;
    QLabel* status_;
    QDialogButtonBox* buttons_;
};

} // namespace orvane
