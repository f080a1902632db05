#pragma once
// Rebuilds every record's index entries from its stored octets: after a
// change to the key forms, or to mend. A batch of records per transaction,
// or on PostgreSQL every record's list of entries and then the index made
// from the lists, all in one transaction.

#include <cstddef>
#include <functional>

namespace orvane::server {

class Database;

// Answers how many records were indexed; `progress` gets the count so far
// after each batch.
std::size_t reindexCatalogue(Database& db, std::size_t batchSize = 1000,
                             const std::function<void(std::size_t)>& progress = {});

} // namespace orvane::server
