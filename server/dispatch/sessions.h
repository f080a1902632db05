#pragma once
// Logged-in sessions: a random token per login, forgotten after it has
// been idle for the configured time, and in any case once it has lived its
// lifetime (a stolen token does not stay good by being used).
//
// Servers sharing a database share their sessions through it (a hash of each
// token, never the token): a logout or a password change on one ends the
// sessions on all of them. Times there are the clock's, in milliseconds on
// the wall clock, so servers agree on them.

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace orvane::server {

class Store;

struct Session {
    std::string token;
    std::int64_t operatorRow = 0; // operators.id
    std::string operatorId;
};

class SessionTable {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit SessionTable(std::chrono::seconds idleLimit = std::chrono::minutes(30),
                          Clock clock = std::chrono::steady_clock::now,
                          std::chrono::seconds lifetime = std::chrono::hours(12),
                          Store* shared = nullptr);

    Session open(std::int64_t operatorRow, const std::string& operatorId);
    // The session of a token that is known, not idle too long and not past
    // its lifetime; touching it.
    std::optional<Session> find(const std::string& token);
    void close(const std::string& token);
    // Ends every session of one operator (after a password change elsewhere).
    void closeOperator(std::int64_t operatorRow, const std::string& exceptToken = {});

private:
    struct Entry {
        Session session;
        std::chrono::steady_clock::time_point lastUsed;
        std::chrono::steady_clock::time_point opened;
    };
    bool expired(const Entry& entry, std::chrono::steady_clock::time_point now) const;
    std::int64_t wallMilliseconds() const;
    Session openShared(std::int64_t operatorRow, const std::string& operatorId);
    std::optional<Session> findShared(const std::string& token);

    std::chrono::seconds idleLimit_;
    std::chrono::seconds lifetime_;
    Clock clock_;
    Store* shared_;
    // The wall clock less the steady one, once: the clock's time on the wall.
    std::chrono::system_clock::duration wallOffset_;
    std::mutex mutex_;
    std::map<std::string, Entry> entries_;
};

// 32 random bytes as 64 hex digits.
std::string newToken();

} // namespace orvane::server
