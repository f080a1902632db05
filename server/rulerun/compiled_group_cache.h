#pragma once
// Compiled rule set groups kept between requests: an operator walking a set
// in the preview, or a job, compiles a group once. An entry is used only
// while the group's stamp is the same; any thread may ask.

#include "group_source.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orvane::server {

class Database;

struct CompiledGroup {
    GroupSource source;
    // Null when the group does not compile; `errors` say why.
    std::shared_ptr<const engine::RuleGroup> group;
    std::vector<std::string> errors;
};

class CompiledGroupCache {
public:
    // Null when there is no such group.
    std::shared_ptr<const CompiledGroup> get(Database& db, std::int32_t groupId);

private:
    std::mutex mutex_;
    std::map<std::int32_t, std::shared_ptr<const CompiledGroup>> entries_;
};

// One cache for the whole process.
CompiledGroupCache& compiledGroups();

} // namespace orvane::server
