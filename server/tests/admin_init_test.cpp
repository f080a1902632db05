// orvane-server init and the filling of a new store: done once, in full.

#include "admin_test_support.h"
#include "auth/operators.h"
#include "auth/password.h"
#include "auth/rights.h"
#include "store/migrations.h"
#include "store/store.h"
#include "test_server.h"

#include <gtest/gtest.h>

using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

std::int64_t count(Database& db, const std::string& table) {
    auto st = db.prepare("SELECT count(*) FROM " + table);
    st.step();
    return st.int64(0);
}

} // namespace

TEST(AdminInit, DemoFillsOperatorsPlacesAndSettingsOnce) {
    TempDir dir;
    const auto path = dir.file("orvane.db");
    const auto first = runCommand({"init", "--db", path, "--demo"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("created " + path + " (schema version " +
                             std::to_string(migrations().back().version) + ")"), std::string::npos)
        << first.out;

    Store store(path);
    Database& db = store.db();
    const auto demo = findOperator(db, "demo");
    const auto viewer = findOperator(db, "viewer");
    ASSERT_TRUE(demo && viewer);
    EXPECT_TRUE(verifyPassword(demo->passwordHash, "demo"));
    EXPECT_TRUE(verifyPassword(viewer->passwordHash, "viewer"));
    EXPECT_EQ(rightsOf(db, demo->row).size(), allRightCodes().size());
    EXPECT_EQ(rightsOf(db, viewer->row),
              std::vector<std::string>(viewRightCodes().begin(), viewRightCodes().end()));
    EXPECT_EQ(count(db, "owning_libraries"), 3);
    EXPECT_EQ(count(db, "locations"), 5);
    EXPECT_EQ(count(db, "operator_libraries"), 6);
    EXPECT_EQ(count(db, "operator_locations"), 7);
    // Every location belongs to one of the demo libraries.
    for (const auto& location : listLocations(db))
        EXPECT_FALSE(location.libraryCode.empty()) << location.code;

    const auto again = runCommand({"init", "--db", path, "--demo"});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(again.out.find("already has operators: left as it was"), std::string::npos);
    EXPECT_EQ(count(db, "operators"), 2);
    EXPECT_EQ(count(db, "locations"), 5);
}

TEST(AdminInit, WithoutDemoLeavesNoOperatorsAndCanBeFollowedByDemo) {
    TempDir dir;
    const auto path = dir.file("orvane.db");
    const auto plain = runCommand({"init", "--db", path});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_NE(plain.out.find("no operators yet"), std::string::npos) << plain.out;
    {
        Store store(path);
        EXPECT_EQ(operatorCount(store.db()), 0);
    }
    // Reference data is not added a second time; the demo data is added now.
    const auto demo = runCommand({"init", "--db", path, "--demo"});
    ASSERT_EQ(demo.status, 0) << demo.err;
    EXPECT_NE(demo.out.find("opened " + path), std::string::npos) << demo.out;
    Store store(path);
    EXPECT_EQ(operatorCount(store.db()), 2);
}

TEST(AdminInit, InitialiseStoreRollsBackEverythingWhenSeedingFails) {
    TempDir dir;
    Store store(dir.file("orvane.db"));
    // A location code the demo seed needs is taken, so seeding fails part-way.
    store.db().exec("INSERT INTO locations (code, name) VALUES ('LAW-RES', 'Taken')");
    EXPECT_THROW(initialiseStore(store, true), AdminError);
    EXPECT_EQ(operatorCount(store.db()), 0);
    EXPECT_EQ(count(store.db(), "owning_libraries"), 0);
    EXPECT_EQ(count(store.db(), "settings"), 0);
}

TEST(AdminServe, RefusesADatabaseNobodyCouldLogInTo) {
    TempDir dir;
    const auto path = dir.file("orvane.db");
    const auto missing = runCommand({"serve", "--db", path, "--listen", "127.0.0.1:0"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("no database at " + path), std::string::npos) << missing.err;
    EXPECT_FALSE(std::filesystem::exists(path));

    ASSERT_EQ(runCommand({"init", "--db", path}).status, 0);
    const auto empty = runCommand({"serve", "--db", path, "--listen", "127.0.0.1:0"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("has no operators"), std::string::npos) << empty.err;
    EXPECT_NE(empty.err.find("orvane-server init --db " + path), std::string::npos) << empty.err;
    EXPECT_EQ(empty.out, "");
}

TEST(AdminServe, BadListenAddressTlsHalfOrIdleTimeIsUsage) {
    TempDir dir;
    const auto path = dir.file("orvane.db");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"serve", "--db", path, "--listen", "localhost"},
          {"serve", "--db", path, "--listen", "127.0.0.1:70000"},
          {"serve", "--db", path, "--listen", "127.0.0.1:0", "--tls-cert", "c.pem"},
          {"serve", "--db", path, "--listen", "127.0.0.1:0", "--session-idle", "soon"},
          {"serve", "--db", path, "--listen", "127.0.0.1:0", "--workers", "0"},
          {"serve", "--db", path, "--listen", "127.0.0.1:0", "--backlog", "many"},
          {"serve", "--db", path, "--listen", "127.0.0.1:0", "--request-timeout", "-1"},
          {"serve", "--db", path}}) {
        const auto run = runCommand(args);
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_NE(run.err.find("usage: orvane-server serve"), std::string::npos) << run.err;
    }
}
