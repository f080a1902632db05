#include "session_state.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("OrvaneVLM"));
    QApplication::setApplicationName(QStringLiteral("OrvaneVLM"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velumar"));

    velumar::SessionState state;
    if (!velumar::startUp(state, QApplication::arguments(), &app))
        return 1;
    return QApplication::exec();
}
