#include "catalogue_reindex.h"

#include "index_writer.h"
#include "marc/record_view.h"
#include "store/database.h"

#include <string>
#include <vector>

namespace orvane::server {

std::size_t reindexCatalogue(Database& db, std::size_t batchSize,
                             const std::function<void(std::size_t)>& progress) {
    IndexWriter index(db);
    // Each batch's entries go in together, in key order (and on PostgreSQL
    // as lists of ids again, however scattered the changes left them).
    index.deferWrites(true);
    auto next = db.prepare("SELECT record_type, record_id, marc FROM catalogue_records "
                           "WHERE (record_type, record_id) > (?1, ?2) "
                           "ORDER BY record_type, record_id LIMIT ?3");
    std::int64_t lastType = 0;
    std::int64_t lastId = 0;
    std::size_t done = 0;
    for (;;) {
        Transaction tx(db);
        next.reset();
        next.bind(1, lastType).bind(2, lastId).bind(3, static_cast<std::int64_t>(batchSize));
        std::size_t inBatch = 0;
        while (next.step()) {
            lastType = next.int64(0);
            lastId = next.int64(1);
            const std::string octets = next.blob(2);
            const auto kind = recordKindFromNumber(static_cast<int>(lastType));
            const marc::ParseResult parsed = marc::parseRecord(std::string_view(octets));
            // Stored records were checked when saved; one that no longer
            // parses keeps no entries rather than stale ones.
            if (kind && parsed.record)
                index.rewrite(*kind, static_cast<std::int32_t>(lastId), *parsed.record);
            else if (kind)
                index.remove(*kind, static_cast<std::int32_t>(lastId));
            ++inBatch;
        }
        index.flush();
        tx.commit();
        done += inBatch;
        if (progress && inBatch > 0)
            progress(done);
        if (inBatch < batchSize)
            return done;
    }
}

} // namespace orvane::server
