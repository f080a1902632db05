#pragma once
// Writes catalogue records out as one ISO 2709 file, their stored octets as
// they are.

#include "record_kind.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <vector>

namespace orvane::server {

class Database;

struct ExportSummary {
    std::size_t written = 0;
    std::vector<std::int32_t> missing; // ids asked for that the catalogue lacks
};

// Every record of the kind in id order, or the ids given in their order.
ExportSummary exportRecords(Database& db, RecordKind kind,
                            const std::optional<std::vector<std::int32_t>>& ids, std::ostream& out);

} // namespace orvane::server
