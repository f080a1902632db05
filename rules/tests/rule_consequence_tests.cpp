// Consequence lines: each form's parse, messages and written lines.
#include "rule_component.h"
#include "rule_consequence.h"

#include <gtest/gtest.h>
#include <vector>

namespace rules {
namespace {

namespace qk = consequence_kind;

RuleConsequence Parse(std::string_view line, std::int32_t index = 1) {
    RuleConsequence consequence;
    const std::vector<std::string_view> lines{line};
    std::size_t cursor = 0;
    consequence.ParseLines(lines, cursor, index);
    EXPECT_EQ(cursor, 1u);
    return consequence;
}

// The line parsed, then written again from its fields: its one line.
std::string Rendered(std::string_view line) {
    RuleConsequence consequence = Parse(line);
    EXPECT_FALSE(consequence.HasError()) << line << ": " << consequence.ErrorText;
    EXPECT_TRUE(consequence.Render());
    EXPECT_EQ(consequence.Lines.size(), 1u);
    return consequence.Lines.empty() ? std::string() : consequence.Lines.front();
}

std::string Error(std::string_view quoted, std::string_view message) {
    return "Could not parse consequence: '" + std::string(quoted) + "' - " + std::string(message);
}

TEST(ConsequenceParseLines, KeepsTheLineTextIndexAndDisplayText) {
    const RuleConsequence c = Parse("remove MARC.\"245\"", 4);
    EXPECT_EQ(c.Text, "remove MARC.\"245\"");
    EXPECT_EQ(c.Lines, std::vector<std::string>{"remove MARC.\"245\""});
    EXPECT_EQ(c.Key(), "4");
    EXPECT_EQ(c.DisplayText, "remove MARC.\"245\"");
}

TEST(ConsequenceParseLines, UnknownPhrase) {
    EXPECT_EQ(Parse("Rewrite MARC.\"245\"").ErrorText,
              Error("rewrite marc.\"245\"", "unknown consequence phrase."));
}

// Remove: kinds 1 and 2

TEST(ConsequenceRemove, ControlField) {
    const RuleConsequence c = Parse("remove MARC.control.\"005\"");
    EXPECT_EQ(c.Kind, qk::RemoveControlField);
    EXPECT_EQ(c.ControlField, "005");
    EXPECT_EQ(Rendered("REMOVE marc.control.\"ldr\""), "remove MARC.control.\"LDR\"");
    EXPECT_EQ(Parse("remove MARC.control.\"245\"").ErrorText,
              Error("remove marc.control.\"245\"", "invalid control field"));
}

TEST(ConsequenceRemove, FieldOrSubfieldWritesNeitherIndicatorsNorOccurrences) {
    const RuleConsequence c = Parse("remove MARC.\"245\"(\"1\",\"2\")[\"0\"].\"a\"[\"1\"]");
    EXPECT_EQ(c.Kind, qk::RemoveField);
    EXPECT_EQ(c.Field, "245");
    EXPECT_EQ(c.Indicator1, "1");
    EXPECT_EQ(c.FieldOccurrence, 0);
    EXPECT_EQ(c.Subfield, "a");
    EXPECT_EQ(c.SubfieldOccurrence, 1);
    EXPECT_FALSE(c.SubfieldKeyword);
    EXPECT_EQ(Rendered(c.Text), "remove MARC.\"245\" subfield \"a\"");
    const RuleConsequence keyword = Parse("remove MARC.\"245\" subfield \"b\"");
    EXPECT_TRUE(keyword.SubfieldKeyword);
    EXPECT_EQ(keyword.Subfield, "b");
    EXPECT_EQ(Rendered("remove MARC.\"650\""), "remove MARC.\"650\"");
}

// Set subfield to value: kind 3

TEST(ConsequenceSetSubfield, EmptyValueLeavesTheValuePartEmpty) {
    // Value empty, no variable, no expression: the value part is the
    // (empty) expression.
    const RuleConsequence c = Parse("set MARC.\"245\".\"a\" to \"\"");
    EXPECT_FALSE(c.HasError()) << c.ErrorText;
    EXPECT_EQ(c.Value, "");
    EXPECT_EQ(Rendered(c.Text), "set MARC.\"245\".\"a\" to ");
}

TEST(ConsequenceSetSubfield, ValueKeepsItsCase) {
    const RuleConsequence c = Parse("set MARC.\"245\".\"a\" to \"New Title\"");
    EXPECT_EQ(c.Kind, qk::SetSubfield);
    EXPECT_EQ(c.Field, "245");
    EXPECT_EQ(c.Subfield, "a");
    EXPECT_EQ(c.Value, "New Title");
    EXPECT_EQ(Rendered(c.Text), c.Text);
}

TEST(ConsequenceSetSubfield, Errors) {
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"set MARC.\"abc\".\"a\" to \"x\"", "invalid field"},
        {"set MARC.\"245\" to \"x\"", "subfield is required"},
        {"set MARC.\"245\".\"ab\" to \"x\"", "single subfield is required"},
        {"set MARC.\"245\".\"a\" = \"x\"", "no 'to' in consequence"},
        {"set MARC.\"245\".\"a\" to MARC.\"100\".\"a\"",
         "set MARC component to MARC expression is not currently supported."},
        {"set MARC.\"245\".\"a\" to TEMP\"1\"",
         "set MARC component to variable is currently only supported as part of a 'replace "
         "string by' operation."},
        {"set MARC.\"245\".\"a\" to nothing", "value or variable or MARC expression is required"},
        {"set MARC.control.\"002\".\"a\" to \"x\"", "invalid control field"},
    };
    for (const auto& c : cases) {
        std::string lower = c.line;
        for (char& ch : lower)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(Parse(c.line).ErrorText, Error(lower, c.message)) << c.line;
    }
}

