#include "dialogs/change_password_dialog.h"

#include "channel.h"
#include "protocol/status.h"
#include "session.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace orvane {

ChangePasswordDialog::ChangePasswordDialog(Session& session, Channel& channel, const QString& scope,
                                           QWidget* parent)
    : QDialog(parent), session_(session), channel_(channel), scope_(scope),
      oldPassword_(new QLineEdit(this)), newPassword_(new QLineEdit(this)),
      confirmPassword_(new QLineEdit(this)), status_(new QLabel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(QStringLiteral("Change Password"));
    oldPassword_->setObjectName(QStringLiteral("txtOldPassword"));
    newPassword_->setObjectName(QStringLiteral("txtNewPassword"));
    confirmPassword_->setObjectName(QStringLiteral("txtConfirmPassword"));
    status_->setObjectName(QStringLiteral("lblStatus"));
    for (QLineEdit* edit : {oldPassword_, newPassword_, confirmPassword_})
        edit->setEchoMode(QLineEdit::Password);
    status_->setWordWrap(true);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Operator ID:"), new QLabel(session.OperatorId(), this));
    form->addRow(QStringLiteral("&Old password:"), oldPassword_);
    form->addRow(QStringLiteral("&New password:"), newPassword_);
    form->addRow(QStringLiteral("&Confirm new password:"), confirmPassword_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(status_);
    layout->addWidget(buttons_);
    setMinimumWidth(360);

    connect(buttons_, &QDialogButtonBox::accepted, this, &ChangePasswordDialog::TryChange);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    oldPassword_->setFocus();
}

QString ChangePasswordDialog::StatusText() const {
    return status_->text();
}

void ChangePasswordDialog::TryChange() {
    const QString oldPassword = oldPassword_->text();
    const QString newPassword = newPassword_->text();
    if (newPassword.isEmpty())
        return showFailure(QString::fromLatin1(EmptyPasswordText), newPassword_);
    if (newPassword != confirmPassword_->text())
        return showFailure(QString::fromLatin1(MismatchText), confirmPassword_);
    if (newPassword == oldPassword)
        return showFailure(QString::fromLatin1(SamePasswordText), newPassword_);

    channel_.AddField(QStringLiteral("PW"), oldPassword);
    channel_.AddField(QStringLiteral("NPW"), newPassword);
    const qint32 status = channel_.SendRequest(QStringLiteral("CHANGE_PASSWORD"));
    if (status != wire::status::Ok) {
        QLineEdit* focus = status == wire::status::NotAuthorized ? oldPassword_ : newPassword_;
        return showFailure(failureText(status), focus);
    }
    status_->setText(QString::fromLatin1(ChangedText));
    accept();
}

QString ChangePasswordDialog::failureText(qint32 status) const {
    switch (status) {
    case wire::status::NotAuthorized:
        return QString::fromLatin1(WrongOldPasswordText);
    case wire::status::InvalidValue:
        return QString::fromLatin1(WeakPasswordText);
    default:
        return QStringLiteral("Failed to change the password. Error code = %1").arg(status);
    }
}

void ChangePasswordDialog::showFailure(const QString& text, QLineEdit* focus) {
    status_->setText(text);
    focus->selectAll();
    focus->setFocus();
}

} // namespace orvane
