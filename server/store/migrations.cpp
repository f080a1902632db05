#include "migrations.h"

#include "database.h"
#include "shared_schema.h"

#include <array>
#include <string>

namespace orvane::server {

namespace {

// SQLite's own: the shared schema (shared_schema.cpp) is in its words.
// Never edit a migration that has shipped: add a new one.

// The search index without its second copy by record: each record keeps the
// list of its entries (a JSON array of [code, key]) beside its octets, and
// its entries go by that list, one primary key look-up each, when it is
// rewritten or deleted. Half the index's B-tree work on every write.
constexpr std::string_view SqliteOnly8 = R"sql(
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

// The shared schema in SQLite's words, and what SQLite alone has.
constexpr std::array<EngineMigration, 1> SqliteAdditions{{{8, SqliteOnly8, ""}}};

} // namespace

std::span<const Migration> migrations() {
    static const EngineMigrations all(Engine::Sqlite, SqliteAdditions);
    return all.list();
}

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

void takeSchemaTurn(Database& db) {
    // SQLite's write lock makes writers take turns already.
    if (db.engine() == Engine::Postgres)
        db.exec("SELECT pg_advisory_xact_lock(7261)");
}

int migrate(Database& db) {
    int version = schemaVersion(db);
    for (const auto& m : migrations(db.engine())) {
        if (m.version <= version)
            continue;
        Transaction tx(db);
        takeSchemaTurn(db);
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
