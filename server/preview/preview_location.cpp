#include "preview_location.h"

#include "record_facts.h"
#include "record_preview.h"
#include "store/database.h"

namespace orvane::server {

namespace {

bool asksForLocation(Database& db, std::int32_t groupId) {
    auto st = db.prepare("SELECT 1 FROM rule_set_links l JOIN rule_document_parameters p "
                         "ON p.document = l.document "
                         "WHERE l.rule_set = ?1 AND p.name = 'REQ_LOCATION_ID' LIMIT 1");
    st.bind(1, static_cast<std::int64_t>(groupId));
    return st.step();
}

// The first holdings record (by id) of a bibliographic record, or the
// holdings record itself, at a location of the operator's.
std::string operatorLocation(Database& db, const engine::RecordFacts& record,
                             std::int64_t operatorRow) {
    const bool bib = record.kind == engine::RecordKind::Bibliographic;
    auto st =
        db.prepare(std::string("SELECT c.code FROM catalogue_records h "
                               "JOIN operator_locations o ON o.location = h.location "
                               "AND o.operator = ?2 "
                               "JOIN locations c ON c.id = h.location "
                               "WHERE h.record_type = 2 AND ") +
                   (bib ? "h.bib_id = ?1" : "h.record_id = ?1") + " ORDER BY h.record_id LIMIT 1");
    st.bind(1, static_cast<std::int64_t>(record.id)).bind(2, operatorRow);
    return st.step() ? st.text(0) : std::string();
}

} // namespace

PreviewLocation previewLocation(Database& db, std::int32_t groupId,
                                const engine::RecordFacts& record, std::int64_t operatorRow) {
    if (record.kind == engine::RecordKind::Authority || !asksForLocation(db, groupId))
        return {};
    if (record.kind == engine::RecordKind::Bibliographic && !record.hasHoldings.value_or(false))
        return {preview_code::NoHoldings, {}};
    std::string location = operatorLocation(db, record, operatorRow);
    if (location.empty())
        return {preview_code::NoOperatorLocation, {}};
    return {0, std::move(location)};
}

} // namespace orvane::server
