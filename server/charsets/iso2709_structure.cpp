#include "iso2709_structure.h"

#include <cstddef>

namespace orvane::server {

namespace {

constexpr std::size_t LeaderLength = 24;
constexpr std::size_t EntryLength = 12; // tag 3, field length 4, starting position 5
constexpr char FieldTerminator = '\x1E';
constexpr char RecordTerminator = '\x1D';

std::optional<std::size_t> digits(std::string_view s) {
    std::size_t n = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    return n;
}

} // namespace

std::optional<std::vector<std::string_view>> iso2709FieldData(std::string_view record) {
    if (record.size() < LeaderLength + 2 || record.back() != RecordTerminator)
        return std::nullopt;
    const auto length = digits(record.substr(0, 5));
    const auto base = digits(record.substr(12, 5));
    if (!length || *length != record.size() || !base || *base <= LeaderLength ||
        *base >= record.size() || record[*base - 1] != FieldTerminator ||
        (*base - 1 - LeaderLength) % EntryLength != 0)
        return std::nullopt;

    std::vector<std::string_view> fields;
    const std::size_t dataEnd = record.size() - 1; // the record terminator
    for (std::size_t at = LeaderLength; at + 1 < *base; at += EntryLength) {
        const auto fieldLength = digits(record.substr(at + 3, 4));
        const auto start = digits(record.substr(at + 7, 5));
        if (!fieldLength || !start || *fieldLength == 0)
            return std::nullopt;
        const std::size_t end = *base + *start + *fieldLength; // one past the terminator
        if (end > dataEnd || record[end - 1] != FieldTerminator)
            return std::nullopt;
        fields.push_back(record.substr(*base + *start, *fieldLength - 1));
    }
    return fields;
}

} // namespace orvane::server
