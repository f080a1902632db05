#include "catalogue_facts.h"

#include "store/database.h"

namespace orvane::server {

namespace {

// "2024-03-01 12:00:00" as the rules compare dates: "20240301".
std::string ruleDate(const std::string& stored) {
    std::string date;
    for (const char c : stored.substr(0, 10))
        if (c != '-')
            date.push_back(c);
    return date;
}

} // namespace

CatalogueReader::CatalogueReader(Database& db)
    : select_(std::make_unique<Statement>(db.prepare(
        "SELECT r.marc, r.created_at, r.updated_at, r.created_by, r.updated_by, l.code, c.code, "
        "r.suppressed, r.ok_to_export, r.ok_to_export_date, "
        "EXISTS (SELECT 1 FROM catalogue_records h WHERE h.record_type = 2 AND h.bib_id = "
        "r.record_id AND r.record_type = 1), l.name "
        "FROM catalogue_records r LEFT JOIN owning_libraries l ON l.id = r.owning_library "
        "LEFT JOIN locations c ON c.id = r.location "
        "WHERE r.record_type = ?1 AND r.record_id = ?2"))) {}

CatalogueReader::~CatalogueReader() = default;

std::optional<CatalogueRecord> CatalogueReader::load(std::int32_t recordType,
                                                     std::int32_t recordId) {
    Statement& st = *select_;
    st.reset();
    st.bind(1, recordType).bind(2, recordId);
    if (!st.step()) {
        st.reset();
        return std::nullopt;
    }
    CatalogueRecord record;
    record.marc = st.blob(0);
    engine::RecordFacts& f = record.facts;
    f.kind = static_cast<engine::RecordKind>(recordType);
    f.id = recordId;
    f.createdDate = ruleDate(st.text(1));
    f.updatedDate = ruleDate(st.text(2));
    f.createdBy = st.text(3);
    f.updatedBy = st.text(4);
    if (!st.isNull(5)) {
        f.owningLibrary = st.text(5);
        f.owningLibraryName = st.text(11);
    }
    if (!st.isNull(6))
        f.location = st.text(6);
    f.suppressed = st.int64(7) != 0;
    f.okToExport = st.int64(8) != 0;
    if (!st.isNull(9))
        f.okToExportDate = ruleDate(st.text(9));
    f.hasHoldings = st.int64(10) != 0;
    // The catalogue keeps no items or orders.
    f.hasItemsOrOrders = false;
    // Ended now, so the connection holds no read snapshot between records.
    st.reset();
    return record;
}

std::optional<CatalogueRecord> loadCatalogueRecord(Database& db, std::int32_t recordType,
                                                   std::int32_t recordId) {
    return CatalogueReader(db).load(recordType, recordId);
}

std::optional<std::string> fieldOrderPatterns(Database& db, const std::string& name) {
    auto st = db.prepare("SELECT tags FROM field_order_configs WHERE name = ?1");
    st.bind(1, name);
    if (!st.step())
        return std::nullopt;
    return st.text(0);
}

} // namespace orvane::server
