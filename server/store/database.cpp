#include "database.h"

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace orvane::server {

namespace {
[[noreturn]] void fail(sqlite3* db, std::string_view what) {
    throw StoreError(std::string(what) + ": " + sqlite3_errmsg(db));
}
constexpr int BusyTimeoutMs = 5000;
} // namespace

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
    if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
        SQLITE_OK)
        fail(db_, "prepare");
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement::Statement(Statement&& other) noexcept : db_(other.db_), stmt_(other.stmt_) {
    other.stmt_ = nullptr;
}

Statement& Statement::bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
        fail(db_, "bind");
    return *this;
}

Statement& Statement::bind(int index, std::string_view value) {
    if (sqlite3_bind_text64(stmt_, index, value.data(), value.size(), SQLITE_TRANSIENT,
                            SQLITE_UTF8) != SQLITE_OK)
        fail(db_, "bind");
    return *this;
}

Statement& Statement::bindBlob(int index, std::string_view octets) {
    if (sqlite3_bind_blob64(stmt_, index, octets.data(), octets.size(), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        fail(db_, "bind");
    return *this;
}

Statement& Statement::bindNull(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK)
        fail(db_, "bind");
    return *this;
}

bool Statement::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    fail(db_, "step");
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::int64_t Statement::int64(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::text(int column) const {
    const auto* p = sqlite3_column_text(stmt_, column);
    if (!p)
        return {};
    return std::string(reinterpret_cast<const char*>(p),
                       static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

std::string Statement::blob(int column) const {
    const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    if (!p)
        return {};
    return std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

Database::Database(const std::string& path) {
    // The file holds password hashes: a new one is made readable by its owner
    // only, and SQLite gives its journal and WAL files the same permissions.
    if (path != ":memory:" && !path.empty()) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::close(fd);
    }
    if (sqlite3_open_v2(path.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        throw StoreError("cannot open database " + path + ": " + message);
    }
    sqlite3_busy_timeout(db_, BusyTimeoutMs);
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA foreign_keys=ON");
    exec("PRAGMA synchronous=NORMAL");
}

Database::~Database() { sqlite3_close_v2(db_); }

void Database::exec(std::string_view sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string message = err ? err : "unknown error";
        sqlite3_free(err);
        throw StoreError("exec: " + message);
    }
}

std::int64_t Database::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

int Database::changes() const { return sqlite3_changes(db_); }

Transaction::Transaction(Database& db) : db_(db) { db_.exec("BEGIN IMMEDIATE"); }

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

Savepoint::Savepoint(Database& db) : db_(db) { db_.exec("SAVEPOINT record"); }

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
