#include "placeholder_window.h"

#include "session.h"

#include <QLabel>
#include <QStatusBar>

namespace velumar {

PlaceholderWindow::PlaceholderWindow(const orvane::Session& session, QWidget* parent)
    : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Velumar"));
    auto* label = new QLabel(QStringLiteral("Velumar is connected. Its screens are on the way."));
    label->setAlignment(Qt::AlignCenter);
    setCentralWidget(label);
    statusBar()->showMessage(
        QStringLiteral("Logged in as %1 on %2").arg(session.OperatorId(), session.ServerName()));
    resize(800, 500);
}

} // namespace velumar
