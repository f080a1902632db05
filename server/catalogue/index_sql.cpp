#include "index_sql.h"

namespace orvane::server {

namespace {

// The codes of the entries that link records: 035 control numbers of each
// kind and a holdings record's 004.
#define LINK_CODES "('035A', 'A35A', 'H35A', 'HB')"

// OR FAIL: an UPDATE of one row is checked before anything is written, so
// SQLite needs no statement journal to undo part of it.
IndexSql sqliteSql() {
    IndexSql sql;
    const std::string listed = "SELECT value ->> 0, value ->> 1 FROM json_each(("
                               "SELECT index_entries FROM catalogue_records WHERE "
                               "record_type = ?1 AND record_id = ?2))";
    const std::string remove = "DELETE FROM catalogue_index WHERE record_type = ?1 AND "
                               "record_id = ?2 AND (code, key) IN (";
    sql.removeAll = remove + listed + ")";
    sql.removeLinks = remove + listed + " WHERE value ->> 0 IN " LINK_CODES ")";
    sql.storeList = "UPDATE OR FAIL catalogue_records SET index_entries = ?3 "
                    "WHERE record_type = ?1 AND record_id = ?2";
    sql.storeLinks = "UPDATE OR FAIL catalogue_records SET index_entries = (SELECT "
                     "json_group_array(json(e)) FROM (SELECT value AS e FROM "
                     "json_each(index_entries) WHERE value ->> 0 NOT IN " LINK_CODES
                     " UNION ALL SELECT value FROM json_each(?3))) "
                     "WHERE record_type = ?1 AND record_id = ?2";
    sql.insertOne = "INSERT OR FAIL INTO catalogue_index (record_type, code, key, record_id) "
                    "VALUES (?1, ?2, ?3, ?4)";
    const std::string newList = "SELECT value ->> 0, value ->> 1 FROM json_each(?3)";
    // NOT IN, not EXCEPT: the entries gone stay a list SQLite looks up one
    // by one in the index instead of reading all of the kind's entries.
    sql.replace = {remove + listed + " WHERE (value ->> 0, value ->> 1) NOT IN (" + newList + "))",
                   "INSERT OR FAIL INTO catalogue_index (record_type, code, key, record_id) "
                   "SELECT ?1, value ->> 0, value ->> 1, ?2 FROM json_each(?3) "
                   "WHERE (value ->> 0, value ->> 1) NOT IN (" + listed + ")",
                   sql.storeList};
    sql.loadInto = "catalogue_index (record_type, code, key, record_id)";
    sql.loadColumns = 4;
    return sql;
}

// catalogue_index_remove(), _replace() and _rebuild() are the schema's.
IndexSql postgresSql() {
    IndexSql sql;
    const std::string list = "CAST((SELECT index_entries FROM catalogue_records WHERE "
                             "record_type = ?1 AND record_id = ?2) AS json)";
    sql.removeAll = "SELECT catalogue_index_remove(?1, ?2, " + list + ")";
    sql.removeLinks = "SELECT catalogue_index_remove(?1, ?2, (SELECT coalesce(json_agg(e), "
                      "'[]') FROM json_array_elements(" +
                      list + ") e WHERE e ->> 0 IN " LINK_CODES "))";
    sql.storeList = "UPDATE catalogue_records SET index_entries = ?3 "
                    "WHERE record_type = ?1 AND record_id = ?2";
    sql.storeLinks = "UPDATE catalogue_records SET index_entries = CAST((SELECT "
                     "coalesce(json_agg(e), '[]') FROM (SELECT e FROM json_array_elements("
                     "CAST(index_entries AS json)) e WHERE e ->> 0 NOT IN " LINK_CODES
                     " UNION ALL SELECT e FROM json_array_elements(CAST(?3 AS json)) e) l) "
                     "AS text) WHERE record_type = ?1 AND record_id = ?2";
    sql.insertOne = "INSERT INTO catalogue_postings (record_type, code, key, first_id, "
                    "last_id, ids) VALUES (?1, ?2, ?3, ?4, ?4, ARRAY[CAST(?4 AS INTEGER)])";
    sql.replace = {"SELECT catalogue_index_replace(?1, ?2, ?3)"};
    sql.rebuild = "SELECT catalogue_index_rebuild()";
    sql.loadInto = "catalogue_postings (record_type, code, key, first_id, last_id, ids)";
    sql.loadColumns = 6;
    sql.keepsIdLists = true;
    return sql;
}

#undef LINK_CODES

} // namespace

const IndexSql& indexSql(Engine engine) {
    static const IndexSql sqlite = sqliteSql();
    static const IndexSql postgres = postgresSql();
    return engine == Engine::Postgres ? postgres : sqlite;
}

} // namespace orvane::server
