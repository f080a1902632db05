#pragma once
// Keeps a record's search index entries in step with its octets. The
// caller holds the transaction that also writes the record, and writes the
// record's row first: the row keeps the list of its entries, by which they
// are found again when the record is rewritten or deleted (on SQLite; on
// PostgreSQL the index is also kept by record).

#include "index_keys.h"
#include "record_kind.h"
#include "store/database.h"

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace marc {
class RecordView;
}

namespace orvane::server {

class IndexWriter {
public:
    explicit IndexWriter(Database& db);

    // Replaces whatever entries the record had with those of `record`; a
    // record new to the catalogue (`fresh`) has none to remove.
    void write(RecordKind kind, std::int32_t id, const marc::RecordView& record,
               bool fresh = false);
    void remove(RecordKind kind, std::int32_t id);
    // Only the entries that link records (035 control numbers, a holdings
    // record's 004), which matching needs at once; the word entries wait for
    // the next index job. Nothing is written when `previous` had the same.
    void writeControlKeys(RecordKind kind, std::int32_t id, const marc::RecordView& record,
                          const marc::RecordView* previous = nullptr);

    // For bulk loads: write() keeps the entries of new records and flush()
    // writes them all at once in key order, many to a statement, so each
    // page of the index is reached once per batch instead of once per entry.
    // A record written twice before the flush keeps only its last entries.
    void deferWrites(bool defer) { deferred_ = defer; }
    void flush();
    // Forgets what was kept (its transaction was rolled back).
    void discard();

private:
    struct Pending {
        std::int32_t kind;
        std::string_view code;
        std::string key;
        std::int32_t id;
        std::uint32_t write; // which write() of the record this is
    };
    void insertRows(std::size_t from, std::size_t count);
    // The entries the record's list names (only those that link records).
    void removeListed(RecordKind kind, std::int32_t id, bool linksOnly);

    Statement removeAll_;
    Statement removeLinks_;
    std::optional<Statement> storeList_; // where records keep their lists
    std::optional<Statement> storeLinks_;
    Statement insert_;
    Database& db_;
    bool deferred_ = false;
    std::vector<Pending> pending_;
    std::map<std::pair<std::int32_t, std::int32_t>, std::uint32_t> lastWrite_;
    std::uint32_t writes_ = 0;
    std::optional<Statement> insertMany_;
    IndexKeys keys_;
    IndexKeys previousKeys_;
    std::string list_;
};

} // namespace orvane::server
