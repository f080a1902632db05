#include "index_writer.h"

#include "marc/record_view.h"

#include <algorithm>
#include <tuple>

namespace orvane::server {

namespace {

// SQLite keeps the index once, by key, and each record the list of its
// entries; they are deleted by that list. Elsewhere the index is also kept
// by record, and a record's entries are deleted through that.
std::string removeSql(Database& db, bool linksOnly) {
    if (db.engine() != Engine::Sqlite)
        return linksOnly ? "DELETE FROM catalogue_index WHERE record_type = ?1 AND record_id = ?2 "
                           "AND code IN ('035A', 'A35A', 'H35A', 'HB')"
                         : "DELETE FROM catalogue_index WHERE record_type = ?1 AND record_id = ?2";
    std::string sql = "DELETE FROM catalogue_index WHERE record_type = ?1 AND record_id = ?2 "
                      "AND (code, key) IN (SELECT value ->> 0, value ->> 1 FROM json_each(("
                      "SELECT index_entries FROM catalogue_records WHERE record_type = ?1 "
                      "AND record_id = ?2))";
    if (linksOnly)
        sql += " WHERE value ->> 0 IN ('035A', 'A35A', 'H35A', 'HB')";
    sql += ")";
    return sql;
}

std::optional<Statement> sqliteOnly(Database& db, std::string_view sql) {
    if (db.engine() != Engine::Sqlite)
        return std::nullopt;
    return db.prepare(sql);
}

} // namespace

IndexWriter::IndexWriter(Database& db)
    : removeAll_(db.prepare(removeSql(db, false))), removeLinks_(db.prepare(removeSql(db, true))),
      // OR FAIL: an UPDATE of one row is checked before anything is
      // written, so SQLite needs no statement journal to undo part of it.
      storeList_(sqliteOnly(db, "UPDATE OR FAIL catalogue_records SET index_entries = ?3 "
                                "WHERE record_type = ?1 AND record_id = ?2")),
      storeLinks_(sqliteOnly(
          db, "UPDATE OR FAIL catalogue_records SET index_entries = (SELECT "
              "json_group_array(json(e)) FROM (SELECT value AS e FROM json_each(index_entries) "
              "WHERE value ->> 0 NOT IN ('035A', 'A35A', 'H35A', 'HB') UNION ALL "
              "SELECT value FROM json_each(?3))) WHERE record_type = ?1 AND record_id = ?2")),
      insert_(db.prepare(
          db.multiRowInsert("catalogue_index (record_type, code, key, record_id)", 4, 1))),
      db_(db) {}

namespace {
// Rows per statement when flushing kept entries.
constexpr std::size_t RowsPerInsert = 64;

bool isLinkCode(std::string_view code) {
    return code == "035A" || code == "A35A" || code == "H35A" || code == "HB";
}

void appendJsonString(std::string_view text, std::string& out) {
    static constexpr char Hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += Hex[byte >> 4];
            out += Hex[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

// The list a record keeps of its entries, in the form the schema reads back.
void entryList(const std::vector<IndexEntry>& entries, std::string& out) {
    out.clear();
    out += '[';
    for (const IndexEntry& entry : entries) {
        if (out.size() > 1)
            out += ',';
        out += '[';
        appendJsonString(entry.code, out);
        out += ',';
        appendJsonString(entry.key, out);
        out += ']';
    }
    out += ']';
}
} // namespace

void IndexWriter::write(RecordKind kind, std::int32_t id, const marc::RecordView& record,
                        bool fresh) {
    if (!fresh)
        removeListed(kind, id, false);
    const std::vector<IndexEntry>& entries = keys_.of(record, kind);
    if (storeList_) {
        entryList(entries, list_);
        storeList_->reset();
        storeList_->bind(1, toNumber(kind)).bind(2, id).bind(3, list_).run();
    }
    if (deferred_) {
        const std::uint32_t write = ++writes_;
        lastWrite_[{toNumber(kind), id}] = write;
        for (const IndexEntry& entry : entries) {
            // Links are looked up while the batch goes on (a holdings record
            // finds its bibliographic record by them): they go in at once.
            if (isLinkCode(entry.code)) {
                insert_.reset();
                insert_.bind(1, toNumber(kind))
                    .bind(2, entry.code)
                    .bind(3, entry.key)
                    .bind(4, id)
                    .run();
            } else {
                pending_.push_back({toNumber(kind), entry.code, entry.key, id, write});
            }
        }
        return;
    }
    // Entries come distinct, so a plain insert is enough.
    for (const IndexEntry& entry : entries) {
        insert_.reset();
        insert_.bind(1, toNumber(kind)).bind(2, entry.code).bind(3, entry.key).bind(4, id).run();
    }
}

void IndexWriter::writeControlKeys(RecordKind kind, std::int32_t id, const marc::RecordView& record,
                                   const marc::RecordView* previous) {
    const std::vector<IndexEntry>& entries = keys_.links(record, kind);
    if (previous && previousKeys_.links(*previous, kind) == entries)
        return;
    removeListed(kind, id, true);
    for (const IndexEntry& entry : entries) {
        insert_.reset();
        insert_.bind(1, toNumber(kind)).bind(2, entry.code).bind(3, entry.key).bind(4, id).run();
    }
    if (storeLinks_) {
        entryList(entries, list_);
        storeLinks_->reset();
        storeLinks_->bind(1, toNumber(kind)).bind(2, id).bind(3, list_).run();
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
        const std::string sql =
            db_.multiRowInsert("catalogue_index (record_type, code, key, record_id)", 4,
                               static_cast<int>(RowsPerInsert));
        insertMany_.emplace(db_.prepare(sql));
    }
    Statement& st = *insertMany_;
    st.reset();
    int column = 1;
    for (std::size_t i = from; i < from + count; ++i) {
        const Pending& p = pending_[i];
        st.bind(column, p.kind)
            .bind(column + 1, p.code)
            .bind(column + 2, p.key)
            .bind(column + 3, p.id);
        column += 4;
    }
    st.run();
}

void IndexWriter::remove(RecordKind kind, std::int32_t id) {
    removeListed(kind, id, false);
    if (storeList_) {
        storeList_->reset();
        storeList_->bind(1, toNumber(kind)).bind(2, id).bind(3, std::string_view("[]")).run();
    }
}

void IndexWriter::removeListed(RecordKind kind, std::int32_t id, bool linksOnly) {
    Statement& st = linksOnly ? removeLinks_ : removeAll_;
    st.reset();
    st.bind(1, toNumber(kind)).bind(2, id).run();
}

} // namespace orvane::server
