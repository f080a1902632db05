#include "general_helper.h"

#include "login_dialog.h"
#include "protocol/status.h"
#include "session.h"

#include <QApplication>

namespace orvane {

GeneralHelper::GeneralHelper(LogWriter log)
    : log_(std::move(log)), runDialog_([](LoginDialog& dialog) { return dialog.exec(); }) {}

int GeneralHelper::Login(Session& session, int mode) {
    if (mode == StartupLogin && !session.CommandLineOperator().isEmpty()) {
        const QString operatorId = session.CommandLineOperator();
        const qint32 status = session.Login(session.CommandLineServer(), operatorId,
                                            qEnvironmentVariable("VELUMAR_PASSWORD"));
        if (status == wire::status::Ok) {
            log_.write(
                QStringLiteral("Logged in as %1 on %2").arg(operatorId, session.ServerName()));
            return 0;
        }
        QString reason = QStringLiteral("Login of %1 on %2 failed (status %3)")
                             .arg(operatorId, session.ServerName())
                             .arg(status);
        if (!session.LastError().isEmpty())
            reason += QStringLiteral(": ") + session.LastError();
        log_.write(reason);
        return status;
    }

    // Logging in again happens over the window in use: the dialog sits on it
    // and takes its look (a field it fixes looks read-only there).
    QWidget* over = mode == RenewSession ? QApplication::activeWindow() : nullptr;
    LoginDialog dialog(session, over,
                       mode == RenewSession ? LoginDialog::Purpose::Renewal
                                            : LoginDialog::Purpose::Login);
    const int result = runDialog_(dialog);
    return result == QDialog::Accepted && session.IsLoggedIn() ? 0 : Cancelled;
}

} // namespace orvane
