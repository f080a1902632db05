#include "log_writer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvane {

QString LogWriter::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/velumar.log");
}

bool LogWriter::write(const QString& text) const {
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return false;
    QFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    QString line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    line += QLatin1Char(' ');
    line += QString(text)
                .replace(QLatin1String("\r\n"), QLatin1String(" "))
                .replace(QLatin1Char('\n'), QLatin1Char(' '))
                .replace(QLatin1Char('\r'), QLatin1Char(' '));
    line += QLatin1Char('\n');
    return file.write(line.toUtf8()) >= 0;
}

} // namespace orvane
