#include "database.h"

#include "insert_row_loader.h"
#include "postgres_database.h"
#include "sqlite_database.h"
#include "statement_cache.h"

namespace orvane::server {

Statement::Statement(std::unique_ptr<CompiledStatement> compiled,
                     std::shared_ptr<StatementCache> cache)
    : compiled_(std::move(compiled)), cache_(std::move(cache)) {}

Statement::~Statement() {
    if (compiled_ && cache_) {
        try {
            cache_->give(std::move(compiled_));
        } catch (const StoreError&) {
            // Could not be made ready again: it is freed instead.
        }
    }
}

Database::Database() : cache_(std::make_shared<StatementCache>()) {}

Database::~Database() = default;

Statement Database::prepare(std::string_view sql) {
    if (auto compiled = cache_->take(sql))
        return Statement(std::move(compiled), cache_);
    return Statement(compile(sql), cache_);
}

void Database::closeStatements() {
    cache_->close();
}

std::string Database::multiRowInsert(std::string_view into, int columns, int rows) const {
    std::string row = "(";
    for (int c = 0; c < columns; ++c)
        row += c ? ",?" : "?";
    row += ")";
    std::string sql = "INSERT INTO ";
    sql.append(into).append(" VALUES ");
    for (int r = 0; r < rows; ++r) {
        if (r)
            sql += ",";
        sql += row;
    }
    return sql;
}

std::unique_ptr<RowLoader> Database::loadRows(std::string_view into, int columns) {
    return std::make_unique<InsertRowLoader>(*this, into, columns);
}

bool isPostgresLocation(std::string_view location) {
    return location.starts_with("postgresql://") || location.starts_with("postgres://");
}

std::string printableLocation(std::string_view location) {
    std::string out(location);
    if (!isPostgresLocation(location))
        return out;
    const auto start = out.find("://") + 3;
    const auto at = out.find('@', start);
    const auto colon = out.find(':', start);
    if (at != std::string::npos && colon != std::string::npos && colon < at)
        out.replace(colon + 1, at - colon - 1, "***");
    // Or given as a parameter.
    for (auto param = out.find("password=", start); param != std::string::npos;
         param = out.find("password=", param + 1)) {
        const auto value = param + 9;
        const auto end = out.find('&', value);
        out.replace(value, end == std::string::npos ? end : end - value, "***");
    }
    return out;
}

std::unique_ptr<Database> openDatabase(const std::string& location,
                                       std::chrono::milliseconds busyTimeout) {
    if (isPostgresLocation(location))
        return std::make_unique<PostgresDatabase>(location);
    return std::make_unique<SqliteDatabase>(location, busyTimeout);
}

Transaction::Transaction(Database& db) : db_(db) {
    db_.beginWrite();
}

Transaction::~Transaction() {
    if (!done_) {
        try {
            db_.exec("ROLLBACK");
        } catch (const StoreError&) {
            // The connection already rolled back (for example after a failed COMMIT).
        }
    }
}

void Transaction::commit() {
    db_.exec("COMMIT");
    done_ = true;
}

Savepoint::Savepoint(Database& db) : db_(db) {
    db_.exec("SAVEPOINT record");
}

Savepoint::~Savepoint() {
    if (!done_) {
        try {
            db_.exec("ROLLBACK TO record");
            db_.exec("RELEASE record");
        } catch (const StoreError&) {
            // The outer transaction is gone already; its owner rolls back.
        }
    }
}

void Savepoint::release() {
    db_.exec("RELEASE record");
    done_ = true;
}

} // namespace orvane::server
