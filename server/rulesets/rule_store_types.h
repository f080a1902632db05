#pragma once
// What the rule document and rule set group stores answer: the stored
// object's row, and the outcome of a save.

#include <cstdint>
#include <string>

namespace orvane::server {

// Who made an object and who last changed it, and when ("yyyy-mm-dd
// hh:mm:ss"; the creation time until the first change).
struct Authorship {
    std::string createdBy;
    std::string updatedBy; // empty until changed
    std::string updateDate;
};

// The status a save answers (0, 4 name taken, 7 not found, 8 invalid) and,
// on success, the object's id.
struct SaveOutcome {
    std::int32_t status = 0;
    std::int64_t id = 0;
};

} // namespace orvane::server
