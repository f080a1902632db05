#include "catalogue_reindex.h"

#include "index_writer.h"
#include "marc/record_view.h"
#include "store/database.h"

#include <optional>
#include <string>
#include <vector>

namespace orvane::server {

std::size_t reindexCatalogue(Database& db, std::size_t batchSize,
                             const std::function<void(std::size_t)>& progress) {
    IndexWriter index(db);
    // Where the index is made again from the lists, all of it is one
    // transaction, so that the index never stands apart from the lists.
    const bool fromLists = index.rebuildsFromLists();
    std::optional<Transaction> whole;
    if (fromLists)
        whole.emplace(db);
    auto next = db.prepare("SELECT record_type, record_id, marc FROM catalogue_records "
                           "WHERE (record_type, record_id) > (?1, ?2) "
                           "ORDER BY record_type, record_id LIMIT ?3");
    std::int64_t lastType = 0;
    std::int64_t lastId = 0;
    std::size_t done = 0;
    for (;;) {
        std::optional<Transaction> tx;
        if (!fromLists)
            tx.emplace(db);
        next.reset();
        next.bind(1, lastType).bind(2, lastId).bind(3, static_cast<std::int64_t>(batchSize));
        std::size_t inBatch = 0;
        while (next.step()) {
            lastType = next.int64(0);
            lastId = next.int64(1);
            const std::string octets = next.blob(2);
            const auto kind = recordKindFromNumber(static_cast<int>(lastType));
            const marc::ParseResult parsed = marc::parseRecord(std::string_view(octets));
            const auto id = static_cast<std::int32_t>(lastId);
            // Stored records were checked when saved; one that no longer
            // parses keeps no entries rather than stale ones.
            if (kind && fromLists)
                index.relist(*kind, id, parsed.record ? &*parsed.record : nullptr);
            else if (kind && parsed.record)
                index.rewrite(*kind, id, *parsed.record);
            else if (kind)
                index.remove(*kind, id);
            ++inBatch;
        }
        if (tx)
            tx->commit();
        done += inBatch;
        if (progress && inBatch > 0)
            progress(done);
        if (inBatch < batchSize)
            break;
    }
    if (whole) {
        index.rebuildFromLists();
        whole->commit();
    }
    return done;
}

} // namespace orvane::server
