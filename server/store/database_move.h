#pragma once
// Copies everything a server keeps from one database into a new, empty one
// of either engine (a SQLite file outgrown, into PostgreSQL): operators and
// their rights and places, reference data and settings, the catalogue with
// its ids, history and search index, record sets, rule documents and sets,
// jobs and their records. Sessions stay behind: operators log in again.
//
// One generic copier walks the tables in the order their references need,
// with the columns each engine's schema declares, a page of rows at a time
// read through its primary key and written as one multi-row insert. The
// search index, which each engine keeps in its own layout, is made on the
// target from the lists of entries the records keep. The source is only
// read, inside one snapshot; the target is written in one transaction, its
// schema made in it when it has none, so a failure leaves it as it was.

#include "database.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::server {

// Refused before anything was copied; the target is as it was.
class MoveRefused : public StoreError {
public:
    using StoreError::StoreError;
};

struct MoveProgress {
    const std::string& table;
    std::int64_t copied = 0;
    std::int64_t total = 0;
};

struct MovedTable {
    std::string name;
    std::int64_t rows = 0;
};

struct MoveSummary {
    int schemaVersion = 0;
    bool schemaCreated = false; // the target had no schema and was given one
    std::vector<MovedTable> tables;
};

struct MoveOptions {
    // After each page of a table, and once for an empty table.
    std::function<void(const MoveProgress&)> progress;
    // Rows a page holds at most (fewer for wide tables).
    std::size_t pageRows = 1000;
};

// The tables moved, in the order their references need.
std::span<const std::string_view> movedTables();
// The tables of the search index, made on the target instead of moved.
std::span<const std::string_view> indexTables();
// The server's tables that stay behind.
std::span<const std::string_view> tablesLeftBehind();

// Throws MoveRefused when the source is not at this program's schema
// version, the target holds data (or tables not the server's) or the two
// schemas differ beyond what each engine keeps alone; StoreError when
// the copy fails (rolled back).
MoveSummary moveDatabase(Database& source, Database& target, const MoveOptions& options = {});

} // namespace orvane::server
