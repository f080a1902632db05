// velumar-rules run as a program: exit codes and exact output.
#include "tool_test_support.h"

#include <nlohmann/json.hpp>

namespace {

using velumar_rules::testing::ToolRun;
using velumar_rules::testing::VelumarRulesTool;

const std::string kGood = "# header\r\n"
                          "rule \"Good\"\r\n"
                          "#priority 3\r\n"
                          "  when\r\n"
                          "    MARC is \"245\"\r\n"
                          "# only a comment\r\n"
                          "    TARGET MARC is \"500\"\r\n"
                          "  then\r\n"
                          "    copy MARC \"245\".\"a\" to existing \"500t\"\r\n"
                          "end\r\n"
                          "\r\n";

const std::string kBad = "rule \"Bad one\"\n"
                         "when\n"
                         "MARC is \"24\"\n"
                         "MARC.control.\"008\".Date1 equals \"1999\"\n"
                         "then\n"
                         "delete all\n"
                         "end\n";

TEST_F(VelumarRulesTool, CheckCleanFileSaysNothingAndExitsZero) {
    const ToolRun run = Tool("check '" + Write("good.dslr", kGood) + "'");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");
}

TEST_F(VelumarRulesTool, CheckListsEachLineInErrorAndExitsOne) {
    const std::string bad = Write("bad.dslr", kBad);
    const std::string good = Write("good.dslr", kGood);
    const ToolRun run = Tool("check '" + good + "' '" + bad + "'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, bad +
                           ":Bad one:1: Could not parse condition: 'marc is \"24\"' - invalid "
                           "field length.\n" +
                           bad +
                           ":Bad one:1: Could not parse consequence: 'delete all' - "
                           "invalid record disposition.\n");
}

TEST_F(VelumarRulesTool, CheckJsonReportsKindsErrorsAndWrittenForms) {
    const std::string bad = Write("bad.dslr", kBad);
    const ToolRun run = Tool("check --json '" + bad + "'");
    EXPECT_EQ(run.exitCode, 1);
    const auto report = nlohmann::json::parse(run.out);
    ASSERT_EQ(report["documents"].size(), 1u);
    const auto& document = report["documents"][0];
    EXPECT_EQ(document["path"], bad);
    EXPECT_EQ(document["header"], "");
    const auto& rule = document["rules"][0];
    EXPECT_EQ(rule["name"], "Bad one");
    EXPECT_EQ(rule["priority"], "");
    EXPECT_EQ(rule["summary"], "When MARC is \"24\"");

    const auto& badCondition = rule["conditions"][0];
    EXPECT_EQ(badCondition["key"], "1");
    EXPECT_EQ(badCondition["text"], "MARC is \"24\"");
    EXPECT_EQ(badCondition["error"],
              "Could not parse condition: 'marc is \"24\"' - invalid field length.");
    EXPECT_TRUE(badCondition["rendered"].is_null());

    const auto& control = rule["conditions"][1];
    EXPECT_EQ(control["kind"], 7);
    EXPECT_EQ(control["error"], "");
    EXPECT_EQ(control["rendered"], "MARC.control.\"008\"(\"7\",\"11\") equals \"1999\"");
    // Fields are those read, not those of the rendered clone.
    EXPECT_EQ(control["fields"]["ControlVariable"], "Date1");
    EXPECT_EQ(control["fields"]["ByteStart"], -1);
    EXPECT_EQ(control["fields"]["Operator"], 1);
    EXPECT_EQ(control["fields"]["IsFieldCondition"], false);

    const auto& consequence = rule["consequences"][0];
    EXPECT_EQ(consequence["kind"], 13);
    EXPECT_EQ(consequence["lines"], nlohmann::json::array({"delete all"}));
    EXPECT_EQ(consequence["display"], "delete all");
    EXPECT_TRUE(consequence["rendered"].is_null());
    EXPECT_EQ(consequence["fields"]["ErrorText"], consequence["error"]);
}

TEST_F(VelumarRulesTool, CheckJsonOfCommentsTargetsAndCopies) {
    const ToolRun run = Tool("check --json '" + Write("good.dslr", kGood) + "'");
    EXPECT_EQ(run.exitCode, 0);
    const auto report = nlohmann::json::parse(run.out);
    const auto& rule = report["documents"][0]["rules"][0];
    EXPECT_EQ(report["documents"][0]["header"], "# header\r\n");
    EXPECT_EQ(rule["priority"], "3");
    const auto& comment = rule["conditions"][1];
    EXPECT_EQ(comment["kind"], 17);
    EXPECT_EQ(comment["error"], "This line is a comment.");
    EXPECT_EQ(comment["rendered"], "# only a comment");
    const auto& target = rule["conditions"][2];
    EXPECT_EQ(target["kind"], 18);
    EXPECT_EQ(target["rendered"], "TARGET MARC is \"500\"");
    const auto& copy = rule["consequences"][0];
    EXPECT_EQ(copy["kind"], 4);
    EXPECT_EQ(copy["rendered"],
              nlohmann::json::array({"copy MARC \"245\".\"a\" to existing \"500t\""}));
    EXPECT_EQ(copy["fields"]["ToExisting"], 1);
    EXPECT_EQ(copy["fields"]["TargetRef"], "3");
    EXPECT_EQ(copy["fields"]["TargetCondition"], "3");
    EXPECT_EQ(copy["fields"]["Rule"], "Good");
    EXPECT_EQ(copy["fields"]["ForNewField"], false);
    EXPECT_EQ(copy["fields"]["OrderOccurrenceIndex"], -1);
}

TEST_F(VelumarRulesTool, RenderRebuildsParsedLinesAndKeepsBadOnesWithCrLf) {
    const ToolRun run = Tool("render '" + Write("bad.dslr", kBad) + "'");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "rule \"Bad one\"\r\n"
                       "#priority n\r\n"
                       "  when\r\n"
                       "    MARC is \"24\"\r\n"
                       "    MARC.control.\"008\"(\"7\",\"11\") equals \"1999\"\r\n"
                       "  then\r\n"
                       "    delete all\r\n"
                       "end\r\n"
                       "\r\n");
}

