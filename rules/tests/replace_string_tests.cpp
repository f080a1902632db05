// The Replace String group: three lines read as one consequence, and the
// checks that tie them together.
#include "rule_consequence.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace rules {
namespace {

namespace qk = consequence_kind;

struct Read {
    RuleConsequence consequence;
    std::size_t cursor = 0;
};

Read ParseGroup(const std::vector<std::string>& lines) {
    Read read;
    read.consequence.ParseLines(lines, read.cursor, 2);
    return read;
}

std::string Error(std::string_view quoted, std::string_view message) {
    return "Could not parse consequence: '" + std::string(quoted) + "' - " + std::string(message);
}

const std::string kSet = "set TEMP\"1\" to MARC.\"245\".\"a\"";
const std::string kBack = "set MARC.\"245\".\"a\" to TEMP\"1\"";

TEST(ReplaceGroup, ByStringReadsAllThreeLines) {
    const auto read = ParseGroup(
        {kSet, "replace string by string (TEMP\"1\",\"\\\\\\\\QA.b\",\"C d\")", kBack, "EXCLUDE"});
    const RuleConsequence& c = read.consequence;
    EXPECT_FALSE(c.HasError()) << c.ErrorText;
    EXPECT_EQ(read.cursor, 3u);
    EXPECT_EQ(c.Kind, qk::ReplaceWithString);
    EXPECT_EQ(c.VariableNumber, 1);
    EXPECT_EQ(c.Field, "245");
    EXPECT_EQ(c.Subfield, "a");
    EXPECT_EQ(c.SearchString, "A.b"); // case kept, prefix removed
    EXPECT_FALSE(c.IsPattern);
    EXPECT_EQ(c.ReplaceString, "C d");
    EXPECT_EQ(c.Lines.size(), 3u);
    EXPECT_EQ(c.DisplayText, "replace string by string (MARC.\"245\".\"a\"\", \"A.b\", \"C d\")");

    RuleConsequence rendered = c.Clone();
    ASSERT_TRUE(rendered.Render());
    EXPECT_EQ(rendered.Lines,
              (std::vector<std::string>{
                  kSet, "replace string by string (TEMP\"1\",\"\\\\\\\\QA.b\",\"C d\")", kBack}));
}

TEST(ReplaceGroup, SearchStringWithoutThePrefixIsAPattern) {
    const auto read =
        ParseGroup({kSet, "replace string by string (TEMP\"1\",\"^a+\",\"b\")", kBack});
    EXPECT_FALSE(read.consequence.HasError()) << read.consequence.ErrorText;
    EXPECT_TRUE(read.consequence.IsPattern);
    EXPECT_EQ(read.consequence.SearchString, "^a+");
    RuleConsequence rendered = read.consequence.Clone();
    rendered.Render();
    EXPECT_EQ(rendered.Lines[1], "replace string by string (TEMP\"1\",\"^a+\",\"b\")");
}

TEST(ReplaceGroup, ByPositionOnAControlField) {
    const auto read = ParseGroup({"set TEMP\"7\" to MARC.control.\"008\"",
                                  "replace string by position (TEMP\"7\",\"eng\",\"35\")",
                                  "set MARC.control.\"008\" to TEMP\"7\""});
    const RuleConsequence& c = read.consequence;
    EXPECT_FALSE(c.HasError()) << c.ErrorText;
    EXPECT_EQ(c.Kind, qk::ReplaceAtPosition);
    EXPECT_EQ(c.ControlField, "008");
    EXPECT_EQ(c.SearchString, "eng");
    EXPECT_EQ(c.Position, 35);
    EXPECT_EQ(c.DisplayText,
              "replace string by position (MARC.control.\"008\"\", \"eng\", \"35\")");
    RuleConsequence rendered = c.Clone();
    rendered.Render();
    EXPECT_EQ(rendered.Lines,
              (std::vector<std::string>{"set TEMP\"7\" to MARC.control.\"008\"",
                                        "replace string by position (TEMP\"7\",\"eng\",\"35\")",
                                        "set MARC.control.\"008\" to TEMP\"7\""}));
}

// The five ways a group fails to hang together.

TEST(ReplaceGroupMismatch, TooFewLines) {
    const auto read = ParseGroup({kSet, "replace string by string (TEMP\"1\",\"a\",\"b\")"});
    EXPECT_EQ(read.consequence.ErrorText,
              Error("set temp\"1\" to marc.\"245\".\"a\"", "invalid Replace String By definition"));
    EXPECT_EQ(read.cursor, 1u);
}

TEST(ReplaceGroupMismatch, SecondLineIsNotAReplaceLine) {
    const auto read = ParseGroup({kSet, "EXCLUDE", kBack});
    EXPECT_EQ(read.consequence.ErrorText, Error("exclude", "not a 'replace by' consequence"));
    EXPECT_EQ(read.cursor, 1u); // the other line is read on its own
}

TEST(ReplaceGroupMismatch, SecondLineNamesAnotherVariable) {
    const auto read = ParseGroup({kSet, "replace string by string (TEMP\"2\",\"a\",\"b\")", kBack});
    EXPECT_EQ(read.consequence.ErrorText,
              Error("replace string by string (temp\"2\",\"a\",\"b\")",
                    "variable in 'replace by' does not match preceding variable definition"));
    EXPECT_EQ(read.cursor, 2u);
}

TEST(ReplaceGroupMismatch, ThirdLineWritesAnotherField) {
    const auto read = ParseGroup({kSet, "replace string by string (TEMP\"1\",\"a\",\"b\")",
                                  "set MARC.\"245\".\"b\" to TEMP\"1\""});
    EXPECT_EQ(read.consequence.ErrorText,
              Error("set marc.\"245\".\"b\" to temp\"1\"",
                    "MARC field defintion following 'replace by' does not match preceding field "
                    "definition"));
    EXPECT_EQ(read.cursor, 3u);
}

TEST(ReplaceGroupMismatch, ThirdLineWritesAnotherVariable) {
    const auto read = ParseGroup({kSet, "replace string by string (TEMP\"1\",\"a\",\"b\")",
                                  "set MARC.\"245\".\"a\" to TEMP\"5\""});
    EXPECT_EQ(read.consequence.ErrorText,
              Error("set marc.\"245\".\"a\" to temp\"5\"",
                    "variable following 'replace by' does not match preceding variable "
                    "definition"));
}

TEST(ReplaceGroup, ReplaceLineOnItsOwn) {
    const auto read = ParseGroup({"replace string by string (TEMP\"1\",\"a\",\"b\")"});
    EXPECT_EQ(read.consequence.ErrorText,
              Error("replace string by string (temp\"1\",\"a\",\"b\")",
                    "'replace string by' must be preceeded by a valid variable definition."));
    EXPECT_EQ(read.cursor, 1u);
}

TEST(ReplaceGroup, LineErrors) {
    const struct {
        std::vector<std::string> lines;
        std::string expected;
    } cases[] = {
        {{"set TEMP\"\" to MARC.\"245\".\"a\"", "x", "y"}, "variable improperly defined"},
        {{"set TEMP\"1\" as MARC.\"245\".\"a\"", "x", "y"},
         Error("set temp\"1\" as marc.\"245\".\"a\"", "variable improperly defined (no 'to')")},
        {{"set TEMP\"1\" to \"245\"", "x", "y"},
         Error("set temp\"1\" to \"245\"",
               "variable not set to MARC control field or MARC subfield")},
        {{"set TEMP\"1\" to MARC.\"245\"", "x", "y"},
         Error("set temp\"1\" to marc.\"245\"", "subfield is required")},
        {{"set TEMP\"1\" to MARC.\"245\".\"ab\"", "x", "y"},
         Error("set temp\"1\" to marc.\"245\".\"ab\"", "single subfield is required")},
        {{"set TEMP\"1\" to MARC.control.\"010\"", "x", "y"},
         Error("set temp\"1\" to marc.control.\"010\"", "invalid control field")},
        {{kSet, "replace string by string TEMP\"1\",\"a\",\"b\"", kBack},
         Error("replace string by string temp\"1\",\"a\",\"b\"", "invalid variable definition")},
        {{kSet, "replace string by string (TEMP\"1\",\"\",\"b\")", kBack},
         Error("replace string by string (temp\"1\",\"\",\"b\")", "missing string value")},
        {{kSet, "replace string by position (TEMP\"1\",\"a\",\"\")", kBack},
         Error("replace string by position (temp\"1\",\"a\",\"\")", "missing position value")},
        {{kSet, "replace string by position (TEMP\"1\",\"a\",\"x\")", kBack},
         Error("replace string by position (temp\"1\",\"a\",\"x\")",
               "position value is not a number")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseGroup(c.lines).consequence.ErrorText, c.expected) << c.lines.front();
}

} // namespace
} // namespace rules
