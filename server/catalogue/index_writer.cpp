#include "index_writer.h"

#include "marc/record_view.h"

#include <algorithm>
#include <tuple>

namespace orvane::server {

IndexWriter::IndexWriter(Database& db)
    : remove_(db.prepare("DELETE FROM catalogue_index WHERE record_type = ?1 AND record_id = ?2")),
      removeControl_(db.prepare("DELETE FROM catalogue_index WHERE record_type = ?1 AND "
                                "record_id = ?2 AND code IN ('035A', 'A35A', 'H35A', 'HB')")),
      insert_(db.prepare("INSERT INTO catalogue_index (record_type, code, key, record_id) "
                         "VALUES (?1, ?2, ?3, ?4)")),
      db_(db) {}

namespace {
// Rows per statement when flushing kept entries.
constexpr std::size_t RowsPerInsert = 64;

bool isLinkCode(std::string_view code) {
    return code == "035A" || code == "A35A" || code == "H35A" || code == "HB";
}
} // namespace

void IndexWriter::write(RecordKind kind, std::int32_t id, const marc::RecordView& record,
                        bool fresh) {
    if (!fresh)
        remove(kind, id);
    if (deferred_) {
        const std::uint32_t write = ++writes_;
        lastWrite_[{toNumber(kind), id}] = write;
        for (const IndexEntry& entry : keys_.of(record, kind)) {
            // Links are looked up while the batch goes on (a holdings record
            // finds its bibliographic record by them): they go in at once.
            if (isLinkCode(entry.code)) {
                insert_.reset();
                insert_.bind(1, toNumber(kind)).bind(2, entry.code).bind(3, entry.key).bind(4, id).run();
            } else {
                pending_.push_back({toNumber(kind), entry.code, entry.key, id, write});
            }
        }
        return;
    }
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

void IndexWriter::flush() {
    // Entries of a record written again since are not its entries any more.
    std::erase_if(pending_, [&](const Pending& p) {
        return lastWrite_[{p.kind, p.id}] != p.write;
    });
    std::sort(pending_.begin(), pending_.end(), [](const Pending& a, const Pending& b) {
        return std::tie(a.kind, a.code, a.key, a.id) < std::tie(b.kind, b.code, b.key, b.id);
    });
    std::size_t at = 0;
    for (; at + RowsPerInsert <= pending_.size(); at += RowsPerInsert)
        insertRows(at, RowsPerInsert);
    for (; at < pending_.size(); ++at) {
        const Pending& p = pending_[at];
        insert_.reset();
        insert_.bind(1, p.kind).bind(2, p.code).bind(3, p.key).bind(4, p.id).run();
    }
    discard();
}

void IndexWriter::discard() {
    pending_.clear();
    lastWrite_.clear();
}

void IndexWriter::insertRows(std::size_t from, std::size_t count) {
    if (!insertMany_) {
        // A refused row fails the statement; the caller rolls back the batch.
        const std::string sql = db_.multiRowInsert(
            "catalogue_index (record_type, code, key, record_id)", 4, static_cast<int>(RowsPerInsert));
        insertMany_.emplace(db_.prepare(sql));
    }
    Statement& st = *insertMany_;
    st.reset();
    int column = 1;
    for (std::size_t i = from; i < from + count; ++i) {
        const Pending& p = pending_[i];
        st.bind(column, p.kind).bind(column + 1, p.code).bind(column + 2, p.key).bind(column + 3, p.id);
        column += 4;
    }
    st.run();
}

void IndexWriter::remove(RecordKind kind, std::int32_t id) {
    remove_.reset();
    remove_.bind(1, toNumber(kind)).bind(2, id).run();
}

} // namespace orvane::server
