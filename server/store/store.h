#pragma once
// The server's storage: one SQLite file, one connection per thread, the
// schema brought up to date by numbered migrations when first opened.

#include "database.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace orvane::server {

class Store {
public:
    // Opens the file and applies any migrations it lacks.
    explicit Store(std::string path,
                   std::chrono::milliseconds busyTimeout = Database::DefaultBusyTimeout);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // This thread's connection, opened on first use.
    Database& db();
    const std::string& path() const { return path_; }
    int schemaVersion();

private:
    std::string path_;
    std::chrono::milliseconds busyTimeout_;
    // Tells this store from one made later at the same address, for the
    // per-thread shortcut to its connection.
    std::uint64_t serial_;
    std::mutex mutex_;
    std::map<std::thread::id, std::unique_ptr<Database>> connections_;
};

} // namespace orvane::server
