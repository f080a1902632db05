#pragma once
// The small frameless window shown while the program logs in and connects:
// the program's name, the server, and what is happening now.

#include <QWidget>

class QLabel;

namespace orvane {

class Session;

class StartupCompanion : public QWidget {
    Q_OBJECT
public:
    explicit StartupCompanion(QWidget* parent = nullptr);

    void SetSession(const Session& session);
    // Shows the companion (when hidden) with this text, painted at once: the
    // caller is busy and the event loop may not run for a while.
    void ShowProgress(const QString& text);
    void Dismiss();

    QString ServerText() const;
    QString ProgressText() const;

private:
    QLabel* server_;
    QLabel* progress_;
};

} // namespace orvane
