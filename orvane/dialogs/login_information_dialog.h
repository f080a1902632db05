#pragma once
// Who is logged in, where, and how: the operator, the server and whether
// the password is managed elsewhere. Read-only.

#include <QDialog>

class QFormLayout;

namespace orvane {

class Session;

class LoginInformationDialog : public QDialog {
    Q_OBJECT
public:
    // title and note: shown above the details when not empty; scope: the
    // programs the login is for ("All").
    LoginInformationDialog(const Session& session, const QString& title, const QString& note,
                           const QString& scope, QWidget* parent = nullptr);

    // The details shown, as "label: value" lines.
    QStringList Details() const;

private:
    QFormLayout* form_;
};

} // namespace orvane
