// The command line's shape: help, usage errors (exit 2) and failures (exit 1),
// and the option reader every command shares.

#include "admin/arguments.h"
#include "admin_test_support.h"
#include "test_server.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace orvane::server;
using namespace orvane::server::testing;

TEST(AdminUsage, HelpGoesToOutputAndExitsZero) {
    const auto program = runCommand({"--help"});
    EXPECT_EQ(program.status, 0);
    for (const char* command :
         {"init --db FILE|URL [--demo]", "serve --db FILE|URL [--files DIR] --listen HOST:PORT",
          "operator grant --db FILE --id ID (CODE... | --all)", "library add", "location list"})
        EXPECT_NE(program.out.find(command), std::string::npos) << command;

    const auto one = runCommand({"operator", "add", "--help"});
    EXPECT_EQ(one.status, 0);
    EXPECT_TRUE(one.out.starts_with("usage: orvane-server operator add --db FILE --id ID "
                                    "[--name NAME]\n"))
        << one.out;

    const auto group = runCommand({"location", "--help"});
    EXPECT_EQ(group.status, 0);
    EXPECT_NE(group.out.find("location add"), std::string::npos);
    EXPECT_EQ(group.out.find("operator add"), std::string::npos);
}

TEST(AdminUsage, BadCommandLinesExitTwoWithTheReasonOnErrorOutput) {
    struct Case {
        std::vector<std::string> args;
        std::string reason;
    };
    const std::vector<Case> cases{
        {{}, "usage: orvane-server COMMAND"},
        {{"frobnicate"}, "orvane-server: unknown command frobnicate\n"},
        {{"operator"}, "orvane-server: operator needs a command\n"},
        {{"operator", "frob"}, "orvane-server: unknown command operator frob\n"},
        {{"library", "list"}, "orvane-server library list: --db is required\n"},
        {{"library", "list", "--db"}, "orvane-server library list: --db needs a value\n"},
        {{"library", "list", "--db", "a", "--db", "b"}, "--db is given twice"},
        {{"library", "list", "--db", "a", "--bogus"}, "unknown option --bogus"},
        {{"library", "list", "--db", "a", "stray"}, "unexpected argument stray"},
        {{"init", "--db", "a", "--demo=yes"}, "--demo takes no value"},
        {{"init", "--db", "--demo"}, "--db needs a value"},
        {{"init", "-d", "a"}, "unknown option -d"},
    };
    for (const auto& c : cases) {
        const auto run = runCommand(c.args);
        EXPECT_EQ(run.status, 2) << c.reason;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST(AdminUsage, AdministeringAMissingDatabaseFailsWithoutCreatingIt) {
    TempDir dir;
    const auto path = dir.file("absent.db");
    const auto run = runCommand({"library", "list", "--db", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "orvane-server library list: no database at " + path +
                           "; create one with: orvane-server init --db " + path + "\n");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(AdminArguments, ReadsValuesSwitchesAndWordsInAnyOrder) {
    const std::vector<OptionSpec> accepted{{"db"}, {"id"}, {"all", false}};
    const std::vector<std::string> args{"AV", "--db=x.db", "--all", "RSBA", "--id", "jsmith"};
    const Arguments parsed(args, accepted);
    EXPECT_EQ(parsed.value("db"), "x.db");
    EXPECT_EQ(parsed.required("id"), "jsmith");
    EXPECT_TRUE(parsed.flag("all"));
    EXPECT_FALSE(parsed.value("name"));
    EXPECT_EQ(parsed.words(), (std::vector<std::string>{"AV", "RSBA"}));
    EXPECT_THROW(parsed.required("name"), UsageError);
}
