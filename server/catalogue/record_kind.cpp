#include "record_kind.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace orvane::server {

std::optional<RecordKind> recordKindFromName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "bib" || lower == "bibliographic" || lower == "1")
        return RecordKind::Bibliographic;
    if (lower == "holdings" || lower == "mfhd" || lower == "2")
        return RecordKind::Holdings;
    if (lower == "auth" || lower == "authority" || lower == "3")
        return RecordKind::Authority;
    return std::nullopt;
}

std::string_view nameOf(RecordKind kind) {
    switch (kind) {
    case RecordKind::Holdings:
        return "holdings";
    case RecordKind::Authority:
        return "authority";
    case RecordKind::Bibliographic:
        break;
    }
    return "bibliographic";
}

} // namespace orvane::server
