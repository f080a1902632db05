#pragma once
// Logged-in sessions: a random token per login, forgotten after it has
// been idle for the configured time.

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
                          Clock clock = std::chrono::steady_clock::now);

    Session open(std::int64_t operatorRow, const std::string& operatorId);
    // The session of a token that is known and not idle too long; touching it.
    std::optional<Session> find(const std::string& token);
    void close(const std::string& token);
    // Ends every session of one operator (after a password change elsewhere).
    void closeOperator(std::int64_t operatorRow, const std::string& exceptToken = {});

private:
    struct Entry {
        Session session;
        std::chrono::steady_clock::time_point lastUsed;
    };
    std::chrono::seconds idleLimit_;
    Clock clock_;
    std::mutex mutex_;
    std::map<std::string, Entry> entries_;
};

// 32 random bytes as 64 hex digits.
std::string newToken();

} // namespace orvane::server
