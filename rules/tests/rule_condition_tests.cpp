// Condition lines: each form's parse, messages and written form.
#include "rule_condition.h"

#include <gtest/gtest.h>

namespace rules {
namespace {

namespace ck = condition_kind;

RuleCondition Parse(std::string_view line, std::string_view conjunction = {}) {
    RuleCondition condition;
    condition.ParseLine(line, 3, conjunction);
    return condition;
}

// The line parsed, then written again from its fields.
std::string Rendered(std::string_view line) {
    RuleCondition condition = Parse(line);
    EXPECT_FALSE(condition.HasError()) << line << ": " << condition.ErrorText;
    condition.Render();
    return condition.Text;
}

std::string Error(std::string_view quoted, std::string_view message) {
    return "Could not parse condition: '" + std::string(quoted) + "' - " + std::string(message);
}

TEST(NewRuleCondition, StartsAsKindOneEqualsWithUnsetReferences) {
    const RuleCondition condition;
    EXPECT_EQ(condition.Kind, 1);
    EXPECT_EQ(condition.Operator, 1);
    EXPECT_EQ(condition.Indicator1, "#");
    EXPECT_EQ(condition.Indicator2, "#");
    EXPECT_EQ(condition.FieldOccurrence, -1);
    EXPECT_EQ(condition.SubfieldOccurrence, -1);
    EXPECT_EQ(condition.ByteStart, -1);
    EXPECT_EQ(condition.ByteEnd, -1);
}

TEST(ConditionParseLine, SetsTextIndexAndConjunctionButNotForCommentsOrTargets) {
    const RuleCondition field = Parse("MARC is \"245\"", "AND");
    EXPECT_EQ(field.Text, "MARC is \"245\"");
    EXPECT_EQ(field.LineIndex, 3);
    EXPECT_EQ(field.Key(), "3");
    EXPECT_EQ(field.Conjunction, "AND");
    EXPECT_EQ(Parse("# note", "AND").Conjunction, "");
    EXPECT_EQ(Parse("TARGET MARC is \"500\"", "AND").Conjunction, "");
}

TEST(ConditionParseLine, UnknownPhraseQuotesTheLowerCasedLine) {
    const RuleCondition condition = Parse("Record Is \"x\"");
    EXPECT_EQ(condition.ErrorText, Error("record is \"x\"", "unknown conditional phrase."));
    EXPECT_TRUE(condition.IsIgnorable());
}

// Field exists: kinds 1, 2, 3

TEST(ConditionFieldExists, FullTagWithIndicatorsOccurrencesAndSubfield) {
    const RuleCondition c = Parse("MARC is \"650\"(\"#\",\"0\")[\"99\"].\"a\"[\"0\"]");
    EXPECT_EQ(c.Kind, ck::FieldExists);
    EXPECT_EQ(c.Field, "650");
    EXPECT_EQ(c.Indicator1, "#");
    EXPECT_EQ(c.Indicator2, "0");
    EXPECT_EQ(c.FieldOccurrence, 99);
    EXPECT_EQ(c.Subfields, "a");
    EXPECT_EQ(c.SubfieldOccurrence, 0);
    EXPECT_TRUE(c.IsFieldCondition);
    EXPECT_FALSE(c.HasError());
    EXPECT_EQ(Rendered(c.Text), "MARC is \"650\"(\"#\",\"0\")[\"99\"].\"a\"[\"0\"]");
}

TEST(ConditionFieldExists, NnxAndNxxForms) {
    const RuleCondition nnx = Parse("MARC is \"24\"x");
    EXPECT_EQ(nnx.Kind, ck::FieldNnxExists);
    EXPECT_EQ(nnx.Field, "24");
    EXPECT_EQ(Rendered("MARC is \"24\"x"), "MARC is \"24\"X");
    const RuleCondition nxx = Parse("MARC IS \"6\"XX");
    EXPECT_EQ(nxx.Kind, ck::FieldNxxExists);
    EXPECT_EQ(nxx.Field, "6");
    EXPECT_EQ(Rendered("MARC is \"6\"xx"), "MARC is \"6\"XX");
}

TEST(ConditionFieldExists, ShortTagWithoutItsXIsInvalidFieldLength) {
    EXPECT_EQ(Parse("MARC is \"24\"").ErrorText, Error("marc is \"24\"", "invalid field length."));
    EXPECT_EQ(Parse("MARC is \"6\"x").ErrorText, Error("marc is \"6\"x", "invalid field length."));
    EXPECT_EQ(Parse("MARC is \"2450\"").ErrorText,
              Error("marc is \"2450\"", "invalid field length."));
    EXPECT_EQ(Parse("MARC is \"\"").ErrorText, Error("marc is \"\"", "field not found."));
}

TEST(ConditionFieldExists, IndicatorsKeepTheirCaseAndQuoteTheLineAsWritten) {
    EXPECT_EQ(Parse("MARC is \"245\"(\"A\",\"#\")").Indicator1, "A");
    EXPECT_EQ(Parse("MARC is \"245\"(\"1\",\"2\"").ErrorText,
              Error("MARC is \"245\"(\"1\",\"2\"", "invalid indicators."));
}

TEST(ConditionFieldExists, OccurrenceErrors) {
    EXPECT_EQ(Parse("MARC is \"245\"[x]").ErrorText,
              Error("marc is \"245\"[x]", "invalid occurrence (not a number)."));
    EXPECT_EQ(Parse("MARC is \"245\"[\"1\"").ErrorText,
              Error("marc is \"245\"[\"1\"", "unclosed brackets."));
    EXPECT_EQ(Parse("MARC is \"245\"[\"12\"]").FieldOccurrence, 99);
}

TEST(ConditionFieldExists, ConditionIndicatorsWriteHashForTheUnsetOne) {
    RuleCondition c = Parse("MARC is \"245\"");
    // assign(count, char): GCC 12 misreports operator=(const char*) here at -O3.
    c.Indicator2.assign(1, '4');
    c.Render();
    EXPECT_EQ(c.Text, "MARC is \"245\"(\"#\",\"4\")");
    c.Indicator2.assign(1, '#');
    c.Render();
    EXPECT_EQ(c.Text, "MARC is \"245\"");
}

// Control field exists: kind 4

TEST(ConditionControlFieldExists, WithAndWithoutVariable) {
    const RuleCondition c = Parse("MARC.control is \"008\".language");
    EXPECT_EQ(c.Kind, ck::ControlFieldExists);
    EXPECT_EQ(c.ControlField, "008");
    EXPECT_EQ(c.ControlVariable, "Language");
    EXPECT_EQ(Rendered(c.Text), "MARC.control is \"008\".Language");
    EXPECT_EQ(Parse("MARC.control is \"ldr\"").ControlField, "LDR");
    EXPECT_FALSE(Parse("MARC.control is \"ldr\"").IsFieldCondition);
}

TEST(ConditionControlFieldExists, RefusesOtherFieldsAndForeignVariables) {
    EXPECT_EQ(Parse("MARC.control is \"245\"").ErrorText,
              Error("marc.control is \"245\"", "invalid control field."));
    EXPECT_EQ(Parse("MARC.control is \"007\".Date1").ErrorText,
              Error("marc.control is \"007\".date1", "invalid control variable."));
}

// Has any (5) and exists and does not have (20)

TEST(ConditionHasAny, ReadsFieldReferenceAndCodeList) {
    const RuleCondition c = Parse("MARC.\"650\"(\"#\",\"0\")[\"1\"] has any \"abx\"");
    EXPECT_EQ(c.Kind, ck::FieldHasAny);
    EXPECT_EQ(c.Field, "650");
    EXPECT_EQ(c.Indicator2, "0");
    EXPECT_EQ(c.FieldOccurrence, 1);
    EXPECT_EQ(c.Subfields, "abx");
    EXPECT_TRUE(c.IsFieldCondition);
    EXPECT_EQ(Rendered(c.Text), c.Text);
}

TEST(ConditionHasAny, PhraseIsFoundInTheLowerCasedLine) {
    // The line qualifies by its written "has any"; the codes follow the
    // first "has any" in any letter case.
    const RuleCondition c = Parse("MARC.\"245\" HAS ANY \"x\" has any \"ab\"");
    EXPECT_EQ(c.Kind, ck::FieldHasAny);
    EXPECT_EQ(c.Subfields, "x");
}

TEST(ConditionHasAny, DoesNotHaveAny) {
    const RuleCondition c = Parse("MARC.\"245\" does not have any \"c\"");
    EXPECT_EQ(c.Kind, ck::FieldDoesNotHave);
    EXPECT_EQ(c.Subfields, "c");
    EXPECT_EQ(Rendered(c.Text), "MARC.\"245\" does not have any \"c\"");
}

TEST(ConditionHasAny, TheTestIsCaseSensitiveSoUpperCaseIsAFieldValue) {
    const RuleCondition c = Parse("MARC.\"245\" HAS ANY \"ab\"");
    EXPECT_EQ(c.Kind, ck::FieldValue);
    EXPECT_EQ(c.ErrorText, Error("marc.\"245\" has any \"ab\"", "invalid operator."));
}

// Field value: kind 6

TEST(ConditionFieldValue, ReferenceAloneHasNoOperator) {
    const RuleCondition c = Parse("MARC.\"245\"");
    EXPECT_EQ(c.Kind, ck::FieldValue);
    EXPECT_EQ(c.Operator, 0);
    EXPECT_TRUE(c.IsFieldCondition);
    EXPECT_EQ(Rendered("MARC.\"245\""), "MARC.\"245\"");
}

TEST(ConditionFieldValue, ComparedValueKeepsItsCase) {
    const RuleCondition c = Parse("MARC.\"245\"(\"1\",\"0\").\"a\"[\"0\"] equals \"The Title\"");
    EXPECT_EQ(c.Operator, 1);
    EXPECT_EQ(c.Value1, "The Title");
    EXPECT_EQ(c.Subfields, "a");
    EXPECT_EQ(c.SubfieldOccurrence, 0);
    EXPECT_EQ(Rendered(c.Text), c.Text);
    EXPECT_EQ(Parse("MARC.\"245\" does not equal \"X\"").Operator, 2);
}

TEST(ConditionFieldValue, BetweenIsWrittenAsRange) {
    const RuleCondition c = Parse("MARC range \"260\".\"c\" between \"1900\" and \"1950\"");
    EXPECT_EQ(c.Kind, ck::FieldValue);
    EXPECT_EQ(c.Field, "260");
    EXPECT_EQ(c.Operator, 4);
    EXPECT_EQ(c.Value1, "1900");
    EXPECT_EQ(c.Value2, "1950");
    EXPECT_EQ(Rendered(c.Text), c.Text);
    EXPECT_EQ(Rendered("MARC.\"260\".\"c\" between \"1\" and \"2\""),
              "MARC range \"260\".\"c\" between \"1\" and \"2\"");
}

TEST(ConditionFieldValue, WordOperatorsAreWrittenInTheWithForm) {
    EXPECT_EQ(Rendered("MARC.\"245\".\"a\" contains \"x\""),
              "MARC with subfield \"245\".\"a\" contains \"x\"");
    EXPECT_EQ(Rendered("MARC.\"245\"(\"1\",\"#\").\"a\" starts with \"The\""),
              "MARC with indicator subfield \"245\"(\"1\",\"#\").\"a\" starts with \"The\"");
    EXPECT_EQ(Rendered("MARC.\"245\" does not contain \"x\""),
              "MARC with \"245\" does not contain \"x\"");
}

TEST(ConditionFieldValue, WithFormReadsItsReferenceSkippingTheWords) {
    const RuleCondition c =
        Parse("MARC with indicator subfield \"245\"(\"1\",\"#\").\"a\" starts with \"The\"");
    EXPECT_EQ(c.Kind, ck::FieldValue);
    EXPECT_EQ(c.Field, "245");
    EXPECT_EQ(c.Indicator1, "1");
    EXPECT_EQ(c.Subfields, "a");
    EXPECT_EQ(c.Operator, 6);
    EXPECT_EQ(c.Value1, "The");
    EXPECT_TRUE(c.IsFieldCondition);
}

TEST(ConditionFieldValue, AnyFieldContains) {
    const RuleCondition c = Parse("MARC contains \"x\"");
    EXPECT_EQ(c.Kind, ck::FieldValue);
    EXPECT_EQ(c.Field, "");
    EXPECT_EQ(c.Operator, 3);
    EXPECT_FALSE(c.IsFieldCondition);
    EXPECT_EQ(Rendered("MARC contains \"x\""), "MARC contains \"x\"");
}

TEST(ConditionFieldValue, AnyFieldWithAComparisonIsWrittenAsAReference) {
    // Only contains, does not contain and starts with have the short form;
    // the others write the reference, here an empty tag.
    const RuleCondition equals = Parse("MARC equals \"x\"");
    EXPECT_EQ(equals.Kind, ck::FieldValue);
    EXPECT_EQ(equals.Field, "");
    EXPECT_EQ(equals.Operator, 1);
    EXPECT_EQ(Rendered(equals.Text), "MARC.\"\" equals \"x\"");
    EXPECT_EQ(Rendered("MARC does not equal \"x\""), "MARC.\"\" does not equal \"x\"");
    EXPECT_EQ(Rendered("MARC between \"a\" and \"b\""), "MARC range \"\" between \"a\" and \"b\"");
    EXPECT_EQ(Rendered("MARC does not contain \"x\""), "MARC does not contain \"x\"");
    EXPECT_EQ(Rendered("MARC starts with \"x\""), "MARC starts with \"x\"");
}

TEST(ConditionFieldValue, FromClauseGivesTheSourceField) {
    const RuleCondition c = Parse("MARC.\"245\".\"a\" equals \"x\" from MARC.\"100\"");
    EXPECT_FALSE(c.HasError()) << c.ErrorText;
    EXPECT_EQ(c.SourceField, "100");
    EXPECT_EQ(c.Value1, "x");
    EXPECT_EQ(Rendered(c.Text), c.Text);
}

TEST(ConditionFieldValue, OperatorAndValueErrors) {
    EXPECT_EQ(Parse("MARC.\"245\" resembles \"x\"").ErrorText,
              Error("marc.\"245\" resembles \"x\"", "invalid operator."));
    // The value is read from the line as written, and its error quotes it.
    EXPECT_EQ(Parse("MARC.\"245\" equals \"Abc").ErrorText,
              Error("MARC.\"245\" equals \"Abc", "unclosed quotation marks."));
    EXPECT_EQ(Parse("MARC.\"24\" equals \"x\"").ErrorText,
              Error("marc.\"24\" equals \"x\"", "invalid field length."));
}

// Control field value: kinds 7 and 16

TEST(ConditionControlFieldValue, VariableIsWrittenAsItsRange) {
    RuleCondition c = Parse("MARC.control.\"008\".Date1 equals \"1999\"");
    EXPECT_EQ(c.Kind, ck::ControlFieldValue);
    EXPECT_EQ(c.ControlField, "008");
    EXPECT_EQ(c.ControlVariable, "Date1");
    EXPECT_EQ(c.Operator, 1);
    EXPECT_EQ(c.Value1, "1999");
    c.Render();
    EXPECT_EQ(c.Text, "MARC.control.\"008\"(\"7\",\"11\") equals \"1999\"");
    EXPECT_EQ(c.ControlVariable, "");
    EXPECT_EQ(c.ByteStart, 7);
    EXPECT_EQ(c.ByteEnd, 11);
}

TEST(ConditionControlFieldValue, ByteRangeAndLeaderVariable) {
    const RuleCondition c = Parse("MARC.control.\"008\"(\"35\",\"38\") does not equal \"eng\"");
    EXPECT_EQ(c.ByteStart, 35);
    EXPECT_EQ(c.ByteEnd, 38);
    EXPECT_EQ(c.Operator, 2);
    EXPECT_EQ(Rendered(c.Text), c.Text);
    EXPECT_EQ(Rendered("MARC.control.\"ldr\".materialtype equals \"am\""),
              "MARC.control.\"LDR\"(\"6\",\"8\") equals \"am\"");
    const RuleCondition bare = Parse("MARC.control.\"008\"(\"7\",\"11\")");
    EXPECT_EQ(bare.Operator, 0);
    EXPECT_FALSE(bare.HasError());
}

TEST(ConditionControlFieldValue, Errors) {
    EXPECT_EQ(Parse("MARC.control.\"002\" equals \"x\"").ErrorText,
              Error("marc.control.\"002\" equals \"x\"", "invalid control field."));
    EXPECT_EQ(Parse("MARC.control.\"007\".Date1 equals \"x\"").ErrorText,
              Error("marc.control.\"007\".date1 equals \"x\"", "invalid control variable."));
    EXPECT_EQ(
        Parse("MARC.control.\"008\"(\"a\",\"11\") equals \"x\"").ErrorText,
        Error("marc.control.\"008\"(\"a\",\"11\") equals \"x\"", "invalid control byte range."));
    EXPECT_EQ(
        Parse("MARC.control.\"008\"(\"7\",\"\") equals \"x\"").ErrorText,
        Error("marc.control.\"008\"(\"7\",\"\") equals \"x\"", "invalid control byte range."));
    EXPECT_EQ(Parse("MARC.control.\"008\"(\"7) equals \"x\"").ErrorText,
              Error("marc.control.\"008\"(\"7) equals \"x\"", "invalid control byte range."));
    EXPECT_EQ(Parse("MARC.control.\"008\" is \"x\"").ErrorText,
              Error("marc.control.\"008\" is \"x\"", "invalid operator."));
}

// Dates: kinds 8 and 10

TEST(ConditionDates, RangesAndTheirWrittenForm) {
    const RuleCondition before = Parse("Created before \"20240101\"");
    EXPECT_EQ(before.Kind, ck::CreateDate);
    EXPECT_EQ(before.DateRange, 0);
    EXPECT_EQ(before.FirstDate, "20240101");
    EXPECT_EQ(Rendered("created AFTER \"20240101\""), "Created after \"20240101\"");
    const RuleCondition between = Parse("Updated between \"20240101\" and \"20241231\"");
    EXPECT_EQ(between.Kind, ck::UpdateDate);
    EXPECT_EQ(between.DateRange, 2);
    EXPECT_EQ(between.SecondDate, "20241231");
    EXPECT_EQ(Rendered(between.Text), between.Text);
}

TEST(ConditionDates, Errors) {
    EXPECT_EQ(Parse("Created between \"20240101\" and \"2024010\"").ErrorText,
              Error("created between \"20240101\" and \"2024010\"", "invalid date value."));
    EXPECT_EQ(Parse("Created since \"20240101\"").ErrorText,
              Error("created since \"20240101\"", "invalid date range."));
    EXPECT_EQ(Parse("Created between \"20240101\" or \"20241231\"").ErrorText,
              Error("created between \"20240101\" or \"20241231\"", "invalid date range."));
    EXPECT_EQ(Parse("Updated before \"2024-1\"").ErrorText,
              Error("updated before \"2024-1\"", "invalid date value."));
}

// Catalogers: kinds 9 and 11

TEST(ConditionCataloger, NameKeepsItsCase) {
    const RuleCondition created = Parse("Created by \"JSmith\"");
    EXPECT_EQ(created.Kind, ck::CreatedBy);
    EXPECT_EQ(created.Value1, "JSmith");
    EXPECT_EQ(Parse("updated by \"ab\"").Kind, ck::UpdatedBy);
    EXPECT_EQ(Rendered("updated by \"Ab\""), "Updated by \"Ab\"");
}

TEST(ConditionCataloger, EmptyNameIsRefused) {
    // The name is read from the line as written, the message quotes the
    // lower-cased line like every other condition message.
    EXPECT_EQ(Parse("Created by \"\"").ErrorText, Error("created by \"\"", "invalid cataloger."));
    EXPECT_EQ(Parse("Updated by nobody").ErrorText,
              Error("updated by nobody", "invalid cataloger."));
    // An unclosed name fails in the line as written, where it was read.
    EXPECT_EQ(Parse("Created by \"Ann").ErrorText,
              Error("Created by \"Ann", "unclosed quotation marks."));
}

// Owning library: kind 12

TEST(ConditionOwningLibrary, InAndNotIn) {
    const RuleCondition in = Parse("MARC.owningLibrary in \"|MAIN|BR1|\"");
    EXPECT_EQ(in.Kind, ck::OwningLibrary);
    EXPECT_TRUE(in.OwningLibraryIn);
    EXPECT_EQ(in.OwningLibraries, "|MAIN|BR1|");
    const RuleCondition notIn = Parse("MARC.OWNINGLIBRARY not in \"|A|\"");
    EXPECT_FALSE(notIn.OwningLibraryIn);
    EXPECT_EQ(notIn.OwningLibraries, "|A|");
}

TEST(ConditionOwningLibrary, ParsedListIsWrittenWithoutTheQuotesItWasReadFrom) {
    // The parser keeps what lies between the quotes and Render writes the
    // list as it is held; only the editor's list carries its quotes.
    EXPECT_EQ(Rendered("MARC.owningLibrary in \"|MAIN|BR1|\""), "MARC.owningLibrary in |MAIN|BR1|");
    EXPECT_EQ(Rendered("MARC.OWNINGLIBRARY not in \"|A|\""), "MARC.owningLibrary not in |A|");
}

TEST(ConditionOwningLibrary, ListAsTheEditorBuildsItIsWrittenAsItIs) {
    RuleCondition c;
    c.Kind = ck::OwningLibrary;
    c.OwningLibraryIn = true;
    c.OwningLibraries = "\"|MAIN|\"";
    c.Render();
    EXPECT_EQ(c.Text, "MARC.owningLibrary in \"|MAIN|\"");
}

TEST(ConditionOwningLibrary, Errors) {
    EXPECT_EQ(Parse("MARC.owningLibrary at \"|A|\"").ErrorText,
              Error("MARC.owningLibrary at \"|A|\"", "invalid owning libraries list."));
    EXPECT_EQ(Parse("MARC.owningLibrary in \"A\"").ErrorText,
              Error("MARC.owningLibrary in \"A\"", "invalid owning libraries list."));
    EXPECT_EQ(Parse("MARC.owningLibrary in |A|").ErrorText,
              Error("MARC.owningLibrary in |A|", "invalid owning libraries list."));
}

// OPAC suppress: kind 19

TEST(ConditionOpacSuppress, BothValuesAndAnError) {
    EXPECT_TRUE(Parse("MARC.opacsuppress is suppressed").Suppressed);
    EXPECT_EQ(Parse("MARC.opacSuppress is unsuppressed").Kind, ck::OpacSuppress);
    EXPECT_FALSE(Parse("MARC.opacsuppress is unsuppressed").Suppressed);
    EXPECT_EQ(Rendered("MARC.OpacSuppress is unsuppressed"), "MARC.opacsuppress is unsuppressed");
    EXPECT_EQ(Parse("MARC.opacsuppress is hidden").ErrorText,
              Error("MARC.opacsuppress is hidden", "invalid opac suppress value."));
}

// Comments (17) and target lines (18)

TEST(ConditionComment, KeepsItsTextAndStatus) {
    RuleCondition c = Parse("> Note: Check THIS");
    EXPECT_EQ(c.Kind, ck::Comment);
    EXPECT_EQ(c.ErrorText, "This line is a comment.");
    EXPECT_TRUE(c.IsIgnorable());
    c.Render();
    EXPECT_EQ(c.Text, "> Note: Check THIS");
    EXPECT_EQ(Parse("#x").Kind, ck::Comment);
}

TEST(ConditionTarget, PlainAndHasAny) {
    RuleCondition plain = Parse("TARGET MARC is \"500\"(\"1\",\"#\")[\"0\"].\"a\"");
    EXPECT_EQ(plain.Kind, ck::Target);
    EXPECT_EQ(plain.Field, "500");
    EXPECT_EQ(plain.Indicator1, "1");
    EXPECT_EQ(plain.FieldOccurrence, 0);
    EXPECT_EQ(plain.Subfields, "a");
    EXPECT_EQ(plain.ErrorText,
              "This line can only be modified by editing the matching consequence.");
    EXPECT_TRUE(plain.IsIgnorable());
    plain.Render();
    EXPECT_EQ(plain.Text, "TARGET MARC is \"500\"(\"1\",\"#\")[\"0\"].\"a\"");

    RuleCondition any = Parse("TARGET MARC is \"500\" has any \"ab\"");
    EXPECT_TRUE(any.TargetHasAny);
    EXPECT_EQ(any.Subfields, "ab");
    any.Render();
    EXPECT_EQ(any.Text, "TARGET MARC is \"500\" has any \"ab\"");
}

// Bare expressions of the expression editor: kinds 13 to 16

TEST(ConditionExpression, Kinds) {
    RuleCondition c;
    EXPECT_EQ(c.ParseExpression("MARC.\"245\"(\"1\",\"#\")[\"0\"].\"a\""), "");
    EXPECT_EQ(c.Kind, ck::Expression);
    EXPECT_EQ(c.Indicator1, "1");
    c.Render();
    EXPECT_EQ(c.Text, "MARC.\"245\"(\"1\",\"#\")[\"0\"].\"a\"");

    RuleCondition nnx;
    nnx.ParseExpression("MARC.\"24\"x");
    EXPECT_EQ(nnx.Kind, ck::NnxExpression);
    nnx.Render();
    EXPECT_EQ(nnx.Text, "MARC.\"24\"x"); // never rebuilt
    RuleCondition nxx;
    nxx.ParseExpression("MARC.\"2\"xx");
    EXPECT_EQ(nxx.Kind, ck::NxxExpression);

    RuleCondition control;
    EXPECT_EQ(control.ParseExpression("MARC.control.\"008\".date1"), "");
    EXPECT_EQ(control.Kind, ck::ControlExpression);
    EXPECT_EQ(control.ControlVariable, "Date1");
    control.Render();
    EXPECT_EQ(control.Text, "MARC.control.\"008\"(\"7\",\"11\")");
}

TEST(ConditionExpression, IndicatorsAreReadAsWrittenLikeFieldExists) {
    RuleCondition c;
    EXPECT_EQ(c.ParseExpression("MARC.\"245\"(\"A\",\"b\")"), "");
    EXPECT_EQ(c.Kind, ck::Expression);
    EXPECT_EQ(c.Indicator1, "A");
    EXPECT_EQ(c.Indicator2, "b");
}

TEST(ConditionExpression, EmptyIsABareExpressionAndOtherTextIsRefused) {
    RuleCondition empty;
    EXPECT_EQ(empty.ParseExpression("  "), "");
    EXPECT_EQ(empty.Kind, ck::Expression);
    RuleCondition other;
    EXPECT_EQ(other.ParseExpression("Created by \"x\""),
              Error("created by \"x\"", "unknown conditional phrase."));
}

TEST(ConditionRender, TakesTheLineIndexAndLeavesUnknownKindsAlone) {
    RuleCondition c = Parse("MARC is \"245\"");
    c.Render(9);
    EXPECT_EQ(c.Key(), "9");
    c.Kind = 21;
    c.Text = "kept";
    c.Render();
    EXPECT_EQ(c.Text, "kept");
    EXPECT_FALSE(c.IsFieldCondition);
}

TEST(ConditionClone, CopiesEveryField) {
    const RuleCondition c = Parse("MARC range \"260\".\"c\" between \"1\" and \"2\"", "AND");
    const RuleCondition copy = c.Clone();
    EXPECT_EQ(copy.Text, c.Text);
    EXPECT_EQ(copy.Value2, "2");
    EXPECT_EQ(copy.Conjunction, "AND");
    EXPECT_EQ(copy.Operator, 4);
    EXPECT_EQ(copy.Tools().ErrorPrefix(), kConditionErrorPrefix);
}

} // namespace
} // namespace rules
