#pragma once
// A thin, exception-based layer over one SQLite connection: prepared
// statements with typed binding, and a scoped transaction.
//
// SQLite lets writers take turns in no order: a connection that commits and
// begins again at once (an import, a job's bulks) can keep one that waits
// out until its timeout. So a connection waiting for the write lock says so
// with a shared lock on a file beside the database ("-writers"), in this
// process or another, and a transaction about to begin steps aside while
// anyone waits (for a moment at most).

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace orvane::server {

class Database;
struct StatementCache;

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Statement {
public:
    Statement(Database& owner, sqlite3* db, std::string_view sql);
    // A statement compiled before, from the connection's cache.
    Statement(Database& owner, sqlite3* db, sqlite3_stmt* compiled);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;

    // Binding is by 1-based position; each returns *this to chain.
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bind(int index, bool value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bind(int index, std::string_view value);
    Statement& bind(int index, const char* value) { return bind(index, std::string_view(value)); }
    Statement& bindNull(int index);
    // Octets kept as they are (MARC records in any coding).
    Statement& bindBlob(int index, std::string_view octets);
    template <typename T> Statement& bind(int index, const std::optional<T>& value) {
        return value ? bind(index, *value) : bindNull(index);
    }

    // Next row: true when there is one. Done statements reset on the next bind round.
    bool step();
    // Runs to the end, for statements that return no rows.
    void run();
    void reset();

    std::int64_t int64(int column) const;
    int int32(int column) const { return static_cast<int>(int64(column)); }
    std::string text(int column) const;
    std::string blob(int column) const;
    bool isNull(int column) const;

private:
    Database* owner_;
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    // Where the compiled statement goes back when this one ends.
    std::shared_ptr<StatementCache> cache_;
};

class Database {
public:
    // How long a statement waits for another connection's write lock.
    static constexpr std::chrono::milliseconds DefaultBusyTimeout{30'000};

    // Opens (creating when absent) with WAL, foreign keys and a busy timeout.
    explicit Database(const std::string& path,
                      std::chrono::milliseconds busyTimeout = DefaultBusyTimeout);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Compiled once per connection: a statement prepared again (the same SQL)
    // comes from the cache its predecessor went back to.
    Statement prepare(std::string_view sql);
    void exec(std::string_view sql);
    std::int64_t lastInsertId() const;
    int changes() const;
    sqlite3* handle() const { return db_; }

    // Before a write transaction: waits while other connections wait for the
    // write lock, up to a moment, so they go first.
    void yieldToWaitingWriters();
    // After a statement: no longer waiting, whether it got the lock or not.
    void doneWaiting() {
        if (waiting_)
            stopWaiting();
    }

private:
    friend class Statement;
    static int onBusy(void* self, int attempts);
    void stopWaiting();

    sqlite3* db_ = nullptr;
    std::shared_ptr<StatementCache> cache_;
    int writersFd_ = -1; // the "-writers" file, or -1 when it cannot be had
    bool waiting_ = false;
    std::chrono::steady_clock::time_point busySince_{};
    std::chrono::milliseconds busyTimeout_;
};

// BEGIN IMMEDIATE on construction; rolled back unless commit() is called.
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    bool done_ = false;
};

// A nested transaction inside the current one: rolled back on its own unless
// release() is called, leaving the outer transaction going.
class Savepoint {
public:
    explicit Savepoint(Database& db);
    ~Savepoint();
    Savepoint(const Savepoint&) = delete;
    Savepoint& operator=(const Savepoint&) = delete;
    void release();

private:
    Database& db_;
    bool done_ = false;
};

} // namespace orvane::server
