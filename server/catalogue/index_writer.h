#pragma once
// Keeps a record's search index entries in step with its octets. The
// caller holds the transaction that also writes the record, and writes the
// record's row first: the row keeps the list of its entries, by which they
// are found again when the record is rewritten or deleted (index_sql.h has
// each engine's layout).

#include "index_keys.h"
#include "index_sql.h"
#include "record_kind.h"
#include "store/database.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace marc {
class RecordView;
}

namespace orvane::server {

class IndexWriter {
public:
    explicit IndexWriter(Database& db);

    // Replaces whatever entries the record had with those of `record`,
    // touching only those that changed.
    void write(RecordKind kind, std::int32_t id, const marc::RecordView& record);
    // Writes every entry of `record` anew, trusting nothing but the index
    // itself: for repairing an index.
    void rewrite(RecordKind kind, std::int32_t id, const marc::RecordView& record);
    void remove(RecordKind kind, std::int32_t id);

    // Where taking a record out of the index costs more than making the
    // whole index again (PostgreSQL's lists, which each such change
    // rewrites), a reindex stores every record's list with relist() and
    // then rebuilds the index from the lists at once.
    bool rebuildsFromLists() const { return !sql_.rebuild.empty(); }
    // The list of `record`'s entries (none without one), the index untouched.
    void relist(RecordKind kind, std::int32_t id, const marc::RecordView* record);
    void rebuildFromLists() { db_.exec(sql_.rebuild); }

    // write() in steps, for a writer that stores the record's list in its
    // own write of the record's row instead of a second one: the entries of
    // a record being replaced go first (removeEntries, while its row still
    // lists them), then listOf() works out the new entries and gives their
    // list, to be written with the row, and once the row is written,
    // addEntries() writes the entries.
    void removeEntries(RecordKind kind, std::int32_t id) { removeListed(kind, id, false); }
    std::string_view listOf(RecordKind kind, const marc::RecordView& record);
    void addEntries(RecordKind kind, std::int32_t id);
    // The entries listOf() worked out last.
    const std::vector<IndexEntry>& lastEntries() const { return *entries_; }
    // Only the entries that link records (035 control numbers, a holdings
    // record's 004), which matching needs at once; the word entries wait for
    // the next index job. Nothing is written when `previous` had the same.
    void writeControlKeys(RecordKind kind, std::int32_t id, const marc::RecordView& record,
                          const marc::RecordView* previous = nullptr);

    // For bulk loads: write() keeps the entries of new records and flush()
    // writes them all at once in key order, as the database loads many rows,
    // so each page of the index is reached once per batch instead of once
    // per entry.
    // A record written twice before the flush keeps only its last entries.
    void deferWrites(bool defer) { deferred_ = defer; }
    void flush();
    // Forgets what was kept (its transaction was rolled back).
    void discard();

private:
    // An entry kept for the flush. Its key lives in keyText_; the code and
    // the key's first octets are packed into numbers in the index's own
    // order, so that most comparisons of the sort never reach the text.
    struct Pending {
        std::uint64_t keyPrefix;
        std::uint32_t codePacked;
        std::int32_t kind;
        std::int32_t id;
        std::uint32_t write; // which write() of a record this is
        std::uint32_t keyAt;
        std::uint32_t keyLength;
        std::string_view code;
    };
    void keep(std::int32_t kind, const IndexEntry& entry, std::int32_t id, std::uint32_t write);
    void insertOne(RecordKind kind, const IndexEntry& entry, std::int32_t id);
    // The kept entries, sorted, as rows of the index or as lists of ids.
    void loadRows();
    void loadIdLists();
    std::string_view keyOf(const Pending& p) const {
        return std::string_view(keyText_).substr(p.keyAt, p.keyLength);
    }
    // The entries the record's list names (only those that link records).
    void removeListed(RecordKind kind, std::int32_t id, bool linksOnly);

    const IndexSql& sql_;
    Statement removeAll_;
    Statement removeLinks_;
    Statement storeList_;
    Statement storeLinks_;
    Statement insert_;
    std::vector<Statement> replace_;
    Database& db_;
    bool deferred_ = false;
    std::vector<Pending> pending_;
    std::string keyText_;
    // The last write() of each record kept, and the earlier ones it replaced.
    std::map<std::pair<std::int32_t, std::int32_t>, std::uint32_t> lastWrite_;
    std::vector<bool> replacedWrites_;
    IndexKeys keys_;
    const std::vector<IndexEntry>* entries_ = nullptr; // what listOf() worked out
    IndexKeys previousKeys_;
    std::string list_;
};

} // namespace orvane::server
