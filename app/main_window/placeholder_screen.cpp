#include "main_window/placeholder_screen.h"

#include <QLabel>
#include <QVBoxLayout>

namespace velumar {

PlaceholderScreen::PlaceholderScreen(const QString& screenName, int helpContextId, QWidget* parent)
    : FunctionScreen(screenName, helpContextId, parent), notice_(new QLabel(this)) {
    notice_->setObjectName(QStringLiteral("lblNotice"));
    notice_->setText(QStringLiteral("This function is not available in this version of "
                                    "Velumar yet.\n\nThe other functions of the navigation "
                                    "bar and the Functions menu can be used as usual."));
    notice_->setAlignment(Qt::AlignCenter);
    notice_->setWordWrap(true);
    notice_->setEnabled(false);
    Body()->addStretch(1);
    Body()->addWidget(notice_);
    Body()->addStretch(2);
}

QString PlaceholderScreen::Notice() const {
    return notice_->text();
}

} // namespace velumar
