#pragma once
// One record of a MARC file as the upload passes look at it: whether it
// loads with a leader, its record type and coding from the leader, and the
// control number key a match job searches for.

#include "marc_record.h"

#include <QByteArray>
#include <QString>

namespace velumar {

class FileRecord {
public:
    explicit FileRecord(const QByteArray& octets);

    // The record loads and has a leader.
    bool Loaded() const { return loaded_; }
    // From leader/06: 3 for "z", 2 for "u", "v", "x", "y", 1 for anything
    // else; 0 when the record did not load.
    int RecordType() const;
    // Leader/09 "a".
    bool IsUnicode() const;
    // The record's octets, one character each, as it travels on the channel.
    QString Text() const { return text_; }
    // Takes the record in its converted form; false when that does not load.
    bool Replace(const QString& text);

    // 003 and 001 trimmed, 003 put in parentheses unless it begins with one:
    // "(ABC)12345". Empty when both are; empty too when the record did not load.
    QString MatchKey();

private:
    void load();

    orvane::MarcRecord record_;
    QString text_;
    QString leader_;
    bool loaded_ = false;
};

} // namespace velumar