TEST(ConsequenceSetSubfield, VariableInsideAGroupIsAccepted) {
    const RuleConsequence c = Parse("set MARC.\"245\".\"a\" to TEMP\"3\"", 0);
    EXPECT_FALSE(c.HasError()) << c.ErrorText;
    EXPECT_EQ(c.VariableNumber, 3);
    EXPECT_EQ(Parse("set MARC.\"245\".\"a\" to TEMP\"x\"", 0).ErrorText,
              "variable improperly defined (not numeric)");
}

// Change MARC: kind 9

TEST(ConsequenceChangeMarc, FieldIsWrittenWithTwoBlanksBeforeTo) {
    const RuleConsequence c = Parse("Set MARC field \"245\"  to \"246\"");
    EXPECT_EQ(c.Kind, qk::ChangeMarc);
    EXPECT_EQ(c.Field, "245");
    EXPECT_EQ(c.TargetField, "246");
    EXPECT_EQ(c.IndicatorNumber, 0);
    EXPECT_EQ(Rendered(c.Text), "Set MARC field \"245\"  to \"246\"");
    const RuleConsequence again = Parse(Rendered(c.Text));
    EXPECT_EQ(again.Field, "245");
    EXPECT_EQ(again.TargetField, "246");
}

TEST(ConsequenceChangeMarc, SubfieldAndIndicator) {
    const RuleConsequence sub = Parse("Set MARC subfield \"245\" \"a\" to \"b\"");
    EXPECT_EQ(sub.Subfield, "a");
    EXPECT_EQ(sub.TargetSubfield, "b");
    EXPECT_EQ(Rendered(sub.Text), sub.Text);

    const RuleConsequence ind = Parse("Set MARC indicator \"245\" \"2\" to \"4\"");
    EXPECT_EQ(ind.IndicatorNumber, 2);
    EXPECT_EQ(ind.Indicator1, "4");
    EXPECT_EQ(Rendered(ind.Text), ind.Text);

    RuleConsequence blank = ind.Clone();
    blank.Indicator1 = "";
    blank.Render();
    EXPECT_EQ(blank.Lines.front(), "Set MARC indicator \"245\" \"2\" to \" \"");
}

TEST(ConsequenceChangeMarc, Errors) {
    EXPECT_EQ(Parse("Set MARC tag \"245\" to \"246\"").ErrorText,
              Error("set marc tag \"245\" to \"246\"", "invalid indication of component to set"));
    EXPECT_EQ(Parse("Set MARC subfield \"245\" \"ab\" to \"c\"").ErrorText,
              Error("set marc subfield \"245\" \"ab\" to \"c\"", "invalid subfield length"));
    EXPECT_EQ(Parse("Set MARC indicator \"245\" \"x\" to \"4\"").ErrorText,
              Error("set marc indicator \"245\" \"x\" to \"4\"", "invalid indicator pointer"));
    EXPECT_EQ(Parse("Set MARC field \"245\" as \"246\"").ErrorText,
              Error("set marc field \"245\" as \"246\"", "no 'to' in consequence"));
}

