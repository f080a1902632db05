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

// The search index as lists of record ids, one row per key and up to 256 of
// its records in id order, instead of a row per key and record: a key index
// entry each takes a B-tree insertion and its WAL record, and at 40 entries
// a record those were most of a catalogue load. Each record now lists its
// entries, as on SQLite since its eighth, and leaves the lists by that
// list; catalogue_index reads the lists as one row per key and record.
constexpr std::string_view After11 = R"sql(
ALTER TABLE catalogue_records ADD COLUMN index_entries TEXT NOT NULL DEFAULT '[]';
UPDATE catalogue_records r SET index_entries = l.entries
FROM (SELECT record_type, record_id,
             json_agg(json_build_array(code, key) ORDER BY code, key)::text AS entries
      FROM catalogue_index GROUP BY record_type, record_id) l
WHERE l.record_type = r.record_type AND l.record_id = r.record_id;
DROP TRIGGER catalogue_index_of_deleted ON catalogue_records;
DROP FUNCTION catalogue_index_of_deleted();
DROP TABLE catalogue_index;
CREATE TABLE catalogue_postings (
    record_type BIGINT NOT NULL,
    code        TEXT NOT NULL,
    key         TEXT COLLATE "C" NOT NULL,
    first_id    INTEGER NOT NULL,
    last_id     INTEGER NOT NULL,
    ids         INTEGER[] NOT NULL CHECK (cardinality(ids) > 0)
);
CREATE INDEX catalogue_postings_by_key ON catalogue_postings (record_type, code, key, first_id);
CREATE VIEW catalogue_index AS
    SELECT p.record_type, p.code, p.key, CAST(u.record_id AS BIGINT) AS record_id
    FROM catalogue_postings p CROSS JOIN LATERAL unnest(p.ids) AS u(record_id);

-- The index made again from every record's list: now, after a move, and
-- by a reindex. It takes its turn as writers taking ids out of lists do.
CREATE FUNCTION catalogue_index_rebuild() RETURNS void LANGUAGE sql AS $$
    SELECT pg_advisory_xact_lock(hashtext('catalogue_postings'));
    DELETE FROM catalogue_postings;
    INSERT INTO catalogue_postings (record_type, code, key, first_id, last_id, ids)
    SELECT record_type, code, key, min(record_id), max(record_id),
           array_agg(record_id ORDER BY record_id)
    FROM (SELECT r.record_type, e ->> 0 AS code, e ->> 1 AS key, CAST(r.record_id AS INTEGER) AS record_id,
                 (row_number() OVER (PARTITION BY r.record_type, e ->> 0, e ->> 1
                                     ORDER BY r.record_id) - 1) / 256 AS part
          FROM catalogue_records r CROSS JOIN LATERAL json_array_elements(CAST(r.index_entries AS json)) e) s
    GROUP BY record_type, code, key, part;
$$;
SELECT catalogue_index_rebuild();

-- Takes a record out of the lists of the entries given ([[code, key], ...]);
-- a list left empty goes. A list holds the ids of many records, so two
-- transactions changing different records may both need it, each while
-- holding another: those that take records out of lists do so one
-- transaction at a time, as writers do on SQLite, and never wait on each
-- other in a circle.
CREATE FUNCTION catalogue_index_remove(kind BIGINT, id BIGINT, entries json) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    entry json;
    list record;
BEGIN
    IF json_array_length(entries) = 0 THEN
        RETURN;
    END IF;
    PERFORM pg_advisory_xact_lock(hashtext('catalogue_postings'));
    -- Each entry's list holding the id: most often the key's last list
    -- starting at or before it, the first one the index gives backwards.
    -- Found again by its place, as nobody else changes lists meanwhile.
    FOR entry IN SELECT e FROM json_array_elements(entries) e LOOP
        SELECT p.ctid AS at, cardinality(p.ids) AS size INTO list FROM catalogue_postings p
        WHERE p.record_type = kind AND p.code = entry ->> 0 AND p.key = entry ->> 1
          AND p.first_id <= id AND p.last_id >= id AND p.ids @> ARRAY[CAST(id AS INTEGER)]
        ORDER BY p.first_id DESC LIMIT 1;
        IF NOT FOUND THEN
            CONTINUE;
        ELSIF list.size = 1 THEN
            DELETE FROM catalogue_postings WHERE ctid = list.at;
        ELSE
            UPDATE catalogue_postings SET ids = array_remove(ids, CAST(id AS INTEGER))
            WHERE ctid = list.at;
        END IF;
    END LOOP;
