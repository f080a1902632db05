#include "store.h"

#include "migrations.h"

#include <atomic>

namespace orvane::server {

namespace {
std::atomic<std::uint64_t> nextSerial{1};
} // namespace

Store::Store(std::string location, std::chrono::milliseconds busyTimeout, std::string filesBase)
    : location_(std::move(location)), filesBase_(std::move(filesBase)),
      engine_(isPostgresLocation(location_) ? Engine::Postgres : Engine::Sqlite),
      busyTimeout_(busyTimeout), serial_(nextSerial++) {
    if (filesBase_.empty() && engine_ == Engine::Sqlite)
        filesBase_ = location_;
    migrate(db());
}

const std::string& Store::path() const {
    if (filesBase_.empty())
        throw StoreError(
            "a PostgreSQL database keeps its job files in the folder given with --files");
    return filesBase_;
}

Store::~Store() = default;

Database& Store::db() {
    // Handlers ask for it many times a request: the thread remembers its
    // connection to the store it used last, without the lock.
    thread_local std::uint64_t lastSerial = 0;
    thread_local Database* last = nullptr;
    if (lastSerial == serial_)
        return *last;
    std::lock_guard lock(mutex_);
    auto& slot = connections_[std::this_thread::get_id()];
    if (!slot)
        slot = openDatabase(location_, busyTimeout_);
    lastSerial = serial_;
    last = slot.get();
    return *slot;
}

int Store::schemaVersion() {
    return orvane::server::schemaVersion(db());
}

} // namespace orvane::server