TEST_F(VelumarRulesTool, RenderKeepsTheHeaderWithCrLf) {
    const ToolRun run = Tool("render '" + Write("h.dslr", "# one\n# two\n") + "'");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "# one\r\n# two\r\n");
    // Every kind of line break becomes CR LF; none is lost.
    const ToolRun mixed = Tool("render '" + Write("m.dslr", "# a\r# b\r\n# c\n\r") + "'");
    EXPECT_EQ(mixed.exitCode, 0);
    EXPECT_EQ(mixed.out, "# a\r\n# b\r\n# c\r\n\r\n");
}

// A rule of the language's awkward lines: each one in error is listed with
// its rule and key, comments, "and"/"or" lines and the target line are not.
const std::string kEdges = "# Header\r\n"
                           "rule \"Edge\"\r\n"
                           "  when\r\n"
                           "    MARC is \"24\"x\r\n"
                           "    MARC is \"24\"\r\n"
                           "    MARC.\"245\" HAS ANY \"ab\"\r\n"
                           "    MARC.control.\"008\".Date1 equals \"1999\"\r\n"
                           "    MARC.control.\"002\" equals \"x\"\r\n"
                           "    AND\r\n"
                           "    Created between \"20240101\" and \"2024010\"\r\n"
                           "    or\r\n"
                           "    Created since \"20240101\"\r\n"
                           "    Created by \"\"\r\n"
                           "    MARC.control is \"008\".language\r\n"
                           "    MARC.control is \"007\".Date1\r\n"
                           "    MARC is \"245\"[\"x\"]\r\n"
                           "    MARC is \"245\"[]\r\n"
                           "    MARC is \"245\"[\"12\"]\r\n"
                           "    MARC is \"245\"[\"1\"\r\n"
                           "    MARC is \"245\"(\"1\"\r\n"
                           "# comment\r\n"
                           "    TARGET MARC is \"500\"\r\n"
                           "  then\r\n"
                           "    replace string by string (TEMP\"1\",\"a\",\"b\")\r\n"
                           "    delete all\r\n"
                           "    deleteall\r\n"
                           "    create MARC.\"500\"[\"1\"].\"a\" with \"x\"\r\n"
                           "    create MARC.\"500\".\"ab\" with \"x\"\r\n"
                           "    copy MARC \"245\" to existing \"600t\"\r\n"
                           "    Set MARC field \"245\"  to \"246\"\r\n"
                           "    set TEMP\"1\" to MARC.\"245\".\"a\"\r\n"
                           "    replace string by string (TEMP\"2\",\"abc\",\"x\")\r\n"
                           "    set MARC.\"245\".\"a\" to TEMP\"1\"\r\n"
                           "end\r\n";

