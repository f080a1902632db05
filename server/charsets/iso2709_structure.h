#pragma once
// The structural check of one ISO 2709 record with MARC 21's entry map
// (4-digit field lengths, 5-digit starting positions). YAZ reads records
// leniently: a damaged directory can leave it with fewer fields and no
// error, so a record is checked here before YAZ rewrites it.

#include <optional>
#include <string_view>
#include <vector>

namespace orvane::server {

// The data of each field, without its terminator, in directory order; empty
// when the octets are not exactly one record whose leader length, base
// address and directory agree with its data (every field inside the data
// area and ending with a field terminator, a record terminator last).
std::optional<std::vector<std::string_view>> iso2709FieldData(std::string_view record);

inline bool isWellFormedIso2709(std::string_view record) {
    return iso2709FieldData(record).has_value();
}

} // namespace orvane::server
