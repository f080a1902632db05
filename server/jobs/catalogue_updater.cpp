#include "catalogue_updater.h"

#include "marc/record_view.h"

#include <stdexcept>

namespace orvane::server {

namespace {

std::map<std::string, std::int64_t, std::less<>> codes(Database& db, const char* table) {
    std::map<std::string, std::int64_t, std::less<>> found;
    auto st = db.prepare(std::string("SELECT code, id FROM ") + table);
    while (st.step())
        found.emplace(st.text(0), st.int64(1));
    return found;
}

std::optional<std::int64_t> asFlag(const std::optional<bool>& value) {
    if (!value)
        return std::nullopt;
    return *value ? 1 : 0;
}

// The rules' "yyyymmdd" as the catalogue keeps dates.
std::optional<std::string> storedDate(const std::optional<std::string>& ruleDate) {
    if (!ruleDate || ruleDate->size() != 8)
        return ruleDate;
    return ruleDate->substr(0, 4) + "-" + ruleDate->substr(4, 2) + "-" + ruleDate->substr(6, 2);
}

} // namespace

CatalogueUpdater::CatalogueUpdater(Database& db, std::string operatorId, bool keywordIndex)
    : db_(db), operator_(std::move(operatorId)), keywordIndex_(keywordIndex),
      update_(db.prepare("UPDATE catalogue_records SET marc = ?3, updated_by = ?4, "
                         "updated_at = datetime('now'), needs_reindex = ?5 "
                         "WHERE record_type = ?1 AND record_id = ?2")),
      history_(db.prepare("INSERT INTO catalogue_history (record_type, record_id, action, "
                          "operator, previous) VALUES (?1, ?2, 'replaced', ?3, ?4)")),
      flags_(db.prepare(
          "UPDATE catalogue_records SET suppressed = coalesce(?3, suppressed), "
          "ok_to_export = coalesce(?4, ok_to_export), "
          "ok_to_export_date = coalesce(?5, ok_to_export_date), "
          "owning_library = coalesce(?6, owning_library), location = coalesce(?7, location), "
          "updated_by = ?8, updated_at = datetime('now') "
          "WHERE record_type = ?1 AND record_id = ?2")),
      holdingsSuppressed_(db.prepare("UPDATE catalogue_records SET suppressed = ?2, "
                                     "updated_by = ?3, updated_at = datetime('now') "
                                     "WHERE record_type = 2 AND bib_id = ?1")),
      delete_(db.prepare("DELETE FROM catalogue_records WHERE record_type = ?1 AND record_id = ?2")),
      deleteHoldings_(db.prepare("DELETE FROM catalogue_records WHERE record_type = 2 AND "
                                 "bib_id = ?1")),
      index_(db), libraries_(codes(db, "owning_libraries")), locations_(codes(db, "locations")) {}

std::optional<std::int64_t> CatalogueUpdater::codeId(
    std::map<std::string, std::int64_t, std::less<>>& known, const std::string& code) {
    const auto it = known.find(code);
    return it == known.end() ? std::nullopt : std::optional<std::int64_t>(it->second);
}

void CatalogueUpdater::replace(RecordKind kind, std::int32_t id, std::string_view previous,
                               std::string_view octets, const engine::FactChanges& facts) {
    const marc::ParseResult parsed = marc::parseRecord(octets);
    if (!parsed.record)
        throw std::runtime_error("the changed record is not well formed");
    update_.reset();
    update_.bind(1, toNumber(kind))
        .bind(2, id)
        .bindBlob(3, octets)
        .bind(4, operator_)
        .bind(5, !keywordIndex_)
        .run();
    history_.reset();
    history_.bind(1, toNumber(kind)).bind(2, id).bind(3, operator_).bindBlob(4, previous).run();
    if (keywordIndex_) {
        index_.write(kind, id, *parsed.record);
    } else {
        const marc::ParseResult before = marc::parseRecord(previous);
        index_.writeControlKeys(kind, id, *parsed.record, before.record ? &*before.record : nullptr);
    }
    if (facts.any())
        setFacts(kind, id, facts);
}

void CatalogueUpdater::setFacts(RecordKind kind, std::int32_t id,
                                const engine::FactChanges& facts) {
    flags_.reset();
    flags_.bind(1, toNumber(kind))
        .bind(2, id)
        .bind(3, asFlag(facts.suppressed))
        .bind(4, asFlag(facts.okToExport))
        .bind(5, storedDate(facts.okToExportDate));
    flags_.bind(6, facts.owningLibrary ? codeId(libraries_, *facts.owningLibrary) : std::nullopt);
    flags_.bind(7, facts.location ? codeId(locations_, *facts.location) : std::nullopt);
    flags_.bind(8, operator_).run();
    if (facts.suppressed && facts.holdingsToo && kind == RecordKind::Bibliographic) {
        holdingsSuppressed_.reset();
        holdingsSuppressed_.bind(1, id).bind(2, *facts.suppressed).bind(3, operator_).run();
    }
}

void CatalogueUpdater::remove(RecordKind kind, std::int32_t id, bool withHoldings) {
    if (withHoldings && kind == RecordKind::Bibliographic) {
        deleteHoldings_.reset();
        deleteHoldings_.bind(1, id).run();
    }
    delete_.reset();
    delete_.bind(1, toNumber(kind)).bind(2, id).run();
}

} // namespace orvane::server
