#include "migrations.h"

#include "shared_schema.h"

#include <array>

namespace orvane::server {

namespace {

// The shared schema (shared_schema.cpp) in PostgreSQL's words, and what
// PostgreSQL alone needs. datetime('now'), unixepoch() and COLLATE NOCASE,
// which the server's SQL uses, are made here: the first two as functions
// answering SQLite's forms in UTC, the last as a collation that ignores case.
// SQLite gives a row id above the highest one, even one inserted by hand; a
// PostgreSQL identity would give that same id again. Tables whose ids are
// sometimes given (reference data, tests) move their sequence past them.
// Never edit a migration that has shipped: add a new one.
constexpr std::string_view Before1 = R"sql(
CREATE FUNCTION keep_id_sequence_ahead() RETURNS trigger LANGUAGE plpgsql AS $$
DECLARE
    sequence regclass := pg_get_serial_sequence(TG_TABLE_NAME, 'id')::regclass;
BEGIN
    IF NEW.id > coalesce(pg_sequence_last_value(sequence), 0) THEN
        PERFORM setval(sequence, NEW.id);
    END IF;
    RETURN NEW;
END $$;
CREATE FUNCTION datetime(what text) RETURNS text LANGUAGE sql VOLATILE AS
    $$ SELECT to_char(clock_timestamp() AT TIME ZONE 'UTC', 'YYYY-MM-DD HH24:MI:SS') $$;
CREATE COLLATION nocase (provider = icu, locale = 'und-u-ks-level2', deterministic = false);
)sql";

constexpr std::string_view After1 = R"sql(
CREATE TRIGGER operators_ids BEFORE INSERT ON operators FOR EACH ROW EXECUTE FUNCTION keep_id_sequence_ahead();
CREATE TRIGGER owning_libraries_ids BEFORE INSERT ON owning_libraries FOR EACH ROW EXECUTE FUNCTION keep_id_sequence_ahead();
CREATE TRIGGER locations_ids BEFORE INSERT ON locations FOR EACH ROW EXECUTE FUNCTION keep_id_sequence_ahead();
CREATE TRIGGER charsets_ids BEFORE INSERT ON charsets FOR EACH ROW EXECUTE FUNCTION keep_id_sequence_ahead();
CREATE TRIGGER field_order_configs_ids BEFORE INSERT ON field_order_configs FOR EACH ROW EXECUTE FUNCTION keep_id_sequence_ahead();
CREATE TRIGGER dupe_profiles_ids BEFORE INSERT ON dupe_profiles FOR EACH ROW EXECUTE FUNCTION keep_id_sequence_ahead();
)sql";

constexpr std::string_view After3 = R"sql(
CREATE TRIGGER jobs_ids BEFORE INSERT ON jobs FOR EACH ROW EXECUTE FUNCTION keep_id_sequence_ahead();
)sql";

constexpr std::string_view After4 = R"sql(
CREATE TRIGGER rule_documents_ids BEFORE INSERT ON rule_documents FOR EACH ROW EXECUTE FUNCTION keep_id_sequence_ahead();
CREATE TRIGGER rule_sets_ids BEFORE INSERT ON rule_sets FOR EACH ROW EXECUTE FUNCTION keep_id_sequence_ahead();
)sql";

constexpr std::string_view After5 = R"sql(
CREATE TRIGGER record_sets_ids BEFORE INSERT ON record_sets FOR EACH ROW EXECUTE FUNCTION keep_id_sequence_ahead();
)sql";

// SQLite's eighth keeps the index once, with each record listing its
// entries; PostgreSQL keeps the index by record as well (catalogue_index_of_record)
// and deletes a record's entries through it, so it has nothing to change.

constexpr std::string_view Before9 = R"sql(
CREATE FUNCTION unixepoch() RETURNS bigint LANGUAGE sql VOLATILE AS
    $$ SELECT CAST(floor(extract(epoch FROM clock_timestamp())) AS bigint) $$;
)sql";

// Index entries are written only by the catalogue's writers, for the
// record they have just written, so the foreign key's check of every entry
// (half the time of a load) guards nothing: a trigger removes a record's
// entries with it instead, as on SQLite since its eighth.
constexpr std::string_view After10 = R"sql(
ALTER TABLE catalogue_index DROP CONSTRAINT catalogue_index_record_type_record_id_fkey;
CREATE FUNCTION catalogue_index_of_deleted() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    DELETE FROM catalogue_index
    WHERE record_type = OLD.record_type AND record_id = OLD.record_id;
    RETURN NULL;
END $$;
CREATE TRIGGER catalogue_index_of_deleted AFTER DELETE ON catalogue_records
    FOR EACH ROW EXECUTE FUNCTION catalogue_index_of_deleted();
)sql";

constexpr std::array<EngineMigration, 6> PostgresAdditions{{{1, Before1, After1},
                                                            {3, "", After3},
                                                            {4, "", After4},
                                                            {5, "", After5},
                                                            {9, Before9, ""},
                                                            {10, "", After10}}};

} // namespace

std::span<const Migration> postgresMigrations() {
    static const EngineMigrations all(Engine::Postgres, PostgresAdditions);
    return all.list();
}

} // namespace orvane::server