TEST_F(VelumarRulesTool, CheckListsTheEdgeCasesOfEveryForm) {
    const std::string path = Write("edges.dslr", kEdges);
    const ToolRun run = Tool("check '" + path + "'");
    EXPECT_EQ(run.exitCode, 1);
    const std::string c = path + ":Edge:";
    EXPECT_EQ(run.out,
              c + "2: Could not parse condition: 'marc is \"24\"' - invalid field length.\n" + c +
                  "3: Could not parse condition: 'marc.\"245\" has any \"ab\"' - invalid "
                  "operator.\n" +
                  c +
                  "5: Could not parse condition: 'marc.control.\"002\" equals \"x\"' - "
                  "invalid control field.\n" +
                  c +
                  "6: Could not parse condition: 'created between \"20240101\" and "
                  "\"2024010\"' - invalid date value.\n" +
                  c +
                  "7: Could not parse condition: 'created since \"20240101\"' - invalid "
                  "date range.\n" +
                  c + "8: Could not parse condition: 'created by \"\"' - invalid cataloger.\n" + c +
                  "10: Could not parse condition: 'marc.control is \"007\".date1' - "
                  "invalid control variable.\n" +
                  c +
                  "11: Could not parse condition: 'marc is \"245\"[\"x\"]' - invalid "
                  "occurrence (not a number).\n" +
                  c +
                  "12: Could not parse condition: 'marc is \"245\"[]' - invalid "
                  "occurrence.\n" +
                  c +
                  "14: Could not parse condition: 'marc is \"245\"[\"1\"' - unclosed "
                  "brackets.\n" +
                  c +
                  "15: Could not parse condition: 'MARC is \"245\"(\"1\"' - invalid "
                  "indicators.\n" +
                  c +
                  "1: Could not parse consequence: 'replace string by string "
                  "(temp\"1\",\"a\",\"b\")' - 'replace string by' must be preceeded by a "
                  "valid variable definition.\n" +
                  c +
                  "2: Could not parse consequence: 'delete all' - invalid record "
                  "disposition.\n" +
                  c +
                  "4: Could not parse consequence: 'create marc.\"500\"[\"1\"].\"a\" with "
                  "\"x\"' - field occurrences are not yet supported for 'Add MARC "
                  "Subfield' rules.\n" +
                  c +
                  "5: Could not parse consequence: 'create marc.\"500\".\"ab\" with \"x\"' - "
                  "single subfield is required.\n" +
                  c +
                  "6: Could not parse consequence: 'copy marc \"245\" to existing "
                  "\"600t\"' - matching TARGET MARC condition not found.\n" +
                  c +
                  "8: Could not parse consequence: 'replace string by string "
                  "(temp\"2\",\"abc\",\"x\")' - variable in 'replace by' does not match "
                  "preceding variable definition\n" +
                  c +
                  "9: Could not parse consequence: 'set marc.\"245\".\"a\" to temp\"1\"' - "
                  "set MARC component to variable is currently only supported as part of "
                  "a 'replace string by' operation.\n");

    const ToolRun render = Tool("render '" + path + "'");
    EXPECT_EQ(render.exitCode, 0);
    for (const std::string line :
         {"    MARC is \"24\"X\r\n", "    MARC.control.\"008\"(\"7\",\"11\") equals \"1999\"\r\n",
          "    MARC.control is \"008\".Language\r\n", "    MARC is \"245\"[\"99\"]\r\n",
          "    MARC is \"245\"[\"1\"\r\n", "# comment\r\n", "    DELETEALL\r\n",
          "    Set MARC field \"245\"  to \"246\"\r\n"})
        EXPECT_NE(render.out.find(line), std::string::npos) << line;
    EXPECT_EQ(render.out.find("AND"), std::string::npos);
}

TEST_F(VelumarRulesTool, UnreadableInputsGetOneLineAndExitTwo) {
    const std::string missing = (dir / "missing.dslr").string();
    ToolRun run = Tool("check '" + missing + "'");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "velumar-rules: " + missing + ": cannot read: No such file or directory\n");

    run = Tool("check --json '" + dir.string() + "'");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "velumar-rules: " + dir.string() + ": cannot read: is a directory\n");

    const std::string garbage =
        Write("garbage.dslr", std::string("rule \"x\"\n\0\x01\xff\xfe", 13));
    run = Tool("render '" + garbage + "'");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
              "velumar-rules: " + garbage + ": cannot read: not a rule file (binary data)\n");
}

TEST_F(VelumarRulesTool, BadUsageExitsTwoWithUsage) {
    for (const std::string args : {"", "check", "check --json", "render", "frobnicate x"}) {
        const ToolRun run = Tool(args);
        EXPECT_EQ(run.exitCode, 2) << args;
        EXPECT_EQ(run.err.rfind("usage: velumar-rules", 0), 0u) << args;
    }
}

} // namespace
