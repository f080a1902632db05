#include "search_messages.h"

#include <QApplication>
#include <QMessageBox>

namespace orvane {

void BoxSearchMessages::Warning(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QApplication::applicationName(), text);
}

void BoxSearchMessages::Information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QApplication::applicationName(), text);
}

} // namespace orvane
