#include "sessions.h"

#include "store/store.h"

#include <array>
#include <sodium.h>

namespace orvane::server {

std::string newToken() {
    std::array<unsigned char, 32> bytes{};
    randombytes_buf(bytes.data(), bytes.size());
    std::string hex(bytes.size() * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), bytes.data(), bytes.size());
    hex.pop_back();
    return hex;
}

namespace {

std::string tokenHash(const std::string& token) {
    std::array<unsigned char, 32> hash{};
    crypto_generichash(hash.data(), hash.size(),
                       reinterpret_cast<const unsigned char*>(token.data()), token.size(), nullptr,
                       0);
    std::string hex(hash.size() * 2 + 1, '\0');
    sodium_bin2hex(hex.data(), hex.size(), hash.data(), hash.size());
    hex.pop_back();
    return hex;
}

// A session is touched in the database at most this often.
constexpr std::int64_t TouchEveryMs = 1000;

} // namespace

SessionTable::SessionTable(std::chrono::seconds idleLimit, Clock clock,
                           std::chrono::seconds lifetime, Store* shared)
    : idleLimit_(idleLimit), lifetime_(lifetime), clock_(std::move(clock)), shared_(shared),
      wallOffset_(std::chrono::system_clock::now().time_since_epoch() -
                  std::chrono::duration_cast<std::chrono::system_clock::duration>(
                      std::chrono::steady_clock::now().time_since_epoch())) {}

std::int64_t SessionTable::wallMilliseconds() const {
    const auto wall = std::chrono::duration_cast<std::chrono::system_clock::duration>(
                          clock_().time_since_epoch()) +
                      wallOffset_;
    return std::chrono::duration_cast<std::chrono::milliseconds>(wall).count();
}

Session SessionTable::openShared(std::int64_t operatorRow, const std::string& operatorId) {
    Session s{newToken(), operatorRow, operatorId};
    const std::int64_t now = wallMilliseconds();
    Database& db = shared_->db();
    auto old = db.prepare("DELETE FROM sessions WHERE last_used < ?1 OR opened_at <= ?2");
    old.bind(1, now - std::chrono::milliseconds(idleLimit_).count())
        .bind(2, now - std::chrono::milliseconds(lifetime_).count())
        .run();
    auto st = db.prepare("INSERT INTO sessions (token_hash, operator, operator_id, opened_at, "
                         "last_used) VALUES (?1, ?2, ?3, ?4, ?4)");
    st.bind(1, tokenHash(s.token)).bind(2, operatorRow).bind(3, operatorId).bind(4, now).run();
    return s;
}

std::optional<Session> SessionTable::findShared(const std::string& token) {
    const std::string hash = tokenHash(token);
    Database& db = shared_->db();
    auto st = db.prepare("SELECT operator, operator_id, opened_at, last_used FROM sessions "
                         "WHERE token_hash = ?1");
    st.bind(1, hash);
    if (!st.step())
        return std::nullopt;
    Session s{token, st.int64(0), st.text(1)};
    const std::int64_t opened = st.int64(2);
    const std::int64_t used = st.int64(3);
    const std::int64_t now = wallMilliseconds();
    if (now - used > std::chrono::milliseconds(idleLimit_).count() ||
        now - opened >= std::chrono::milliseconds(lifetime_).count()) {
        auto gone = db.prepare("DELETE FROM sessions WHERE token_hash = ?1");
        gone.bind(1, hash).run();
        return std::nullopt;
    }
    if (now - used >= TouchEveryMs || now < used) {
        auto touch = db.prepare("UPDATE sessions SET last_used = ?2 WHERE token_hash = ?1");
        touch.bind(1, hash).bind(2, now).run();
    }
    return s;
}

bool SessionTable::expired(const Entry& entry, std::chrono::steady_clock::time_point now) const {
    return now - entry.lastUsed > idleLimit_ || now - entry.opened >= lifetime_;
}

Session SessionTable::open(std::int64_t operatorRow, const std::string& operatorId) {
    if (shared_)
        return openShared(operatorRow, operatorId);
    Session s{newToken(), operatorRow, operatorId};
    std::lock_guard lock(mutex_);
    const auto now = clock_();
    std::erase_if(entries_, [&](const auto& e) { return expired(e.second, now); });
    entries_[s.token] = {s, now, now};
    return s;
}

std::optional<Session> SessionTable::find(const std::string& token) {
    if (shared_)
        return findShared(token);
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
    if (shared_) {
        auto st = shared_->db().prepare("DELETE FROM sessions WHERE token_hash = ?1");
        st.bind(1, tokenHash(token)).run();
        return;
    }
    std::lock_guard lock(mutex_);
    entries_.erase(token);
}

void SessionTable::closeOperator(std::int64_t operatorRow, const std::string& exceptToken) {
    if (shared_) {
        auto st =
            shared_->db().prepare("DELETE FROM sessions WHERE operator = ?1 AND token_hash <> ?2");
        st.bind(1, operatorRow)
            .bind(2, exceptToken.empty() ? std::string() : tokenHash(exceptToken))
            .run();
        return;
    }
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [&](const auto& e) {
        return e.second.session.operatorRow == operatorRow && e.first != exceptToken;
    });
}

} // namespace orvane::server
