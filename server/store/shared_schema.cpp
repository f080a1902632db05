#include "shared_schema.h"

#include <algorithm>
#include <array>

namespace orvane::server {

namespace {

// Never edit a migration that has shipped: add a new one. A shared one
// changes both engines' databases.
constexpr std::string_view Shared1 = R"sql(
CREATE TABLE operators (
    id            {ID},
    operator_id   TEXT NOT NULL UNIQUE COLLATE {NOCASE},
    name          TEXT NOT NULL DEFAULT '',
    password_hash TEXT NOT NULL,
    password_flag {INT} NOT NULL DEFAULT 0,
    created_at    TEXT NOT NULL DEFAULT (datetime('now'))
);
CREATE TABLE operator_rights (
    operator  {INT} NOT NULL REFERENCES operators(id) ON DELETE CASCADE,
    code      TEXT NOT NULL,
    PRIMARY KEY (operator, code)
){KEYED};
CREATE TABLE owning_libraries (
    id   {ID},
    code TEXT NOT NULL UNIQUE,
    name TEXT NOT NULL
);
CREATE TABLE locations (
    id      {ID},
    code    TEXT NOT NULL UNIQUE,
    name    TEXT NOT NULL,
    library {INT} REFERENCES owning_libraries(id) ON DELETE SET NULL
);
CREATE TABLE operator_locations (
    operator {INT} NOT NULL REFERENCES operators(id) ON DELETE CASCADE,
    location {INT} NOT NULL REFERENCES locations(id) ON DELETE CASCADE,
    PRIMARY KEY (operator, location)
){KEYED};
CREATE TABLE operator_libraries (
    operator {INT} NOT NULL REFERENCES operators(id) ON DELETE CASCADE,
    library  {INT} NOT NULL REFERENCES owning_libraries(id) ON DELETE CASCADE,
    PRIMARY KEY (operator, library)
){KEYED};
CREATE TABLE charsets (
    id        {ID},
    position  {INT} NOT NULL UNIQUE,
    code      TEXT NOT NULL UNIQUE,
    name      TEXT NOT NULL,
    encoding  TEXT NOT NULL
);
CREATE TABLE packages (
    name TEXT PRIMARY KEY
){KEYED};
CREATE TABLE field_order_configs (
    id    {ID},
    name  TEXT NOT NULL UNIQUE,
    tags  TEXT NOT NULL DEFAULT ''
);
CREATE TABLE dupe_profiles (
    id   {ID},
    code TEXT NOT NULL UNIQUE,
    name TEXT NOT NULL
);
CREATE TABLE settings (
    key   TEXT PRIMARY KEY,
    value TEXT NOT NULL
){KEYED};
)sql";

// The catalogue: records of the three kinds, each with its flags and
// authorship, the search index entries and the history of changes. A record
// is (record_type, record_id); the row number is only the table's own.
constexpr std::string_view Shared2 = R"sql(
CREATE TABLE catalogue_records (
    row               {ID},
    record_type       {INT} NOT NULL CHECK (record_type BETWEEN 1 AND 3),
    record_id         {INT} NOT NULL CHECK (record_id BETWEEN 1 AND 2147483647),
    marc              {OCTETS} NOT NULL,
    control_source    TEXT NOT NULL DEFAULT '',
    suppressed        {INT} NOT NULL DEFAULT 0,
    ok_to_export      {INT} NOT NULL DEFAULT 1,
    ok_to_export_date TEXT,
    owning_library    {INT} REFERENCES owning_libraries(id) ON DELETE SET NULL,
    location          {INT} REFERENCES locations(id) ON DELETE SET NULL,
    bib_id            {INT},
    created_by        TEXT NOT NULL,
    created_at        TEXT NOT NULL DEFAULT (datetime('now')),
    updated_by        TEXT NOT NULL,
    updated_at        TEXT NOT NULL DEFAULT (datetime('now')),
    UNIQUE (record_type, record_id),
    CHECK (bib_id IS NULL OR record_type = 2)
);
CREATE INDEX catalogue_holdings_of ON catalogue_records (bib_id) WHERE bib_id IS NOT NULL;
CREATE TABLE catalogue_index (
    record_type {INT} NOT NULL,
    code        TEXT NOT NULL,
    key         TEXT{BYTEWISE} NOT NULL,
    record_id   {INT} NOT NULL,
    PRIMARY KEY (record_type, code, key, record_id),
    FOREIGN KEY (record_type, record_id) REFERENCES catalogue_records (record_type, record_id)
        ON DELETE CASCADE
){KEYED};
CREATE INDEX catalogue_index_of_record ON catalogue_index (record_type, record_id);
CREATE TABLE catalogue_history (
    id          {ID},
    record_type {INT} NOT NULL,
    record_id   {INT} NOT NULL,
    action      TEXT NOT NULL CHECK (action IN ('created', 'replaced')),
    operator    TEXT NOT NULL,
    at          TEXT NOT NULL DEFAULT (datetime('now')),
    previous    {OCTETS},
    FOREIGN KEY (record_type, record_id) REFERENCES catalogue_records (record_type, record_id)
        ON DELETE CASCADE
);
CREATE INDEX catalogue_history_of_record ON catalogue_history (record_type, record_id);
)sql";

