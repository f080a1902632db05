#pragma once
// The server's storage: a SQLite file or a PostgreSQL database, one
// connection per thread, the schema brought up to date by numbered
// migrations when first opened.

#include "database.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace orvane::server {

class Store {
public:
    // Opens the database (a file path or a "postgresql://" URL) and applies
    // any migrations it lacks. Job files go beside `filesBase`: the SQLite
    // file by default; a PostgreSQL database has none unless given one.
    explicit Store(std::string location,
                   std::chrono::milliseconds busyTimeout = Database::DefaultBusyTimeout,
                   std::string filesBase = {});
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // This thread's connection, opened on first use.
    Database& db();
    // What files beside the database are named after ("orvane.db" gives
    // "orvane.db.jobs/").
    const std::string& path() const;
    // The file path or URL the store was opened with.
    const std::string& location() const { return location_; }
    Engine engine() const { return engine_; }
    int schemaVersion();

private:
    std::string location_;
    std::string filesBase_;
    Engine engine_;
    std::chrono::milliseconds busyTimeout_;
    // Tells this store from one made later at the same address, for the
    // per-thread shortcut to its connection.
    std::uint64_t serial_;
    std::mutex mutex_;
    std::map<std::thread::id, std::unique_ptr<Database>> connections_;
};

} // namespace orvane::server
