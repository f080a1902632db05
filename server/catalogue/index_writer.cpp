#include "index_writer.h"

#include "marc/record_view.h"

#include <algorithm>

namespace orvane::server {

namespace {

// SQLite keeps the index once, by key, and each record the list of its
// entries; they are deleted by that list. Elsewhere the index is also kept
// by record, and a record's entries are deleted through that.
std::string removeSql(Database& db, bool linksOnly) {
    if (!IndexWriter::keepsLists(db))
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

std::optional<Statement> whereListsKept(Database& db, std::string_view sql) {
    if (!IndexWriter::keepsLists(db))
        return std::nullopt;
    return db.prepare(sql);
}

} // namespace

IndexWriter::IndexWriter(Database& db)
    : removeAll_(db.prepare(removeSql(db, false))), removeLinks_(db.prepare(removeSql(db, true))),
      // OR FAIL: an UPDATE of one row is checked before anything is
      // written, so SQLite needs no statement journal to undo part of it.
      storeList_(whereListsKept(db, "UPDATE OR FAIL catalogue_records SET index_entries = ?3 "
                                "WHERE record_type = ?1 AND record_id = ?2")),
      storeLinks_(whereListsKept(
          db, "UPDATE OR FAIL catalogue_records SET index_entries = (SELECT "
              "json_group_array(json(e)) FROM (SELECT value AS e FROM json_each(index_entries) "
              "WHERE value ->> 0 NOT IN ('035A', 'A35A', 'H35A', 'HB') UNION ALL "
              "SELECT value FROM json_each(?3))) WHERE record_type = ?1 AND record_id = ?2")),
      insert_(db.prepare(
          db.multiRowInsert("catalogue_index (record_type, code, key, record_id)", 4, 1))),
      db_(db) {}

namespace {
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
        removeEntries(kind, id);
    const std::string_view list = listOf(kind, record);
    if (storeList_) {
        storeList_->reset();
        storeList_->bind(1, toNumber(kind)).bind(2, id).bind(3, list).run();
    }
    addEntries(kind, id);
}

std::string_view IndexWriter::listOf(RecordKind kind, const marc::RecordView& record) {
    entries_ = &keys_.of(record, kind);
    if (!storeList_)
        return {};
    entryList(*entries_, list_);
    return list_;
}

void IndexWriter::addEntries(RecordKind kind, std::int32_t id) {
    const std::vector<IndexEntry>& entries = *entries_;
    if (deferred_) {
        const auto write = static_cast<std::uint32_t>(replacedWrites_.size());
        replacedWrites_.push_back(false);
        const auto [last, first] = lastWrite_.try_emplace({toNumber(kind), id}, write);
        if (!first) {
            replacedWrites_[last->second] = true;
            last->second = write;
        }
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
                keep(toNumber(kind), entry, id, write);
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

namespace {
// The first `width` octets of `text` as a big-endian number, short texts
// padded with zeros: numbers in the order of the texts' octets, as the
// index compares its keys.
std::uint64_t packed(std::string_view text, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
        value = (value << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0U);
    return value;
}
} // namespace

void IndexWriter::keep(std::int32_t kind, const IndexEntry& entry, std::int32_t id,
                       std::uint32_t write) {
    pending_.push_back({packed(entry.key, 8), static_cast<std::uint32_t>(packed(entry.code, 4)),
                        kind, id, write, static_cast<std::uint32_t>(keyText_.size()),
                        static_cast<std::uint32_t>(entry.key.size()), entry.code});
    keyText_.append(entry.key);
}

void IndexWriter::flush() {
    // Entries of a record written again since are not its entries any more.
    std::erase_if(pending_, [&](const Pending& p) { return replacedWrites_[p.write]; });
    std::sort(pending_.begin(), pending_.end(), [this](const Pending& a, const Pending& b) {
        if (a.kind != b.kind)
            return a.kind < b.kind;
        if (a.codePacked != b.codePacked)
            return a.codePacked < b.codePacked;
        if ((a.code.size() > 4 || b.code.size() > 4) && a.code != b.code)
            return a.code < b.code;
        if (a.keyPrefix != b.keyPrefix)
            return a.keyPrefix < b.keyPrefix;
        if (const int order = keyOf(a).compare(keyOf(b)))
            return order < 0;
        return a.id < b.id;
    });
    // A refused row fails the load; the caller rolls back the batch.
    const auto rows = db_.loadRows("catalogue_index (record_type, code, key, record_id)", 4);
    for (const Pending& p : pending_) {
        // The codes are literals and the keys stay in keyText_ till the flush ends.
        rows->add(p.kind);
        rows->add(p.code);
        rows->add(keyOf(p));
        rows->add(p.id);
    }
    rows->finish();
    discard();
}

void IndexWriter::discard() {
    pending_.clear();
    keyText_.clear();
    lastWrite_.clear();
    replacedWrites_.clear();
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
