#pragma once
// Keeps a record's search index entries in step with its octets. The
// caller holds the transaction that also writes the record.

#include "index_keys.h"
#include "record_kind.h"
#include "store/database.h"

#include <cstdint>

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

private:
    Statement remove_;
    Statement removeControl_;
    Statement insert_;
    IndexKeys keys_;
    IndexKeys previousKeys_;
};

} // namespace orvane::server
