#pragma once
// Rule documents as stored: one named text per rule type, the names of the
// job parameters its text asks for, and who made and changed it.

#include "rule_store_types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvane::server {

class Database;

// Changes run inside the caller's transaction.

struct RuleDocumentRow {
    std::int64_t id = 0;
    std::string name;
    std::string description;
    std::string text;
    Authorship authorship;
};

struct RuleDocumentChange {
    std::optional<std::int64_t> id; // none: a new document
    std::int64_t ruleType = 0;
    std::string name;
    std::string description;
    std::string text;
    std::vector<std::string> parameterNames;
    std::string operatorId;
};

// By name, then id.
std::vector<RuleDocumentRow> listRuleDocuments(Database& db, std::int64_t ruleType);
std::optional<std::int64_t> ruleDocumentType(Database& db, std::int64_t id);
std::optional<std::int64_t> findRuleDocument(Database& db, std::int64_t ruleType,
                                             const std::string& name);

// 4 when another document of the type has the name, 7 when
// the id is unknown, 8 for an empty name or a stored document of another type.
SaveOutcome saveRuleDocument(Database& db, const RuleDocumentChange& change);

// Names of the groups that link the document, by name.
std::vector<std::string> groupsLinkingDocument(Database& db, std::int64_t id);
// Only when no group links it; false when it was not there.
bool deleteRuleDocument(Database& db, std::int64_t id);

} // namespace orvane::server
