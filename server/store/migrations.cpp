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

// Rule documents and the rule set groups that link them, per rule type,
// with who made and last changed each. A document linked into a group
// cannot go while the link stands.
constexpr std::string_view Schema4 = R"sql(
CREATE TABLE rule_documents (
    id          INTEGER PRIMARY KEY,
    rule_type   INTEGER NOT NULL CHECK (rule_type BETWEEN 1 AND 6),
    name        TEXT NOT NULL,
    description TEXT NOT NULL DEFAULT '',
    text        TEXT NOT NULL DEFAULT '',
    created_by  TEXT NOT NULL,
    created_at  TEXT NOT NULL DEFAULT (datetime('now')),
    updated_by  TEXT NOT NULL DEFAULT '',
    updated_at  TEXT,
    UNIQUE (rule_type, name)
);
CREATE TABLE rule_document_parameters (
    document INTEGER NOT NULL REFERENCES rule_documents(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name     TEXT NOT NULL,
    PRIMARY KEY (document, position)
) WITHOUT ROWID;
CREATE TABLE rule_sets (
    id          INTEGER PRIMARY KEY,
    rule_type   INTEGER NOT NULL CHECK (rule_type BETWEEN 1 AND 6),
    name        TEXT NOT NULL UNIQUE,
    description TEXT NOT NULL DEFAULT '',
    created_by  TEXT NOT NULL,
    created_at  TEXT NOT NULL DEFAULT (datetime('now')),
    updated_by  TEXT NOT NULL DEFAULT '',
    updated_at  TEXT
);
CREATE TABLE rule_set_links (
    rule_set INTEGER NOT NULL REFERENCES rule_sets(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    document INTEGER NOT NULL REFERENCES rule_documents(id),
    PRIMARY KEY (rule_set, position)
) WITHOUT ROWID;
CREATE INDEX rule_set_links_by_document ON rule_set_links (document);
CREATE TABLE rule_set_parameters (
    rule_set INTEGER NOT NULL REFERENCES rule_sets(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name     TEXT NOT NULL,
    value    TEXT NOT NULL,
    PRIMARY KEY (rule_set, position)
) WITHOUT ROWID;
)sql";

// Record sets and their members. A member's ordinal keeps the order the ids
// arrived in; the key (record_set, record_id) holds an id once per set and
// makes asking whether a set holds an id one look-up.
constexpr std::string_view Schema5 = R"sql(
CREATE TABLE record_sets (
    id           INTEGER PRIMARY KEY,
    name         TEXT NOT NULL UNIQUE COLLATE NOCASE,
    description  TEXT NOT NULL DEFAULT '',
    set_type     INTEGER NOT NULL DEFAULT 1 CHECK (set_type IN (1, 2)),
    record_type  INTEGER NOT NULL CHECK (record_type BETWEEN 1 AND 3),
    record_count INTEGER NOT NULL DEFAULT 0,
    created_by   TEXT NOT NULL,
    created_at   TEXT NOT NULL DEFAULT (datetime('now')),
    updated_by   TEXT NOT NULL DEFAULT '',
    updated_at   TEXT NOT NULL DEFAULT (datetime('now'))
);
CREATE TABLE record_set_members (
    record_set INTEGER NOT NULL REFERENCES record_sets(id) ON DELETE CASCADE,
    record_id  INTEGER NOT NULL,
    ordinal    INTEGER NOT NULL,
    PRIMARY KEY (record_set, record_id)
) WITHOUT ROWID;
CREATE UNIQUE INDEX record_set_members_in_order ON record_set_members (record_set, ordinal);
)sql";

// What the job runner needs to run a job: the parameters of its submission,
// when it ended; and the catalogue's mark on records whose word index waits
// for the next index job.
constexpr std::string_view Schema6 = R"sql(
ALTER TABLE jobs ADD COLUMN new_record_set_name TEXT NOT NULL DEFAULT '';
ALTER TABLE jobs ADD COLUMN library_param TEXT NOT NULL DEFAULT '';
ALTER TABLE jobs ADD COLUMN location_param TEXT NOT NULL DEFAULT '';
ALTER TABLE jobs ADD COLUMN field_order TEXT NOT NULL DEFAULT '';
ALTER TABLE jobs ADD COLUMN source_job_id INTEGER;
ALTER TABLE jobs ADD COLUMN add_035 INTEGER NOT NULL DEFAULT 0;
ALTER TABLE jobs ADD COLUMN finished_at TEXT;
CREATE UNIQUE INDEX jobs_by_name ON jobs (name COLLATE NOCASE);
CREATE INDEX jobs_due ON jobs (status, scheduled_start);
ALTER TABLE catalogue_records ADD COLUMN needs_reindex INTEGER NOT NULL DEFAULT 0;
)sql";

