#include "sessions.h"

#include <sodium.h>

#include <array>

namespace orvane::server {

std::string newToken() {
    std::array<unsigned char, 32> bytes{};
    randombytes_buf(bytes.data(), bytes.size());
    std::string hex(bytes.size() * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), bytes.data(), bytes.size());
    hex.pop_back();
    return hex;
}

SessionTable::SessionTable(std::chrono::seconds idleLimit, Clock clock,
                           std::chrono::seconds lifetime)
    : idleLimit_(idleLimit), lifetime_(lifetime), clock_(std::move(clock)) {}

bool SessionTable::expired(const Entry& entry, std::chrono::steady_clock::time_point now) const {
    return now - entry.lastUsed > idleLimit_ || now - entry.opened >= lifetime_;
}

Session SessionTable::open(std::int64_t operatorRow, const std::string& operatorId) {
    Session s{newToken(), operatorRow, operatorId};
    std::lock_guard lock(mutex_);
    const auto now = clock_();
    std::erase_if(entries_, [&](const auto& e) { return expired(e.second, now); });
    entries_[s.token] = {s, now, now};
    return s;
}

std::optional<Session> SessionTable::find(const std::string& token) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(token);
    if (it == entries_.end())
        return std::nullopt;
    const auto now = clock_();
    if (expired(it->second, now)) {
        entries_.erase(it);
        return std::nullopt;
    }
    it->second.lastUsed = now;
    return it->second.session;
}

void SessionTable::close(const std::string& token) {
    std::lock_guard lock(mutex_);
    entries_.erase(token);
}

void SessionTable::closeOperator(std::int64_t operatorRow, const std::string& exceptToken) {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [&](const auto& e) {
        return e.second.session.operatorRow == operatorRow && e.first != exceptToken;
    });
}

} // namespace orvane::server
