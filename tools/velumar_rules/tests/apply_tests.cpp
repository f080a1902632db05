// velumar-rules apply on real records: the result files, the log, the JSON
// summary and the exit codes.
#include "tool_test_support.h"

#include <nlohmann/json.hpp>

namespace {

using velumar_rules::testing::ToolRun;
using velumar_rules::testing::VelumarRulesTool;
namespace fs = std::filesystem;

const std::string kThreeEdits = "rule \"Delete 9XX\"\r\n#priority n\r\n  when\r\n"
                                "    MARC is \"9\"XX\r\n  then\r\n    remove MARC.\"9XX\"\r\nend\r\n\r\n"
                                "rule \"Add 590\"\r\n#priority n\r\n  when\r\n"
                                "    MARC.\"650\".\"a\" equals \"Fantasy.\"\r\n  then\r\n"
                                "    create MARC.\"590\"(\" \",\" \")\r\n"
                                "    create MARC.\"590\" subfield \"a\" with \"Reviewed\"\r\n"
                                "end\r\n";

class Apply : public VelumarRulesTool {
protected:
    void SetUp() override {
        if (!fs::is_directory(VELUMAR_MARC_DATA_DIR))
            GTEST_SKIP() << "the MARC sample folder is absent";
        VelumarRulesTool::SetUp();
    }
    // Both records of the sample; the second alone has 650 $a Fantasy.
    static std::string Sample() {
        return Slurp(fs::path(VELUMAR_MARC_DATA_DIR) / "m4j_chabon.mrc");
    }
    std::string Out(const std::string& name) { return Slurp(dir / "out" / name); }
    std::string OutDir() { return "'" + (dir / "out").string() + "'"; }
};

TEST_F(Apply, MalformedRecordInTheMiddleIsSkippedAndReportedTheRestIsDone) {
    const std::string sample = Sample();
    // The first record ends where the second begins: 759 bytes (its leader says so).
    const std::string first = sample.substr(0, 759);
    const std::string second = sample.substr(759);
    const std::string broken = "00040nam a2200025 a 4500" + std::string(15, 'x') + "\x1d";
    const std::string input = Write("in.mrc", first + broken + second);

    const ToolRun run = Tool("apply --json '" + Write("r.dslr", kThreeEdits) + "' '" + input +
                             "' " + OutDir());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("(record at 759): no field terminator ends the directory"),
              std::string::npos)
        << run.err;
    const auto summary = nlohmann::json::parse(run.out);
    EXPECT_EQ(summary["records"], 2);
    EXPECT_EQ(summary["changed"], 1);
    EXPECT_EQ(summary["unchanged"], 1);
    ASSERT_EQ(summary["malformed"].size(), 1u);
    EXPECT_EQ(summary["malformed"][0]["offset"], 759);
    EXPECT_EQ(summary["rules_fired"], nlohmann::json({{"Add 590", 1}}));

    EXPECT_EQ(Out("unchanged.mrc"), first);
    EXPECT_EQ(Out("before.mrc"), second);
    const std::string after = Out("after.mrc");
    EXPECT_NE(after.find("\x1f" "aReviewed\x1e"), std::string::npos);
    // One more directory entry, and the field: two blank indicators, $a, the value, its terminator.
    EXPECT_EQ(after.size(), second.size() + 12 + 2 + 2 + 8 + 1);
    EXPECT_EQ(Out("deleted.mrc"), "");
    EXPECT_EQ(Out("error.mrc"), "");

    const std::string log = Out("log.txt");
    EXPECT_NE(log.find("record 1 (001 11939876): unchanged\n"), std::string::npos) << log;
    EXPECT_NE(log.find("malformed record skipped: offset 783 (record at 759)"), std::string::npos) << log;
    EXPECT_NE(log.find("record 2 (001 12883376): changed; rules fired: Add 590\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("Add 590: 1\n"), std::string::npos) << log;
}

TEST_F(Apply, ScanWritesTheIncludedRecordsOnly) {
    const std::string rules = "rule \"Fantasy\"\n#priority n\n  when\n"
                              "    MARC.\"650\".\"a\" equals \"Fantasy.\"\n  then\n    INCLUDE\nend\n";
    const ToolRun run = Tool("apply --scan '" + Write("s.dslr", rules) + "' '" +
                             Write("in.mrc", Sample()) + "' " + OutDir());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Out("included.mrc"), Sample().substr(759));
    EXPECT_FALSE(fs::exists(dir / "out" / "after.mrc"));
    EXPECT_NE(Out("log.txt").find("record 1 (001 11939876): not included\n"), std::string::npos);
}

TEST_F(Apply, GroupThatDoesNotCompileTouchesNoRecord) {
    const std::string rules = "rule \"Bad\"\n  when\n    MARC is \"24\"\n  then\n    CHANGED\nend\n";
    const ToolRun run = Tool("apply '" + Write("b.dslr", rules) + "' '" +
                             Write("in.mrc", Sample()) + "' " + OutDir());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Rule failed to compile."), std::string::npos);
    EXPECT_NE(run.err.find("invalid field length."), std::string::npos) << run.err;
    EXPECT_TRUE(Out("log.txt").starts_with("Rule failed to compile.\n"));
    EXPECT_EQ(Out("unchanged.mrc"), "");
}

TEST_F(Apply, UnusableArgumentsExitTwo) {
    const std::string rules = Write("r.dslr", kThreeEdits);
    const std::string input = Write("in.mrc", Sample());
    EXPECT_EQ(Tool("apply '" + rules + "' '" + input + "'").exitCode, 2);
    EXPECT_EQ(Tool("apply '" + rules + "' '" + (dir / "missing.mrc").string() + "' " + OutDir())
                  .exitCode,
              2);
    EXPECT_EQ(Tool("apply '" + (dir / "missing.dslr").string() + "' '" + input + "' " + OutDir())
                  .exitCode,
              2);
    const ToolRun order = Tool("apply --order '245,5X' '" + rules + "' '" + input + "' " + OutDir());
    EXPECT_EQ(order.exitCode, 2);
    EXPECT_EQ(order.err, "velumar-rules: --order: \"5X\" is not a tag or a tag pattern such as 5XX\n");
}

TEST_F(Apply, FactRulesAreNamedOnceAndOrderAppliesToChangedRecords) {
    const std::string rules =
        kThreeEdits + "\r\nrule \"Mine\"\r\n#priority n\r\n  when\r\n    Created by \"jsmith\"\r\n"
                      "  then\r\n    DELETE\r\nend\r\n";
    const ToolRun run = Tool("apply --order '001,5XX,2XX' '" + Write("r.dslr", rules) + "' '" +
                             Write("in.mrc", Sample()) + "' " + OutDir());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "note: the catalogue's facts about a record (dates, operators, owning "
                       "library, suppression, export, holdings) are unknown here; conditions on "
                       "them do not hold. Rules that use them: Mine\n");
    const std::string after = Out("after.mrc");
    // Directory order: 001, then 520 and 590, then 245, 250, 260.
    const std::string directory = after.substr(24, 12 * 6);
    EXPECT_EQ(directory.substr(0, 3) + directory.substr(12, 3) + directory.substr(24, 3) +
                  directory.substr(36, 3) + directory.substr(48, 3) + directory.substr(60, 3),
              "001520590245250260");
}

} // namespace
