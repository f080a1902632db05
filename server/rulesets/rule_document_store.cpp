#include "rule_document_store.h"

#include "protocol/status.h"
#include "store/database.h"

namespace orvane::server {

namespace {

std::optional<std::int64_t> optionalId(Statement& st) {
    return st.step() ? std::optional<std::int64_t>(st.int64(0)) : std::nullopt;
}

bool nameTaken(Database& db, const RuleDocumentChange& change) {
    auto st = db.prepare(
        "SELECT 1 FROM rule_documents WHERE rule_type = ?1 AND name = ?2 AND id IS DISTINCT FROM ?3");
    st.bind(1, change.ruleType).bind(2, change.name).bind(3, change.id);
    return st.step();
}

void replaceParameters(Database& db, std::int64_t id, const std::vector<std::string>& names) {
    db.prepare("DELETE FROM rule_document_parameters WHERE document = ?1").bind(1, id).run();
    auto insert = db.prepare(
        "INSERT INTO rule_document_parameters (document, position, name) VALUES (?1, ?2, ?3)");
    int position = 0;
    for (const auto& name : names) {
        insert.bind(1, id).bind(2, position++).bind(3, name).run();
        insert.reset();
    }
}

} // namespace

std::vector<RuleDocumentRow> listRuleDocuments(Database& db, std::int64_t ruleType) {
    auto st = db.prepare("SELECT id, name, description, text, created_by, updated_by, "
                         "COALESCE(updated_at, created_at) FROM rule_documents "
                         "WHERE rule_type = ?1 ORDER BY name, id");
    st.bind(1, ruleType);
    std::vector<RuleDocumentRow> rows;
    while (st.step())
        rows.push_back({st.int64(0), st.text(1), st.text(2), st.text(3),
                        {st.text(4), st.text(5), st.text(6)}});
    return rows;
}

std::optional<std::int64_t> ruleDocumentType(Database& db, std::int64_t id) {
    auto st = db.prepare("SELECT rule_type FROM rule_documents WHERE id = ?1");
    st.bind(1, id);
    return optionalId(st);
}

std::optional<std::int64_t> findRuleDocument(Database& db, std::int64_t ruleType,
                                             const std::string& name) {
    auto st = db.prepare("SELECT id FROM rule_documents WHERE rule_type = ?1 AND name = ?2");
    st.bind(1, ruleType).bind(2, name);
    return optionalId(st);
}

SaveOutcome saveRuleDocument(Database& db, const RuleDocumentChange& change) {
    if (change.name.empty())
        return {wire::status::InvalidValue, 0};
    std::int64_t id = 0;
    if (change.id) {
        const auto storedType = ruleDocumentType(db, *change.id);
        if (!storedType)
            return {wire::status::NotFound, 0};
        if (*storedType != change.ruleType)
            return {wire::status::InvalidValue, 0};
    }
    if (nameTaken(db, change))
        return {wire::status::NameTaken, 0};
    if (change.id) {
        id = *change.id;
        db.prepare("UPDATE rule_documents SET name = ?2, description = ?3, text = ?4, "
                   "updated_by = ?5, updated_at = datetime('now') WHERE id = ?1")
            .bind(1, id)
            .bind(2, change.name)
            .bind(3, change.description)
            .bind(4, change.text)
            .bind(5, change.operatorId)
            .run();
    } else {
        db.prepare("INSERT INTO rule_documents (rule_type, name, description, text, created_by) "
                   "VALUES (?1, ?2, ?3, ?4, ?5)")
            .bind(1, change.ruleType)
            .bind(2, change.name)
            .bind(3, change.description)
            .bind(4, change.text)
            .bind(5, change.operatorId)
            .run();
        id = db.lastInsertId();
    }
    replaceParameters(db, id, change.parameterNames);
    return {wire::status::Ok, id};
}

std::vector<std::string> groupsLinkingDocument(Database& db, std::int64_t id) {
    auto st = db.prepare("SELECT DISTINCT s.name FROM rule_sets s "
                         "JOIN rule_set_links l ON l.rule_set = s.id "
                         "WHERE l.document = ?1 ORDER BY s.name");
    st.bind(1, id);
    std::vector<std::string> names;
    while (st.step())
        names.push_back(st.text(0));
    return names;
}

bool deleteRuleDocument(Database& db, std::int64_t id) {
    db.prepare("DELETE FROM rule_documents WHERE id = ?1").bind(1, id).run();
    const bool deleted = db.changes() > 0;
    return deleted;
}

} // namespace orvane::server
