// What the server leaves on the host and how it lets clients in: the
// database (password hashes) private to its owner, private keys that are
// private, sessions that end however busy they are kept, and a warning
// before passwords would cross the network in the clear.

#include "admin/listen_check.h"
#include "protocol/status.h"
#include "store/store.h"
#include "test_server.h"
#include "util/log.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;
using namespace std::chrono_literals;

namespace {

mode_t permissions(const std::string& path) {
    struct stat s {};
    if (::stat(path.c_str(), &s) != 0)
        return 07777;
    return s.st_mode & 0777;
}

} // namespace

// Whatever the umask, a new database and the files SQLite keeps beside it
// are readable by their owner only.
TEST(PrivateFiles, NewDatabaseAndItsCompanionsAreTheOwnersOnly) {
    TempDir dir;
    const std::string path = dir.file("new.db");
    const mode_t previous = ::umask(022);
    {
        Store store(path);
        store.db().exec("INSERT INTO settings (key, value) VALUES ('a', 'b')");
        EXPECT_EQ(permissions(path), 0600u);
        EXPECT_EQ(permissions(path + "-wal"), 0600u);
        EXPECT_EQ(permissions(path + "-shm"), 0600u);
    }
    Log log;
    log.toFile(dir.file("server.log"));
    log.line("started");
    EXPECT_EQ(permissions(dir.file("server.log")), 0600u);
    ::umask(previous);
}

TEST(PrivateFiles, SessionsEndAtTheirLifetimeHoweverBusy) {
    FakeClock clock;
    TestServerOptions options;
    options.clock = clock.function();
    options.sessionIdleLimit = 30min;
    options.sessionLifetime = 8h;
    TestServer server(options);
    const std::string token = server.login("demo", "demo");
    for (int i = 0; i < 8 * 3 - 1; ++i) {
        clock.advance(20min);
        ASSERT_EQ(server.post({"GETCHARSETS", {}}, token).status, 200) << i;
    }
    clock.advance(20min);
    EXPECT_EQ(server.post({"GETCHARSETS", {}}, token).status, 401);
}

TEST(PrivateFiles, ListeningBeyondTheLoopbackWithoutTlsIsWarnedOf) {
    const struct {
        std::string host;
        bool tls;
        bool warned;
    } cases[] = {
        {"127.0.0.1", false, false}, {"127.1.2.3", false, false}, {"::1", false, false},
        {"localhost", false, false}, {"0.0.0.0", false, true},    {"192.0.2.4", false, true},
        {"::", false, true},         {"example.org", false, true}, {"0.0.0.0", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host);
        const std::string warning = clearTextWarning(c.host, c.tls);
        EXPECT_EQ(!warning.empty(), c.warned) << warning;
        if (c.warned) {
            EXPECT_NE(warning.find("passwords and session tokens cross the network unencrypted"),
                      std::string::npos);
        }
    }
}
