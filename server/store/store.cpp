#include "store.h"

#include "migrations.h"

namespace orvane::server {

Store::Store(std::string path, std::chrono::milliseconds busyTimeout)
    : path_(std::move(path)), busyTimeout_(busyTimeout) {
    migrate(db());
}

Store::~Store() = default;

Database& Store::db() {
    std::lock_guard lock(mutex_);
    auto& slot = connections_[std::this_thread::get_id()];
    if (!slot)
        slot = std::make_unique<Database>(path_, busyTimeout_);
    return *slot;
}

int Store::schemaVersion() {
    auto st = db().prepare("PRAGMA user_version");
    st.step();
    return st.int32(0);
}

} // namespace orvane::server
