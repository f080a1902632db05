#include "search_messages.h"

#include <QApplication>
#include <QMessageBox>

namespace orvane {

QString SearchMessageTitle() {
    return QApplication::applicationDisplayName();
}

void BoxSearchMessages::Warning(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, SearchMessageTitle(), text);
}

void BoxSearchMessages::Information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, SearchMessageTitle(), text);
}

} // namespace orvane
