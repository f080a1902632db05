#include "migrations.h"

#include "database.h"

#include <array>
#include <string>

namespace orvane::server {

namespace {

// Never edit a migration that has shipped: add a new one.
constexpr std::string_view Schema1 = R"sql(
CREATE TABLE operators (
    id            INTEGER PRIMARY KEY,
    operator_id   TEXT NOT NULL UNIQUE COLLATE NOCASE,
    name          TEXT NOT NULL DEFAULT '',
    password_hash TEXT NOT NULL,
    password_flag INTEGER NOT NULL DEFAULT 0,
    created_at    TEXT NOT NULL DEFAULT (datetime('now'))
);
CREATE TABLE operator_rights (
    operator  INTEGER NOT NULL REFERENCES operators(id) ON DELETE CASCADE,
    code      TEXT NOT NULL,
    PRIMARY KEY (operator, code)
) WITHOUT ROWID;
CREATE TABLE owning_libraries (
    id   INTEGER PRIMARY KEY,
    code TEXT NOT NULL UNIQUE,
    name TEXT NOT NULL
);
CREATE TABLE locations (
    id      INTEGER PRIMARY KEY,
    code    TEXT NOT NULL UNIQUE,
    name    TEXT NOT NULL,
    library INTEGER REFERENCES owning_libraries(id) ON DELETE SET NULL
);
CREATE TABLE operator_locations (
    operator INTEGER NOT NULL REFERENCES operators(id) ON DELETE CASCADE,
    location INTEGER NOT NULL REFERENCES locations(id) ON DELETE CASCADE,
    PRIMARY KEY (operator, location)
) WITHOUT ROWID;
CREATE TABLE operator_libraries (
    operator INTEGER NOT NULL REFERENCES operators(id) ON DELETE CASCADE,
    library  INTEGER NOT NULL REFERENCES owning_libraries(id) ON DELETE CASCADE,
    PRIMARY KEY (operator, library)
) WITHOUT ROWID;
CREATE TABLE charsets (
    id        INTEGER PRIMARY KEY,
    position  INTEGER NOT NULL UNIQUE,
    code      TEXT NOT NULL UNIQUE,
    name      TEXT NOT NULL,
    encoding  TEXT NOT NULL
);
CREATE TABLE packages (
    name TEXT PRIMARY KEY
) WITHOUT ROWID;
CREATE TABLE field_order_configs (
    id    INTEGER PRIMARY KEY,
    name  TEXT NOT NULL UNIQUE,
    tags  TEXT NOT NULL DEFAULT ''
);
CREATE TABLE dupe_profiles (
    id   INTEGER PRIMARY KEY,
    code TEXT NOT NULL UNIQUE,
    name TEXT NOT NULL
);
CREATE TABLE settings (
    key   TEXT PRIMARY KEY,
    value TEXT NOT NULL
) WITHOUT ROWID;
)sql";

constexpr std::array<Migration, 1> All{{{1, Schema1}}};

int userVersion(Database& db) {
    auto st = db.prepare("PRAGMA user_version");
    st.step();
    return st.int32(0);
}

} // namespace

std::span<const Migration> migrations() { return All; }

int migrate(Database& db) {
    int version = userVersion(db);
    for (const auto& m : All) {
        if (m.version <= version)
            continue;
        Transaction tx(db);
        // A second process may have migrated while this one waited for the lock.
        if (userVersion(db) >= m.version) {
            version = m.version;
            continue;
        }
        db.exec(m.sql);
        db.exec("PRAGMA user_version = " + std::to_string(m.version));
        tx.commit();
        version = m.version;
    }
    return version;
}

} // namespace orvane::server
