#pragma once
// Numbered schema migrations, one list per engine with the same numbers.
// Each runs once, in its own transaction, and records its number (SQLite's
// PRAGMA user_version, PostgreSQL's schema_version table).

#include "database.h"

#include <span>
#include <string_view>

namespace orvane::server {

struct Migration {
    int version;
    std::string_view sql;
};

// The SQLite list.
std::span<const Migration> migrations();
std::span<const Migration> postgresMigrations();
std::span<const Migration> migrations(Engine engine);
// The version the database records; 0 for one with no schema yet. Reads only.
int schemaVersion(Database& db);
// The version this program's migrations bring a database of `engine` to.
int latestSchemaVersion(Engine engine);
// Runs one migration and records its number; the caller holds the transaction.
void applyMigration(Database& db, const Migration& migration);
// Inside a write transaction: waits while another connection makes or fills
// the schema (servers starting together on one PostgreSQL database, a move),
// until its transaction ends.
void takeSchemaTurn(Database& db);
// Applies every migration above the database's version; returns the new version.
int migrate(Database& db);

} // namespace orvane::server
