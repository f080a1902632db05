#include "table_schema.h"

#include "database.h"

#include <algorithm>

namespace orvane::server {

namespace {

ColumnKind sqliteKind(std::string type) {
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    // SQLite's own rules of affinity, for the kinds the schema uses.
    if (type.find("INT") != std::string::npos)
        return ColumnKind::Integer;
    if (type.find("BLOB") != std::string::npos || type.empty())
        return ColumnKind::Octets;
    return ColumnKind::Text;
}

ColumnKind postgresKind(const std::string& type) {
    if (type == "bigint" || type == "integer" || type == "smallint" || type == "boolean")
        return ColumnKind::Integer;
    if (type == "bytea")
        return ColumnKind::Octets;
    return ColumnKind::Text;
}

} // namespace

std::vector<std::string> listTables(Database& db) {
    auto st = db.prepare(
        db.engine() == Engine::Postgres
            ? "SELECT table_name FROM information_schema.tables WHERE table_schema = "
              "current_schema() AND table_type = 'BASE TABLE' ORDER BY table_name"
            : "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
              "ORDER BY name");
    std::vector<std::string> tables;
    while (st.step())
        tables.push_back(st.text(0));
    return tables;
}

std::vector<TableColumn> tableColumns(Database& db, const std::string& table) {
    std::vector<TableColumn> columns;
    if (db.engine() == Engine::Sqlite) {
        auto st = db.prepare("SELECT name, type, pk FROM pragma_table_info(?1) ORDER BY cid");
        st.bind(1, table);
        while (st.step())
            columns.push_back({st.text(0), sqliteKind(st.text(1)), st.int32(2), false});
        return columns;
    }
    auto st = db.prepare(
        "SELECT c.column_name, c.data_type, coalesce(k.ordinal_position, 0), "
        "c.is_identity = 'YES' "
        "FROM information_schema.columns c "
        "LEFT JOIN information_schema.table_constraints t ON t.table_schema = c.table_schema "
        "  AND t.table_name = c.table_name AND t.constraint_type = 'PRIMARY KEY' "
        "LEFT JOIN information_schema.key_column_usage k ON k.constraint_schema = "
        "  t.constraint_schema AND k.constraint_name = t.constraint_name "
        "  AND k.column_name = c.column_name "
        "WHERE c.table_schema = current_schema() AND c.table_name = ?1 "
        "ORDER BY c.ordinal_position");
    st.bind(1, table);
    while (st.step())
        columns.push_back({st.text(0), postgresKind(st.text(1)), st.int32(2), st.int64(3) != 0});
    return columns;
}

std::vector<TableColumn> primaryKeyOf(const std::vector<TableColumn>& columns) {
    std::vector<TableColumn> key;
    std::copy_if(columns.begin(), columns.end(), std::back_inserter(key),
                 [](const TableColumn& c) { return c.primaryKeyPosition > 0; });
    std::sort(key.begin(), key.end(), [](const TableColumn& a, const TableColumn& b) {
        return a.primaryKeyPosition < b.primaryKeyPosition;
    });
    return key;
}

std::string quoted(const std::string& name) {
    std::string out = "\"";
    for (const char c : name) {
        out += c;
        if (c == '"')
            out += c;
    }
    out += '"';
    return out;
}

} // namespace orvane::server
