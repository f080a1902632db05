// Every condition kind on a real record: does the rule fire?
#include "engine_test_support.h"

namespace engine {
namespace {

using testing::rule;

// The first record of m4j_chabon.mrc: 245 14 with $a $b $c; five 650 _0
// (the first with $x Authorship) and a 651 between them; 008 Date1 2000.
class Conditions : public ::testing::Test {
protected:
    void SetUp() override {
        VELUMAR_REQUIRE_MARC_DATA();
        record = testing::sampleRecords("m4j_chabon.mrc").at(0);
    }
    bool fires(std::initializer_list<std::string> when, const RecordFacts& facts = {}) {
        const auto applied = testing::run(rule("r", when, {"CHANGED"}), record, facts);
        return !applied.outcome.firedRules.empty();
    }
    std::string record;
};

struct Case {
    const char* line;
    bool holds;
};

TEST_F(Conditions, FieldFormsOnTheRecord) {
    const Case cases[] = {
        {R"(MARC is "245")", true},
        {R"(MARC is "246")", false},
        {R"(MARC is "245"."b")", true},
        {R"(MARC is "245"."x")", false},
        {R"(MARC is "245"("1","4"))", true},
        {R"(MARC is "245"("1","0"))", false},
        {R"(MARC is "245"("#","4"))", true},
        {R"(MARC is "6"XX)", true},
        {R"(MARC is "5"XX)", false},
        {R"(MARC is "65"X)", true},
        {R"(MARC is "25"X)", false},
        {R"(MARC."650" has any "xz")", true},
        {R"(MARC."651" has any "x")", false},
        {R"(MARC."650" does not have any "x")", true},
        {R"(MARC."655" does not have any "2")", false},
        {R"(MARC."245"."a" starts with "The amazing")", true},
        {R"(MARC."650"."a" equals "Heroes in mass media")", true},
        {R"(MARC."650"."a" equals "heroes in mass media")", false},
        {R"(MARC."650"["0"]."a" equals "Heroes in mass media")", false},
        {R"(MARC."650"["1"]."a" equals "Heroes in mass media")", true},
        {R"(MARC."650"["99"]."a" equals "Cartoonists")", true},
        {R"(MARC."650"["9"]."a" equals "Cartoonists")", false},
        {R"(MARC."650"."v"["0"] equals "Fiction.")", true},
        {R"(MARC."245"."*"["99"] equals "Michael Chabon.")", true},
        {R"(MARC."650"."v" does not equal "Fiction.")", false},
        {R"(MARC."650"."x" does not equal "Nothing")", true},
        {R"(MARC."246"."a" does not equal "x")", true},
        {R"(MARC with subfield "650"."x" contains "Author")", true},
        {R"(MARC with subfield "650"."a" does not contain "Comic")", false},
        {R"(MARC contains "Kavalier")", true},
        {R"(MARC contains "Zebra")", false},
        {R"(MARC does not contain "Zebra")", true},
        // Every value contains "": so only a record without the field passes.
        {R"(MARC with subfield "1XX"."a" does not contain "")", false},
        {R"(MARC with subfield "2XX"."x" does not contain "")", true},
        {R"(MARC."245" equals "The amazing adventures of Kavalier and Clay : a novel / Michael Chabon.")",
         true},
        {R"(MARC range "260"."c" between "c1999" and "c2001")", true},
        {R"(MARC range "260"."c" between "c2001" and "c2009")", false},
        {R"(MARC."245")", true},
        {R"(# a comment holds)", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fires({c.line}), c.holds) << c.line;
}

TEST_F(Conditions, ControlFieldForms) {
    const Case cases[] = {
        {R"(MARC.control is "008")", true},
        {R"(MARC.control is "007")", false},
        {R"(MARC.control is "008".Language)", true},
        {R"(MARC.control is "LDR".MaterialType)", true},
        {R"(MARC.control."008"("7","11") equals "2000")", true},
        {R"(MARC.control."008".Date1 equals "2000")", true},
        {R"(MARC.control."008".Language equals "eng")", true},
        {R"(MARC.control."008".Language equals "fre")", false},
        // A range past the end selects nothing: equals fails, does not equal holds.
        {R"(MARC.control."008"("38","45") equals "x")", false},
        {R"(MARC.control."008"("38","45") does not equal "x")", true},
        {R"(MARC.control."LDR"("6","7") equals "a")", true},
        {R"(MARC.control."001" starts with "1193")", true},
        {R"(MARC.control."001" contains "3987")", true},
        {R"(MARC.control."001" between "1" and "2")", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fires({c.line}), c.holds) << c.line;
}

TEST_F(Conditions, CatalogueFactsHoldOnlyWhenKnown) {
    RecordFacts facts;
    facts.createdDate = "20200115";
    facts.updatedDate = "20240301";
    facts.createdBy = "JSmith";
    facts.updatedBy = "Batch";
    facts.owningLibrary = "MAIN";
    facts.owningLibraryName = "Main Library";
    facts.suppressed = false;
    const Case cases[] = {
        {R"(Created before "20210101")", true},
        {R"(Created after "20210101")", false},
        {R"(Created between "20200101" and "20200131")", true},
        {R"(Created between "20200116" and "20200131")", false},
        {R"(Updated after "20240101")", true},
        {R"(Updated before "20240301")", false},
        {R"(Created by "jsmith")", true},
        {R"(Updated by "JSmith")", false},
        {R"(MARC.owningLibrary in "|LAW|MAIN|")", true},
        {R"(MARC.owningLibrary not in "|MAIN|")", false},
        {R"(MARC.owningLibrary not in "|LAW|")", true},
        {R"(MARC.owningLibrary in "|Law Library|Main Library|")", true},
        {R"(MARC.owningLibrary not in "|Main Library|")", false},
        {R"(MARC.opacsuppress is unsuppressed)", true},
        {R"(MARC.opacsuppress is suppressed)", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fires({c.line}, facts), c.holds) << c.line;
        // Offline nothing about the record is known, and no such condition holds.
        EXPECT_FALSE(fires({c.line})) << c.line << " (facts unknown)";
    }
}

TEST_F(Conditions, AllConditionsOfARuleMustHold) {
    EXPECT_TRUE(fires({R"(MARC is "245")", R"(MARC is "100")"}));
    EXPECT_FALSE(fires({R"(MARC is "245")", R"(MARC is "246")"}));
}

TEST_F(Conditions, FromClauseTestsOneAndTheSameField) {
    // $a and $x of the first 650 are in one field.
    EXPECT_TRUE(fires({R"(MARC."650"."a" equals "Comic books, strips, etc.")",
                       R"(MARC."650"."x" equals "Authorship" from MARC."650")"}));
    // $x Authorship is in another 650 than $a Heroes...: only without the clause.
    EXPECT_FALSE(fires({R"(MARC."650"."a" equals "Heroes in mass media")",
                        R"(MARC."650"."x" equals "Authorship" from MARC."650")"}));
    EXPECT_TRUE(fires({R"(MARC."650"."a" equals "Heroes in mass media")",
                       R"(MARC."650"."x" equals "Authorship")"}));
    // A negative comparison under the clause holds on the narrowed field.
    EXPECT_TRUE(fires({R"(MARC."650"."a" equals "Heroes in mass media")",
                       R"(MARC."650"."x" does not equal "Authorship" from MARC."650")"}));
    // A from-clause on another tag leaves the 650s narrowed as they were.
    EXPECT_FALSE(fires({R"(MARC."650"."a" equals "Heroes in mass media")",
                        R"(MARC."245"."a" starts with "The" from MARC."650")",
                        R"(MARC."650"."x" equals "Authorship" from MARC."650")"}));
    // Narrowing carries on: three conditions on one 650.
    EXPECT_FALSE(fires({R"(MARC."650"."a" equals "Comic books, strips, etc.")",
                        R"(MARC."650"."x" equals "Authorship" from MARC."650")",
                        R"(MARC."650"."a" equals "Cartoonists" from MARC."650")"}));
}

} // namespace
} // namespace engine
