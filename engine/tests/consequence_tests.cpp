// Every consequence kind that changes MARC data, on a real record: the
// fields of the tag concerned after the rule ran.
#include "engine_test_support.h"

namespace engine {
namespace {

using testing::lines;
using testing::rule;
using Lines = std::vector<std::string>;

class Consequences : public ::testing::Test {
protected:
    void SetUp() override {
        VELUMAR_REQUIRE_MARC_DATA();
        record = testing::sampleRecords("m4j_chabon.mrc").at(0);
    }
    testing::Applied apply(std::initializer_list<std::string> then,
                           std::initializer_list<std::string> when = {R"(MARC is "245")"}) {
        return testing::run(rule("r", when, then), record, {});
    }
    std::string record;
};

struct Case {
    std::initializer_list<std::string> then;
    std::string tag;
    Lines expected;
};

TEST_F(Consequences, ChangeTheSelectedFieldsAndSubfields) {
    const Case cases[] = {
        {{R"(remove MARC.control."005")"}, "005", {}},
        {{R"(remove MARC."651")"}, "65", {
            "=650  \\0$aComic books, strips, etc.$xAuthorship$vFiction.",
            "=650  \\0$aHeroes in mass media$vFiction.",
            "=650  \\0$aCzech Americans$vFiction.",
            "=650  \\0$aYoung men$vFiction.",
            "=650  \\0$aCartoonists$vFiction.",
            "=655  \\7$aHumorous stories.$2gsafd",
            "=655  \\7$aBildungsromane.$2gsafd"}},
        {{R"(remove MARC."6XX")"}, "6", {}},
        {{R"(remove MARC."650" subfield "v")"}, "650", {
            "=650  \\0$aComic books, strips, etc.$xAuthorship",
            "=650  \\0$aHeroes in mass media",
            "=650  \\0$aCzech Americans",
            "=650  \\0$aYoung men",
            "=650  \\0$aCartoonists"}},
        // The only subfield removed: the field goes.
        {{R"(remove MARC."020" subfield "a")"}, "020", {}},
        {{R"(set MARC."245"."c" to "M. Chabon.")"}, "245", {
            "=245  14$aThe amazing adventures of Kavalier and Clay :$ba novel /$cM. Chabon."}},
        {{R"(set MARC."650"."x" to "History")"}, "650", {
            "=650  \\0$aComic books, strips, etc.$xHistory$vFiction.",
            "=650  \\0$aHeroes in mass media$vFiction.",
            "=650  \\0$aCzech Americans$vFiction.",
            "=650  \\0$aYoung men$vFiction.",
            "=650  \\0$aCartoonists$vFiction."}},
        {{R"(Set MARC subfield "655" "2" to "0")"}, "655", {
            "=655  \\7$aHumorous stories.$0gsafd",
            "=655  \\7$aBildungsromane.$0gsafd"}},
        {{R"(Set MARC field "651"  to "691")"}, "69", {"=691  \\0$aNew York (N.Y.)$vFiction."}},
        {{R"(Set MARC indicator "245" "2" to "0")"}, "245", {
            "=245  10$aThe amazing adventures of Kavalier and Clay :$ba novel /$cMichael Chabon."}},
        {{R"(create MARC.control."005" with "20261205000000.0")"}, "005", {"=005  20261205000000.0"}},
        {{R"(create MARC.control."003" with "DLC")"}, "00", {
            "=001  11939876", "=003  DLC", "=005  20041229190604.0",
            "=008  000313s2000\\\\\\\\nyu\\\\\\\\\\\\\\\\\\\\\\000\\1\\eng\\\\"}},
        {{R"(create MARC."590"(" "," "))", R"(create MARC."590" subfield "a" with "Batch reviewed")"},
         "59", {"=590  \\\\$aBatch reviewed"}},
        {{R"(create MARC."700"("1"," "))", R"(create MARC."700" subfield "a" with MARC."100"."a")"},
         "700", {"=700  1\\$aChabon, Michael."}},
        {{R"(create MARC."655" subfield "5" with "local")"}, "655", {
            "=655  \\7$aHumorous stories.$2gsafd$5local",
            "=655  \\7$aBildungsromane.$2gsafd$5local"}},
        {{R"(create MARC."245"."h" with "[text]" after "a"["0"])"}, "245", {
            "=245  14$aThe amazing adventures of Kavalier and Clay :$h[text]$ba novel /$cMichael Chabon."}},
        {{R"(create MARC."245"."h" with "[text]" before "c"["99"])"}, "245", {
            "=245  14$aThe amazing adventures of Kavalier and Clay :$ba novel /$h[text]$cMichael Chabon."}},
        // A placement code the field lacks: at the end.
        {{R"(create MARC."245"."h" with "[text]" before "n"["0"])"}, "245", {
            "=245  14$aThe amazing adventures of Kavalier and Clay :$ba novel /$cMichael Chabon.$h[text]"}},
    };
    for (const Case& c : cases) {
        const auto applied = apply(c.then);
        EXPECT_EQ(applied.outcome.outcome, Outcome::Changed) << *c.then.begin();
        EXPECT_EQ(lines(applied.after, c.tag), c.expected) << *c.then.begin();
    }
}

TEST_F(Consequences, CopyToNewAndToExistingFields) {
    const Case cases[] = {
        {{R"(copy MARC "100"."a" to new "700"."a")"}, "700", {"=700  \\\\$aChabon, Michael."}},
        // No target code: the source's own.
        {{R"(copy MARC "100"."a" to new "700")"}, "700", {"=700  \\\\$aChabon, Michael."}},
        // Every selected value makes its own field, in record order.
        {{R"(copy MARC "650"."a" to new "690"."a")"}, "690", {
            "=690  \\\\$aComic books, strips, etc.", "=690  \\\\$aHeroes in mass media",
            "=690  \\\\$aCzech Americans", "=690  \\\\$aYoung men", "=690  \\\\$aCartoonists"}},
        // "all": the whole field under the new tag, indicators kept.
        {{R"(copy MARC "245" to new "246" all)"}, "246", {
            "=246  14$aThe amazing adventures of Kavalier and Clay :$ba novel /$cMichael Chabon."}},
        {{R"(copy MARC "001" to new "035"."a" all)"}, "035", {"=035  \\\\$a11939876"}},
        // The older form: indicators and code of the new field.
        {{R"(copy MARC "651"."a" to "691"("1","4")."b")"}, "691", {"=691  14$bNew York (N.Y.)"}},
        {{R"(copy MARC "100"."a" to field "700"("1"," "))"}, "700", {"=700  1\\$aChabon, Michael."}},
        {{R"(copy MARC "245"."c" to subfield "d")"}, "245", {
            "=245  14$aThe amazing adventures of Kavalier and Clay :$ba novel /$cMichael Chabon.$dMichael Chabon."}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lines(apply(c.then).after, c.tag), c.expected) << *c.then.begin();

    // The target line picks the field that receives the copy.
    const auto existing = apply({R"(copy MARC "100"."a" to existing "655t")"},
                                {R"(TARGET MARC is "655")"});
    EXPECT_EQ(lines(existing.after, "655"),
              (Lines{"=655  \\7$aHumorous stories.$2gsafd$aChabon, Michael.",
                     "=655  \\7$aBildungsromane.$2gsafd"}));
    const auto control = apply({R"(copy MARC "001" to existing "020t" all)"},
                               {R"(TARGET MARC is "020")"});
    EXPECT_EQ(lines(control.after, "020"),
              Lines{"=020  \\\\$a0679450041 (acid-free paper)$a11939876"});
    const auto none = apply({R"(copy MARC "100"."a" to existing "246t")"},
                            {R"(MARC is "245")", R"(TARGET MARC is "246")"});
    EXPECT_TRUE(none.outcome.firedRules.empty());
}

TEST_F(Consequences, ReplaceStringGroupsRunOnEverySelectedValue) {
    const auto literal = apply({R"(set TEMP"1" to MARC."650"."v")",
                                R"(replace string by string (TEMP"1","\\\\QFiction.","Juvenile fiction."))",
                                R"(set MARC."650"."v" to TEMP"1")"});
    for (const std::string& line : lines(literal.after, "650"))
        EXPECT_TRUE(line.ends_with("$vJuvenile fiction.")) << line;

    const auto pattern = apply({R"(set TEMP"1" to MARC."650"."a")",
                                R"~(replace string by string (TEMP"1","^(\w+) (\w+)","$2 $1"))~",
                                R"(set MARC."650"."a" to TEMP"1")"});
    EXPECT_EQ(lines(pattern.after, "650"),
              (Lines{"=650  \\0$abooks Comic, strips, etc.$xAuthorship$vFiction.",
                     "=650  \\0$ain Heroes mass media$vFiction.",
                     "=650  \\0$aAmericans Czech$vFiction.",
                     "=650  \\0$amen Young$vFiction.",
                     "=650  \\0$aCartoonists$vFiction."}));

    const auto position = apply({R"(set TEMP"1" to MARC.control."008")",
                                 R"(replace string by position (TEMP"1","fre","35"))",
                                 R"(set MARC.control."008" to TEMP"1")"});
    EXPECT_EQ(lines(position.after, "008"),
              Lines{"=008  000313s2000\\\\\\\\nyu\\\\\\\\\\\\\\\\\\\\\\000\\1\\fre\\\\"});
    // Past the end, the control field is padded with blanks.
    const auto padded = apply({R"(set TEMP"1" to MARC.control."001")",
                               R"(replace string by position (TEMP"1","X","10"))",
                               R"(set MARC.control."001" to TEMP"1")"});
    EXPECT_EQ(lines(padded.after, "001"), Lines{"=001  11939876\\\\X"});
}

TEST_F(Consequences, NothingToDoLeavesTheRecordUnchanged) {
    const std::initializer_list<std::string> noOps[] = {
        {R"(set MARC."246"."a" to "x")"},
        {R"(remove MARC."246")"},
        {R"(create MARC."590"(" "," "))"}, // a new field no subfield filled is dropped
        {R"(set MARC."245"."c" to "Michael Chabon.")"}, // the same value again
        {R"(Set MARC subfield "245" "z" to "y")"},
    };
    for (const auto& then : noOps) {
        const auto applied = apply(then);
        EXPECT_EQ(applied.outcome.outcome, Outcome::Unchanged) << *then.begin();
        EXPECT_EQ(applied.outcome.firedRules, std::vector<std::string>{"r"});
        EXPECT_TRUE(applied.outcome.record.empty());
    }
}

} // namespace
} // namespace engine
