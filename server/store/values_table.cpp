#include "values_table.h"

namespace orvane::server {

std::string valuesTable(std::string_view column, int first, int count) {
    std::string sql = "WITH v (";
    sql.append(column).append(") AS (VALUES ");
    for (int i = 0; i < count; ++i) {
        if (i)
            sql += ", ";
        sql.append("(?").append(std::to_string(first + i)).append(")");
    }
    sql += ") ";
    return sql;
}

} // namespace orvane::server
