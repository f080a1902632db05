// An operator's save waits its turn behind a running import or a bulk
// writer and is never starved out: writers that go on and on let a waiting
// writer in between their transactions. The wait allowed here is small, so
// a writer that held the lock too long, or never let go, fails the test.

#include "catalogue_support.h"
#include "protocol/status.h"
#include "store/store.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <atomic>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;
using namespace std::chrono_literals;

namespace {

TestServerOptions waitingBriefly() {
    TestServerOptions options;
    options.catalogue = {20, 5};
    options.busyTimeout = 1s;
    return options;
}

int addSet(TestServer& server, const std::string& token, const std::string& name) {
    return server
        .send(token, {"ADD_RECORD_SET", {{"RSN", name}, {"RST", 1}, {"RT", 1}, {"OI", "demo"}}})
        .status;
}

} // namespace

TEST(WriteFairness, SavesGoThroughWhileAnImportRunsBeside) {
    TestServer server(waitingBriefly());
    const std::string token = server.login("demo", "demo");
    std::string octets;
    for (int i = 0; i < 100000; ++i)
        octets += makeRecord(BibLeader, {{"001", "f" + std::to_string(i)},
                                         {"003", "SRC"},
                                         {"245", "10$aRecord number " + std::to_string(i)},
                                         {"650", " 0$aHarbors$zNorway."}});
    const std::string file = server.dir().file("big.mrc");
    std::ofstream(file, std::ios::binary) << octets;

    const std::string binary = ORVANE_SERVER_BINARY;
    std::vector<std::string> args{binary, "catalogue", "import", "--db",
                                  server.location(), file};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    ASSERT_EQ(::posix_spawn(&child, binary.c_str(), nullptr, nullptr, argv.data(), environ), 0);

    const std::int64_t before = scalar(server.db(), "SELECT count(*) FROM catalogue_records");
    while (scalar(server.db(), "SELECT count(*) FROM catalogue_records") == before)
        std::this_thread::sleep_for(5ms);
    std::vector<int> statuses;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        statuses.push_back(addSet(server, token, "During import " + std::to_string(statuses.size())));
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_GE(statuses.size(), 3u) << "the import ended before saves could meet it";
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), 0),
              static_cast<std::ptrdiff_t>(statuses.size()));
    EXPECT_EQ(scalar(server.db(), "SELECT count(*) FROM record_sets WHERE substr(name, 1, 14) = 'During import '"),
              static_cast<std::int64_t>(std::count(statuses.begin(), statuses.end(), 0)));
    EXPECT_EQ(scalar(server.db(), "SELECT count(*) FROM catalogue_records") - before, 100000);
}

// A writer in this process that commits and begins again at once (as a job
// writing bulk after bulk does) lets a waiting save in between.
TEST(WriteFairness, ABulkWriterLetsAWaitingSaveIn) {
    TestServer server(waitingBriefly());
    const std::string token = server.login("demo", "demo");
    std::atomic<bool> writing{true};
    std::atomic<int> bulks{0};
    std::thread bulkWriter([&] {
        Store store(server.location(), Database::DefaultBusyTimeout, server.dir().file("orvane.db"));
        Database& db = store.db();
        while (writing) {
            Transaction tx(db);
            // Long enough a bulk that a wait of a second spans a few of them.
            auto st = db.prepare("INSERT INTO settings (key, value) VALUES (?1, 'x') "
                                 "ON CONFLICT (key) DO UPDATE SET value = excluded.value");
            const auto until = std::chrono::steady_clock::now() + 100ms;
            for (int i = 0; std::chrono::steady_clock::now() < until; ++i) {
                st.reset();
                st.bind(1, "bulk " + std::to_string(i % 100)).run();
            }
            tx.commit();
            ++bulks;
        }
    });
    while (bulks == 0)
        std::this_thread::sleep_for(1ms);
    std::vector<int> statuses;
    for (int i = 0; i < 10; ++i)
        statuses.push_back(addSet(server, token, "Beside bulks " + std::to_string(i)));
    writing = false;
    bulkWriter.join();
    EXPECT_EQ(statuses, std::vector<int>(10, 0));
}
