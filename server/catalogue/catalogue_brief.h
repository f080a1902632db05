#pragma once
// The short display of catalogue records in a search result: a title (or
// heading, or shelf place) and a date per record.

#include "record_kind.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvane::server {

class Database;

struct BriefLine {
    std::int32_t id = 0;
    bool found = false; // false: no record of the kind has this id
    std::string title;  // UTF-8
    std::string date;
};

// Bibliographic: 245 $a $b and the publication date (264 or 260 $c, else
// 008/07-10). Authority: the 1XX heading. Holdings: 852 $b $h $i. Those two
// carry the date of the last change (yyyy-mm-dd). One line per id, in order.
std::vector<BriefLine> briefLines(Database& db, RecordKind kind,
                                  std::span<const std::int32_t> ids);

} // namespace orvane::server
