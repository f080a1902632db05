#include "index_writer.h"

#include "marc/record_view.h"

namespace orvane::server {

IndexWriter::IndexWriter(Database& db)
    : remove_(db.prepare("DELETE FROM catalogue_index WHERE record_type = ?1 AND record_id = ?2")),
      removeControl_(db.prepare("DELETE FROM catalogue_index WHERE record_type = ?1 AND "
                                "record_id = ?2 AND code IN ('035A', 'A35A', 'H35A', 'HB')")),
      insert_(db.prepare("INSERT INTO catalogue_index (record_type, code, key, record_id) "
                         "VALUES (?1, ?2, ?3, ?4)")) {}

void IndexWriter::write(RecordKind kind, std::int32_t id, const marc::RecordView& record,
                        bool fresh) {
    if (!fresh)
        remove(kind, id);
    // Entries come distinct, so a plain insert is enough.
    for (const IndexEntry& entry : keys_.of(record, kind)) {
        insert_.reset();
        insert_.bind(1, toNumber(kind)).bind(2, entry.code).bind(3, entry.key).bind(4, id).run();
    }
}

void IndexWriter::writeControlKeys(RecordKind kind, std::int32_t id,
                                   const marc::RecordView& record,
                                   const marc::RecordView* previous) {
    const std::vector<IndexEntry>& entries = keys_.links(record, kind);
    if (previous && previousKeys_.links(*previous, kind) == entries)
        return;
    removeControl_.reset();
    removeControl_.bind(1, toNumber(kind)).bind(2, id).run();
    for (const IndexEntry& entry : entries) {
        insert_.reset();
        insert_.bind(1, toNumber(kind)).bind(2, entry.code).bind(3, entry.key).bind(4, id).run();
    }
}

void IndexWriter::remove(RecordKind kind, std::int32_t id) {
    remove_.reset();
    remove_.bind(1, toNumber(kind)).bind(2, id).run();
}

} // namespace orvane::server
