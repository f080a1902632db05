// The lexical layer: quoted values, field references, indicators,
// occurrences, subfield codes, written tokens and variable numbers.
#include "control_variables.h"
#include "rule_tools.h"

#include <gtest/gtest.h>

namespace rules {
namespace {

class RuleToolsTest : public ::testing::Test {
protected:
    RuleToolsTest() { tools.SetErrorPrefix(kConditionErrorPrefix); }

    RuleTools tools;
    std::string error;
    std::size_t cursor = 1;
};

TEST_F(RuleToolsTest, FormatsErrorsWithPrefixLineAndMessage) {
    EXPECT_EQ(tools.FormatParseError("marc is \"24\"", "invalid field length."),
              "Could not parse condition: 'marc is \"24\"' - invalid field length.");
    tools.SetErrorPrefix(kConsequenceErrorPrefix);
    EXPECT_EQ(tools.FormatParseError("x", "m"), "Could not parse consequence: 'x' - m");
}

// Quoted strings

TEST_F(RuleToolsTest, QuotedStringSkipsWhatComesBeforeTheQuote) {
    const std::string line = "subfield \"abc\" rest";
    EXPECT_EQ(tools.ParseQuotedString(line, cursor, error), "abc");
    EXPECT_EQ(cursor, 15u); // the blank after the closing quote
    EXPECT_TRUE(error.empty());
}

TEST_F(RuleToolsTest, NoQuoteGivesEmptyWithoutErrorAndKeepsTheCursor) {
    cursor = 3;
    EXPECT_EQ(tools.ParseQuotedString("no quotes", cursor, error), "");
    EXPECT_EQ(cursor, 3u);
    EXPECT_TRUE(error.empty());
}

TEST_F(RuleToolsTest, UnclosedQuoteIsAnError) {
    EXPECT_EQ(tools.ParseQuotedString("equals \"abc", cursor, error), "");
    EXPECT_EQ(error, "Could not parse condition: 'equals \"abc' - unclosed quotation marks.");
}

TEST_F(RuleToolsTest, EmptyQuotedStringMovesPastBothQuotes) {
    EXPECT_EQ(tools.ParseQuotedString("\"\"x", cursor, error), "");
    EXPECT_EQ(cursor, 3u);
    EXPECT_TRUE(error.empty());
}

// Field references and tags

TEST_F(RuleToolsTest, LeaderMayBeWrittenWithoutQuotes) {
    cursor = 6;
    EXPECT_EQ(tools.ParseFieldRef("marc.ldr equals", cursor, error), "ldr");
    EXPECT_EQ(cursor, 9u);
}

TEST_F(RuleToolsTest, EmptyQuotedTagIsFieldNotFound) {
    EXPECT_EQ(tools.ParseFieldRef("\"\"", cursor, error), "");
    EXPECT_EQ(error, "Could not parse condition: '\"\"' - field not found.");
}

TEST_F(RuleToolsTest, MissingTagIsFieldNotFound) {
    tools.ParseFieldRef("marc.", cursor, error);
    EXPECT_EQ(error, "Could not parse condition: 'marc.' - field not found.");
}

TEST_F(RuleToolsTest, FieldRefKeepsShortTagsAndFieldTagRefusesThem) {
    EXPECT_EQ(tools.ParseFieldRef("\"24\"x", cursor, error), "24");
    EXPECT_EQ(cursor, 5u);
    cursor = 1;
    EXPECT_EQ(tools.ParseFieldTag("\"24\"x", cursor, error), "");
    EXPECT_EQ(error, "Could not parse condition: '\"24\"x' - invalid field length.");
}

TEST_F(RuleToolsTest, FieldTagOfFourCharactersIsRefused) {
    EXPECT_EQ(tools.ParseFieldTag("\"2450\"", cursor, error), "");
    EXPECT_NE(error.find("invalid field length."), std::string::npos);
}

// Indicators

TEST_F(RuleToolsTest, IndicatorsAreReadFromTheWrittenForm) {
    std::string i1 = "#", i2 = "#";
    const std::string line = "(\"1\",\" \")x";
    tools.ParseIndicators(line, cursor, error, i1, i2);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(i1, "1");
    EXPECT_EQ(i2, " "); // a blank stays a blank
    EXPECT_EQ(cursor, 10u);
}

TEST_F(RuleToolsTest, NoParenthesisLeavesIndicatorsAlone) {
    std::string i1 = "4", i2 = "5";
    tools.ParseIndicators("[\"0\"]", cursor, error, i1, i2);
    EXPECT_EQ(i1, "4");
    EXPECT_EQ(i2, "5");
    EXPECT_EQ(cursor, 1u);
    EXPECT_TRUE(error.empty());
}

TEST_F(RuleToolsTest, UnclosedOrMisSizedIndicatorsAreInvalid) {
    for (const std::string line : {"(\"1\",\"2\"", "()", "(\"1\")", "(\"10\",\"20\")", "(1,2)"}) {
        std::string i1 = "#", i2 = "#";
        std::string err;
        std::size_t at = 1;
        tools.ParseIndicators(line, at, err, i1, i2);
        EXPECT_EQ(err, "Could not parse condition: '" + line + "' - invalid indicators.") << line;
    }
}

TEST_F(RuleToolsTest, IndicatorsAreTheSecondAndSixthCharactersWhateverSurroundsThem) {
    std::string i1, i2;
    tools.ParseIndicators("(\"1\",\"2)", cursor, error, i1, i2); // inner of 6
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(i1, "1");
    EXPECT_EQ(i2, "2");
    cursor = 1;
    tools.ParseIndicators("(\"1\",\")", cursor, error, i1, i2); // inner of 5: no sixth
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(i2, "#");
}

// Occurrences

struct OccurrenceCase {
    const char* text;
    std::int32_t expected;
    const char* message;
};

TEST_F(RuleToolsTest, OccurrencesAndTheirMessages) {
    const OccurrenceCase cases[] = {
        {"[\"0\"]", 0, nullptr},
        {"[0]", 0, nullptr},
        {"[\"9\"]", 9, nullptr},
        {"[\"12\"]", 99, nullptr},
        {"[99999999999999999999]", 99, nullptr},
        {"[\"x\"]", -1, "invalid occurrence (not a number)."},
        {"[x]", -1, "invalid occurrence (not a number)."},
        {"[]", -1, "invalid occurrence."},
        {"[\"\"]", -1, "invalid occurrence."},
        {"[\"3\"", -1, "unclosed brackets."},
        {"[\"3]", -1, "unclosed quotation marks."},
    };
    for (const auto& c : cases) {
        std::string err;
        std::size_t at = 1;
        std::int32_t occurrence = -1;
        const bool read = tools.ParseOccurrence(c.text, at, err, occurrence);
        if (c.message) {
            EXPECT_FALSE(read) << c.text;
            EXPECT_EQ(err,
                      std::string("Could not parse condition: '") + c.text + "' - " + c.message)
                << c.text;
        } else {
            EXPECT_TRUE(read) << c.text;
            EXPECT_TRUE(err.empty()) << c.text;
            EXPECT_EQ(occurrence, c.expected) << c.text;
            EXPECT_EQ(at, std::string_view(c.text).size() + 1) << c.text;
        }
    }
}

TEST_F(RuleToolsTest, NoBracketReadsNoOccurrence) {
    std::int32_t occurrence = 5;
    EXPECT_FALSE(tools.ParseOccurrence(".\"a\"", cursor, error, occurrence));
    EXPECT_EQ(occurrence, 5);
    EXPECT_EQ(cursor, 1u);
}

// Subfields and order keywords

TEST_F(RuleToolsTest, SubfieldCodesAndTheirOccurrence) {
    std::string codes;
    std::int32_t occurrence = -1;
    tools.ParseSubfield(".\"ab\"[\"99\"] x", cursor, error, codes, occurrence);
    EXPECT_EQ(codes, "ab");
    EXPECT_EQ(occurrence, 99);
    EXPECT_EQ(cursor, 12u); // the blank after "]"
}

TEST_F(RuleToolsTest, EmptySubfieldReadsNoOccurrence) {
    std::string codes = "keep";
    std::int32_t occurrence = -1;
    tools.ParseSubfield(".\"\"[\"1\"]", cursor, error, codes, occurrence);
    EXPECT_EQ(codes, "keep");
    EXPECT_EQ(occurrence, -1);
}

TEST_F(RuleToolsTest, OrderKeywordIsTheWordBeforeTheQuote) {
    const std::string line = "\"x\" after \"b\"";
    cursor = 4;
    EXPECT_EQ(tools.ParseSubfieldOrderKeyword(line, cursor, error), "after");
    EXPECT_EQ(cursor, 11u); // on the quote
    cursor = 4;
    EXPECT_EQ(tools.ParseSubfieldOrderKeyword("\"x\" after", cursor, error), "");
    EXPECT_EQ(error, "Could not parse condition: '\"x\" after' - No subfield order keyword found.");
}

// Control fields

TEST_F(RuleToolsTest, ControlFieldsAreTheLeaderAndZeroZeroXButTwo) {
    for (const char* tag : {"ldr", "001", "003", "004", "005", "006", "007", "008"})
        EXPECT_TRUE(RuleTools::IsControlField(tag)) << tag;
    for (const char* tag : {"LDR", "002", "009", "010", "", "00"})
        EXPECT_FALSE(RuleTools::IsControlField(tag)) << tag;
}

TEST(RuleToolsControlVariables, NamesAreFoundInAnyCaseForTheirOwnFieldOnly) {
    const auto* language = FindControlVariable("008", "language");
    ASSERT_NE(language, nullptr);
    EXPECT_EQ(language->name, "Language");
    EXPECT_EQ(language->start, 35);
    EXPECT_EQ(language->end, 38);
    EXPECT_EQ(FindControlVariable("007", "Date1"), nullptr);
    EXPECT_EQ(FindControlVariable("008", "MaterialType"), nullptr);
    const auto* material = FindControlVariable("LDR", "MATERIALTYPE");
    ASSERT_NE(material, nullptr);
    EXPECT_EQ(material->start, 6);
    EXPECT_EQ(material->end, 8);
    // Names that share a range.
    EXPECT_EQ(FindControlVariable("008", "TypeOfDate")->start,
              FindControlVariable("008", "PublicationStatus")->start);
    EXPECT_EQ(FindControlVariable("008", "Production")->end,
              FindControlVariable("008", "Execution")->end);
}

// Written indicators and occurrences

TEST(RuleToolsIndicatorWriting, ConditionStyleWritesNothingWhenBothAreUnset) {
    std::string text;
    RuleTools::AppendConditionIndicators(text, "#", "#", true);
    RuleTools::AppendConditionIndicators(text, "", "#", true);
    EXPECT_EQ(text, "");
}

TEST(RuleToolsIndicatorWriting, ConditionStyleWritesHashOrBlankForTheUnsetOne) {
    std::string text;
    RuleTools::AppendConditionIndicators(text, "1", "#", true);
    EXPECT_EQ(text, "(\"1\",\"#\")");
    text.clear();
    RuleTools::AppendConditionIndicators(text, "1", "", true);
    EXPECT_EQ(text, "(\"1\",\"#\")");
    text.clear();
    RuleTools::AppendConditionIndicators(text, "", "2", false);
    EXPECT_EQ(text, "(\" \",\"2\")");
}

TEST(RuleToolsIndicatorWriting, ConsequenceStyleAlwaysWritesWithBlanksForUnset) {
    std::string text;
    RuleTools::AppendConsequenceIndicators(text, "#", "");
    EXPECT_EQ(text, "(\" \",\" \")");
    text.clear();
    RuleTools::AppendConsequenceIndicators(text, "0", "#");
    EXPECT_EQ(text, "(\"0\",\" \")");
}

TEST(RuleToolsIndicatorWriting, SetMeansNeitherEmptyNorHash) {
    EXPECT_TRUE(RuleTools::IsIndicatorSet(" "));
    EXPECT_FALSE(RuleTools::IsIndicatorSet("#"));
    EXPECT_FALSE(RuleTools::IsIndicatorSet(""));
    EXPECT_TRUE(RuleTools::IndicatorsSpecified("#", "0"));
    EXPECT_EQ(RuleTools::BlankToHash(""), "#");
    EXPECT_EQ(RuleTools::BlankToHash(" "), " ");
}

TEST(RuleToolsOccurrenceWriting, NoneWritesNothingAndZeroIsWritten) {
    std::string text;
    RuleTools::AppendOccurrence(text, -1);
    EXPECT_EQ(text, "");
    RuleTools::AppendOccurrence(text, 0);
    EXPECT_EQ(text, "[\"0\"]");
    RuleTools::AppendOccurrence(text, 99);
    EXPECT_EQ(text, "[\"0\"][\"99\"]");
}

// Variable numbers

TEST(RuleToolsVariableNumbers, MessagesCarryNoPrefixAndNoFullStop) {
    std::string error;
    EXPECT_EQ(RuleTools::ParseVariableNumber("", error), 0);
    EXPECT_EQ(error, "variable improperly defined");
    error.clear();
    EXPECT_EQ(RuleTools::ParseVariableNumber("x1", error), 0);
    EXPECT_EQ(error, "variable improperly defined (not numeric)");
    error.clear();
    EXPECT_EQ(RuleTools::ParseVariableNumberText("x", error), "");
    EXPECT_EQ(error, "variable improperly defined (not numeric)");
    error.clear();
    EXPECT_EQ(RuleTools::ParseVariableNumber("99999999999", error), 0);
    EXPECT_EQ(error, "variable improperly defined (not numeric)");
    error.clear();
    EXPECT_EQ(RuleTools::ParseVariableNumber("42", error), 42);
    EXPECT_EQ(RuleTools::ParseVariableNumberText("7", error), "7");
    EXPECT_TRUE(error.empty());
}

} // namespace
} // namespace rules
