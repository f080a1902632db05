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

// The catalogue: records of the three kinds, each with its flags and
// authorship, the search index entries and the history of changes. A record
// is (record_type, record_id); the row number is only the table's own.
constexpr std::string_view Schema2 = R"sql(
CREATE TABLE catalogue_records (
    row               INTEGER PRIMARY KEY,
    record_type       INTEGER NOT NULL CHECK (record_type BETWEEN 1 AND 3),
    record_id         INTEGER NOT NULL CHECK (record_id BETWEEN 1 AND 2147483647),
    marc              BLOB NOT NULL,
    control_source    TEXT NOT NULL DEFAULT '',
    suppressed        INTEGER NOT NULL DEFAULT 0,
    ok_to_export      INTEGER NOT NULL DEFAULT 1,
    ok_to_export_date TEXT,
    owning_library    INTEGER REFERENCES owning_libraries(id) ON DELETE SET NULL,
    location          INTEGER REFERENCES locations(id) ON DELETE SET NULL,
    bib_id            INTEGER,
    created_by        TEXT NOT NULL,
    created_at        TEXT NOT NULL DEFAULT (datetime('now')),
    updated_by        TEXT NOT NULL,
    updated_at        TEXT NOT NULL DEFAULT (datetime('now')),
    UNIQUE (record_type, record_id),
    CHECK (bib_id IS NULL OR record_type = 2)
);
CREATE INDEX catalogue_holdings_of ON catalogue_records (bib_id) WHERE bib_id IS NOT NULL;
CREATE TABLE catalogue_index (
    record_type INTEGER NOT NULL,
    code        TEXT NOT NULL,
    key         TEXT NOT NULL,
    record_id   INTEGER NOT NULL,
    PRIMARY KEY (record_type, code, key, record_id),
    FOREIGN KEY (record_type, record_id) REFERENCES catalogue_records (record_type, record_id)
        ON DELETE CASCADE
) WITHOUT ROWID;
CREATE INDEX catalogue_index_of_record ON catalogue_index (record_type, record_id);
CREATE TABLE catalogue_history (
    id          INTEGER PRIMARY KEY,
    record_type INTEGER NOT NULL,
    record_id   INTEGER NOT NULL,
    action      TEXT NOT NULL CHECK (action IN ('created', 'replaced')),
    operator    TEXT NOT NULL,
    at          TEXT NOT NULL DEFAULT (datetime('now')),
    previous    BLOB,
    FOREIGN KEY (record_type, record_id) REFERENCES catalogue_records (record_type, record_id)
        ON DELETE CASCADE
);
CREATE INDEX catalogue_history_of_record ON catalogue_history (record_type, record_id);
)sql";

// Jobs as the queue keeps them. Rule sets and record sets ask it whether a
// pending or active job still uses them before they may be deleted.
constexpr std::string_view Schema3 = R"sql(
CREATE TABLE jobs (
    id                 INTEGER PRIMARY KEY,
    name               TEXT NOT NULL,
    job_type           INTEGER NOT NULL CHECK (job_type BETWEEN 0 AND 7),
    status             INTEGER NOT NULL DEFAULT 0 CHECK (status BETWEEN 0 AND 6),
    record_type        INTEGER NOT NULL DEFAULT 0,
    record_set_id      INTEGER,
    save_record_set_id INTEGER,
    rule_set_id        INTEGER,
    range_start        TEXT NOT NULL DEFAULT '',
    range_end          TEXT NOT NULL DEFAULT '',
    update_database    INTEGER NOT NULL DEFAULT 0,
    keyword_index      INTEGER NOT NULL DEFAULT 0,
    scheduled_start    TEXT,
    actual_start       TEXT,
    operator_id        TEXT NOT NULL,
    records_to_process INTEGER NOT NULL DEFAULT 0,
    records_processed  INTEGER NOT NULL DEFAULT 0,
    error_count        INTEGER NOT NULL DEFAULT 0,
    records_deleted    INTEGER NOT NULL DEFAULT 0,
    current_bulk       INTEGER NOT NULL DEFAULT 0,
    created_at         TEXT NOT NULL DEFAULT (datetime('now')),
    modified_at        TEXT NOT NULL DEFAULT (datetime('now'))
);
CREATE INDEX jobs_by_status ON jobs (status);
CREATE INDEX jobs_by_record_set ON jobs (record_set_id) WHERE record_set_id IS NOT NULL;
CREATE INDEX jobs_by_save_record_set ON jobs (save_record_set_id) WHERE save_record_set_id IS NOT NULL;
CREATE INDEX jobs_by_rule_set ON jobs (rule_set_id) WHERE rule_set_id IS NOT NULL;
)sql";

constexpr std::array<Migration, 3> All{{{1, Schema1}, {2, Schema2}, {3, Schema3}}};

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
