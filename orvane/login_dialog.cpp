#include "login_dialog.h"

#include "protocol/status.h"
#include "session.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace orvane {

namespace {

constexpr char SettingsName[] = "OrvaneVLM";
constexpr char LastServerKey[] = "Login/LastServer";
constexpr char LastOperatorKey[] = "Login/LastOperator";

// The wait pointer for as long as the login takes.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

LoginDialog::LoginDialog(Session& session, QWidget* parent, Purpose purpose)
    : QDialog(parent), session_(session), purpose_(purpose), server_(new QComboBox(this)),
      operatorId_(new QLineEdit(this)), password_(new QLineEdit(this)), status_(new QLabel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this)) {
    setWindowTitle(QStringLiteral("Velumar Login"));
    server_->setObjectName(QStringLiteral("cboServer"));
    operatorId_->setObjectName(QStringLiteral("txtOperatorId"));
    password_->setObjectName(QStringLiteral("txtPassword"));
    status_->setObjectName(QStringLiteral("lblStatus"));

    const QSettings settings(SettingsName, SettingsName);
    const QString lastServer = settings.value(LastServerKey).toString();
    // The command line's choice beats the remembered one.
    const QString server =
        !session.CommandLineServer().isEmpty() ? session.CommandLineServer() : lastServer;

    server_->setEditable(true);
    server_->addItem(Session::EmbeddedServerName);
    for (const QString& url : {lastServer, server})
        if (!Session::IsEmbedded(url) && server_->findText(url.trimmed()) < 0)
            server_->addItem(url.trimmed());
    server_->setCurrentText(Session::IsEmbedded(server) ? QString(Session::EmbeddedServerName)
                                                        : server.trimmed());

    operatorId_->setText(!session.CommandLineOperator().isEmpty()
                             ? session.CommandLineOperator()
                             : settings.value(LastOperatorKey).toString());
    password_->setEchoMode(QLineEdit::Password);
    status_->setWordWrap(true);
    if (purpose_ == Purpose::Renewal) {
        server_->setCurrentText(session.ServerName());
        operatorId_->setText(session.OperatorId());
        server_->setEnabled(false);
        operatorId_->setReadOnly(true);
        status_->setText(QStringLiteral("The session has ended. Log in again to go on."));
    }

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Server"), server_);
    form->addRow(QStringLiteral("Operator ID"), operatorId_);
    form->addRow(QStringLiteral("Password"), password_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(status_);
    layout->addWidget(buttons_);

    connect(buttons_, &QDialogButtonBox::accepted, this, &LoginDialog::TryLogin);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    (operatorId_->text().isEmpty() ? operatorId_ : password_)->setFocus();
}

QString LoginDialog::StatusText() const {
    return status_->text();
}

void LoginDialog::TryLogin() {
    const QString server = server_->currentText().trimmed();
    const QString operatorId = operatorId_->text().trimmed();
    if (operatorId.isEmpty()) {
        status_->setText(QStringLiteral("Enter an operator ID."));
        operatorId_->setFocus();
        return;
    }

    status_->setText(QStringLiteral("Logging in..."));
    qint32 status;
    {
        const WaitCursor wait;
        status = purpose_ == Purpose::Renewal ? session_.Renew(password_->text())
                                              : session_.Login(server, operatorId, password_->text());
    }
    if (status != wire::status::Ok) {
        status_->setText(failureText(status, server));
        password_->clear();
        password_->setFocus();
        return;
    }

    if (purpose_ == Purpose::Renewal) {
        status_->clear();
        accept();
        return;
    }
    QSettings settings(SettingsName, SettingsName);
    settings.setValue(LastServerKey,
                      Session::IsEmbedded(server) ? QStringLiteral("embedded") : server);
    settings.setValue(LastOperatorKey, operatorId);
    status_->clear();
    accept();
}

QString LoginDialog::failureText(qint32 status, const QString& server) const {
    switch (status) {
    case wire::status::NotAuthorized:
        return QStringLiteral("Login failed: the operator ID or password is not correct.");
    case wire::status::Unreachable:
        if (Session::IsEmbedded(server))
            return QStringLiteral("Cannot open the server on this computer: %1")
                .arg(session_.LastError());
        return QStringLiteral("Cannot reach the server at %1.").arg(server);
    default:
        if (!session_.LastError().isEmpty())
            return QStringLiteral("Login failed: %1").arg(session_.LastError());
        return QStringLiteral("Login failed. Error code = %1").arg(status);
    }
}

} // namespace orvane
