// Documents: splitting text into header and rules, reading a rule, writing
// it back, the editor's changes to a rule, and the data of Save.
#include "rule_clob.h"
#include "rule_doc_link.h"
#include "rule_document.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace rules {
namespace {

namespace ck = condition_kind;
namespace qk = consequence_kind;
using Lines = std::vector<std::string>;

// Lines joined with CR LF, each ending in it.
std::string CrLf(const Lines& lines) {
    std::string out;
    for (const auto& line : lines)
        out += line + "\r\n";
    return out;
}

RuleDocument Load(const std::string& text) {
    RuleDocument document;
    document.LoadText(text);
    return document;
}

const Lines kRule = {"rule \"Fix titles\"",     "#priority 5", "  when",
                     "    MARC is \"245\"",     "# why",       "  then",
                     "    remove MARC.\"246\"", "end",         ""};

// Splitting

TEST(RuleClobSplit, LineBreaksCrLfCrAndLf) {
    const auto lines = RuleClob::SplitLines("a\r\nb\rc\nd\r\r\ne");
    EXPECT_EQ(lines, (std::vector<std::string_view>{"a\r\n", "b\r", "c\n", "d\r", "\r\n", "e"}));
    EXPECT_TRUE(RuleClob::SplitLines("").empty());
    EXPECT_EQ(RuleClob::SplitLines("x\n").size(), 1u);
}

TEST(RuleClobSplit, HeaderRulesAndDroppedEmptyLines) {
    const RuleClob clob("# head\n\nrule \"a\"\n\nwhen\nRULE \"b\"\nend\n");
    EXPECT_EQ(clob.HeaderLines(), (std::vector<std::string_view>{"# head\n", "\n"}));
    ASSERT_EQ(clob.RuleLines().size(), 2u);
    EXPECT_EQ(clob.RuleLines()[0], (std::vector<std::string_view>{"rule \"a\"\n", "when\n"}));
    EXPECT_EQ(clob.RuleLines()[1], (std::vector<std::string_view>{"RULE \"b\"\n", "end\n"}));
    EXPECT_EQ(clob.HeaderText(), "# head\n\n");
}

TEST(RuleClobSplit, HeaderLineWithoutBreakGetsCrLf) {
    EXPECT_EQ(RuleClob("only header").HeaderText(), "only header\r\n");
}

TEST(RuleDocumentText, TextWithoutRulesIsAllHeaderAndBuiltUnchanged) {
    const std::string text = "# Velumar rules\r\n# second line\r\n\r\n";
    const RuleDocument document = Load(text);
    EXPECT_TRUE(document.Rules.empty());
    EXPECT_EQ(document.HeaderText, text);
    EXPECT_EQ(document.BuildText("# template\r\n"), text);
}

TEST(RuleDocumentText, RuleLineInAnyLetterCase) {
    const RuleDocument document = Load("RULE \"x\"\nRule \"y\"\nrule \"z\"\n");
    ASSERT_EQ(document.Rules.size(), 3u);
    EXPECT_EQ(document.Rules[0].Name, "x");
    EXPECT_EQ(document.Rules[1].Name, "y");
    EXPECT_EQ(document.Rules[2].Name, "z");
    EXPECT_EQ(document.Rules[2].Index, 3);
    EXPECT_EQ(document.NextRuleIndex, 4);
}

TEST(RuleDocumentText, ReadsAndWritesARuleExactly) {
    const std::string text = "# head\r\n" + CrLf(kRule);
    RuleDocument document = Load(text);
    ASSERT_EQ(document.Rules.size(), 1u);
    const RuleComponent& rule = document.Rules[0];
    EXPECT_EQ(rule.Name, "Fix titles");
    EXPECT_EQ(rule.Priority, "5");
    EXPECT_EQ(rule.Summary, "When MARC is \"245\"");
    ASSERT_EQ(rule.Conditions.size(), 2u);
    EXPECT_EQ(rule.Conditions[1].Kind, ck::Comment);
    ASSERT_EQ(rule.Consequences.size(), 1u);
    EXPECT_EQ(rule.FieldTags, std::vector<std::string>{"245"});
    EXPECT_EQ(document.BuildText(), text);
}

TEST(RuleDocumentText, MissingPriorityIsWrittenAsN) {
    RuleDocument document =
        Load("rule \"p\"\n  when\n    MARC is \"100\"\n  then\n    DELETE\nend\n");
    EXPECT_EQ(document.Rules[0].Priority, "");
    EXPECT_EQ(document.Rules[0].ToText(),
              CrLf({"rule \"p\"", "#priority n", "  when", "    MARC is \"100\"", "  then",
                    "    DELETE", "end", ""}));
    EXPECT_EQ(Load("rule \"p\"\npriority 3\n").Rules[0].Priority, "3");
}

TEST(RuleDocumentText, TabsReadLikeBlanksAndBareLineBreaksAreWrittenCrLf) {
    const std::string tabs = "rule \"t\"\n#priority 2\n\twhen\n\t\tMARC is \"245\"\n\tthen\n"
                             "\t\tEXCLUDE\nend\n";
    const std::string blanks = "rule \"t\"\r#priority 2\r  when\r    MARC is \"245\"\r  then\r"
                               "    EXCLUDE\rend\r";
    const RuleDocument a = Load(tabs);
    const RuleDocument b = Load(blanks);
    EXPECT_EQ(a.BuildText(), b.BuildText());
    EXPECT_EQ(a.BuildText(), CrLf({"rule \"t\"", "#priority 2", "  when", "    MARC is \"245\"",
                                   "  then", "    EXCLUDE", "end", ""}));
    EXPECT_FALSE(a.Rules[0].Conditions[0].HasError());
}

TEST(RuleDocumentText, LinesAfterEndAreIgnoredUntilTheNextRule) {
    const RuleDocument document =
        Load("rule \"a\"\nwhen\nMARC is \"245\"\nthen\nDELETE\nend\nMARC is \"999\"\nnonsense\n"
             "rule \"b\"\n");
    ASSERT_EQ(document.Rules.size(), 2u);
    EXPECT_EQ(document.Rules[0].Conditions.size(), 1u);
    EXPECT_EQ(document.Rules[0].Consequences.size(), 1u);
}

TEST(RuleDocumentText, LineOfBlanksInsideARuleIsALineInError) {
    // The split drops only lines that are empty once their line break is
    // gone; a line of blanks or tabs is read, and reads as nothing known.
    const RuleDocument document =
        Load("rule \"a\"\n  when\n  \t \n    MARC is \"245\"\n  then\n\t\n    DELETE\nend\n");
    const RuleComponent& rule = document.Rules[0];
    ASSERT_EQ(rule.Conditions.size(), 2u);
    EXPECT_EQ(rule.Conditions[0].ErrorText,
              "Could not parse condition: '' - unknown conditional phrase.");
    EXPECT_FALSE(rule.Conditions[1].HasError());
    ASSERT_EQ(rule.Consequences.size(), 2u);
    EXPECT_EQ(rule.Consequences[0].ErrorText,
              "Could not parse consequence: '' - unknown consequence phrase.");
    EXPECT_EQ(rule.Consequences[1].Lines.front(), "DELETE");
}

TEST(RuleDocumentText, LinesBeforeWhenAreIgnored) {
    const RuleDocument document = Load("rule \"a\"\nMARC is \"245\"\nwhen\nMARC is \"100\"\n");
    ASSERT_EQ(document.Rules[0].Conditions.size(), 1u);
    EXPECT_EQ(document.Rules[0].Conditions[0].Field, "100");
}

TEST(RuleDocumentText, AndOrLinesAreDroppedAndConditionsJoinedAllTheSame) {
    RuleDocument document = Load("rule \"a\"\nwhen\nMARC is \"245\"\nAND\nMARC is \"100\"\nor\n"
                                 "MARC is \"500\"\nthen\nDELETE\nend\n");
    RuleComponent& rule = document.Rules[0];
    ASSERT_EQ(rule.Conditions.size(), 3u);
    EXPECT_EQ(rule.Conditions[1].Key(), "2"); // indices run on without gaps
    EXPECT_EQ(rule.Conditions[2].Key(), "3");
    EXPECT_EQ(rule.ToText().find("AND"), std::string::npos);
}

TEST(RuleDocumentText, RuleNameNeedsBothQuotes) {
    EXPECT_EQ(Load("rule x\n").Rules[0].Name, "");
    EXPECT_EQ(Load("rule \"x\n").Rules[0].Name, "");
    EXPECT_EQ(Load("rule \"x y\" tail\n").Rules[0].Name, "x y");
}

TEST(RuleDocumentText, LinesInErrorStayInTheirRule) {
    RuleDocument document = Load("rule \"a\"\nwhen\nMARC is \"24\"\nthen\ndelete all\nend\n");
    const RuleComponent& rule = document.Rules[0];
    ASSERT_EQ(rule.Conditions.size(), 1u);
    EXPECT_TRUE(rule.Conditions[0].HasError());
    EXPECT_EQ(rule.Consequences[0].ErrorText,
              "Could not parse consequence: 'delete all' - invalid record disposition.");
    EXPECT_EQ(document.BuildText(),
              CrLf({"rule \"a\"", "#priority n", "  when", "    MARC is \"24\"", "  then",
                    "    delete all", "end", ""}));
}

TEST(RuleDocumentText, GroupLinesAreReadAsOneConsequence) {
    RuleDocument document = Load("rule \"g\"\nwhen\nMARC is \"245\"\nthen\n"
                                 "set TEMP\"1\" to MARC.\"245\".\"a\"\n"
                                 "replace string by string (TEMP\"1\",\"a\",\"b\")\n"
                                 "set MARC.\"245\".\"a\" to TEMP\"1\"\nDELETE\nend\n");
    const RuleComponent& rule = document.Rules[0];
    ASSERT_EQ(rule.Consequences.size(), 2u);
    EXPECT_EQ(rule.Consequences[0].Kind, qk::ReplaceWithString);
    EXPECT_EQ(rule.Consequences[1].Key(), "2");
    EXPECT_NE(rule.ToText().find("    set MARC.\"245\".\"a\" to TEMP\"1\"\r\n    DELETE\r\n"),
              std::string::npos);
}

// Display lines

TEST(RuleDocumentRuleLines, ConjunctionsOnLinesOfTheirOwn) {
    RuleDocument document =
        Load(CrLf({"rule \"d\"", "  when", "# first", "    MARC is \"245\"", "    MARC is \"100\"",
                   "  then", "    DELETE", "# c", "end"}));
    RuleComponent& rule = document.Rules[0];
    rule.Conditions[2].Conjunction = "AND";
    EXPECT_EQ(rule.ToLines(),
              (Lines{"rule \"d\"", "  when", "# first", "    MARC is \"245\"", "    AND",
                     "    MARC is \"100\"", "  then", "    DELETE", "# c", "end"}));
}

// Copy into an existing field and its target line

const std::string kCopyRule =
    CrLf({"rule \"c\"", "  when", "    MARC is \"245\"", "    TARGET MARC is \"500\"", "  then",
          "    copy MARC \"245\".\"a\" to existing \"500t\"", "end"});

TEST(RuleDocumentCopyToExisting, PairsWithTheTargetLine) {
    RuleDocument document = Load(kCopyRule);
    RuleComponent& rule = document.Rules[0];
    RuleConsequence& copy = rule.Consequences[0];
    EXPECT_FALSE(copy.HasError()) << copy.ErrorText;
    EXPECT_EQ(copy.ToExisting, 1);
    EXPECT_EQ(copy.TargetRef, "2");
    EXPECT_EQ(copy.TargetCondition, &rule.Conditions[1]);
    copy.Render();
    EXPECT_EQ(copy.Lines.front(), "copy MARC \"245\".\"a\" to existing \"500t\"");
    EXPECT_EQ(rule.Conditions[1].Text, "TARGET MARC is \"500\"");
}

TEST(RuleDocumentCopyToExisting, WithoutTargetLineIsAnError) {
    RuleDocument document =
        Load(CrLf({"rule \"c\"", "  when", "    TARGET MARC is \"600\"", "  then",
                   "    copy MARC \"245\" to existing \"500t\"", "end"}));
    EXPECT_EQ(document.Rules[0].Consequences[0].ErrorText,
              "Could not parse consequence: 'copy marc \"245\" to existing \"500t\"' - matching "
              "TARGET MARC condition not found.");
}

TEST(RuleDocumentCopyToExisting, WrittenAsAnotherKindItDropsItsTargetLine) {
    RuleDocument document = Load(kCopyRule);
    RuleComponent& rule = document.Rules[0];
    RuleConsequence edited = rule.Consequences[0].Clone();
    edited.ToExisting = 0;
    edited.Kind = qk::CopyDeprecated;
    edited.TargetField = "600";
    ASSERT_TRUE(rule.ReplaceConsequence(edited));
    EXPECT_EQ(rule.Conditions.size(), 1u);
    EXPECT_EQ(rule.Consequences[0].TargetRef, "");
    EXPECT_EQ(rule.Consequences[0].TargetCondition, nullptr);
    EXPECT_EQ(rule.Consequences[0].Lines.front(), "copy MARC \"245\".\"a\" to field \"600\"");
}

TEST(RuleDocumentCopyToExisting, ACommentIsNotWrittenSoItKeepsTheTargetLine) {
    RuleDocument document = Load(kCopyRule);
    RuleComponent& rule = document.Rules[0];
    RuleConsequence& copy = rule.Consequences[0];
    copy.Kind = qk::Comment;
    EXPECT_FALSE(copy.Render());
    EXPECT_EQ(rule.Conditions.size(), 2u);
    EXPECT_EQ(copy.TargetRef, "2");
}

// Add MARC Field / Add MARC Subfield

TEST(RuleDocumentAddFieldPairs, SubfieldAfterFieldOnTheSameTagIsForTheNewField) {
    RuleDocument document = Load(CrLf({"rule \"n\"", "  when", "    MARC is \"245\"", "  then",
                                       "    create MARC.\"500\".\"a\" with \"before\"",
                                       "    create MARC.\"500\"(\"1\",\" \")",
                                       "    create MARC.\"500\".\"a\" with \"after\"",
                                       "    create MARC.\"501\".\"a\" with \"other\"", "end"}));
    RuleComponent& rule = document.Rules[0];
    EXPECT_FALSE(rule.Consequences[0].ForNewField);
    EXPECT_TRUE(rule.Consequences[2].ForNewField);
    EXPECT_FALSE(rule.Consequences[3].ForNewField);
    EXPECT_EQ(rule.Consequences[0].Lines.front(), "create MARC.\"500\".\"a\" with \"before\"");
    EXPECT_EQ(rule.Consequences[2].Lines.front(),
              "create MARC.\"500\" subfield \"a\" with \"after\"");
    EXPECT_FALSE(rule.CheckAddFieldPairs());
}

TEST(RuleDocumentAddFieldPairs, FieldWithoutItsSubfieldIsAViolation) {
    RuleDocument document =
        Load(CrLf({"rule \"n\"", "  when", "    MARC is \"245\"", "  then",
                   "    create MARC.\"500\"", "    create MARC.\"501\".\"a\" with \"x\"", "end"}));
    const auto violation = document.Rules[0].CheckAddFieldPairs();
    ASSERT_TRUE(violation);
    EXPECT_EQ(violation->consequence, &document.Rules[0].Consequences[0]);
    EXPECT_EQ(violation->message,
              "An 'Add MARC Field' rule must be followed by an 'Add MARC Subfield' rule for that "
              "field.\r\nViolating rule is: create MARC.\"500\"");
}

TEST(RuleDocumentAddFieldPairs, SubfieldBeforeTheFieldDoesNotPair) {
    RuleDocument document =
        Load(CrLf({"rule \"n\"", "  then", "    create MARC.\"500\".\"a\" with \"x\"",
                   "    create MARC.\"500\"", "end"}));
    EXPECT_TRUE(document.Rules[0].CheckAddFieldPairs());
    EXPECT_FALSE(document.Rules[0].Consequences[0].ForNewField);
}

// Field tags and from-clauses

TEST(RuleDocumentFieldTags, FromClauseIsDroppedWhenItsFieldIsNotTracked) {
    RuleDocument document =
        Load(CrLf({"rule \"s\"", "  when", "    MARC.\"245\".\"a\" equals \"x\" from MARC.\"100\"",
                   "    MARC.\"650\".\"a\" equals \"y\" from MARC.\"245\"", "end"}));
    const RuleComponent& rule = document.Rules[0];
    EXPECT_EQ(rule.FieldTags, (std::vector<std::string>{"245", "650"}));
    EXPECT_EQ(rule.Conditions[0].SourceField, "");
    EXPECT_EQ(rule.Conditions[0].Text, "MARC.\"245\".\"a\" equals \"x\"");
    EXPECT_EQ(rule.Conditions[1].SourceField, "245");
}

// The editor's changes

TEST(RuleDocumentRuleEditing, AddReplaceAndMoveConditions) {
    RuleDocument document = Load(CrLf({"rule \"e\"", "  when", "    MARC is \"245\"", "end"}));
    RuleComponent& rule = document.Rules[0];

    RuleCondition added;
    added.Kind = ck::CreatedBy;
    added.Value1 = "JSmith";
    RuleCondition& stored = rule.AddCondition(added, true);
    EXPECT_EQ(stored.Key(), "2");
    EXPECT_EQ(stored.Conjunction, "AND");
    EXPECT_EQ(stored.Text, "Created by \"JSmith\"");

    RuleCondition edited = stored.Clone();
    edited.Value1 = "Other";
    ASSERT_TRUE(rule.ReplaceCondition(edited));
    EXPECT_EQ(rule.Conditions[1].Text, "Created by \"Other\"");

    ASSERT_TRUE(rule.MoveCondition("2", true));
    EXPECT_EQ(rule.Conditions[0].Key(), "2");
    EXPECT_EQ(rule.Conditions[0].Conjunction, ""); // the first keeps none
    EXPECT_EQ(rule.Conditions[1].Conjunction, "AND");
    EXPECT_EQ(rule.Summary, "When Created by \"Other\"");
    EXPECT_FALSE(rule.MoveCondition("2", true));

    RuleCondition another;
    another.Field = "100";
    EXPECT_EQ(rule.AddCondition(another, false).Key(), "3"); // indices never reused
    EXPECT_EQ(rule.FieldTags, (std::vector<std::string>{"245", "100"}));
}

TEST(RuleDocumentRuleEditing, MovingPastACommentKeepsConjunctions) {
    RuleDocument document =
        Load(CrLf({"rule \"e\"", "  when", "# c", "    MARC is \"245\"", "end"}));
    RuleComponent& rule = document.Rules[0];
    rule.Conditions[1].Conjunction = "AND";
    ASSERT_TRUE(rule.MoveCondition("2", true));
    EXPECT_EQ(rule.Conditions[0].Conjunction, "AND");
    EXPECT_EQ(rule.Conditions[1].Kind, ck::Comment);
}

TEST(RuleDocumentRuleEditing, NewRulesTakeTheNextIndex) {
    RuleDocument document = Load(CrLf(kRule));
    RuleComponent& added = document.AddRule(std::make_unique<RuleComponent>());
    EXPECT_EQ(added.Index, 2);
    EXPECT_EQ(document.NextRuleIndex, 3);
}

// The document's own data

TEST(RuleDocumentData, LastEditorCopyAndMatchCode) {
    RuleDocument document = Load(CrLf(kRule));
    document.Id = 7;
    document.Name = "Titles";
    document.Description = "Fix them";
    document.CreatedBy = "amy";
    EXPECT_EQ(document.LastEditor(), "amy");
    document.UpdatedBy = "bob";
    EXPECT_EQ(document.LastEditor(), "bob");
    EXPECT_FALSE(document.IsMatchCodeDocument());

    const RuleDocument copy = document.Copy();
    EXPECT_EQ(copy.Id, 0);
    EXPECT_EQ(copy.Name, "Copy of Titles");
    EXPECT_EQ(copy.Description, "Fix them");
    EXPECT_EQ(copy.Text, document.Text);
    EXPECT_EQ(copy.Rules.size(), 1u);

    document.Name = "MatchCode-And-Tag-Field";
    EXPECT_TRUE(document.IsMatchCodeDocument());
}

TEST(RuleDocumentData, LoadFromRecord) {
    RuleDocument document;
    document.LoadFromRecord({12, "N", "D", "amy", "", "2024-01-02 03:04:05", CrLf(kRule)});
    EXPECT_EQ(document.Id, 12);
    EXPECT_EQ(document.Key(), "12");
    EXPECT_EQ(document.Name, "N");
    EXPECT_EQ(document.UpdateDate, "2024-01-02 03:04:05");
    EXPECT_EQ(document.Rules.size(), 1u);
    EXPECT_EQ(document.BuildText(), CrLf(kRule));
}

TEST(RuleDocumentData, NormalizeText) {
    EXPECT_EQ(RuleDocument::NormalizeText("a\r\nb\nc\rd"), "a\r\nb\r\ncd");
}

TEST(RuleDocumentData, DocLinkKey) {
    EXPECT_EQ((RuleDocLink{12, 3}).Key(), "12|3");
}

// Save and the header template

TEST(RuleDocumentSave, FieldsInOrderForANewDocument) {
    RuleDocument document = Load(CrLf(kRule));
    document.HeaderText.clear();
    const RequestFields fields = document.PrepareSave(2, "Titles", "Fix them", "jsmith", "# t\r\n");
    EXPECT_EQ(document.Name, "Titles");
    EXPECT_EQ(document.Text, "# t\r\n" + CrLf(kRule));
    EXPECT_EQ(fields, (RequestFields{{"RT", 2},
                                     {"NM", "Titles"},
                                     {"DSC", "Fix them"},
                                     {"DOC", "# t\r\n" + CrLf(kRule)},
                                     {"OI", "jsmith"}}));
}

TEST(RuleDocumentSave, IdIsSentForASavedDocument) {
    RuleDocument document;
    document.Id = 44;
    const RequestFields fields = document.PrepareSave(1, "n", "", "op");
    ASSERT_FALSE(fields.empty());
    EXPECT_EQ(fields.front(), (RequestField{"ID", 44}));
    EXPECT_EQ(fields[1], (RequestField{"RT", 1}));
}

TEST(RuleDocumentSave, OwningLibraryAsksForLibraryAndLocationEvenWithSuppress) {
    RuleDocument document =
        Load(CrLf({"rule \"o\"", "  then", "    Change owning library", "    SUPPRESS", "end"}));
    const RequestFields fields = document.PrepareSave(2, "n", "d", "op");
    ASSERT_EQ(fields.size(), 7u);
    EXPECT_EQ(fields[4], (RequestField{"PN", "REQ_LIBRARY_ID"}));
    EXPECT_EQ(fields[5], (RequestField{"PN", "REQ_LOCATION_ID"}));
    EXPECT_EQ(fields[6], (RequestField{"OI", "op"}));
}

TEST(RuleDocumentSave, JobParameterNames) {
    using Names = std::vector<std::string_view>;
    EXPECT_EQ(RuleDocument::JobParameterNames("x SUPPRESS"), Names{"REQ_LOCATION_ID"});
    EXPECT_EQ(RuleDocument::JobParameterNames("UNSUPPRESSALL"), Names{"REQ_LOCATION_ID"});
    EXPECT_EQ(RuleDocument::JobParameterNames("Set OK to Export"), Names{"REQ_LOCATION_ID"});
    EXPECT_EQ(RuleDocument::JobParameterNames("Unset OK to Export"), Names{"REQ_LOCATION_ID"});
    EXPECT_EQ(RuleDocument::JobParameterNames("Change OK to Export Date"),
              Names{"REQ_LOCATION_ID"});
    EXPECT_EQ(RuleDocument::JobParameterNames("suppress set ok to export"), Names{});
    EXPECT_EQ(RuleDocument::JobParameterNames("change owning library"), Names{});
}

TEST(RuleDocumentSave, AnswerStatuses) {
    RuleDocument document;
    EXPECT_EQ(document.FinishSave(4, 0),
              "Name already in use. Please choose another name for this rule set.");
    EXPECT_EQ(document.FinishSave(6, 0), "Failed to save rule set.");
    EXPECT_EQ(document.Id, 0);
    EXPECT_EQ(document.FinishSave(0, 31), "");
    EXPECT_EQ(document.Id, 31);
}

TEST(RuleDocumentHeaderTemplate, GetsALineBreakAndIsEmptyOnFailure) {
    EXPECT_EQ(RuleDocument::HeaderTemplate(0, "# h"), "# h\r\n");
    EXPECT_EQ(RuleDocument::HeaderTemplate(0, "# h\n"), "# h\n");
    EXPECT_EQ(RuleDocument::HeaderTemplate(0, ""), "");
    EXPECT_EQ(RuleDocument::HeaderTemplate(6, "# h"), "");
}

} // namespace
} // namespace rules
