#pragma once
// A rule set group as stored: its documents in link order, its parameters,
// and a stamp made of the documents themselves, so that a compiled group is
// kept exactly as long as what it was compiled from is unchanged (whatever
// database or server process it comes from).

#include "rule_group.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvane::server {

class Database;

struct GroupSource {
    std::int32_t id = 0;
    std::int32_t ruleType = 0;
    std::string name;
    std::string stamp;
    std::vector<engine::GroupDocument> documents;
    std::vector<std::pair<std::string, std::string>> parameters;
};

// Nothing when there is no group with this id.
std::optional<GroupSource> loadGroupSource(Database& db, std::int32_t groupId);

} // namespace orvane::server