// Add control field (10), field (11), subfield (12)

TEST(ConsequenceAddControlField, ValueKeepsItsCase) {
    const RuleConsequence c = Parse("create MARC.control.\"001\" with \"ocm123ABC\"");
    EXPECT_EQ(c.Kind, qk::AddControlField);
    EXPECT_EQ(c.ControlField, "001");
    EXPECT_EQ(c.Value, "ocm123ABC");
    EXPECT_EQ(Rendered(c.Text), c.Text);
    EXPECT_EQ(Parse("create MARC.control.\"245\" with \"x\"").ErrorText,
              Error("create marc.control.\"245\" with \"x\"", "invalid control field."));
}

TEST(ConsequenceAddField, OccurrenceComesBeforeIndicatorsAndBlanksAreWritten) {
    const RuleConsequence c = Parse("create MARC.\"500\"[\"0\"](\"1\",\" \")");
    EXPECT_EQ(c.Kind, qk::AddField);
    EXPECT_EQ(c.FieldOccurrence, 0);
    EXPECT_EQ(c.Indicator1, "1");
    EXPECT_EQ(c.Indicator2, " ");
    EXPECT_EQ(Rendered(c.Text), c.Text);
    EXPECT_EQ(Rendered("create MARC.\"500\""), "create MARC.\"500\"(\" \",\" \")");
}

TEST(ConsequenceAddSubfield, ValueVariableAndExpression) {
    const RuleConsequence value = Parse("create MARC.\"500\".\"a\" with \"Some Note\"");
    EXPECT_EQ(value.Kind, qk::AddSubfield);
    EXPECT_EQ(value.Subfield, "a");
    EXPECT_EQ(value.Value, "Some Note");
    EXPECT_FALSE(value.SubfieldKeyword);
    EXPECT_EQ(Rendered(value.Text), value.Text);

    const RuleConsequence variable = Parse("create MARC.\"500\".\"a\" with TEMP\"2\"");
    EXPECT_EQ(variable.VariableNumber, 2);
    EXPECT_EQ(Rendered(variable.Text), variable.Text);

    const RuleConsequence expression =
        Parse("create MARC.\"500\".\"a\" with MARC.\"245\"(\"1\",\" \").\"a\"[\"0\"]");
    EXPECT_EQ(expression.Expression, "MARC.\"245\"(\"1\",\" \").\"a\"[\"0\"]");
    EXPECT_EQ(Rendered(expression.Text), expression.Text);
}

TEST(ConsequenceAddSubfield, ValueIsReadSixCharactersAfterTheSubfield) {
    // The six characters after the subfield are the word " with " and are
    // not read.
    const RuleConsequence c = Parse("create MARC.\"500\".\"a\" uses \"Note\"");
    EXPECT_FALSE(c.HasError()) << c.ErrorText;
    EXPECT_EQ(c.Value, "Note");
    EXPECT_EQ(
        Parse("create MARC.\"500\".\"a\"").ErrorText,
        Error("create marc.\"500\".\"a\"", "value or variable or MARC expression is required"));
}

TEST(ConsequenceAddSubfield, SubfieldKeywordAndIndicators) {
    const RuleConsequence keyword = Parse("create MARC.\"500\" subfield \"a\" with \"x\"");
    EXPECT_EQ(keyword.Kind, qk::AddSubfield);
    EXPECT_TRUE(keyword.SubfieldKeyword);
    EXPECT_EQ(Rendered(keyword.Text), keyword.Text);

    const RuleConsequence indicators =
        Parse("create MARC.\"500\"(\"1\",\"#\") subfield \"a\" with \"x\"");
    EXPECT_FALSE(indicators.SubfieldKeyword); // indicators given
    EXPECT_EQ(Rendered(indicators.Text), "create MARC.\"500\"(\"1\",\"#\").\"a\" with \"x\"");
}

TEST(ConsequenceAddSubfield, ForNewFieldWritesTheSubfieldKeywordAndClearsTheFlag) {
    RuleConsequence c = Parse("create MARC.\"500\" subfield \"a\" with \"x\"");
    c.SetForNewField(true);
    EXPECT_FALSE(c.SubfieldKeyword);
    // assign and clear: GCC 12 misreports operator=(const char*) here at -O3.
    c.Indicator1.assign(1, '1');
    c.Indicator2.clear();
    c.Render();
    // Condition style: an empty indicator is a blank here, "#" stays "#".
    EXPECT_EQ(c.Lines.front(), "create MARC.\"500\"(\"1\",\" \") subfield \"a\" with \"x\"");
}

