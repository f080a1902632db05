#include "sqlite_database.h"

#include <cerrno>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace orvane::server {

namespace {

[[noreturn]] void fail(sqlite3* db, std::string_view what) {
    throw StoreError(std::string(what) + ": " + sqlite3_errmsg(db));
}

// How long a transaction about to begin steps aside for waiting writers.
constexpr std::chrono::milliseconds LongestYield{250};
// How often a waiting connection tries the lock again: often, so that the
// moment between another writer's transactions is not missed.
constexpr std::chrono::milliseconds RetryEvery{1};

class SqliteStatement final : public CompiledStatement {
public:
    SqliteStatement(SqliteDatabase& owner, std::string_view sql) : owner_(owner), sql_(sql) {
        if (sqlite3_prepare_v2(db(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
            SQLITE_OK)
            fail(db(), "prepare");
    }
    ~SqliteStatement() override { sqlite3_finalize(stmt_); }

    const std::string& sql() const override { return sql_; }

    void bindInt(int index, std::int64_t value) override {
        if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
            fail(db(), "bind");
    }
    void bindText(int index, std::string_view value) override {
        if (sqlite3_bind_text64(stmt_, index, value.data(), value.size(), SQLITE_TRANSIENT,
                                SQLITE_UTF8) != SQLITE_OK)
            fail(db(), "bind");
    }
    void bindKeptText(int index, std::string_view value) override {
        if (sqlite3_bind_text64(stmt_, index, value.data(), value.size(), SQLITE_STATIC,
                                SQLITE_UTF8) != SQLITE_OK)
            fail(db(), "bind");
    }
    void bindBlob(int index, std::string_view octets) override {
        if (sqlite3_bind_blob64(stmt_, index, octets.data(), octets.size(), SQLITE_TRANSIENT) !=
            SQLITE_OK)
            fail(db(), "bind");
    }
    void bindNull(int index) override {
        if (sqlite3_bind_null(stmt_, index) != SQLITE_OK)
            fail(db(), "bind");
    }

    bool step() override {
        const int rc = sqlite3_step(stmt_);
        owner_.doneWaiting();
        if (rc == SQLITE_ROW)
            return true;
        if (rc == SQLITE_DONE)
            return false;
        fail(db(), "step");
    }
    void reset() override {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
    void resetForRebind() override { sqlite3_reset(stmt_); }

    std::int64_t int64(int column) const override { return sqlite3_column_int64(stmt_, column); }
    std::string text(int column) const override {
        const auto* p = sqlite3_column_text(stmt_, column);
        if (!p)
            return {};
        return std::string(reinterpret_cast<const char*>(p),
                           static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
    }
    std::string blob(int column) const override {
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
        if (!p)
            return {};
        return std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
    }
    bool isNull(int column) const override {
        return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
    }

private:
    sqlite3* db() const { return owner_.handle(); }

    SqliteDatabase& owner_;
    std::string sql_;
    sqlite3_stmt* stmt_ = nullptr;
};

} // namespace

SqliteDatabase::SqliteDatabase(const std::string& path, std::chrono::milliseconds busyTimeout)
    : busyTimeout_(busyTimeout) {
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
    sqlite3_busy_handler(db_, &SqliteDatabase::onBusy, this);
    exec("PRAGMA journal_mode=WAL");
    exec("PRAGMA foreign_keys=ON");
    exec("PRAGMA synchronous=NORMAL");
}

SqliteDatabase::~SqliteDatabase() {
    closeStatements();
    sqlite3_close_v2(db_);
    if (writersFd_ >= 0)
        ::close(writersFd_);
}

std::unique_ptr<CompiledStatement> SqliteDatabase::compile(std::string_view sql) {
    return std::make_unique<SqliteStatement>(*this, sql);
}

int SqliteDatabase::onBusy(void* self, int attempts) {
    auto& db = *static_cast<SqliteDatabase*>(self);
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

void SqliteDatabase::stopWaiting() {
    if (waiting_ && writersFd_ >= 0)
        ::flock(writersFd_, LOCK_UN);
    waiting_ = false;
}

void SqliteDatabase::yieldToWaitingWriters() {
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

void SqliteDatabase::beginWrite() {
    yieldToWaitingWriters();
    exec("BEGIN IMMEDIATE");
}

void SqliteDatabase::exec(std::string_view sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, &err);
    doneWaiting();
    if (rc != SQLITE_OK) {
        std::string message = err ? err : "unknown error";
        sqlite3_free(err);
        throw StoreError("exec: " + message);
    }
}

std::int64_t SqliteDatabase::lastInsertId() {
    return sqlite3_last_insert_rowid(db_);
}

int SqliteDatabase::changes() const {
    return sqlite3_changes(db_);
}

std::string SqliteDatabase::multiRowInsert(std::string_view into, int columns, int rows) const {
    // OR FAIL: a refused row ends the statement where it is, so SQLite keeps
    // no journal to undo the statement's earlier rows (the caller rolls back
    // the whole transaction instead).
    std::string sql = Database::multiRowInsert(into, columns, rows);
    sql.replace(0, 6, "INSERT OR FAIL");
    return sql;
}

std::int64_t SqliteDatabase::pragma(const std::string& name) {
    auto st = prepare("PRAGMA " + name);
    st.step();
    return st.int64(0);
}

// A larger page cache, fewer checkpoints and no foreign key checks while
// importing: rows land all over their tables, and each batch dirties many of
// the same pages again, which a checkpoint per thousand pages would copy over
// and over. The import writes index entries and history rows only for the
// records it has just written in the same transaction, and deletes nothing.
void SqliteDatabase::enterBulkWrite() {
    cacheSize_ = pragma("cache_size");
    autocheckpoint_ = pragma("wal_autocheckpoint");
    exec("PRAGMA cache_size = -65536");
    exec("PRAGMA wal_autocheckpoint = 32768");
    exec("PRAGMA foreign_keys = OFF");
}

void SqliteDatabase::leaveBulkWrite() {
    try {
        exec("PRAGMA foreign_keys = ON");
        exec("PRAGMA cache_size = " + std::to_string(cacheSize_));
        exec("PRAGMA wal_autocheckpoint = " + std::to_string(autocheckpoint_));
    } catch (const StoreError&) {
        // The connection keeps the import's settings; nothing is lost.
    }
}

} // namespace orvane::server
