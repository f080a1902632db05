#pragma once
// What a database says of its own tables: their names, and each column's
// name, kind of value, place in the primary key and whether the engine
// numbers it. Read from SQLite's table_info and PostgreSQL's
// information_schema, for code that walks every table (the move).

#include <string>
#include <vector>

namespace orvane::server {

class Database;

// A column's values as the server reads and binds them: PostgreSQL's
// booleans read and bind as 0 and 1, JSON as its text.
enum class ColumnKind { Integer, Text, Octets };

struct TableColumn {
    std::string name;
    ColumnKind kind = ColumnKind::Text;
    int primaryKeyPosition = 0; // from 1; 0 when not in the primary key
    bool identity = false;      // PostgreSQL numbers it from a sequence
};

// The server's tables, by name; the engine's own (sqlite_*) left out.
std::vector<std::string> listTables(Database& db);
// In the table's order; empty when there is no such table.
std::vector<TableColumn> tableColumns(Database& db, const std::string& table);
// The primary key's columns in key order.
std::vector<TableColumn> primaryKeyOf(const std::vector<TableColumn>& columns);
// "name" as an SQL identifier, the same for both engines.
std::string quoted(const std::string& name);

} // namespace orvane::server
