#pragma once
// The screen each navigation key opens, by name, with its help context.

#include <QString>

namespace velumar {

struct ScreenEntry {
    QString key;
    QString screenName;
    int helpContextId = 0;
};

// The entry of a key; null for a key that opens no screen.
const ScreenEntry* FindScreenEntry(const QString& key);

// The key that hands over to the record set search instead of a screen.
inline constexpr char RecordSetSearchKey[] = "RecordSets_Search";

// The help context of the main window itself.
inline constexpr int MainWindowHelpContext = 10000;

} // namespace velumar