// Jobs as the queue keeps them. Rule sets and record sets ask it whether a
// pending or active job still uses them before they may be deleted.
constexpr std::string_view Shared3 = R"sql(
CREATE TABLE jobs (
    id                 {ID},
    name               TEXT NOT NULL,
    job_type           {INT} NOT NULL CHECK (job_type BETWEEN 0 AND 7),
    status             {INT} NOT NULL DEFAULT 0 CHECK (status BETWEEN 0 AND 6),
    record_type        {INT} NOT NULL DEFAULT 0,
    record_set_id      {INT},
    save_record_set_id {INT},
    rule_set_id        {INT},
    range_start        TEXT NOT NULL DEFAULT '',
    range_end          TEXT NOT NULL DEFAULT '',
    update_database    {INT} NOT NULL DEFAULT 0,
    keyword_index      {INT} NOT NULL DEFAULT 0,
    scheduled_start    TEXT,
    actual_start       TEXT,
    operator_id        TEXT NOT NULL,
    records_to_process {INT} NOT NULL DEFAULT 0,
    records_processed  {INT} NOT NULL DEFAULT 0,
    error_count        {INT} NOT NULL DEFAULT 0,
    records_deleted    {INT} NOT NULL DEFAULT 0,
    current_bulk       {INT} NOT NULL DEFAULT 0,
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
constexpr std::string_view Shared4 = R"sql(
CREATE TABLE rule_documents (
    id          {ID},
    rule_type   {INT} NOT NULL CHECK (rule_type BETWEEN 1 AND 6),
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
    document {INT} NOT NULL REFERENCES rule_documents(id) ON DELETE CASCADE,
    position {INT} NOT NULL,
    name     TEXT NOT NULL,
    PRIMARY KEY (document, position)
){KEYED};
CREATE TABLE rule_sets (
    id          {ID},
    rule_type   {INT} NOT NULL CHECK (rule_type BETWEEN 1 AND 6),
    name        TEXT NOT NULL UNIQUE,
    description TEXT NOT NULL DEFAULT '',
    created_by  TEXT NOT NULL,
    created_at  TEXT NOT NULL DEFAULT (datetime('now')),
    updated_by  TEXT NOT NULL DEFAULT '',
    updated_at  TEXT
);
CREATE TABLE rule_set_links (
    rule_set {INT} NOT NULL REFERENCES rule_sets(id) ON DELETE CASCADE,
    position {INT} NOT NULL,
    document {INT} NOT NULL REFERENCES rule_documents(id),
    PRIMARY KEY (rule_set, position)
){KEYED};
CREATE INDEX rule_set_links_by_document ON rule_set_links (document);
CREATE TABLE rule_set_parameters (
    rule_set {INT} NOT NULL REFERENCES rule_sets(id) ON DELETE CASCADE,
    position {INT} NOT NULL,
    name     TEXT NOT NULL,
    value    TEXT NOT NULL,
    PRIMARY KEY (rule_set, position)
){KEYED};
)sql";

// Record sets and their members. A member's ordinal keeps the order the ids
// arrived in; the key (record_set, record_id) holds an id once per set and
// makes asking whether a set holds an id one look-up.
constexpr std::string_view Shared5 = R"sql(
CREATE TABLE record_sets (
    id           {ID},
    name         TEXT NOT NULL UNIQUE COLLATE {NOCASE},
    description  TEXT NOT NULL DEFAULT '',
    set_type     {INT} NOT NULL DEFAULT 1 CHECK (set_type IN (1, 2)),
    record_type  {INT} NOT NULL CHECK (record_type BETWEEN 1 AND 3),
    record_count {INT} NOT NULL DEFAULT 0,
    created_by   TEXT NOT NULL,
    created_at   TEXT NOT NULL DEFAULT (datetime('now')),
    updated_by   TEXT NOT NULL DEFAULT '',
    updated_at   TEXT NOT NULL DEFAULT (datetime('now'))
);
CREATE TABLE record_set_members (
    record_set {INT} NOT NULL REFERENCES record_sets(id) ON DELETE CASCADE,
    record_id  {INT} NOT NULL,
    ordinal    {INT} NOT NULL,
    PRIMARY KEY (record_set, record_id)
){KEYED};
CREATE UNIQUE INDEX record_set_members_in_order ON record_set_members (record_set, ordinal);
)sql";

