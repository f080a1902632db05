#include "preferences/preferences.h"

#include <QSettings>

namespace velumar {

namespace {

bool readFlag(const QSettings& settings, const QString& key) {
    return settings.value(key).toString().compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

} // namespace

Preferences::Preferences() {
    QSettings settings(QString::fromLatin1(Application), QString::fromLatin1(Application));
    settings.beginGroup(QString::fromLatin1(Section));
    autoTruncate_ = readFlag(settings, QStringLiteral("AutoTruncation"));
    retainSearch_ = readFlag(settings, QStringLiteral("RetainSearch"));
}

} // namespace velumar
