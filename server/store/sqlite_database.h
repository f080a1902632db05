#pragma once
// The SQLite connection: one file, WAL, foreign keys on.
//
// SQLite lets writers take turns in no order: a connection that commits and
// begins again at once (an import, a job's bulks) can keep one that waits
// out until its timeout. So a connection waiting for the write lock says so
// with a shared lock on a file beside the database ("-writers"), in this
// process or another, and a transaction about to begin steps aside while
// anyone waits (for a moment at most).

#include "database.h"

struct sqlite3;

namespace orvane::server {

class SqliteDatabase final : public Database {
public:
    // Opens (creating when absent) with WAL, foreign keys and a busy timeout.
    explicit SqliteDatabase(const std::string& path,
                            std::chrono::milliseconds busyTimeout = DefaultBusyTimeout);
    ~SqliteDatabase() override;

    Engine engine() const override { return Engine::Sqlite; }
    void exec(std::string_view sql) override;
    std::int64_t lastInsertId() override;
    int changes() const override;
    // BEGIN IMMEDIATE, once any connection waiting for the write lock has had it.
    void beginWrite() override;
    std::string multiRowInsert(std::string_view into, int columns, int rows) const override;
    void enterBulkWrite() override;
    void leaveBulkWrite() override;
    sqlite3* handle() const { return db_; }

    // After a statement: no longer waiting, whether it got the lock or not.
    void doneWaiting() {
        if (waiting_)
            stopWaiting();
    }

protected:
    std::unique_ptr<CompiledStatement> compile(std::string_view sql) override;

private:
    static int onBusy(void* self, int attempts);
    void stopWaiting();
    // Before a write transaction: waits while other connections wait for the
    // write lock, up to a moment, so they go first.
    void yieldToWaitingWriters();
    std::int64_t pragma(const std::string& name);

    sqlite3* db_ = nullptr;
    int writersFd_ = -1; // the "-writers" file, or -1 when it cannot be had
    bool waiting_ = false;
    std::chrono::steady_clock::time_point busySince_{};
    std::chrono::milliseconds busyTimeout_;
    // The settings a bulk write changed, to put back.
    std::int64_t cacheSize_ = 0;
    std::int64_t autocheckpoint_ = 0;
};

} // namespace orvane::server
