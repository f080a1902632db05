#include "record_set_catalogue.h"

#include "protocol/status.h"
#include "store/database.h"

namespace orvane::server {

namespace {

namespace status = wire::status;

constexpr std::string_view Columns =
    "id, name, description, set_type, record_type, record_count, created_by, created_at, "
    "updated_by, updated_at";

RecordSetRow rowOf(const Statement& st) {
    RecordSetRow row;
    row.id = static_cast<std::int32_t>(st.int64(0));
    row.name = st.text(1);
    row.description = st.text(2);
    row.setType = st.int32(3);
    row.recordType = st.int32(4);
    row.recordCount = static_cast<std::int32_t>(st.int64(5));
    row.createdBy = st.text(6);
    row.createdAt = st.text(7);
    row.updatedBy = st.text(8);
    row.updatedAt = st.text(9);
    return row;
}

// A name of blanks only would show as an empty grid row.
bool blank(const std::string& name) {
    return name.find_first_not_of(" \t\r\n") == std::string::npos;
}

std::int32_t newId(Database& db) { return static_cast<std::int32_t>(db.lastInsertId()); }

} // namespace

std::vector<RecordSetRow> RecordSetCatalogue::list() {
    auto st = db_.prepare("SELECT " + std::string(Columns) +
                          " FROM record_sets ORDER BY name COLLATE NOCASE, id");
    std::vector<RecordSetRow> rows;
    while (st.step())
        rows.push_back(rowOf(st));
    return rows;
}

std::optional<RecordSetRow> RecordSetCatalogue::find(std::int32_t id) {
    auto st = db_.prepare("SELECT " + std::string(Columns) + " FROM record_sets WHERE id = ?1");
    st.bind(1, static_cast<std::int64_t>(id));
    if (!st.step())
        return std::nullopt;
    return rowOf(st);
}

bool RecordSetCatalogue::nameTaken(const std::string& name, std::int32_t exceptId) {
    auto st = db_.prepare("SELECT 1 FROM record_sets WHERE name = ?1 AND id <> ?2");
    st.bind(1, name).bind(2, static_cast<std::int64_t>(exceptId));
    return st.step();
}

RecordSetChange RecordSetCatalogue::add(const std::string& name, int setType, int recordType,
                                        const std::string& by) {
    if (blank(name) || setType != 1 || recordType < 1 || recordType > 3)
        return {status::InvalidValue, 0};
    Transaction tx(db_);
    if (nameTaken(name, 0))
        return {status::NameTaken, 0};
    auto st = db_.prepare("INSERT INTO record_sets (name, set_type, record_type, created_by) "
                          "VALUES (?1, ?2, ?3, ?4)");
    st.bind(1, name).bind(2, setType).bind(3, recordType).bind(4, by).run();
    const std::int32_t id = newId(db_);
    tx.commit();
    return {status::Ok, id};
}

RecordSetChange RecordSetCatalogue::copy(std::int32_t sourceId, const std::string& name,
                                         const std::string& description, const std::string& by) {
    if (blank(name))
        return {status::InvalidValue, 0};
    Transaction tx(db_);
    const auto source = find(sourceId);
    if (!source)
        return {status::NotFound, 0};
    if (nameTaken(name, 0))
        return {status::NameTaken, 0};
    auto st = db_.prepare(
        "INSERT INTO record_sets (name, description, set_type, record_type, record_count, "
        "created_by) VALUES (?1, ?2, ?3, ?4, ?5, ?6)");
    st.bind(1, name)
        .bind(2, description)
        .bind(3, source->setType)
        .bind(4, source->recordType)
        .bind(5, static_cast<std::int64_t>(source->recordCount))
        .bind(6, by)
        .run();
    const std::int32_t id = newId(db_);
    auto members = db_.prepare("INSERT INTO record_set_members (record_set, ordinal, record_id) "
                               "SELECT ?1, ordinal, record_id FROM record_set_members "
                               "WHERE record_set = ?2");
    members.bind(1, static_cast<std::int64_t>(id)).bind(2, static_cast<std::int64_t>(sourceId)).run();
    tx.commit();
    return {status::Ok, id};
}

RecordSetChange RecordSetCatalogue::update(std::int32_t id, const std::string& name,
                                           const std::string& description,
                                           const std::string& by) {
    if (blank(name))
        return {status::InvalidValue, id};
    Transaction tx(db_);
    if (!find(id))
        return {status::NotFound, id};
    if (nameTaken(name, id))
        return {status::NameTaken, id};
    auto st = db_.prepare("UPDATE record_sets SET name = ?2, description = ?3, updated_by = ?4, "
                          "updated_at = datetime('now') WHERE id = ?1");
    st.bind(1, static_cast<std::int64_t>(id)).bind(2, name).bind(3, description).bind(4, by).run();
    tx.commit();
    return {status::Ok, id};
}

bool RecordSetCatalogue::remove(std::int32_t id) {
    Transaction tx(db_);
    auto st = db_.prepare("DELETE FROM record_sets WHERE id = ?1");
    st.bind(1, static_cast<std::int64_t>(id)).run();
    const bool removed = db_.changes() > 0;
    tx.commit();
    return removed;
}

} // namespace orvane::server
