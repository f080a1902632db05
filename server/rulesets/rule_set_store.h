#pragma once
// Rule set groups as stored: a name, an ordered list of links to rule
// documents of the group's own rule type, named parameters, and who made
// and changed the group.

#include "rule_store_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orvane::server {

class Database;

// Changes run inside the caller's transaction.

struct RuleSetRow {
    std::int64_t id = 0;
    std::string name;
    std::string description;
    Authorship authorship;
    // The job parameters the linked documents ask for, each once, in link
    // order, joined by ",".
    std::string requiredParameters;
};

struct RuleSetLink {
    std::int64_t document = 0;
    std::int32_t order = 0;
};

using RuleSetParameter = std::pair<std::string, std::string>;

struct RuleSetChange {
    std::optional<std::int64_t> id; // none: a new group
    std::int64_t ruleType = 0;
    std::string name;
    std::string description;
    std::vector<std::int64_t> documents; // in order; stored as orders 0, 1, 2, ...
    std::vector<RuleSetParameter> parameters;
    std::string operatorId;
};

// By name, then id.
std::vector<RuleSetRow> listRuleSets(Database& db, std::int64_t ruleType);
std::optional<std::int64_t> ruleSetType(Database& db, std::int64_t id);
std::optional<std::int64_t> findRuleSet(Database& db, const std::string& name);
std::vector<RuleSetLink> ruleSetLinks(Database& db, std::int64_t id);
std::vector<RuleSetParameter> ruleSetParameters(Database& db, std::int64_t id);

// Links and parameters are replaced with the rest. 4 when
// another group has the name, 7 when the id is unknown, 8 for an empty name,
// a stored group of another type, or a link to a document that is not of
// the group's type.
SaveOutcome saveRuleSet(Database& db, const RuleSetChange& change);
// False when it was not there.
bool deleteRuleSet(Database& db, std::int64_t id);

} // namespace orvane::server
