#pragma once
// What server tests share: a temporary folder, a clock a test moves by hand,
// and a server on a fresh database filled as a new embedded server is
// (reference data and, unless asked not to, the demo data), driven through
// the same endpoint as the HTTP front.

#include "core/server_core.h"
#include "demo/seed.h"
#include "protocol/json_codec.h"
#include "protocol/message.h"
#include "test_database.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <string_view>

namespace orvane::server::testing {

// A folder of its own, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velumar-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

// Stands still until advanced.
class FakeClock {
public:
    SessionTable::Clock function() const {
        return [now = now_] { return *now; };
    }
    void advance(std::chrono::seconds by) { *now_ += by; }

private:
    std::shared_ptr<std::chrono::steady_clock::time_point> now_ =
        std::make_shared<std::chrono::steady_clock::time_point>();
};

struct TestServerOptions {
    bool demo = true;
    // Smaller than a new embedded server's, so the many servers tests start stay quick.
    DemoCatalogueSize catalogue{200, 40};
    bool trustLocalLogin = false;
    std::chrono::seconds sessionIdleLimit = std::chrono::minutes(30);
    std::chrono::seconds sessionLifetime = std::chrono::hours(12);
    SessionTable::Clock clock = std::chrono::steady_clock::now;
    // Tests that read the log write it to this file; the others keep it quiet.
    std::string logPath;
    // The job runner's thread, for the tests of jobs.
    bool runJobs = false;
    LoginLimits loginLimits;
    std::chrono::milliseconds busyTimeout = Database::DefaultBusyTimeout;

    static TestServerOptions loggingTo(std::string path) {
        TestServerOptions options;
        options.logPath = std::move(path);
        return options;
    }
};

class TestServer {
public:
    explicit TestServer(TestServerOptions options = {}) {
        ServerOptions server;
        server.dbPath = database_.location();
        server.filesPath = database_.filesBase();
        server.sessionIdleLimit = options.sessionIdleLimit;
        server.sessionLifetime = options.sessionLifetime;
        server.clock = options.clock;
        server.logPath = options.logPath;
        server.trustLocalLogin = options.trustLocalLogin;
        server.runJobs = options.runJobs;
        server.loginLimits = options.loginLimits;
        server.busyTimeout = options.busyTimeout;
        core_ = std::make_unique<ServerCore>(server);
        core_->log().mute(options.logPath.empty());
        initialiseStore(core_->store(), options.demo, options.catalogue);
    }

    ServerCore& core() { return *core_; }
    Database& db() { return core_->store().db(); }
    const TempDir& dir() const { return dir_; }
    // Its file path or URL.
    const std::string& location() const { return database_.location(); }

    // As the HTTP front would pass it on: the JSON body, a bearer token and
    // the client's address.
    HttpReply post(const wire::Request& request, const std::string& token,
                   std::string_view peer = {}) {
        return core_->endpoint().handle(wire::encodeRequest(request),
                                        token.empty() ? std::string() : "Bearer " + token, peer);
    }

    // The answer; anything but HTTP 200 fails the test and answers status -1.
    wire::Answer send(const std::string& token, const wire::Request& request) {
        const HttpReply reply = post(request, token);
        EXPECT_EQ(reply.status, 200) << request.code << ": " << reply.body;
        auto decoded = wire::decodeAnswer(reply.body);
        if (reply.status != 200 || !decoded.value)
            return {-1, {}};
        return *decoded.value;
    }

    // The token of a LOGIN that has to succeed; the test fails otherwise.
    std::string login(const std::string& operatorId, const std::string& password) {
        const auto answer = send({}, {"LOGIN", {{"OI", operatorId}, {"PW", password}}});
        EXPECT_EQ(answer.status, 0) << "LOGIN " << operatorId;
        const auto* token = wire::findField(answer.fields, "TK");
        return token ? std::get<std::string>(token->value) : std::string();
    }

private:
    TempDir dir_;
    TestDatabase database_{dir_.path(), "orvane.db"};
    std::unique_ptr<ServerCore> core_;
};

} // namespace orvane::server::testing
