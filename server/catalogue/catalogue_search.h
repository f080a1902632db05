#pragma once
// Looks a key up in one of the catalogue's indexes.

#include "record_kind.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvane::server {

class Database;

struct SearchQuery {
    std::string indexCode;
    std::string key; // as typed; put in the index's key form here
    // The kind searched; nothing for the index's own kind (bibliographic
    // for an index every kind has).
    std::optional<RecordKind> kind;
    bool truncate = false;   // the key (its last word) is a prefix
    std::size_t maxHits = 0; // 0: all
};

enum class SearchFailure { None, UnknownIndex, KindMismatch, EmptyKey };

struct SearchResult {
    SearchFailure failure = SearchFailure::None;
    RecordKind kind = RecordKind::Bibliographic; // the kind of the index searched
    std::vector<std::int32_t> ids;               // ascending
};

// The kind a query searches, or the failure that stops it before any lookup.
SearchResult planSearch(const SearchQuery& query);
SearchResult searchCatalogue(Database& db, const SearchQuery& query);

} // namespace orvane::server
