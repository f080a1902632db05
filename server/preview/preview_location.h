#pragma once
// Groups whose documents ask for a location (REQ_LOCATION_ID) act on
// holdings at that location. A job is given one; a preview takes the
// location of the record's holdings, among the locations the operator works
// at, and applies no rules when there is none.

#include <cstdint>
#include <string>

namespace engine {
struct RecordFacts;
}

namespace orvane::server {

class Database;

struct PreviewLocation {
    // 0, or why no rules apply: preview_code::NoHoldings, NoOperatorLocation.
    std::int32_t code = 0;
    // The location code the rules run with; empty when the group needs none.
    std::string location;
};

PreviewLocation previewLocation(Database& db, std::int32_t groupId,
                                const engine::RecordFacts& record, std::int64_t operatorRow);

} // namespace orvane::server
