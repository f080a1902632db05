#pragma once
// One connection to the server's database, whichever engine holds it (a
// SQLite file, or PostgreSQL shared by several servers): prepared statements
// with typed binding, a scoped transaction and a savepoint.
//
// The server writes its SQL once: `?N` placeholders and what both engines
// read alike (ON CONFLICT, coalesce, the schema's own functions). What still
// differs stays here: each engine's connection translates or builds it.

#include "compiled_statement.h"
#include "row_loader.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane::server {

class Database;
struct StatementCache;

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class Engine { Sqlite, Postgres };

class Statement {
public:
    Statement(std::unique_ptr<CompiledStatement> compiled, std::shared_ptr<StatementCache> cache);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement(Statement&& other) noexcept = default;
    Statement& operator=(Statement&&) = delete;

    // Binding is by 1-based position; each returns *this to chain.
    Statement& bind(int index, std::int64_t value) {
        compiled_->bindInt(index, value);
        return *this;
    }
    Statement& bind(int index, int value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bind(int index, bool value) { return bind(index, static_cast<std::int64_t>(value)); }
    Statement& bind(int index, std::string_view value) {
        compiled_->bindText(index, value);
        return *this;
    }
    Statement& bind(int index, const char* value) { return bind(index, std::string_view(value)); }
    // Text that stays where it is, unchanged, until the statement has run:
    // bound without a copy (bulk writes of many rows).
    Statement& bindKept(int index, std::string_view value) {
        compiled_->bindKeptText(index, value);
        return *this;
    }
    Statement& bindNull(int index) {
        compiled_->bindNull(index);
        return *this;
    }
    // Octets kept as they are (MARC records in any coding).
    Statement& bindBlob(int index, std::string_view octets) {
        compiled_->bindBlob(index, octets);
        return *this;
    }
    template <typename T> Statement& bind(int index, const std::optional<T>& value) {
        return value ? bind(index, *value) : bindNull(index);
    }

    // Next row: true when there is one. Done statements reset on the next bind round.
    bool step() { return compiled_->step(); }
    // Runs to the end, for statements that return no rows.
    void run() {
        while (step()) {
        }
    }
    void reset() { compiled_->reset(); }
    // For a statement whose every value is bound again before it runs.
    void resetForRebind() { compiled_->resetForRebind(); }

    std::int64_t int64(int column) const { return compiled_->int64(column); }
    int int32(int column) const { return static_cast<int>(int64(column)); }
    std::string text(int column) const { return compiled_->text(column); }
    std::string blob(int column) const { return compiled_->blob(column); }
    bool isNull(int column) const { return compiled_->isNull(column); }

private:
    std::unique_ptr<CompiledStatement> compiled_;
    // Where the compiled statement goes back when this one ends.
    std::shared_ptr<StatementCache> cache_;
};

class Database {
public:
    // How long a statement waits for another connection's write lock.
    static constexpr std::chrono::milliseconds DefaultBusyTimeout{30'000};

    virtual ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    virtual Engine engine() const = 0;

    // Compiled once per connection: a statement prepared again (the same SQL)
    // comes from the cache its predecessor went back to.
    Statement prepare(std::string_view sql);
    // One or more statements, with nothing bound and no rows read.
    virtual void exec(std::string_view sql) = 0;
    // The key the last INSERT gave its row.
    virtual std::int64_t lastInsertId() = 0;
    // Rows the last INSERT, UPDATE or DELETE touched.
    virtual int changes() const = 0;

    // Starts a write transaction (Transaction does, and ends it).
    virtual void beginWrite() = 0;
    // An INSERT of `rows` rows of `columns` values each into `into` (a table
    // and its column list), every value a placeholder in order. A refused row
    // fails the statement, and the caller rolls back.
    virtual std::string multiRowInsert(std::string_view into, int columns, int rows) const;
    // Rows of `columns` values each for `into` (a table and its column
    // list), written the quickest way the engine has for many rows.
    virtual std::unique_ptr<RowLoader> loadRows(std::string_view into, int columns);
    // Appended to a SELECT of rows to claim: other connections claiming at
    // the same time skip the rows this one locked (SQLite's write
    // transaction lets one connection claim at a time already).
    virtual std::string_view claimLock() const { return {}; }
    // Whether each read waits on another process (a database server), so
    // that asking for many things at once saves time.
    virtual bool readsAreRoundTrips() const { return false; }
    // Settings for a long run of writes (an import), and back.
    virtual void enterBulkWrite() {}
    virtual void leaveBulkWrite() {}
    // Writes that return no rows sent on without waiting for each answer,
    // where the engine can (see WritesAhead); off again with false.
    virtual void sendWritesAhead(bool) {}
    // Reports the failure of a write sent ahead now, once every one has run
    // (otherwise the next statement reports it).
    virtual void completeWrites() {}

protected:
    Database();
    virtual std::unique_ptr<CompiledStatement> compile(std::string_view sql) = 0;
    // Frees the idle compiled statements; those in use free themselves.
    void closeStatements();

private:
    std::shared_ptr<StatementCache> cache_;
};

// A SQLite file path, or a PostgreSQL connection URL
// ("postgresql://" or "postgres://").
bool isPostgresLocation(std::string_view location);
// A location as it may be printed or logged: a URL's password hidden.
std::string printableLocation(std::string_view location);
std::unique_ptr<Database> openDatabase(const std::string& location,
                                       std::chrono::milliseconds busyTimeout);

// A write transaction from construction; rolled back unless commit() is called.
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

// The connection's settings for a long run of writes while it lives.
// Writes sent ahead while it lives: for a run of writes whose failure may
// be reported by a later statement of the same transaction (at the latest
// its commit), as a whole batch fails together.
class WritesAhead {
public:
    explicit WritesAhead(Database& db) : db_(db) { db_.sendWritesAhead(true); }
    ~WritesAhead() { db_.sendWritesAhead(false); }
    WritesAhead(const WritesAhead&) = delete;
    WritesAhead& operator=(const WritesAhead&) = delete;

private:
    Database& db_;
};

class BulkWrite {
public:
    explicit BulkWrite(Database& db) : db_(db) { db_.enterBulkWrite(); }
    ~BulkWrite() { db_.leaveBulkWrite(); }
    BulkWrite(const BulkWrite&) = delete;
    BulkWrite& operator=(const BulkWrite&) = delete;

private:
    Database& db_;
};

} // namespace orvane::server
