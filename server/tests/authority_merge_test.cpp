// Merging an incoming authority record with the existing one it matched:
// each retention option and category, narrowing, local $5 fields, the old
// heading as a 688, the 008 bytes and ignore rules, and the do-not-merge
// tests.
#include "authload/authority_merge.h"

#include "marc/iso2709_writer.h"
#include "marc/mnemonic_writer.h"
#include "marc/record.h"
#include "marc/record_view.h"

#include <gtest/gtest.h>
#include <sstream>

namespace orvane::server::authload {
namespace {

using marc::Field;
using Lines = std::vector<std::string>;
using Parameters = std::vector<std::pair<std::string, std::string>>;

std::string octets(const marc::Record& record) {
    std::string out;
    marc::appendIso2709(record, out);
    return out;
}

std::string fixed008(char b6, char b12, char b13, char b29) {
    std::string data(40, '|');
    data[6] = b6;
    data[12] = b12;
    data[13] = b13;
    data[29] = b29;
    return data;
}

std::string existingRecord() {
    marc::Record r(*marc::Leader::fromText("00000nz  a2200000o  4500"));
    r.appendField(Field::control("001", "e1"));
    r.appendField(Field::control("003", "OLD"));
    r.appendField(Field::control("008", fixed008('x', 'y', 'z', 'b')));
    r.appendField(Field::data("035", ' ', ' ', {{'a', "(OLD)e1"}}));
    r.appendField(Field::data("040", ' ', ' ', {{'a', "DLC"}, {'d', "ABC"}}));
    r.appendField(Field::data("100", '1', ' ', {{'a', "Old, Heading"}}));
    r.appendField(Field::data("400", '1', ' ', {{'a', "Old, Ref"}}));
    r.appendField(Field::data("500", '0', ' ', {{'a', "Local see also"}, {'5', "LOCAL"}}));
    r.appendField(Field::data("500", '0', ' ', {{'a', "National see also"}}));
    r.appendField(Field::data("670", ' ', ' ', {{'a', "Old source"}}));
    r.appendField(Field::data("781", ' ', '0', {{'z', "Place"}}));
    return octets(r);
}

std::string incomingRecord(const std::string& heading = "New, Heading") {
    marc::Record r(*marc::Leader::fromText("00000nz  a2200000n  4500"));
    r.appendField(Field::control("001", "i1"));
    r.appendField(Field::control("003", "NEW"));
    r.appendField(Field::control("008", fixed008('a', 'b', 'c', 'a')));
    r.appendField(Field::data("040", ' ', ' ', {{'a', "DLC"}}));
    r.appendField(Field::data("100", '1', ' ', {{'a', heading}}));
    r.appendField(Field::data("400", '1', ' ', {{'a', "New, Ref"}}));
    r.appendField(Field::data("670", ' ', ' ', {{'a', "New source"}}));
    return octets(r);
}

Lines linesOf(const std::string& record, const std::string& tagPrefix) {
    const auto parsed = marc::parseRecord(record);
    std::string text;
    marc::appendMnemonic(*parsed.record, text);
    Lines found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("=" + tagPrefix, 0) == 0)
            found.push_back(line);
    return found;
}

std::string merged(const std::vector<std::string>& documents, const Parameters& parameters,
                   const std::string& incoming = incomingRecord()) {
    std::vector<std::string> errors;
    const auto configuration = MergeConfiguration::read(documents, parameters, errors);
    EXPECT_TRUE(errors.empty());
    const std::string existing = existingRecord();
    std::string error;
    const auto out = mergeRecords(*marc::parseRecord(incoming).record,
                                  *marc::parseRecord(existing).record, configuration, error);
    EXPECT_TRUE(out) << error;
    return out.value_or("");
}

struct Case {
    const char* what;
    std::vector<std::string> documents;
    Parameters parameters;
    std::string tags;
    Lines expected;
};

TEST(AuthorityMerge, RetentionOptionsByCategory) {
    const Case cases[] = {
        {"incoming fields only by default", {}, {}, "4", {"=400  1\\$aNew, Ref"}},
        {"existing instead", {"4XX|Retain existing field instead of incoming field"}, {}, "4",
         {"=400  1\\$aOld, Ref"}},
        {"existing and incoming", {"4XX|Retain existing field and incoming field"}, {}, "4",
         {"=400  1\\$aNew, Ref", "=400  1\\$aOld, Ref"}},
        {"local $5 instead",
         {"5XX|Retain existing field if $5 present instead of incoming field"},
         {{"LOCAL_NUC_CODE", "LOCAL"}}, "5", {"=500  0\\$aLocal see also$5LOCAL"}},
        {"local $5 from the code list",
         {"5XX|Retain existing field if $5 present and incoming field"},
         {{"LOCAL_NUC_CODE", "DEMO"}, {"LOCAL_NUC_CODE_LIST", "XYZ, LOCAL"}}, "5",
         {"=500  0\\$aLocal see also$5LOCAL"}},
        {"existing when the incoming has none",
         {"5XX|Retain existing field if incoming field is empty"}, {}, "5",
         {"=500  0\\$aLocal see also$5LOCAL", "=500  0\\$aNational see also"}},
        {"not when the incoming has some", {"6XX|Retain existing field if incoming field is empty"},
         {}, "6", {"=670  \\\\$aNew source"}},
        {"narrowed to other tags",
         {"6XX|Retain existing field and incoming field"}, {{"FIELDS_6XX", "675"}}, "6",
         {"=670  \\\\$aNew source"}},
        {"narrowed to its tag", {"6XX|Retain existing field and incoming field"},
         {{"FIELDS_6XX", "670,675"}}, "6", {"=670  \\\\$aNew source", "=670  \\\\$aOld source"}},
        {"$5 added to what is kept", {"5XX|Retain existing field if incoming field is empty"},
         {{"ADD_SUB5_5XX", "Y"}, {"LOCAL_NUC_CODE", "DEMO"}}, "5",
         {"=500  0\\$aLocal see also$5LOCAL$5DEMO", "=500  0\\$aNational see also$5DEMO"}},
        {"old heading moved", {"1XX|Move old heading to 688"}, {}, "6",
         {"=670  \\\\$aNew source", "=688  \\\\$aOld, Heading"}},
        {"4XX ignored on 008/29 b to a", {"4XX|Retain existing field and incoming field"},
         {{"IGNORE_4XX_MATCHED_008", "Y"}}, "4", {"=400  1\\$aNew, Ref"}},
        {"ignored existing 4XX leave the incoming ones", {"4XX|Retain existing field instead of incoming field"},
         {{"IGNORE_4XX_MATCHED_008", "Y"}}, "4", {"=400  1\\$aNew, Ref"}},
        {"the old heading's 688 survives a 6XX rule",
         {"1XX|Move old heading to 688", "6XX|Retain existing field instead of incoming field"}, {},
         "6", {"=670  \\\\$aOld source", "=688  \\\\$aOld, Heading"}},
        {"merged, it keeps its id, 003 and control numbers", {}, {}, "00",
         {"=001  e1", "=003  OLD", "=008  ||||||a|||||bc|||||||||||||||a||||||||||"}},
        {"the incoming control number in an 035", {}, {}, "035",
         {"=035  \\\\$a(OLD)e1", "=035  \\\\$a(NEW)i1"}},
        {"discarding the old heading is the default", {"1XX|Discard old heading"}, {}, "68", {}},
        {"781 kept only under the same heading",
         {"781|Retain existing field instead of incoming field unless headings differ"}, {}, "7",
         {}},
        {"008/06 and 008/13 kept", {"00806|Retain Local 008/06", "00813|Retain Local 008/13"}, {},
         "008", {"=008  ||||||x|||||bz|||||||||||||||a||||||||||"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(linesOf(merged(c.documents, c.parameters), c.tags), c.expected) << c.what;

    // Under the same heading: the existing 781 instead, and no 688.
    const std::string same = merged(
        {"781|Retain existing field instead of incoming field unless headings differ",
         "1XX|Move old heading to 688"},
        {}, incomingRecord("Old, Heading"));
    EXPECT_EQ(linesOf(same, "7"), Lines{"=781  \\0$zPlace"});
    EXPECT_EQ(linesOf(same, "68"), Lines{});
}

TEST(AuthorityMerge, DoNotMergeTestsOnTheExistingRecord) {
    const std::string existing = existingRecord();
    const auto view = marc::parseRecord(existing);
    const std::pair<std::vector<std::string>, Parameters> holding[] = {
        {{"DNMLDR17|Existing Leader/17 (encoding level) is"}, {{"DNMLDR17_INPUT", "o"}}},
        {{"DNM040$a|040 $a is"}, {{"DNM040_A_INPUT", "DLC"}}},
        {{"DNM040$d|040 $d is"}, {{"DNM040_D_INPUT", "ABC"}}},
    };
    const std::pair<std::vector<std::string>, Parameters> notHolding[] = {
        {{"DNMLDR17|Existing Leader/17 (encoding level) is"}, {{"DNMLDR17_INPUT", "n"}}},
        {{"DNMLDR18|Leader/18 is not blank"}, {}},
        {{"DNM040$a|040 $a is"}, {{"DNM040_A_INPUT", "XYZ"}}},
        {{"DNM040$e|040 has $e"}, {}},
        {{"DNM040GT|more than one 040"}, {}},
    };
    std::vector<std::string> errors;
    for (const auto& [docs, params] : holding)
        EXPECT_EQ(doNotMerge(*view.record, MergeConfiguration::read(docs, params, errors)),
                  docs[0].substr(0, docs[0].find('|')));
    for (const auto& [docs, params] : notHolding)
        EXPECT_FALSE(doNotMerge(*view.record, MergeConfiguration::read(docs, params, errors)))
            << docs[0];
    EXPECT_TRUE(errors.empty());
}

TEST(AuthorityMerge, ConfigurationReadsTheDemoParameters) {
    std::vector<std::string> errors;
    const auto c = MergeConfiguration::read(
        {"00806|Retain Local 008/06", "1XX|Move old heading to 688",
         "5XX|Retain existing field and incoming field", "5XX|No such option"},
        {{"MMM_TOPICAL", "Y"}, {"MMM_SERIES", "N"}, {"LOAD_CHOOSE_BEST_RULE_SET_ID", "12"},
         {"IMPORT_UNMATCHED_RECORDS", "1"}, {"FIELDS_5XX", "500, 510"}},
        errors);
    EXPECT_EQ(errors, std::vector<std::string>{"unknown merge rule \"5XX|No such option\""});
    EXPECT_EQ(c.chooseBestGroup, 12);
    EXPECT_TRUE(c.importUnmatched);
    EXPECT_TRUE(c.mergeMultiple.at("MMM_TOPICAL"));
    EXPECT_FALSE(c.mergeMultiple.at("MMM_SERIES"));
    EXPECT_EQ(c.categories.at("5XX").fields, (std::set<std::string>{"500", "510"}));
    EXPECT_EQ(MergeConfiguration::categoryOf("043"), "043");
    EXPECT_EQ(MergeConfiguration::categoryOf("045"), "0XX");
    EXPECT_EQ(MergeConfiguration::categoryOf("095"), "09X");
    EXPECT_EQ(MergeConfiguration::categoryOf("781"), "781");
    EXPECT_EQ(MergeConfiguration::categoryOf("788"), "7XX");
    EXPECT_EQ(MergeConfiguration::categoryOf("008"), "");
}

} // namespace
} // namespace orvane::server::authload
