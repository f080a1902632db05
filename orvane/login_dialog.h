#pragma once
// Asks for the server, operator ID and password, and logs in over the
// session. A refused or failed login keeps the dialog open with the reason
// shown; a successful one accepts it and remembers the server and operator
// for next time (settings "Login/LastServer", "Login/LastOperator").
//
// To renew a session the server no longer knows, the server and operator
// are the session's and cannot be changed: every request of the run is the
// operator's own. Only the password is asked for.

#include <QDialog>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace orvane {

class Session;

class LoginDialog : public QDialog {
    Q_OBJECT
public:
    enum class Purpose { Login, Renewal };

    explicit LoginDialog(Session& session, QWidget* parent = nullptr,
                         Purpose purpose = Purpose::Login);

    QString StatusText() const;

    // What OK does: logs in with what is entered.
    void TryLogin();

private:
    QString failureText(qint32 status, const QString& server) const;

    Session& session_;
    Purpose purpose_;
    QComboBox* server_;
    QLineEdit* operatorId_;
    QLineEdit* password_;
    QLabel* status_;
    QDialogButtonBox* buttons_;
};

} // namespace orvane
