#pragma once
// The fixed shape of an ISO 2709 record as MARC 21 uses it: a 24-byte leader, a
// directory of 12-byte entries (tag 3, field length 4, starting position 5), the
// data area, and three separator bytes.

#include <cstddef>
#include <string_view>

namespace marc {

inline constexpr char SubfieldDelimiter = '\x1F';
inline constexpr char FieldTerminator = '\x1E';
inline constexpr char RecordTerminator = '\x1D';

inline constexpr std::size_t LeaderLength = 24;
inline constexpr std::size_t TagLength = 3;
inline constexpr std::size_t DirectoryEntryLength = 12;
inline constexpr std::size_t FieldLengthDigits = 4;
inline constexpr std::size_t StartDigits = 5;

// Five digits of record length and of starting position, four of field length.
inline constexpr std::size_t MaxRecordLength = 99999;
inline constexpr std::size_t MaxFieldLength = 9999;

// A leader, a directory terminator and a record terminator, nothing else.
inline constexpr std::size_t MinRecordLength = LeaderLength + 2;

// Tags 00X hold control fields (no indicators, no subfields); every other tag
// holds a data field.
inline bool isControlTag(std::string_view tag) {
    return tag.size() == TagLength && tag[0] == '0' && tag[1] == '0';
}

} // namespace marc
