#pragma once
// The 24-byte leader and the two of its bytes that decide how a record is
// handled: 06, type of record, and 09, character coding scheme.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace marc {

enum class RecordType { Bibliographic, Holdings, Authority };
enum class CharacterCoding { NonUnicode, Unicode };

// Leader 06: "z" is an authority record; "u", "v", "x", "y" are holdings
// records; any other value is a bibliographic record.
RecordType recordTypeFromLeader06(char typeOfRecord);
// Leader 09: "a" is Unicode; any other value is a non-Unicode coding.
CharacterCoding characterCodingFromLeader09(char codingScheme);

std::string_view toString(RecordType type);        // "bibliographic", "holdings", "authority"
std::string_view toString(CharacterCoding coding); // "Unicode", "non-Unicode"

// Leader positions as read from any leader text (a view's or an owned one).
RecordType recordTypeOf(std::string_view leader);
CharacterCoding characterCodingOf(std::string_view leader);

// The digits at leader[at, at + width) as a number; nothing when any is not a digit.
std::optional<std::size_t> leaderNumber(std::string_view leader, std::size_t at, std::size_t width);

class Leader {
public:
    static constexpr std::size_t Length = 24;

    // A new bibliographic record in Unicode: "00000nam a2200000 a 4500" with the
    // length and base address left for the writer.
    Leader();
    // Exactly 24 bytes, kept as they are; nothing otherwise.
    static std::optional<Leader> fromText(std::string_view text);

    std::string_view text() const { return {bytes_.data(), bytes_.size()}; }
    char operator[](std::size_t at) const { return bytes_[at]; }
    void set(std::size_t at, char value) { bytes_[at] = value; }

    char typeOfRecord() const { return bytes_[6]; }
    char characterCodingScheme() const { return bytes_[9]; }
    RecordType recordType() const { return recordTypeFromLeader06(bytes_[6]); }
    CharacterCoding characterCoding() const { return characterCodingFromLeader09(bytes_[9]); }

    std::optional<std::size_t> recordLength() const { return leaderNumber(text(), 0, 5); }
    std::optional<std::size_t> baseAddress() const { return leaderNumber(text(), 12, 5); }

    bool operator==(const Leader&) const = default;

private:
    std::array<char, Length> bytes_;
};

} // namespace marc
