#include "help/help_location.h"

#include <QCoreApplication>

namespace velumar {

QString HelpFileLocation() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
}

} // namespace velumar
