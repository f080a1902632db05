// The --json report built from a document in memory: what it reports must
// not change the document it reports on.
#include "json_report.h"
#include "rule_document.h"

#include <gtest/gtest.h>

namespace velumar_rules {
namespace {

TEST(JsonReport, RenderingACopyIntoAnExistingFieldLeavesItsTargetLineAlone) {
    rules::RuleDocument document;
    document.LoadText("rule \"c\"\r\n  when\r\n    target marc is \"500\"\r\n  then\r\n"
                      "    copy marc \"245\".\"a\" to existing \"500t\"\r\nend\r\n");
    const rules::RuleComponent& rule = document.Rules[0];
    const rules::RuleConsequence& copy = rule.Consequences[0];
    ASSERT_FALSE(copy.HasError()) << copy.ErrorText;

    const Json report = ConsequenceReport(copy);
    EXPECT_EQ(report["rendered"], Json::array({"copy MARC \"245\".\"a\" to existing \"500t\""}));
    EXPECT_EQ(report["fields"]["TargetRef"], "1");
    EXPECT_EQ(report["fields"]["TargetCondition"], "1");
    // The target line keeps the text it was read with, and stays paired.
    EXPECT_EQ(rule.Conditions.size(), 1u);
    EXPECT_EQ(rule.Conditions[0].Text, "target marc is \"500\"");
    EXPECT_EQ(copy.TargetCondition, &rule.Conditions[0]);
}

TEST(JsonReport, FieldsAreNamedAsTheModelNamesThemWithTheirJsonTypes) {
    rules::RuleDocument document;
    document.LoadText(
        "rule \"f\"\r\n  when\r\n    MARC.\"650\"(\"#\",\"0\")[\"99\"].\"a\" equals \"X\"\r\n"
        "  then\r\n    create MARC.\"500\" subfield \"a\" with \"n\"\r\nend\r\n");
    const rules::RuleComponent& rule = document.Rules[0];
    const Json condition = ConditionReport(rule.Conditions[0]);
    EXPECT_EQ(condition["key"], "1");
    EXPECT_EQ(condition["kind"], 6);
    EXPECT_EQ(condition["error"], "");
    EXPECT_EQ(condition["rendered"], "MARC.\"650\"(\"#\",\"0\")[\"99\"].\"a\" equals \"X\"");
    const Json& f = condition["fields"];
    EXPECT_EQ(f["Kind"], 6);
    EXPECT_EQ(f["Field"], "650");
    EXPECT_EQ(f["Indicator1"], "#");
    EXPECT_EQ(f["Indicator2"], "0");
    EXPECT_EQ(f["FieldOccurrence"], 99);
    EXPECT_EQ(f["Subfields"], "a");
    EXPECT_EQ(f["SubfieldOccurrence"], -1);
    EXPECT_EQ(f["Operator"], 1);
    EXPECT_EQ(f["Value1"], "X");
    EXPECT_EQ(f["ByteStart"], -1);
    EXPECT_TRUE(f["IsFieldCondition"].is_boolean());
    EXPECT_EQ(f["IsFieldCondition"], true);
    EXPECT_EQ(f.size(), 27u);

    const Json consequence = ConsequenceReport(rule.Consequences[0]);
    EXPECT_EQ(consequence["kind"], 12);
    EXPECT_EQ(consequence["lines"], Json::array({"create MARC.\"500\" subfield \"a\" with \"n\""}));
    EXPECT_EQ(consequence["display"], "create MARC.\"500\" subfield \"a\" with \"n\"");
    const Json& q = consequence["fields"];
    EXPECT_EQ(q["SubfieldKeyword"], true);
    EXPECT_EQ(q["ForNewField"], false);
    EXPECT_EQ(q["OrderOccurrenceIndex"], -1);
    EXPECT_EQ(q["Rule"], "f");
    EXPECT_TRUE(q["TargetCondition"].is_null());
    EXPECT_EQ(q.size(), 37u);
}

} // namespace
} // namespace velumar_rules
