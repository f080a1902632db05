#pragma once
// The PostgreSQL connection (libpq), for a database several servers share.
//
// The server's SQL is translated as it is compiled: `?N` and `?` become
// `$N`, nothing else. Values go as text (integers in decimal) and octets as
// binary, their types taken from where they stand; rows come back whole, so
// a statement may be read while the connection runs others.

#include "database.h"

#include <vector>

struct pg_conn;

namespace orvane::server {

struct PostgresSession;

class PostgresDatabase final : public Database {
public:
    // Connects with a "postgresql://" URL.
    explicit PostgresDatabase(const std::string& url);
    ~PostgresDatabase() override;

    Engine engine() const override { return Engine::Postgres; }
    void exec(std::string_view sql) override;
    std::int64_t lastInsertId() override;
    int changes() const override;
    void beginWrite() override;
    std::string_view claimLock() const override { return " FOR UPDATE SKIP LOCKED"; }
    bool readsAreRoundTrips() const override { return true; }
    // Writes sent ahead as well.
    void enterBulkWrite() override;
    // Writes without rows to read go into libpq's pipeline, their answers
    // read before anything else runs on the connection.
    void sendWritesAhead(bool ahead) override;
    void completeWrites() override;
    void leaveBulkWrite() override;
    // By COPY.
    std::unique_ptr<RowLoader> loadRows(std::string_view into, int columns) override;

protected:
    std::unique_ptr<CompiledStatement> compile(std::string_view sql) override;

private:
    std::shared_ptr<PostgresSession> session_;
};

// `?N` and `?` as `$N`, outside quotes and comments; `parameters` gets the
// highest number used.
std::string postgresPlaceholders(std::string_view sql, int& parameters);

} // namespace orvane::server