END $$;

-- A record's entries made those of `entries`: only the entries that changed
-- are touched, so that a job changing one field of many records rewrites
-- the lists of that field's keys alone. The record's row gets the new list.
CREATE FUNCTION catalogue_index_replace(kind BIGINT, id BIGINT, entries text) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    old json;
BEGIN
    SELECT CAST(index_entries AS json) INTO old FROM catalogue_records
    WHERE record_type = kind AND record_id = id;
    PERFORM catalogue_index_remove(kind, id, (
        SELECT coalesce(json_agg(o), '[]') FROM json_array_elements(old) o
        WHERE (o ->> 0, o ->> 1) NOT IN
              (SELECT n ->> 0, n ->> 1 FROM json_array_elements(CAST(entries AS json)) n)));
    INSERT INTO catalogue_postings (record_type, code, key, first_id, last_id, ids)
    SELECT kind, n ->> 0, n ->> 1, id, id, ARRAY[CAST(id AS INTEGER)]
    FROM json_array_elements(CAST(entries AS json)) n
    WHERE (n ->> 0, n ->> 1) NOT IN (SELECT o ->> 0, o ->> 1 FROM json_array_elements(old) o);
    UPDATE catalogue_records SET index_entries = entries WHERE record_type = kind AND record_id = id;
END $$;

CREATE FUNCTION catalogue_index_of_deleted() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    PERFORM catalogue_index_remove(OLD.record_type, OLD.record_id, CAST(OLD.index_entries AS json));
    RETURN NULL;
END $$;
CREATE TRIGGER catalogue_index_of_deleted AFTER DELETE ON catalogue_records
    FOR EACH ROW EXECUTE FUNCTION catalogue_index_of_deleted();

-- A row written into catalogue_index or deleted from it by hand goes into
-- the lists or out of them, as it would into the table it was.
CREATE FUNCTION catalogue_index_written() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP = 'INSERT' THEN
        INSERT INTO catalogue_postings (record_type, code, key, first_id, last_id, ids)
        VALUES (NEW.record_type, NEW.code, NEW.key, NEW.record_id, NEW.record_id,
                ARRAY[CAST(NEW.record_id AS INTEGER)]);
        RETURN NEW;
    END IF;
    PERFORM catalogue_index_remove(OLD.record_type, OLD.record_id,
                                   json_build_array(json_build_array(OLD.code, OLD.key)));
    RETURN OLD;
END $$;
CREATE TRIGGER catalogue_index_written INSTEAD OF INSERT OR DELETE ON catalogue_index
    FOR EACH ROW EXECUTE FUNCTION catalogue_index_written();

-- A record's octets and list together often pass the size at which a row's
-- values are compressed; lz4 does that several times as fast as the
-- default, where the server was built with it.
DO $$
BEGIN
    ALTER TABLE catalogue_records ALTER COLUMN marc SET COMPRESSION lz4,
                                  ALTER COLUMN index_entries SET COMPRESSION lz4;
    ALTER TABLE catalogue_history ALTER COLUMN previous SET COMPRESSION lz4;
EXCEPTION WHEN feature_not_supported THEN
    NULL;
END $$;
)sql";

constexpr std::array<EngineMigration, 7> PostgresAdditions{{{1, Before1, After1},
                                                            {3, "", After3},
                                                            {4, "", After4},
                                                            {5, "", After5},
                                                            {9, Before9, ""},
                                                            {10, "", After10},
                                                            {11, "", After11}}};

} // namespace

std::span<const Migration> postgresMigrations() {
    static const EngineMigrations all(Engine::Postgres, PostgresAdditions);
    return all.list();
}

} // namespace orvane::server
