#include "charsets/character_set_table.h"

#include "channel.h"
#include "platform/platform_services.h"

namespace velumar {

bool CharacterSetTable::Load(orvane::Channel& channel, PlatformServices& platform) {
    if (channel.SendRequest(QStringLiteral("GETCHARSETS")) != 0) {
        platform.ShowMessage({.text = QString::fromLatin1(LoadFailedText),
                              .title = QString::fromLatin1(LoadFailedTitle),
                              .icon = MessageIcon::Exclamation});
        return false;
    }
    const QString key = QStringLiteral("CSID");
    QList<CharacterSet> loaded(channel.CountRecords(key));
    for (qsizetype i = 0; i < loaded.size() && channel.NextRecord(key); ++i)
        loaded[i] = {channel.GetField(QStringLiteral("CSC")),
                     channel.GetField(QStringLiteral("CSN"))};
    entries_ = std::move(loaded);
    return true;
}

} // namespace velumar
