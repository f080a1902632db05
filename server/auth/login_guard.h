#pragma once
// Keeps password guessing slow and cheap for the server. Each Argon2id
// verification takes 64 MiB and tens of milliseconds, so only a few run at
// once and a few more may wait for a turn; the rest are refused without
// hashing. Repeated failures for one operator id, or from one address, make
// the next attempts wait a delay that doubles up to a ceiling; an attempt
// during the delay is refused without hashing and does not lengthen it. An
// address an operator has logged in from is not held back by failures
// others cause for that operator, so an attacker cannot lock the operator out
// of the usual workplace, and elsewhere for no longer than the ceiling.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace orvane::server {

struct LoginLimits {
    int concurrentHashes = 2;
    int waitingHashes = 8;
    std::chrono::milliseconds longestHashWait{5000};
    int freeFailures = 3; // failures before any delay
    std::chrono::seconds firstDelay{1};
    std::chrono::seconds longestDelay{30};
    // Failures older than this are forgotten.
    std::chrono::seconds memory{15 * 60};
    std::size_t maxTracked = 10000;
};

class LoginGuard {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit LoginGuard(LoginLimits limits = {}, Clock clock = std::chrono::steady_clock::now);

    enum class Verdict { Go, Throttled };
    // Whether an attempt for this operator id from this address may be
    // checked now. `address` may be empty (the embedded server).
    Verdict admit(std::string_view operatorId, std::string_view address);
    void failed(std::string_view operatorId, std::string_view address);
    void succeeded(std::string_view operatorId, std::string_view address);

    // A turn to hash: held while one verification runs.
    class HashTurn {
    public:
        HashTurn() = default;
        explicit HashTurn(LoginGuard* guard) : guard_(guard) {}
        ~HashTurn();
        HashTurn(HashTurn&& other) noexcept : guard_(other.guard_) { other.guard_ = nullptr; }
        HashTurn& operator=(HashTurn&&) = delete;
        HashTurn(const HashTurn&) = delete;
        explicit operator bool() const { return guard_ != nullptr; }

    private:
        LoginGuard* guard_ = nullptr;
    };
    // Waits for a turn within the limits; an empty turn when too many hash
    // or wait already.
    HashTurn hashTurn();
    int waitingForTurn();

    // How long attempts by this operator id / from this address are held back.
    std::chrono::seconds delayFor(std::string_view operatorId, std::string_view address);

private:
    struct Failures {
        int count = 0;
        std::chrono::steady_clock::time_point last{};
        std::chrono::steady_clock::time_point until{};
    };
    using Key = std::string;
    static Key operatorKey(std::string_view operatorId);
    static Key addressKey(std::string_view address);
    void fail(const Key& key, std::chrono::steady_clock::time_point now);
    bool held(const Key& key, std::chrono::steady_clock::time_point now) const;
    bool knownAddress(const Key& operatorKey, std::string_view address) const;
    void forgetOld(std::chrono::steady_clock::time_point now);
    void releaseTurn();

    LoginLimits limits_;
    Clock clock_;
    std::mutex mutex_;
    std::map<Key, Failures> failures_;
    // Per operator, the addresses of its recent successful logins.
    std::map<Key, std::set<std::string, std::less<>>> goodAddresses_;

    std::mutex turnMutex_;
    std::condition_variable turnFree_;
    int hashing_ = 0;
    int waiting_ = 0;
};

} // namespace orvane::server