TEST(ConsequenceAddSubfield, Placement) {
    const RuleConsequence c = Parse("create MARC.\"500\".\"a\" with \"x\" before \"c\"[\"99\"]");
    EXPECT_FALSE(c.HasError()) << c.ErrorText;
    EXPECT_EQ(c.OrderKeyword, "before");
    EXPECT_EQ(c.OrderSubfield, "c");
    EXPECT_EQ(c.OrderOccurrenceIndex, 99);
    EXPECT_EQ(c.OrderOccurrence, "99");
    EXPECT_EQ(Rendered(c.Text), c.Text);
    EXPECT_EQ(Rendered("create MARC.\"500\".\"a\" with \"x\" after \"b\""),
              "create MARC.\"500\".\"a\" with \"x\" after \"b\"");
}

TEST(ConsequenceAddSubfield, Errors) {
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"create MARC.\"500\"[\"0\"].\"a\" with \"x\"",
         "field occurrences are not yet supported for 'Add MARC Subfield' rules."},
        {"create MARC.\"500\".\"ab\" with \"x\"", "single subfield is required."},
        {"create MARC.\"500\".\"\" with \"x\"", "subfield is required."},
        {"create MARC.\"500\".\"a\"[\"1\"] with \"x\"",
         "subfield occurrences are not yet supported for 'Add MARC Subfield' rules."},
        {"create MARC.\"500\".\"a\" with nothing",
         "value or variable or MARC expression is required"},
        {"create MARC.\"500\".\"a\" with TEMP\"\"", "required variable not found"},
        {"create MARC.\"500\".\"a\" with \"x", "invalid value."},
        {"create MARC.\"500\".\"a\" with \"x\" after", "No subfield order keyword found."},
    };
    for (const auto& c : cases) {
        std::string lower = c.line;
        for (char& ch : lower)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(Parse(c.line).ErrorText, Error(lower, c.message)) << c.line;
    }
    EXPECT_EQ(Parse("create MARC.\"500\".\"a\" with TEMP\"x\"").ErrorText,
              "variable improperly defined (not numeric)");
}

// Copy: kinds 4 and 5

TEST(ConsequenceCopy, IntoNewField) {
    const RuleConsequence c = Parse("copy MARC \"245\".\"a\" to new \"500\".\"b\"");
    EXPECT_EQ(c.Kind, qk::Copy);
    EXPECT_EQ(c.ToExisting, 0);
    EXPECT_EQ(c.Field, "245");
    EXPECT_EQ(c.Subfield, "a");
    EXPECT_EQ(c.TargetField, "500");
    EXPECT_EQ(c.TargetSubfield, "b");
    EXPECT_EQ(Rendered(c.Text), c.Text);
    EXPECT_EQ(Rendered("copy MARC \"245\" to new \"500\" all"),
              "copy MARC \"245\" to new \"500\" all");
    EXPECT_EQ(Rendered("copy MARC \"245\" to new \"500\""), "copy MARC \"245\" to new \"500\" all");
}

TEST(ConsequenceCopy, Errors) {
    EXPECT_EQ(
        Parse("copy MARC \"245\".\"ab\" to new \"500\"").ErrorText,
        Error("copy marc \"245\".\"ab\" to new \"500\"", "multiple subfields are not allowed."));
    EXPECT_EQ(Parse("copy MARC \"245\" into new \"500\"").ErrorText,
              Error("copy marc \"245\" into new \"500\"", "invalid copy MARC format."));
    EXPECT_EQ(Parse("copy MARC \"245\" to existing \"500\"").ErrorText,
              Error("copy marc \"245\" to existing \"500\"", "invalid target field."));
    // Outside a rule there is no target line to pair with.
    EXPECT_EQ(Parse("copy MARC \"245\" to existing \"500t\"").ErrorText,
              Error("copy marc \"245\" to existing \"500t\"",
                    "matching TARGET MARC condition not found."));
}

