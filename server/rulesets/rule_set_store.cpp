#include "rule_set_store.h"

#include "protocol/status.h"
#include "rule_document_store.h"
#include "store/database.h"

#include <algorithm>

namespace orvane::server {

namespace {

std::string requiredParameters(Database& db, std::int64_t id) {
    auto st = db.prepare("SELECT p.name FROM rule_set_links l "
                         "JOIN rule_document_parameters p ON p.document = l.document "
                         "WHERE l.rule_set = ?1 ORDER BY l.position, p.position");
    st.bind(1, id);
    std::vector<std::string> seen;
    std::string joined;
    while (st.step()) {
        std::string name = st.text(0);
        if (std::find(seen.begin(), seen.end(), name) != seen.end())
            continue;
        joined += (joined.empty() ? "" : ",") + name;
        seen.push_back(std::move(name));
    }
    return joined;
}

bool nameTaken(Database& db, const RuleSetChange& change) {
    auto st = db.prepare("SELECT 1 FROM rule_sets WHERE name = ?1 AND id IS DISTINCT FROM ?2");
    st.bind(1, change.name).bind(2, change.id);
    return st.step();
}

bool linksFitType(Database& db, const RuleSetChange& change) {
    return std::all_of(change.documents.begin(), change.documents.end(), [&](std::int64_t doc) {
        return ruleDocumentType(db, doc) == change.ruleType;
    });
}

void writeGroup(Database& db, const RuleSetChange& change, std::int64_t& id) {
    if (change.id) {
        id = *change.id;
        db.prepare("UPDATE rule_sets SET name = ?2, description = ?3, updated_by = ?4, "
                   "updated_at = datetime('now') WHERE id = ?1")
            .bind(1, id)
            .bind(2, change.name)
            .bind(3, change.description)
            .bind(4, change.operatorId)
            .run();
        return;
    }
    db.prepare("INSERT INTO rule_sets (rule_type, name, description, created_by) "
               "VALUES (?1, ?2, ?3, ?4)")
        .bind(1, change.ruleType)
        .bind(2, change.name)
        .bind(3, change.description)
        .bind(4, change.operatorId)
        .run();
    id = db.lastInsertId();
}

void writeContents(Database& db, std::int64_t id, const RuleSetChange& change) {
    db.prepare("DELETE FROM rule_set_links WHERE rule_set = ?1").bind(1, id).run();
    db.prepare("DELETE FROM rule_set_parameters WHERE rule_set = ?1").bind(1, id).run();
    auto link = db.prepare(
        "INSERT INTO rule_set_links (rule_set, position, document) VALUES (?1, ?2, ?3)");
    int position = 0;
    for (const auto document : change.documents) {
        link.bind(1, id).bind(2, position++).bind(3, document).run();
        link.reset();
    }
    auto parameter = db.prepare("INSERT INTO rule_set_parameters (rule_set, position, name, value) "
                                "VALUES (?1, ?2, ?3, ?4)");
    position = 0;
    for (const auto& [name, value] : change.parameters) {
        parameter.bind(1, id).bind(2, position++).bind(3, name).bind(4, value).run();
        parameter.reset();
    }
}

} // namespace

std::vector<RuleSetRow> listRuleSets(Database& db, std::int64_t ruleType) {
    auto st = db.prepare("SELECT id, name, description, created_by, updated_by, "
                         "COALESCE(updated_at, created_at) FROM rule_sets "
                         "WHERE rule_type = ?1 ORDER BY name, id");
    st.bind(1, ruleType);
    std::vector<RuleSetRow> rows;
    while (st.step())
        rows.push_back(
            {st.int64(0), st.text(1), st.text(2), {st.text(3), st.text(4), st.text(5)}, {}});
    for (auto& row : rows)
        row.requiredParameters = requiredParameters(db, row.id);
    return rows;
}

std::optional<std::int64_t> ruleSetType(Database& db, std::int64_t id) {
    auto st = db.prepare("SELECT rule_type FROM rule_sets WHERE id = ?1");
    st.bind(1, id);
    return st.step() ? std::optional<std::int64_t>(st.int64(0)) : std::nullopt;
}

std::optional<std::int64_t> findRuleSet(Database& db, const std::string& name) {
    auto st = db.prepare("SELECT id FROM rule_sets WHERE name = ?1");
    st.bind(1, name);
    return st.step() ? std::optional<std::int64_t>(st.int64(0)) : std::nullopt;
}

std::vector<RuleSetLink> ruleSetLinks(Database& db, std::int64_t id) {
    auto st = db.prepare(
        "SELECT document, position FROM rule_set_links WHERE rule_set = ?1 ORDER BY position");
    st.bind(1, id);
    std::vector<RuleSetLink> links;
    while (st.step())
        links.push_back({st.int64(0), st.int32(1)});
    return links;
}

std::vector<RuleSetParameter> ruleSetParameters(Database& db, std::int64_t id) {
    auto st = db.prepare(
        "SELECT name, value FROM rule_set_parameters WHERE rule_set = ?1 ORDER BY position");
    st.bind(1, id);
    std::vector<RuleSetParameter> parameters;
    while (st.step())
        parameters.emplace_back(st.text(0), st.text(1));
    return parameters;
}

SaveOutcome saveRuleSet(Database& db, const RuleSetChange& change) {
    if (change.name.empty())
        return {wire::status::InvalidValue, 0};
    if (change.id) {
        const auto storedType = ruleSetType(db, *change.id);
        if (!storedType)
            return {wire::status::NotFound, 0};
        if (*storedType != change.ruleType)
            return {wire::status::InvalidValue, 0};
    }
    if (nameTaken(db, change))
        return {wire::status::NameTaken, 0};
    if (!linksFitType(db, change))
        return {wire::status::InvalidValue, 0};
    std::int64_t id = 0;
    writeGroup(db, change, id);
    writeContents(db, id, change);
    return {wire::status::Ok, id};
}

bool deleteRuleSet(Database& db, std::int64_t id) {
    db.prepare("DELETE FROM rule_sets WHERE id = ?1").bind(1, id).run();
    const bool deleted = db.changes() > 0;
    return deleted;
}

} // namespace orvane::server
