#pragma once
// The server's character sets: (code, name) entries indexed from 0 in the
// server's order. Lists show the names in this order, a list position is an
// index here, and the code is what goes to the server. Loaded once at
// start-up.

#include <QList>
#include <QString>

namespace orvane {
class Channel;
}

namespace velumar {

class PlatformServices;

struct CharacterSet {
    QString Code;
    QString Name;

    bool operator==(const CharacterSet&) const = default;
};

class CharacterSetTable {
public:
    static constexpr char LoadFailedText[] =
        "An error occurred while attempting to retrieve the character sets.";
    static constexpr char LoadFailedTitle[] = "Get Character Sets";

    // "GETCHARSETS". On a failure the operator is told and the table stays
    // as it was; false then.
    bool Load(orvane::Channel& channel, PlatformServices& platform);

    const QList<CharacterSet>& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    bool IsEmpty() const { return entries_.isEmpty(); }

private:
    QList<CharacterSet> entries_;
};

} // namespace velumar
