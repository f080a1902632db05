#include "record_set_members.h"

#include "store/database.h"

namespace orvane::server {

namespace {

void markChanged(Database& db, std::int32_t setId, std::int64_t countDelta, const std::string& by) {
    auto st = db.prepare("UPDATE record_sets SET record_count = record_count + ?2, "
                         "updated_by = ?3, updated_at = datetime('now') WHERE id = ?1");
    st.bind(1, static_cast<std::int64_t>(setId)).bind(2, countDelta).bind(3, by).run();
}

std::int64_t lastOrdinal(Database& db, std::int32_t setId) {
    auto st = db.prepare("SELECT max(ordinal) FROM record_set_members WHERE record_set = ?1");
    st.bind(1, static_cast<std::int64_t>(setId));
    return st.step() && !st.isNull(0) ? st.int64(0) : 0;
}

} // namespace

std::vector<std::int32_t> RecordSetMembers::add(std::int32_t setId, int recordType,
                                                std::span<const std::int32_t> ids,
                                                const std::string& by) {
    std::vector<std::int32_t> missing;
    Transaction tx(db_);
    auto inCatalogue = db_.prepare(
        "SELECT 1 FROM catalogue_records WHERE record_type = ?1 AND record_id = ?2");
    // The primary key (record_set, record_id) turns an id already held into a no-op.
    auto insert = db_.prepare("INSERT INTO record_set_members (record_set, ordinal, record_id) "
                              "VALUES (?1, ?2, ?3) ON CONFLICT (record_set, record_id) DO NOTHING");
    std::int64_t ordinal = lastOrdinal(db_, setId);
    std::int64_t added = 0;
    for (const std::int32_t id : ids) {
        inCatalogue.bind(1, recordType).bind(2, static_cast<std::int64_t>(id));
        const bool found = inCatalogue.step();
        inCatalogue.reset();
        if (!found) {
            missing.push_back(id);
            continue;
        }
        insert.bind(1, static_cast<std::int64_t>(setId))
            .bind(2, ordinal + 1)
            .bind(3, static_cast<std::int64_t>(id));
        insert.run();
        insert.reset();
        if (db_.changes() > 0) {
            ++ordinal;
            ++added;
        }
    }
    markChanged(db_, setId, added, by);
    tx.commit();
    return missing;
}

RecordSetChunk RecordSetMembers::chunk(std::int32_t setId, std::int32_t number) {
    const std::int64_t first = (static_cast<std::int64_t>(number) - 1) * ChunkSize + 1;
    const std::int64_t last = first + ChunkSize - 1;
    auto st = db_.prepare("SELECT record_id FROM record_set_members WHERE record_set = ?1 "
                          "AND ordinal BETWEEN ?2 AND ?3 ORDER BY ordinal");
    st.bind(1, static_cast<std::int64_t>(setId)).bind(2, first).bind(3, last);
    RecordSetChunk chunk;
    while (st.step()) {
        if (!chunk.ids.empty())
            chunk.ids += "\r\n";
        chunk.ids += std::to_string(st.int64(0));
    }
    auto more = db_.prepare(
        "SELECT 1 FROM record_set_members WHERE record_set = ?1 AND ordinal > ?2 LIMIT 1");
    more.bind(1, static_cast<std::int64_t>(setId)).bind(2, last);
    chunk.next = more.step() ? number + 1 : 0;
    return chunk;
}

std::optional<std::int32_t> RecordSetMembers::at(std::int32_t setId, std::int64_t position,
                                                 std::int64_t count) {
    if (position < 1 || position > count)
        return std::nullopt;
    // Until something is removed the ordinals have no gaps, and the place is
    // one look-up; after a removal it is counted, which grows with the place.
    auto span = db_.prepare("SELECT min(ordinal), max(ordinal) FROM record_set_members "
                            "WHERE record_set = ?1");
    span.bind(1, static_cast<std::int64_t>(setId));
    if (!span.step() || span.isNull(0))
        return std::nullopt;
    const std::int64_t first = span.int64(0);
    const bool dense = span.int64(1) - first + 1 == count;
    auto st = dense ? db_.prepare("SELECT record_id FROM record_set_members "
                                  "WHERE record_set = ?1 AND ordinal = ?2")
                    : db_.prepare("SELECT record_id FROM record_set_members WHERE record_set = ?1 "
                                  "ORDER BY ordinal LIMIT 1 OFFSET ?2 - 1");
    st.bind(1, static_cast<std::int64_t>(setId)).bind(2, dense ? first + position - 1 : position);
    if (!st.step())
        return std::nullopt;
    return static_cast<std::int32_t>(st.int64(0));
}

bool RecordSetMembers::remove(std::int32_t setId, std::int32_t recordId, const std::string& by) {
    Transaction tx(db_);
    auto st = db_.prepare("DELETE FROM record_set_members WHERE record_set = ?1 AND record_id = ?2");
    st.bind(1, static_cast<std::int64_t>(setId)).bind(2, static_cast<std::int64_t>(recordId)).run();
    if (db_.changes() == 0)
        return false;
    markChanged(db_, setId, -1, by);
    tx.commit();
    return true;
}

} // namespace orvane::server
