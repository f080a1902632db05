#include "main_window/function_screen.h"

#include "common/messages.h"

#include <QLabel>
#include <QVBoxLayout>

namespace velumar {

FunctionScreen::FunctionScreen(const QString& screenName, int helpContextId, QWidget* parent)
    : QWidget(parent), lblFormID_(new QLabel(this)), body_(new QVBoxLayout),
      helpContextId_(helpContextId) {
    setObjectName(screenName);
    setAutoFillBackground(true);
    lblFormID_->setObjectName(QStringLiteral("lblFormID"));
    lblFormID_->setMinimumHeight(30);
    lblFormID_->setStyleSheet(QStringLiteral(
        "QLabel#lblFormID { background: qlineargradient(x1:0, y1:0, x2:1, y2:0,"
        " stop:0 palette(highlight), stop:1 palette(window)); color: palette(highlighted-text);"
        " font-size: 11pt; font-weight: 600; padding: 4px 2px; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(lblFormID_);
    body_->setContentsMargins(12, 12, 12, 12);
    // The rows of the body, and the rows laid out inside them (a label and
    // its list, Save and Cancel), are spaced as in a dialog: a layout takes
    // its spacing from the one it sits in, and the band above has none.
    body_->setSpacing(BodySpacing);
    layout->addLayout(body_, 1);
}

bool FunctionScreen::QueryClose(PlatformServices& platform) {
    if (!EditInProgress())
        return true;
    show();
    raise();
    ShowEditingWarning(platform);
    return false;
}

} // namespace velumar
