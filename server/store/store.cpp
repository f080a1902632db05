#include "store.h"

#include "migrations.h"

#include <atomic>

namespace orvane::server {

namespace {
std::atomic<std::uint64_t> nextSerial{1};
} // namespace

Store::Store(std::string path, std::chrono::milliseconds busyTimeout)
    : path_(std::move(path)), busyTimeout_(busyTimeout), serial_(nextSerial++) {
    migrate(db());
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
        slot = std::make_unique<Database>(path_, busyTimeout_);
    lastSerial = serial_;
    last = slot.get();
    return *slot;
}

int Store::schemaVersion() {
    auto st = db().prepare("PRAGMA user_version");
    st.step();
    return st.int32(0);
}

} // namespace orvane::server
