#pragma once
// The statements by which the search index is written, in each engine's
// layout. Both keep, with each record, the list of its entries (a JSON array
// of [code, key]), and find its entries again by that list. SQLite keeps a
// row per key and record, by key alone; PostgreSQL keeps per key lists of
// up to 256 record ids in id order (catalogue_postings), since a row and
// its B-tree entry per key and record made the index most of a load's
// work there. Reads go through catalogue_index on both: on PostgreSQL a
// view of the lists as one row per key and record.

#include "store/database.h"

#include <string>
#include <vector>

namespace orvane::server {

struct IndexSql {
    // ?1 kind, ?2 record id: the record's listed entries out of the index.
    std::string removeAll;
    // The same for the entries that link records only.
    std::string removeLinks;
    // ?3: the record's list.
    std::string storeList;
    // ?3: the list of the record's link entries, in place of those it had.
    std::string storeLinks;
    // ?1 kind, ?2 code, ?3 key, ?4 record id.
    std::string insertOne;
    // Run in turn with ?3 the record's new list: change only the entries
    // that differ from those its row lists, then store the new list.
    std::vector<std::string> replace;
    // Makes the whole index again from the records' lists, in one
    // statement. Empty where a reindex rewrites each record's entries.
    std::string rebuild;
    // Where the row loader writes the entries of a batch, and its columns.
    std::string loadInto;
    int loadColumns = 0;
    bool keepsIdLists = false;
};

const IndexSql& indexSql(Engine engine);

// The most record ids one row of PostgreSQL's index lists: small enough
// that a list stays inside its row (no out-of-line storage), so that
// taking one record out of it rewrites about a kilobyte.
inline constexpr std::size_t MaxIdsPerList = 256;

} // namespace orvane::server
