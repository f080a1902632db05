#include "startup_companion.h"

#include "session.h"

#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

namespace orvane {

StartupCompanion::StartupCompanion(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), server_(new QLabel(this)),
      progress_(new QLabel(this)) {
    setObjectName(QStringLiteral("StartupCompanion"));
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto* title = new QLabel(QStringLiteral("Velumar"), frame);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    title->setFont(big);
    server_->setParent(frame);
    progress_->setParent(frame);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(24, 18, 24, 18);
    inner->addWidget(title);
    inner->addWidget(server_);
    inner->addSpacing(12);
    inner->addWidget(progress_);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    setMinimumWidth(360);
}

void StartupCompanion::SetSession(const Session& session) {
    server_->setText(session.ServerName());
}

void StartupCompanion::ShowProgress(const QString& text) {
    progress_->setText(text);
    if (!isVisible())
        show();
    raise();
    repaint();
}

void StartupCompanion::Dismiss() {
    close();
}

QString StartupCompanion::ServerText() const {
    return server_->text();
}

QString StartupCompanion::ProgressText() const {
    return progress_->text();
}

} // namespace orvane
