#pragma once
// About the program: its version, this library's, and the server it is
// logged in to with the protocol version that server speaks.

#include <QDialog>

class QLabel;

namespace orvane {

class Session;

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(const Session& session, const QString& programVersion, const QString& serverVersion,
                QWidget* parent = nullptr);

    QString VersionText() const;

private:
    QLabel* versions_;
};

} // namespace orvane
