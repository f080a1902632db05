#pragma once
// A rule set group as stored: its documents in link order, its parameters,
// and a stamp that changes whenever the group or one of its documents does,
// so that a compiled group can be kept until then.

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
