#include "database.h"

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace orvane::server {

namespace {
[[noreturn]] void fail(sqlite3* db, std::string_view what) {
    throw StoreError(std::string(what) + ": " + sqlite3_errmsg(db));
}
} // namespace

// How long a transaction about to begin steps aside for waiting writers.
constexpr std::chrono::milliseconds LongestYield{250};
// How often a waiting connection tries the lock again: often, so that the
// moment between another writer's transactions is not missed.
constexpr std::chrono::milliseconds RetryEvery{1};

// Compiled statements of one connection, by their SQL, waiting to be used
// again; kept only while the connection is open.
struct StatementCache {
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view sql) const {
            return std::hash<std::string_view>{}(sql);
        }
    };
    static constexpr std::size_t MostKept = 256;
    bool open = true;
    std::size_t kept = 0;
    std::unordered_map<std::string, std::vector<sqlite3_stmt*>, Hash, std::equal_to<>> idle;

    sqlite3_stmt* take(std::string_view sql) {
        const auto it = idle.find(sql);
        if (it == idle.end() || it->second.empty())
            return nullptr;
        sqlite3_stmt* stmt = it->second.back();
        it->second.pop_back();
        --kept;
        return stmt;
    }
    void give(sqlite3_stmt* stmt) {
        const char* sql = sqlite3_sql(stmt);
        if (!open || !sql || kept >= MostKept) {
            sqlite3_finalize(stmt);
            return;
        }
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        idle[sql].push_back(stmt);
        ++kept;
    }
    void close() {
        for (auto& [sql, statements] : idle)
            for (sqlite3_stmt* stmt : statements)
                sqlite3_finalize(stmt);
        idle.clear();
        kept = 0;
        open = false;
    }
};

Statement::Statement(Database& owner, sqlite3* db, sqlite3_stmt* compiled)
    : owner_(&owner), db_(db), stmt_(compiled), cache_(owner.cache_) {}

Statement::Statement(Database& owner, sqlite3* db, std::string_view sql)
    : owner_(&owner), db_(db), cache_(owner.cache_) {
    if (sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
        SQLITE_OK)
        fail(db_, "prepare");
}

Statement::~Statement() {
    if (!stmt_)
        return;
    if (cache_)
        cache_->give(stmt_);
    else
        sqlite3_finalize(stmt_);
}

Statement::Statement(Statement&& other) noexcept
    : owner_(other.owner_), db_(other.db_), stmt_(other.stmt_), cache_(std::move(other.cache_)) {
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
    owner_->doneWaiting();
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

Database::Database(const std::string& path, std::chrono::milliseconds busyTimeout)
    : cache_(std::make_shared<StatementCache>()), busyTimeout_(busyTimeout) {
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
    if (path != ":memory:" && !path.empty())
        writersFd_ = ::open((path + "-writers").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    sqlite3_busy_handler(db_, &Database::onBusy, this);
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA foreign_keys=ON");
    exec("PRAGMA synchronous=NORMAL");
}

Statement Database::prepare(std::string_view sql) {
    if (sqlite3_stmt* compiled = cache_->take(sql))
        return Statement(*this, db_, compiled);
    return Statement(*this, db_, sql);
}

Database::~Database() {
    cache_->close();
    sqlite3_close_v2(db_);
    if (writersFd_ >= 0)
        ::close(writersFd_);
}

int Database::onBusy(void* self, int attempts) {
    auto& db = *static_cast<Database*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (attempts == 0)
        db.busySince_ = now;
    if (now - db.busySince_ >= db.busyTimeout_) {
        db.stopWaiting();
        return 0;
    }
    // Said on every try: a writer checking for waiters holds the file for an
    // instant, and the first try may meet it.
    if (!db.waiting_ && db.writersFd_ >= 0 && ::flock(db.writersFd_, LOCK_SH | LOCK_NB) == 0)
        db.waiting_ = true;
    std::this_thread::sleep_for(RetryEvery);
    return 1;
}

void Database::stopWaiting() {
    if (waiting_ && writersFd_ >= 0)
        ::flock(writersFd_, LOCK_UN);
    waiting_ = false;
}

void Database::yieldToWaitingWriters() {
    if (writersFd_ < 0)
        return;
    // A statement of this connection still open holds its snapshot: once
    // another writer had been in, this one could not write at all. It keeps
    // its turn instead.
    for (sqlite3_stmt* st = sqlite3_next_stmt(db_, nullptr); st; st = sqlite3_next_stmt(db_, st))
        if (sqlite3_stmt_busy(st))
            return;
    const auto until = std::chrono::steady_clock::now() + LongestYield;
    // Nobody waits when the file can be locked alone.
    while (::flock(writersFd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= until)
            return;
        std::this_thread::sleep_for(RetryEvery);
    }
    ::flock(writersFd_, LOCK_UN);
}

void Database::exec(std::string_view sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &err);
    doneWaiting();
    if (rc != SQLITE_OK) {
        std::string message = err ? err : "unknown error";
        sqlite3_free(err);
        throw StoreError("exec: " + message);
    }
}

std::int64_t Database::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

int Database::changes() const { return sqlite3_changes(db_); }

Transaction::Transaction(Database& db) : db_(db) {
    db_.yieldToWaitingWriters();
    db_.exec("BEGIN IMMEDIATE");
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