// What the job runner needs to run a job: the parameters of its submission,
// when it ended; and the catalogue's mark on records whose word index waits
// for the next index job.
constexpr std::string_view Shared6 = R"sql(
ALTER TABLE jobs ADD COLUMN new_record_set_name TEXT NOT NULL DEFAULT '';
ALTER TABLE jobs ADD COLUMN library_param TEXT NOT NULL DEFAULT '';
ALTER TABLE jobs ADD COLUMN location_param TEXT NOT NULL DEFAULT '';
ALTER TABLE jobs ADD COLUMN field_order TEXT NOT NULL DEFAULT '';
ALTER TABLE jobs ADD COLUMN source_job_id {INT};
ALTER TABLE jobs ADD COLUMN add_035 {INT} NOT NULL DEFAULT 0;
ALTER TABLE jobs ADD COLUMN finished_at TEXT;
CREATE UNIQUE INDEX jobs_by_name ON jobs (name COLLATE {NOCASE});
CREATE INDEX jobs_due ON jobs (status, scheduled_start);
ALTER TABLE catalogue_records ADD COLUMN needs_reindex {INT} NOT NULL DEFAULT 0;
)sql";

// The records uploaded into an authority-load match job, in upload order,
// and whether the job asked for an 035 on the records the load creates.
constexpr std::string_view Shared7 = R"sql(
CREATE TABLE job_records (
    job      {INT} NOT NULL REFERENCES jobs(id) ON DELETE CASCADE,
    position {INT} NOT NULL,
    marc     {OCTETS} NOT NULL,
    PRIMARY KEY (job, position)
){KEYED};
)sql";

// Several servers on one database: the server running a job and the last
// moment it said so (seconds, the database's clock), so that the others can
// tell a job whose server died; and the sessions every server accepts.
constexpr std::string_view Shared9 = R"sql(
ALTER TABLE jobs ADD COLUMN runner TEXT NOT NULL DEFAULT '';
ALTER TABLE jobs ADD COLUMN heartbeat_at {INT} NOT NULL DEFAULT 0;
CREATE TABLE sessions (
    token_hash  TEXT PRIMARY KEY,
    operator    {INT} NOT NULL REFERENCES operators(id) ON DELETE CASCADE,
    operator_id TEXT NOT NULL,
    opened_at   {INT} NOT NULL,
    last_used   {INT} NOT NULL
){KEYED};
CREATE INDEX sessions_of_operator ON sessions (operator);
)sql";
// SQLite's eighth has no PostgreSQL counterpart, PostgreSQL's tenth and
// eleventh no SQLite one.
constexpr std::array<Migration, 11> Shared{{{1, Shared1},
                                           {2, Shared2},
                                           {3, Shared3},
                                           {4, Shared4},
                                           {5, Shared5},
                                           {6, Shared6},
                                           {7, Shared7},
                                           {8, ""},
                                           {9, Shared9},
                                           {10, ""},
                                           {11, ""}}};

struct Word {
    std::string_view word;
    std::string_view sqlite;
    std::string_view postgres;
};

// SQLite's row ids are PostgreSQL's identities, its integers bigint, its
// blobs bytea. SQLite keeps a table by its primary key alone when told;
// PostgreSQL always keeps a heap beside. Case-blind names use SQLite's
// NOCASE and the collation PostgreSQL's first migration makes. Index keys
// compare octet by octet on PostgreSQL whatever the database's locale, as
// SQLite compares them, so that a prefix is a range.
constexpr std::array<Word, 6> Words{{
    {"{ID}", "INTEGER PRIMARY KEY", "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"},
    {"{INT}", "INTEGER", "BIGINT"},
    {"{OCTETS}", "BLOB", "BYTEA"},
    {"{KEYED}", " WITHOUT ROWID", ""},
    {"{NOCASE}", "NOCASE", "nocase"},
    {"{BYTEWISE}", "", " COLLATE \"C\""},
}};

} // namespace

std::span<const Migration> sharedMigrations() { return Shared; }

std::string inDialect(std::string_view sql, Engine engine) {
    std::string out;
    out.reserve(sql.size() + sql.size() / 4);
    std::size_t at = 0;
    while (at < sql.size()) {
        const std::size_t open = sql.find('{', at);
        if (open == std::string_view::npos) {
            out.append(sql.substr(at));
            break;
        }
        out.append(sql.substr(at, open - at));
        const auto word = std::find_if(Words.begin(), Words.end(), [&](const Word& w) {
            return sql.substr(open).starts_with(w.word);
        });
        if (word == Words.end())
            throw StoreError("schema: no such word at " + std::string(sql.substr(open, 20)));
        out.append(engine == Engine::Postgres ? word->postgres : word->sqlite);
        at = open + word->word.size();
    }
    return out;
}

EngineMigrations::EngineMigrations(Engine engine, std::span<const EngineMigration> additions) {
    texts_.reserve(Shared.size());
    for (const auto& shared : Shared) {
        const auto added = std::find_if(additions.begin(), additions.end(),
                                        [&](const EngineMigration& a) {
                                            return a.version == shared.version;
                                        });
        std::string text;
        if (added != additions.end())
            text.append(added->before);
        text.append(inDialect(shared.sql, engine));
        if (added != additions.end())
            text.append(added->after);
        texts_.push_back(std::move(text));
    }
    for (std::size_t i = 0; i < Shared.size(); ++i)
        list_.push_back({Shared[i].version, texts_[i]});
}

} // namespace orvane::server
