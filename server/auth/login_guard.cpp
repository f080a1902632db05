#include "login_guard.h"

#include <algorithm>
#include <cctype>

namespace orvane::server {

namespace {
// Addresses remembered per operator as its own.
constexpr std::size_t GoodAddressesKept = 8;
} // namespace

LoginGuard::LoginGuard(LoginLimits limits, Clock clock)
    : limits_(limits), clock_(std::move(clock)) {}

LoginGuard::Key LoginGuard::operatorKey(std::string_view operatorId) {
    // Operator ids ignore case, so guesses at "Demo" and "demo" count together.
    Key key = "operator:";
    for (const char c : operatorId)
        key.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return key;
}

LoginGuard::Key LoginGuard::addressKey(std::string_view address) {
    return "address:" + std::string(address);
}

bool LoginGuard::held(const Key& key, std::chrono::steady_clock::time_point now) const {
    const auto it = failures_.find(key);
    return it != failures_.end() && now < it->second.until;
}

bool LoginGuard::knownAddress(const Key& key, std::string_view address) const {
    const auto it = goodAddresses_.find(key);
    return !address.empty() && it != goodAddresses_.end() && it->second.contains(address);
}

LoginGuard::Verdict LoginGuard::admit(std::string_view operatorId, std::string_view address) {
    std::lock_guard lock(mutex_);
    const auto now = clock_();
    const Key op = operatorKey(operatorId);
    if (!address.empty() && held(addressKey(address), now))
        return Verdict::Throttled;
    if (held(op, now) && !knownAddress(op, address))
        return Verdict::Throttled;
    return Verdict::Go;
}

void LoginGuard::fail(const Key& key, std::chrono::steady_clock::time_point now) {
    Failures& f = failures_[key];
    ++f.count;
    f.last = now;
    const int over = f.count - limits_.freeFailures;
    if (over <= 0)
        return;
    // Doubling from the first delay, capped (and the shift kept small).
    auto delay = limits_.firstDelay * (1LL << std::min(over - 1, 20));
    delay = std::min<std::chrono::seconds>(delay, limits_.longestDelay);
    f.until = now + delay;
}

void LoginGuard::failed(std::string_view operatorId, std::string_view address) {
    std::lock_guard lock(mutex_);
    const auto now = clock_();
    forgetOld(now);
    const Key op = operatorKey(operatorId);
    // A failure from an operator's own address still counts for that
    // address, but does not hold the operator back elsewhere.
    if (!knownAddress(op, address))
        fail(op, now);
    if (!address.empty())
        fail(addressKey(address), now);
}

void LoginGuard::succeeded(std::string_view operatorId, std::string_view address) {
    std::lock_guard lock(mutex_);
    const Key op = operatorKey(operatorId);
    // The operator's failures stay: others may have caused them, and they
    // hold back only addresses the operator has not used.
    if (address.empty()) {
        failures_.erase(op);
        return;
    }
    failures_.erase(addressKey(address));
    auto& good = goodAddresses_[op];
    if (good.size() >= GoodAddressesKept && !good.contains(address))
        good.erase(good.begin());
    good.emplace(address);
}

std::chrono::seconds LoginGuard::delayFor(std::string_view operatorId,
                                          std::string_view address) {
    std::lock_guard lock(mutex_);
    const auto now = clock_();
    std::chrono::steady_clock::duration longest{};
    for (const Key& key : {operatorKey(operatorId), addressKey(address)})
        if (const auto it = failures_.find(key); it != failures_.end() && now < it->second.until)
            longest = std::max(longest, it->second.until - now);
    return std::chrono::ceil<std::chrono::seconds>(longest);
}

void LoginGuard::forgetOld(std::chrono::steady_clock::time_point now) {
    std::erase_if(failures_, [&](const auto& entry) {
        return now - entry.second.last > limits_.memory && now >= entry.second.until;
    });
    // Past the bound, the entries least recently failed go first.
    while (failures_.size() >= limits_.maxTracked) {
        const auto oldest = std::min_element(
            failures_.begin(), failures_.end(),
            [](const auto& a, const auto& b) { return a.second.last < b.second.last; });
        failures_.erase(oldest);
    }
    while (goodAddresses_.size() >= limits_.maxTracked)
        goodAddresses_.erase(goodAddresses_.begin());
}

LoginGuard::HashTurn LoginGuard::hashTurn() {
    std::unique_lock lock(turnMutex_);
    if (hashing_ >= limits_.concurrentHashes) {
        if (waiting_ >= limits_.waitingHashes)
            return HashTurn();
        ++waiting_;
        const bool got = turnFree_.wait_for(lock, limits_.longestHashWait, [this] {
            return hashing_ < limits_.concurrentHashes;
        });
        --waiting_;
        if (!got)
            return HashTurn();
    }
    ++hashing_;
    return HashTurn(this);
}

int LoginGuard::waitingForTurn() {
    std::lock_guard lock(turnMutex_);
    return waiting_;
}

void LoginGuard::releaseTurn() {
    {
        std::lock_guard lock(turnMutex_);
        --hashing_;
    }
    turnFree_.notify_one();
}

LoginGuard::HashTurn::~HashTurn() {
    if (guard_)
        guard_->releaseTurn();
}

} // namespace orvane::server
