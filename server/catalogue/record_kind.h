#pragma once
// The three kinds of catalogue record, numbered as the wire's "RT" numbers them.

#include "marc/leader.h"

#include <optional>
#include <string_view>

namespace orvane::server {

enum class RecordKind { Bibliographic = 1, Holdings = 2, Authority = 3 };

inline int toNumber(RecordKind kind) {
    return static_cast<int>(kind);
}

inline std::optional<RecordKind> recordKindFromNumber(int number) {
    if (number < 1 || number > 3)
        return std::nullopt;
    return static_cast<RecordKind>(number);
}

inline RecordKind recordKindOf(marc::RecordType type) {
    switch (type) {
    case marc::RecordType::Holdings:
        return RecordKind::Holdings;
    case marc::RecordType::Authority:
        return RecordKind::Authority;
    case marc::RecordType::Bibliographic:
        break;
    }
    return RecordKind::Bibliographic;
}

// "bib", "holdings", "auth" and their long forms, in any letter case.
std::optional<RecordKind> recordKindFromName(std::string_view name);
std::string_view nameOf(RecordKind kind); // "bibliographic", "holdings", "authority"

} // namespace orvane::server