TEST(ConsequenceCopyDeprecated, FormsAndWrittenLines) {
    const RuleConsequence both = Parse("copy MARC \"245\".\"a\" to \"500\"(\"1\",\" \").\"b\"");
    EXPECT_EQ(both.Kind, qk::CopyDeprecated);
    EXPECT_EQ(both.TargetField, "500");
    EXPECT_EQ(both.TargetSubfield, "b");
    EXPECT_EQ(both.Indicator1, "1");
    EXPECT_EQ(Rendered(both.Text), both.Text);
    EXPECT_EQ(Rendered("copy MARC \"245\".\"a\" to field \"500\""),
              "copy MARC \"245\".\"a\" to field \"500\"");
    EXPECT_EQ(Rendered("copy MARC \"245\".\"a\" to subfield \"c\""),
              "copy MARC \"245\".\"a\" to subfield \"c\"");
    EXPECT_EQ(Rendered("copy MARC \"245\" to \"500\""), "copy MARC \"245\" to \"500\"");
    EXPECT_EQ(
        Parse("copy MARC \"245\".\"a\" to subfield \"cd\"").ErrorText,
        Error("copy marc \"245\".\"a\" to subfield \"cd\"", "multiple subfields are not allowed."));
    EXPECT_EQ(Parse("copy MARC \"245\" \"500\"").ErrorText,
              Error("copy marc \"245\" \"500\"", "invalid copy MARC format."));
}

// Scan action (7), disposition (13), owning library (18), export option (19)

TEST(ConsequenceScanAction, IncludeAndExclude) {
    EXPECT_EQ(Parse("exclude").ScanAction, 1);
    EXPECT_EQ(Parse("Include").ScanAction, 0);
    EXPECT_EQ(Rendered("exclude"), "EXCLUDE");
    EXPECT_EQ(Rendered("include "), "INCLUDE");
    EXPECT_EQ(Parse("include all").ErrorText, Error("include all", "invalid scan action."));
}

TEST(ConsequenceDisposition, EveryWordAndDeleteAllWithABlank) {
    const char* words[] = {"changed",     "delete",     "deleteall",     "suppress",
                           "suppressall", "unsuppress", "unsuppressall", "error"};
    for (int i = 0; i < 8; ++i) {
        const RuleConsequence c = Parse(words[i]);
        EXPECT_EQ(c.Kind, qk::RecordDisposition);
        EXPECT_EQ(c.Disposition, i) << words[i];
        std::string upper = words[i];
        for (char& ch : upper)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        EXPECT_EQ(Rendered(words[i]), upper);
    }
    EXPECT_EQ(Parse("delete all").ErrorText, Error("delete all", "invalid record disposition."));
}

TEST(ConsequenceOwningLibraryAndExport, WrittenForms) {
    const RuleConsequence owning = Parse("change owning library please");
    EXPECT_EQ(owning.Kind, qk::ChangeOwningLibrary);
    EXPECT_TRUE(owning.ChangeOwningLibrary);
    EXPECT_EQ(Rendered(owning.Text), "Change owning library");
    // With an export option on the same consequence the line only gains ", ".
    RuleConsequence both = owning.Clone();
    both.ExportOption = export_option::Set;
    both.Render();
    EXPECT_EQ(both.Lines.front(), "Change owning library, ");

    EXPECT_EQ(Parse("set ok to export").ExportOption, 2);
    EXPECT_EQ(Parse("Unset OK to Export").ExportOption, 1);
    EXPECT_EQ(Parse("change ok to export date").ExportOption, 3);
    EXPECT_EQ(Rendered("set ok"), "Set OK to Export");
    EXPECT_EQ(Rendered("unset ok"), "Unset OK to Export");
    EXPECT_EQ(Rendered("change ok"), "Change OK to Export Date");
}

TEST(ConsequenceRender, KeepsTheFirstLineAsParsedInText) {
    RuleConsequence c = Parse("set ok to export");
    ASSERT_TRUE(c.Render());
    EXPECT_EQ(c.Text, "set ok to export");
    EXPECT_EQ(c.Lines, std::vector<std::string>{"Set OK to Export"});
    EXPECT_EQ(c.DisplayText, "Set OK to Export");
}

TEST(ConsequenceComment, IsKeptAsItIs) {
    RuleConsequence c = Parse("# Keep This");
    EXPECT_EQ(c.Kind, qk::Comment);
    EXPECT_EQ(c.ErrorText, "This line is a comment.");
    EXPECT_FALSE(c.Render());
    EXPECT_EQ(c.Lines, std::vector<std::string>{"# Keep This"});
}

} // namespace
} // namespace rules
