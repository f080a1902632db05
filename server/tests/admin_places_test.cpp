// orvane-server library ... and location ...: owning libraries and locations.

#include "admin_test_support.h"
#include "test_server.h"

#include <gtest/gtest.h>

using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

class AdminPlaces : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(runCommand({"init", "--db", path}).status, 0); }

    CommandRun run(std::vector<std::string> args) {
        args.insert(args.begin() + 2, {"--db", path});
        return runCommand(args);
    }

    TempDir dir;
    TestDatabase database{dir.path(), "orvane.db"};
    std::string path = database.location();
};

} // namespace

TEST_F(AdminPlaces, LibrariesAreAddedOnceAndListedByCode) {
    EXPECT_EQ(run({"library", "add", "--code", "MAIN", "--name", "Main Library"}).out,
              "added owning library MAIN\n");
    ASSERT_EQ(run({"library", "add", "--code", "EAST", "--name", "East Branch"}).status, 0);

    const auto again = run({"library", "add", "--code", "MAIN", "--name", "Other"});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(again.err, "orvane-server library add: owning library MAIN already exists\n");

    EXPECT_EQ(run({"library", "list"}).out, "EAST\tEast Branch\nMAIN\tMain Library\n");
}

TEST_F(AdminPlaces, LocationsBelongToAKnownLibraryOrToNone) {
    ASSERT_EQ(run({"library", "add", "--code", "LAW", "--name", "Law Library"}).status, 0);
    EXPECT_EQ(
        run({"location", "add", "--code", "RES", "--name", "Law Reserve", "--library", "LAW"}).out,
        "added location RES\n");
    ASSERT_EQ(run({"location", "add", "--code", "ANNEX", "--name", "Annex"}).status, 0);

    const auto unknown =
        run({"location", "add", "--code", "X", "--name", "Nowhere", "--library", "MARS"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "orvane-server location add: no owning library with code MARS\n");

    EXPECT_EQ(run({"location", "list"}).out, "ANNEX\tAnnex\t\nRES\tLaw Reserve\tLAW\n");
}

TEST_F(AdminPlaces, CodeAndNameAreRequiredAndNotEmpty) {
    const auto noName = run({"library", "add", "--code", "MAIN"});
    EXPECT_EQ(noName.status, 2);
    EXPECT_NE(noName.err.find("--name is required"), std::string::npos) << noName.err;
    EXPECT_EQ(run({"location", "add", "--code", "", "--name", "Blank"}).status, 2);
    EXPECT_EQ(run({"library", "list"}).out, "");
}
