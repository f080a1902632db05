#include "marc/leader.h"

#include <algorithm>

namespace marc {

RecordType recordTypeFromLeader06(char typeOfRecord) {
    switch (typeOfRecord) {
    case 'z':
        return RecordType::Authority;
    case 'u':
    case 'v':
    case 'x':
    case 'y':
        return RecordType::Holdings;
    default:
        return RecordType::Bibliographic;
    }
}

CharacterCoding characterCodingFromLeader09(char codingScheme) {
    return codingScheme == 'a' ? CharacterCoding::Unicode : CharacterCoding::NonUnicode;
}

std::string_view toString(RecordType type) {
    switch (type) {
    case RecordType::Bibliographic:
        return "bibliographic";
    case RecordType::Holdings:
        return "holdings";
    case RecordType::Authority:
        return "authority";
    }
    return "bibliographic";
}

std::string_view toString(CharacterCoding coding) {
    return coding == CharacterCoding::Unicode ? "Unicode" : "non-Unicode";
}

RecordType recordTypeOf(std::string_view leader) {
    return recordTypeFromLeader06(leader.size() > 6 ? leader[6] : ' ');
}

CharacterCoding characterCodingOf(std::string_view leader) {
    return characterCodingFromLeader09(leader.size() > 9 ? leader[9] : ' ');
}

std::optional<std::size_t> leaderNumber(std::string_view leader, std::size_t at,
                                        std::size_t width) {
    if (at + width > leader.size())
        return std::nullopt;
    std::size_t n = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        const char c = leader[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    return n;
}

Leader::Leader() {
    constexpr std::string_view fresh = "00000nam a2200000 a 4500";
    std::copy(fresh.begin(), fresh.end(), bytes_.begin());
}

std::optional<Leader> Leader::fromText(std::string_view text) {
    if (text.size() != Length)
        return std::nullopt;
    Leader leader;
    std::copy(text.begin(), text.end(), leader.bytes_.begin());
    return leader;
}

} // namespace marc
