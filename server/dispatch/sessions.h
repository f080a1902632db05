#pragma once
// Logged-in sessions: a random token per login, forgotten after it has
// been idle for the configured time, and in any case once it has lived its
// lifetime (a stolen token does not stay good by being used).

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace orvane::server {

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
                          std::chrono::seconds lifetime = std::chrono::hours(12));

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

    std::chrono::seconds idleLimit_;
    std::chrono::seconds lifetime_;
    Clock clock_;
    std::mutex mutex_;
    std::map<std::string, Entry> entries_;
};

// 32 random bytes as 64 hex digits.
std::string newToken();

} // namespace orvane::server
