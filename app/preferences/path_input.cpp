#include "preferences/path_input.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace velumar {

PathInput::PathInput(const QString& objectName, QWidget* parent)
    : QWidget(parent), edit_(new QLineEdit(this)), browse_(new QToolButton(this)) {
    setObjectName(objectName);
    edit_->setObjectName(objectName + QStringLiteral("Text"));
    browse_->setObjectName(objectName + QStringLiteral("Browse"));
    browse_->setText(QStringLiteral("..."));
    browse_->setToolTip(QStringLiteral("Browse (F4)"));
    browse_->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(edit_, 1);
    layout->addWidget(browse_);
    setFocusProxy(edit_);
    edit_->installEventFilter(this);
    connect(browse_, &QToolButton::clicked, this, &PathInput::BrowseRequested);
}

QString PathInput::Text() const {
    return edit_->text();
}

void PathInput::SetText(const QString& text) {
    edit_->setText(text);
}

void PathInput::SetBrowseVisible(bool visible) {
    browse_->setVisible(visible);
}

bool PathInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress && browse_->isVisibleTo(this) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F4) {
        emit BrowseRequested();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace velumar