// The records uploaded into an authority-load match job, in upload order,
// and whether the job asked for an 035 on the records the load creates.
constexpr std::string_view Schema7 = R"sql(
CREATE TABLE job_records (
    job      INTEGER NOT NULL REFERENCES jobs(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    marc     BLOB NOT NULL,
    PRIMARY KEY (job, position)
) WITHOUT ROWID;
)sql";

// The search index without its second copy by record: each record keeps the
// list of its entries (a JSON array of [code, key]) beside its octets, and
// its entries go by that list, one primary key look-up each, when it is
// rewritten or deleted. Half the index's B-tree work on every write.
constexpr std::string_view Schema8 = R"sql(
ALTER TABLE catalogue_records ADD COLUMN index_entries TEXT NOT NULL DEFAULT '[]';
UPDATE catalogue_records SET index_entries = (
    SELECT json_group_array(json_array(i.code, i.key)) FROM catalogue_index i
    WHERE i.record_type = catalogue_records.record_type
      AND i.record_id = catalogue_records.record_id);
CREATE TABLE catalogue_index_by_key (
    record_type INTEGER NOT NULL,
    code        TEXT NOT NULL,
    key         TEXT NOT NULL,
    record_id   INTEGER NOT NULL,
    PRIMARY KEY (record_type, code, key, record_id)
) WITHOUT ROWID;
INSERT INTO catalogue_index_by_key (record_type, code, key, record_id)
    SELECT record_type, code, key, record_id FROM catalogue_index;
DROP TABLE catalogue_index;
ALTER TABLE catalogue_index_by_key RENAME TO catalogue_index;
CREATE TRIGGER catalogue_index_of_deleted AFTER DELETE ON catalogue_records BEGIN
    DELETE FROM catalogue_index
    WHERE record_type = old.record_type AND record_id = old.record_id
      AND (code, key) IN (SELECT value ->> 0, value ->> 1 FROM json_each(old.index_entries));
END;
)sql";

// Several servers on one database: the server running a job and the last
// moment it said so (seconds, the database's clock), so that the others can
// tell a job whose server died; and the sessions every server accepts.
constexpr std::string_view Schema9 = R"sql(
ALTER TABLE jobs ADD COLUMN runner TEXT NOT NULL DEFAULT '';
ALTER TABLE jobs ADD COLUMN heartbeat_at INTEGER NOT NULL DEFAULT 0;
CREATE TABLE sessions (
    token_hash  TEXT PRIMARY KEY,
    operator    INTEGER NOT NULL REFERENCES operators(id) ON DELETE CASCADE,
    operator_id TEXT NOT NULL,
    opened_at   INTEGER NOT NULL,
    last_used   INTEGER NOT NULL
) WITHOUT ROWID;
CREATE INDEX sessions_of_operator ON sessions (operator);
)sql";

constexpr std::array<Migration, 9> All{{{1, Schema1},
                                        {2, Schema2},
                                        {3, Schema3},
                                        {4, Schema4},
                                        {5, Schema5},
                                        {6, Schema6},
                                        {7, Schema7},
                                        {8, Schema8},
                                        {9, Schema9}}};

} // namespace

std::span<const Migration> migrations() { return All; }

std::span<const Migration> migrations(Engine engine) {
    return engine == Engine::Postgres ? postgresMigrations() : migrations();
}

int schemaVersion(Database& db) {
    if (db.engine() == Engine::Postgres) {
        // Read only: a database with no schema yet is version 0.
        auto exists = db.prepare("SELECT to_regclass('schema_version') IS NOT NULL");
        if (!exists.step() || !exists.int64(0))
            return 0;
        auto st = db.prepare("SELECT coalesce(max(version), 0) FROM schema_version");
        st.step();
        return st.int32(0);
    }
    auto st = db.prepare("PRAGMA user_version");
    st.step();
    return st.int32(0);
}

int latestSchemaVersion(Engine engine) {
    return migrations(engine).back().version;
}

void applyMigration(Database& db, const Migration& migration) {
    db.exec(migration.sql);
    const std::string version = std::to_string(migration.version);
    if (db.engine() == Engine::Postgres) {
        db.exec("CREATE TABLE IF NOT EXISTS schema_version (version BIGINT NOT NULL)");
        std::string record = "INSERT INTO schema_version (version) VALUES (";
        record.append(version).append(")");
        db.exec(record);
    } else {
        std::string record = "PRAGMA user_version = ";
        record.append(version);
        db.exec(record);
    }
}

int migrate(Database& db) {
    int version = schemaVersion(db);
    for (const auto& m : migrations(db.engine())) {
        if (m.version <= version)
            continue;
        Transaction tx(db);
        // Servers starting together on one PostgreSQL database take turns;
        // SQLite's write lock does that already.
        if (db.engine() == Engine::Postgres)
            db.exec("SELECT pg_advisory_xact_lock(7261)");
        // A second process may have migrated while this one waited for the lock.
        if (schemaVersion(db) >= m.version) {
            version = m.version;
            continue;
        }
        applyMigration(db, m);
        tx.commit();
        version = m.version;
    }
    return version;
}

} // namespace orvane::server
