// orvane-server jobs list|show|kill|log on a database with a queued, a
// running and a finished job.
#include "admin_test_support.h"
#include "jobs/job_files.h"
#include "jobs/job_kinds.h"
#include "jobs/job_store.h"
#include "store/store.h"
#include "test_server.h"

#include <fstream>
#include <gtest/gtest.h>

namespace orvane::server::testing {
namespace {

TEST(AdminJobs, ListShowKillAndLog) {
    TempDir dir;
    // Named as --files DIR names the job files: DIR/orvane.jobs/.
    TestDatabase database{dir.path(), "orvane"};
    const std::string db = database.location();
    const std::string filesDir = dir.path().string();
    ASSERT_EQ(runCommand({"init", "--db", db}).status, 0);
    std::int32_t queued = 0;
    std::int32_t running = 0;
    {
        Store store(db, Database::DefaultBusyTimeout, database.filesBase());
        JobStore jobs(store.db());
        JobRow row;
        row.type = jobs::type::DataChange;
        row.recordType = 1;
        row.operatorId = "demo";
        row.name = "runs now";
        running = jobs.insert(row);
        jobs.claimDue(jobTimeNow());
        row.name = "tomorrow";
        row.scheduledStart = "2099-01-01 08:00:00";
        queued = jobs.insert(row);
        const JobFiles files(database.filesBase(), running);
        std::filesystem::create_directories(files.folder());
        std::ofstream(files.log()) << "Data change job \"runs now\"\n";
    }

    const auto list = runCommand({"jobs", "list", "--db", db, "--files", filesDir});
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find("Pending Data Change         2099-01-01 08:00:00"), std::string::npos)
        << list.out;
    EXPECT_NE(list.out.find("Running Data Change"), std::string::npos) << list.out;

    const auto show = runCommand({"jobs", "show", "--db", db, "--files", filesDir, std::to_string(queued)});
    EXPECT_NE(show.out.find("  scheduled:     2099-01-01 08:00:00\n"), std::string::npos)
        << show.out;

    const auto notRunning = runCommand({"jobs", "kill", "--db", db, "--files", filesDir, std::to_string(queued)});
    EXPECT_EQ(notRunning.status, 1);
    EXPECT_NE(notRunning.err.find("is not running (Pending)"), std::string::npos) << notRunning.err;
    const auto kill = runCommand({"jobs", "kill", "--db", db, "--files", filesDir, std::to_string(running)});
    EXPECT_EQ(kill.status, 0);
    Store store(db);
    EXPECT_EQ(JobStore(store.db()).status(running), jobs::status::Kill);

    EXPECT_EQ(runCommand({"jobs", "log", "--db", db, "--files", filesDir, std::to_string(running)}).out,
              "Data change job \"runs now\"\n");
    EXPECT_EQ(runCommand({"jobs", "log", "--db", db, "--files", filesDir, std::to_string(queued)}).status, 1);
    EXPECT_EQ(runCommand({"jobs", "show", "--db", db, "--files", filesDir, "x"}).status, 2);
    EXPECT_EQ(runCommand({"jobs", "show", "--db", db, "--files", filesDir, "999"}).status, 1);
}

} // namespace
} // namespace orvane::server::testing
