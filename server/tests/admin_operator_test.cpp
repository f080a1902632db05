// orvane-server operator ...: adding operators, setting passwords, granting
// and revoking rights, listing and assigning places.

#include "admin_test_support.h"
#include "auth/operators.h"
#include "auth/password.h"
#include "auth/rights.h"
#include "store/store.h"
#include "test_server.h"

#include <gtest/gtest.h>

using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

class AdminOperator : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(runCommand({"init", "--db", path}).status, 0);
        ASSERT_EQ(
            runCommand({"operator", "add", "--db", path, "--id", "jsmith", "--name", "Jane Smith"},
                       "s3cret\n")
                .status,
            0);
    }

    std::optional<OperatorAccount> account(const std::string& id) {
        return findOperator(store().db(), id);
    }
    std::vector<std::string> rights(const std::string& id) {
        return rightsOf(store().db(), account(id)->row);
    }
    // Opened after the commands ran, as another process would.
    Store& store() {
        if (!store_)
            store_ = std::make_unique<Store>(path);
        return *store_;
    }

    PasswordEnvironment noPasswordVariable;
    TempDir dir;
    TestDatabase database{dir.path(), "orvane.db"};
    std::string path = database.location();
    std::unique_ptr<Store> store_;
};

} // namespace

TEST_F(AdminOperator, AddReadsThePasswordFromInputAndStoresOnlyItsHash) {
    const auto added = account("jsmith");
    ASSERT_TRUE(added);
    EXPECT_EQ(added->name, "Jane Smith");
    EXPECT_TRUE(verifyPassword(added->passwordHash, "s3cret"));
    EXPECT_FALSE(added->passwordFlag);
    EXPECT_TRUE(rights("jsmith").empty());
}

TEST_F(AdminOperator, AddTakesThePasswordVariableBeforeInput) {
    PasswordEnvironment variable("from-env");
    ASSERT_EQ(runCommand({"operator", "add", "--db", path, "--id", "ann"}, "from-input\n").status,
              0);
    EXPECT_TRUE(verifyPassword(account("ann")->passwordHash, "from-env"));
    EXPECT_EQ(account("ann")->name, "");
}

TEST_F(AdminOperator, AddRefusesATakenIdAShortPasswordAndNoPassword) {
    const auto taken = runCommand({"operator", "add", "--db", path, "--id", "JSMITH"}, "other\n");
    EXPECT_EQ(taken.status, 1);
    EXPECT_EQ(taken.err, "orvane-server operator add: operator JSMITH already exists\n");

    const auto tooShort = runCommand({"operator", "add", "--db", path, "--id", "ann"}, "abc\n");
    EXPECT_EQ(tooShort.status, 1);
    EXPECT_NE(tooShort.err.find("at least 4 characters"), std::string::npos) << tooShort.err;

    const auto none = runCommand({"operator", "add", "--db", path, "--id", "ann"});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("ORVANE_PASSWORD"), std::string::npos) << none.err;
    EXPECT_FALSE(account("ann"));
}

TEST_F(AdminOperator, PasswordReplacesTheHashOfAnExistingOperator) {
    ASSERT_EQ(
        runCommand({"operator", "password", "--db", path, "--id", "jsmith"}, "n3w-one\n").status,
        0);
    EXPECT_TRUE(verifyPassword(account("jsmith")->passwordHash, "n3w-one"));

    const auto unknown = runCommand({"operator", "password", "--db", path, "--id", "x"}, "n3w\n");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "orvane-server operator password: no operator with id x\n");
}

TEST_F(AdminOperator, GrantAndRevokeByCodeOrAll) {
    EXPECT_EQ(runCommand({"operator", "grant", "--db", path, "--id", "jsmith", "RSBA", "AV"}).out,
              "granted 2 rights, operator jsmith\n");
    EXPECT_EQ(rights("jsmith"), (std::vector<std::string>{"AV", "RSBA"}));

    ASSERT_EQ(runCommand({"operator", "grant", "--db", path, "--id", "jsmith", "--all"}).status, 0);
    EXPECT_EQ(rights("jsmith").size(), allRightCodes().size());

    ASSERT_EQ(runCommand({"operator", "revoke", "--db", path, "--id", "jsmith", "AV"}).status, 0);
    EXPECT_EQ(rights("jsmith").size(), allRightCodes().size() - 1);
    EXPECT_EQ(rights("jsmith").front(), "RSBA");

    ASSERT_EQ(runCommand({"operator", "revoke", "--db", path, "--id", "jsmith", "--all"}).status,
              0);
    EXPECT_TRUE(rights("jsmith").empty());
}

TEST_F(AdminOperator, UnknownRightCodeIsNamedAndNothingIsGranted) {
    const auto run =
        runCommand({"operator", "grant", "--db", path, "--id", "jsmith", "AV", "SUPER"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "orvane-server operator grant: unknown right code: SUPER\n");
    EXPECT_TRUE(rights("jsmith").empty());
    // Codes are exact: the client reads upper case.
    EXPECT_EQ(runCommand({"operator", "grant", "--db", path, "--id", "jsmith", "av"}).status, 1);
}

TEST_F(AdminOperator, GrantNeedsCodesOrAllButNotBoth) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"operator", "grant", "--db", path, "--id", "jsmith"},
          {"operator", "revoke", "--db", path, "--id", "jsmith", "--all", "AV"}}) {
        const auto run = runCommand(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("name right codes or give --all"), std::string::npos) << run.err;
    }
}

TEST_F(AdminOperator, ListShowsIdNameAndRightsInProfileOrder) {
    ASSERT_EQ(runCommand({"operator", "add", "--db", path, "--id", "ann"}, "pass\n").status, 0);
    ASSERT_EQ(runCommand({"operator", "grant", "--db", path, "--id", "jsmith", "KIJ", "AV", "DCB"})
                  .status,
              0);
    const auto list = runCommand({"operator", "list", "--db", path});
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.out, "ann\t\t\njsmith\tJane Smith\tAV DCB KIJ\n");
}

TEST_F(AdminOperator, AssignsALocationOrALibraryOnce) {
    ASSERT_EQ(runCommand({"library", "add", "--db", path, "--code", "LAW", "--name", "Law"}).status,
              0);
    ASSERT_EQ(runCommand({"location", "add", "--db", path, "--code", "RES", "--name", "Reserve",
                          "--library", "LAW"})
                  .status,
              0);
    const std::vector<std::string> assignLocation{"operator", "assign", "--db",       path,
                                                  "--id",     "jsmith", "--location", "RES"};
    EXPECT_EQ(runCommand(assignLocation).out, "assigned location RES to operator jsmith\n");
    EXPECT_EQ(runCommand(assignLocation).status, 0);
    ASSERT_EQ(runCommand({"operator", "assign", "--db", path, "--id", "jsmith", "--library", "LAW"})
                  .status,
              0);

    const auto row = account("jsmith")->row;
    const auto locations = locationsOf(store().db(), row);
    ASSERT_EQ(locations.size(), 1u);
    EXPECT_EQ(locations[0].name, "Reserve");
    EXPECT_EQ(locations[0].libraryCode, "LAW");
    auto st = store().db().prepare("SELECT count(*) FROM operator_libraries WHERE operator = ?1");
    st.bind(1, row).step();
    EXPECT_EQ(st.int64(0), 1);

    const auto unknown =
        runCommand({"operator", "assign", "--db", path, "--id", "jsmith", "--location", "NOPE"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.err, "orvane-server operator assign: no location with code NOPE\n");
    EXPECT_EQ(runCommand({"operator", "assign", "--db", path, "--id", "jsmith"}).status, 2);
}
