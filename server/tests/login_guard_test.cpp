// Password guessing is slowed per operator id and per address, hashes are
// rationed, and an attacker cannot keep an operator out of the usual
// workplace.

#include "auth/login_guard.h"
#include "protocol/status.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <future>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;
using namespace std::chrono_literals;
using Verdict = LoginGuard::Verdict;

namespace {

LoginLimits smallLimits() {
    LoginLimits limits;
    limits.freeFailures = 2;
    limits.firstDelay = 10s;
    limits.longestDelay = 40s;
    return limits;
}

// The status of a LOGIN sent from `address`.
int loginFrom(TestServer& server, const std::string& id, const std::string& password,
              const std::string& address) {
    const HttpReply reply =
        server.post({"LOGIN", {{"OI", id}, {"PW", password}}}, {}, address);
    const auto answer = wire::decodeAnswer(reply.body);
    return answer.value ? answer.value->status : -1;
}

} // namespace

TEST(LoginGuard, DelaysDoubleAfterTheFreeFailuresUpToTheCeiling) {
    FakeClock clock;
    LoginGuard guard(smallLimits(), clock.function());
    const struct {
        int failures;
        std::chrono::seconds delay;
    } steps[] = {{1, 0s}, {2, 0s}, {3, 10s}, {4, 20s}, {5, 40s}, {6, 40s}};
    int done = 0;
    for (const auto& step : steps) {
        while (done < step.failures) {
            guard.failed("demo", "10.0.0.1");
            ++done;
        }
        SCOPED_TRACE(step.failures);
        EXPECT_EQ(guard.delayFor("demo", "10.0.0.1"), step.delay);
        EXPECT_EQ(guard.admit("DEMO", "10.0.0.9"), step.delay > 0s ? Verdict::Throttled : Verdict::Go);
    }
    clock.advance(40s);
    EXPECT_EQ(guard.admit("demo", "10.0.0.1"), Verdict::Go);
}

// Through LOGIN: after the free failures even the right password is refused
// until the delay has passed, without lengthening it; then it is accepted,
// and the address it came from is the operator's own.
TEST(LoginGuard, RepeatedFailuresHoldBackTheNextAttempts) {
    FakeClock clock;
    TestServerOptions options;
    options.loginLimits = smallLimits();
    options.clock = clock.function();
    options.logPath = "";
    TestServer server(options);

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(loginFrom(server, "demo", "guess", "10.0.0.1"), wire::status::NotAuthorized);
    EXPECT_EQ(loginFrom(server, "demo", "demo", "10.0.0.1"), wire::status::NotAuthorized);
    clock.advance(5s);
    EXPECT_EQ(loginFrom(server, "demo", "demo", "10.0.0.1"), wire::status::NotAuthorized);
    clock.advance(5s);
    EXPECT_EQ(loginFrom(server, "demo", "demo", "10.0.0.1"), wire::status::Ok);
    EXPECT_EQ(loginFrom(server, "demo", "guess", "10.0.0.1"), wire::status::NotAuthorized);
    EXPECT_EQ(loginFrom(server, "demo", "demo", "10.0.0.1"), wire::status::Ok);
}

// One address guessing at many ids is held back as an address; the ids it
// tried once each are not.
TEST(LoginGuard, AnAddressSprayingIdsIsHeldBack) {
    FakeClock clock;
    TestServerOptions options;
    options.loginLimits = smallLimits();
    options.clock = clock.function();
    TestServer server(options);
    for (const char* id : {"a1", "a2", "a3"})
        EXPECT_EQ(loginFrom(server, id, "x", "10.6.6.6"), wire::status::NotAuthorized);
    EXPECT_EQ(loginFrom(server, "demo", "demo", "10.6.6.6"), wire::status::NotAuthorized);
    EXPECT_EQ(loginFrom(server, "demo", "demo", "10.0.0.2"), wire::status::Ok);
}

// Guessing at an operator from elsewhere does not keep the operator out of an
// address it has logged in from, and keeps it out elsewhere for no longer
// than the ceiling after the last guess.
TEST(LoginGuard, AnAttackerCannotLockAnOperatorOut) {
    FakeClock clock;
    TestServerOptions options;
    options.loginLimits = smallLimits();
    options.clock = clock.function();
    TestServer server(options);
    ASSERT_EQ(loginFrom(server, "demo", "demo", "10.0.0.5"), wire::status::Ok);

    for (int i = 0; i < 8; ++i) {
        loginFrom(server, "demo", "guess" + std::to_string(i), "10.6.6.6");
        clock.advance(1s);
    }
    EXPECT_EQ(loginFrom(server, "demo", "demo", "10.0.0.5"), wire::status::Ok);
    EXPECT_EQ(loginFrom(server, "demo", "demo", "10.0.0.7"), wire::status::NotAuthorized);
    clock.advance(40s);
    EXPECT_EQ(loginFrom(server, "demo", "demo", "10.0.0.7"), wire::status::Ok);
}

// Hashes are rationed: at most the allowed number run, a few more wait, and
// the rest are refused at once rather than queued.
TEST(LoginGuard, HashTurnsAreRationed) {
    LoginLimits limits;
    limits.concurrentHashes = 1;
    limits.waitingHashes = 1;
    limits.longestHashWait = 10s;
    LoginGuard guard(limits);

    auto first = std::make_unique<LoginGuard::HashTurn>(guard.hashTurn());
    ASSERT_TRUE(*first);
    auto second = std::async(std::launch::async, [&] { return static_cast<bool>(guard.hashTurn()); });
    while (guard.waitingForTurn() == 0)
        std::this_thread::sleep_for(1ms);
    // The one place to wait is taken: a third is refused at once.
    EXPECT_FALSE(guard.hashTurn());
    first.reset();
    EXPECT_TRUE(second.get());
    EXPECT_EQ(guard.waitingForTurn(), 0);
}
