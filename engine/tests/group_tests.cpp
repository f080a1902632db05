// A group as a whole: order and priority, several documents, scans, the
// record's fate and facts, field order, compile failures, untouched records.
#include "field_order.h"
#include "engine_test_support.h"

#include "marc/testing/well_formed_files.h"

namespace engine {
namespace {

using testing::lines;
using testing::rule;
using Lines = std::vector<std::string>;
using Names = std::vector<std::string>;

class Group : public ::testing::Test {
protected:
    void SetUp() override {
        VELUMAR_REQUIRE_MARC_DATA();
        record = testing::sampleRecords("m4j_chabon.mrc").at(0);
    }
    std::string record;
};

TEST_F(Group, PrioritiesOrderRulesAndEachSeesTheRecordTheOthersLeft) {
    // Written last but priority 5: the 246 exists before the copy rule (n = 0)
    // tests for it; the -1 rule runs after both.
    const std::string text =
        rule("copy 246", {R"(MARC is "246")"}, {R"(copy MARC "246"."a" to new "740"."a")"}) +
        rule("late", {R"(MARC is "740")"}, {R"(set MARC."740"."a" to "Late")"}, "-1") +
        rule("make 246", {R"(MARC is "245")"}, {R"(copy MARC "245"."a" to new "246"."a")"}, "5");
    const auto applied = testing::run(text, record);
    EXPECT_EQ(applied.outcome.firedRules, (Names{"make 246", "copy 246", "late"}));
    EXPECT_EQ(lines(applied.after, "740"), Lines{"=740  \\\\$aLate"});

    // Equal priorities keep document order: the first rule's test comes too early.
    const auto ties = testing::run(
        rule("copy 246", {R"(MARC is "246")"}, {R"(copy MARC "246"."a" to new "740"."a")"}) +
            rule("make 246", {R"(MARC is "245")"}, {R"(copy MARC "245"."a" to new "246"."a")"}),
        record);
    EXPECT_EQ(ties.outcome.firedRules, Names{"make 246"});
}

TEST_F(Group, DocumentsRunInLinkOrderWithPrioritiesInsideEach) {
    const auto group = testing::compileOrFail({
        {"first", rule("one", {R"(MARC is "245")"}, {R"(create MARC.control."003" with "A")"})},
        {"second", rule("two", {R"(MARC.control."003" equals "A")"},
                        {R"(create MARC.control."003" with "B")"}, "99")},
    });
    ASSERT_TRUE(group);
    const marc::ParseResult parsed = marc::parseRecord(record);
    GroupRunner runner(*group, {});
    const RecordOutcome out = runner.apply(*parsed.record, {});
    EXPECT_EQ(out.firedRules, (Names{"one", "two"}));
    EXPECT_EQ(lines(testing::mnemonic(out.record), "003"), Lines{"=003  B"});
}

TEST_F(Group, ScanIncludesWhenARuleIncludesAndNoneExcludes) {
    RunParameters scan;
    scan.kind = GroupKind::Scan;
    const std::string include = rule("in", {R"(MARC is "650")"}, {"INCLUDE"});
    const std::string exclude = rule("out", {R"(MARC."100"."a" starts with "Chabon")"}, {"EXCLUDE"});
    const std::string never = rule("never", {R"(MARC is "246")"}, {"EXCLUDE"});
    EXPECT_TRUE(testing::run(include, record, {}, scan).outcome.included);
    EXPECT_TRUE(testing::run(include + never, record, {}, scan).outcome.included);
    EXPECT_FALSE(testing::run(include + exclude, record, {}, scan).outcome.included);
    EXPECT_FALSE(testing::run(never, record, {}, scan).outcome.included);
}

TEST_F(Group, DeleteIsRefusedForHoldingsItemsAndWithoutTheRight) {
    const std::string del = rule("del", {R"(MARC is "245")"}, {"DELETE"});
    const std::string delAll = rule("del all", {R"(MARC is "245")"}, {"DELETEALL"});
    RecordFacts withHoldings;
    withHoldings.hasHoldings = true;
    RecordFacts withItems = withHoldings;
    withItems.hasItemsOrOrders = true;
    RunParameters noRight;
    noRight.mayDelete = false;

    struct Case {
        std::string text;
        RecordFacts facts;
        RunParameters parameters;
        Outcome outcome;
        std::vector<std::int32_t> codes;
    } cases[] = {
        {del, {}, {}, Outcome::Deleted, {disposition::Deleted}},
        {del, withHoldings, {}, Outcome::Error, {disposition::HasHoldings}},
        {delAll, withHoldings, {}, Outcome::Deleted, {disposition::Deleted}},
        {delAll, withItems, {}, Outcome::Error, {disposition::HasItemsOrOrders}},
        {del, {}, noRight, Outcome::Error, {disposition::NoDeleteRight}},
    };
    for (const Case& c : cases) {
        const auto applied = testing::run(c.text, record, c.facts, c.parameters);
        EXPECT_EQ(applied.outcome.outcome, c.outcome) << c.text;
        EXPECT_EQ(applied.outcome.codes, c.codes) << c.text;
    }
    EXPECT_TRUE(testing::run(delAll, record, withHoldings).outcome.withHoldings);
}

TEST_F(Group, DeleteAndErrorEndTheRunAndKeepTheRecordAsItCame) {
    const std::string text =
        rule("change", {R"(MARC is "245")"}, {R"(remove MARC."650")", "ERROR"}, "2") +
        rule("later", {R"(MARC is "245")"}, {"CHANGED"});
    const auto applied = testing::run(text, record);
    EXPECT_EQ(applied.outcome.outcome, Outcome::Error);
    EXPECT_EQ(applied.outcome.codes, std::vector<std::int32_t>{disposition::ExecutionFailed});
    EXPECT_EQ(applied.outcome.firedRules, Names{"change"});
    EXPECT_EQ(lines(applied.after, "650").size(), 5u);
}

TEST_F(Group, ChangedAndCatalogueFactsMakeARecordChanged) {
    const auto changed = testing::run(rule("c", {R"(MARC is "245")"}, {"CHANGED"}), record);
    EXPECT_EQ(changed.outcome.outcome, Outcome::Changed);
    EXPECT_EQ(changed.outcome.record, record);

    RecordFacts facts;
    facts.suppressed = false;
    facts.okToExport = true;
    facts.owningLibrary = "MAIN";
    RunParameters job;
    job.libraryId = "LAW";
    job.locationId = "LAW-STACKS";
    const auto set = testing::run(rule("f", {R"(MARC is "245")"},
                                       {"SUPPRESSALL", "Unset OK to Export", "Change owning library",
                                        "Change OK to Export Date"}),
                                  record, facts, job);
    EXPECT_EQ(set.outcome.outcome, Outcome::Changed);
    EXPECT_EQ(set.outcome.facts.suppressed, true);
    EXPECT_TRUE(set.outcome.facts.holdingsToo);
    EXPECT_EQ(set.outcome.facts.okToExport, false);
    EXPECT_EQ(set.outcome.facts.owningLibrary, "LAW");
    EXPECT_EQ(set.outcome.facts.location, "LAW-STACKS");
    EXPECT_EQ(set.outcome.facts.okToExportDate, "20261205");

    // Setting what is already so changes nothing.
    const auto same = testing::run(
        rule("f", {R"(MARC is "245")"}, {"UNSUPPRESS", "Set OK to Export"}), record, facts);
    EXPECT_EQ(same.outcome.outcome, Outcome::Unchanged);
    // A later rule sees the facts as the earlier ones left them.
    const auto seen = testing::run(
        rule("s", {R"(MARC is "245")"}, {"SUPPRESS"}, "1") +
            rule("t", {"MARC.opacsuppress is suppressed"}, {R"(remove MARC."655")"}),
        record, facts);
    EXPECT_EQ(seen.outcome.firedRules, (Names{"s", "t"}));
}

TEST_F(Group, FieldOrderArrangesChangedRecordsOnly) {
    std::string error;
    const auto order = FieldOrder::parse("LDR, 001, 0XX, 1XX, 245, 6XX", error);
    ASSERT_TRUE(order) << error;
    const auto group = testing::compileOrFail(
        {{"t", rule("r", {R"(MARC is "245")"}, {R"(Set MARC field "651"  to "591")"})}});
    ASSERT_TRUE(group);
    GroupRunner runner(*group, {}, &*order);
    const marc::ParseResult parsed = marc::parseRecord(record);
    const RecordOutcome out = runner.apply(*parsed.record, {});
    std::string tags;
    for (const std::string& line : lines(testing::mnemonic(out.record), ""))
        tags += line.substr(1, 3) + " ";
    EXPECT_EQ(tags, "LDR 001 005 008 020 040 100 245 650 650 650 650 650 655 655 260 300 591 ");

    // The same order on a record no rule changes leaves it as it came.
    const marc::ParseResult other = marc::parseRecord(testing::sampleRecords("m4j_chabon.mrc").at(1));
    const auto untouched = testing::compileOrFail(
        {{"t", rule("r", {R"(MARC is "246")"}, {R"(remove MARC."650")"})}});
    GroupRunner idle(*untouched, {}, &*order);
    EXPECT_EQ(idle.apply(*other.record, {}).outcome, Outcome::Unchanged);

    EXPECT_FALSE(FieldOrder::parse("245, 5X", error));
    EXPECT_EQ(error, "\"5X\" is not a tag or a tag pattern such as 5XX");
}

TEST(GroupCompile, ALineInErrorOrABadPatternStopsTheGroup) {
    const auto compiled = RuleGroup::compile({
        {"ok.dslr", rule("fine", {R"(MARC is "245")"}, {"CHANGED"})},
        {"bad.dslr", rule("broken", {R"(MARC is "24")"}, {"CHANGED"}) +
                         rule("pattern", {R"(MARC is "245")"},
                              {R"(set TEMP"1" to MARC."245"."a")",
                               R"(replace string by string (TEMP"1","([a-z","x"))",
                               R"(set MARC."245"."a" to TEMP"1")"}) +
                         rule("priority", {R"(MARC is "245")"}, {"CHANGED"}, "high")},
    });
    EXPECT_FALSE(compiled.group);
    ASSERT_EQ(compiled.errors.size(), 3u);
    EXPECT_EQ(compiled.errors[0],
              "bad.dslr: rule \"broken\": Could not parse condition: 'marc is \"24\"' - invalid "
              "field length.");
    EXPECT_EQ(compiled.errors[1], "bad.dslr: rule \"pattern\": pattern \"([a-z\" does not compile "
                                  "at offset 5: missing terminating ] for character class");
    EXPECT_EQ(compiled.errors[2],
              "bad.dslr: rule \"priority\": priority \"high\" is not a whole number or n");

    // Rules that need the catalogue's facts, for the offline note.
    const auto facts = RuleGroup::compile({{"f", rule("changed", {R"(MARC is "245")"}, {"CHANGED", "ERROR"}) +
                                                  rule("dates", {R"(Created before "20200101")"}, {"CHANGED"}) +
                                                  rule("hide", {R"(MARC is "245")"}, {"SUPPRESS"}) +
                                                  rule("library", {R"(MARC is "245")"}, {"Change owning library"})}});
    ASSERT_TRUE(facts.group);
    EXPECT_EQ(facts.group->factRules(), (std::vector<std::string>{"dates", "hide", "library"}));

    // Comments and target lines are not errors.
    const auto fine = RuleGroup::compile(
        {{"c", rule("c", {"# just a note", R"(TARGET MARC is "245")"},
                    {"# another", R"(copy MARC "100"."a" to existing "245t")"})}});
    EXPECT_TRUE(fine.group);
    EXPECT_TRUE(fine.errors.empty());
}

TEST(GroupCompile, RefusesWhatCannotBeDoneToARecord) {
    const std::pair<const char*, const char*> cases[] = {
        {R"(remove MARC.control."LDR")", "the leader cannot be removed"},
        {R"(create MARC.control."LDR" with "short")", "a leader must be 24 characters long"},
        {R"(Set MARC field "245"  to "001")", "a control field and a data field cannot"},
        {R"(create MARC."5XX"(" "," "))", "a data field is added under one data field tag"},
        {R"(set MARC.control."001"."a" to "x")", "a control field has no subfields to set"},
    };
    for (const auto& [line, message] : cases) {
        const auto compiled = RuleGroup::compile({{"d", rule("r", {R"(MARC is "245")"}, {line})}});
        EXPECT_FALSE(compiled.group) << line;
        ASSERT_EQ(compiled.errors.size(), 1u) << line;
        EXPECT_NE(compiled.errors[0].find(message), std::string::npos) << compiled.errors[0];
    }
}

// Every real record, run through rules that test it but change nothing,
// comes out as the very bytes it came in as.
TEST(GroupUntouched, RecordsNoRuleChangesAreNotRebuilt) {
    VELUMAR_REQUIRE_MARC_DATA();
    const auto group = testing::compileOrFail(
        {{"t", rule("looks", {R"(MARC is "245")", R"(MARC contains "a")"}, {R"(remove MARC."XYZ")"}) +
                   rule("never", {R"(MARC."245"."a" equals "no such title")"}, {"DELETE"})}});
    ASSERT_TRUE(group);
    GroupRunner runner(*group, {});
    std::size_t records = 0;
    for (const std::string& file : marc::testing::WellFormedFiles) {
        for (const std::string& bytes : testing::sampleRecords(file)) {
            const marc::ParseResult parsed = marc::parseRecord(bytes);
            const RecordOutcome out = runner.apply(*parsed.record, {});
            EXPECT_EQ(out.outcome, Outcome::Unchanged) << file;
            EXPECT_TRUE(out.record.empty());
            ++records;
        }
    }
    EXPECT_GT(records, 700u);
}

} // namespace
} // namespace engine
