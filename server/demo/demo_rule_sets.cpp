// The demo rule documents and rule set groups: the predefined authority-load
// documents (the two match documents, every coded merge document), a few
// choose-best and reconcile documents, and scan and data change documents
// and groups that show what the rule language can say.
#include "rulesets/rule_document_store.h"
#include "rulesets/rule_set_store.h"
#include "seed.h"
#include "store/database.h"

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::server {

namespace {

constexpr std::string_view DemoOperator = "demo";
constexpr std::string_view Header = "# Rule document\r\n# Created with Velumar\r\n#\r\n";

enum RuleType : std::int64_t { Scan = 1, DataChange, Match, Merge, ChooseBest, Reconcile };

struct DemoDocument {
    std::int64_t type;
    std::string name;
    std::string description;
    std::vector<std::string_view> rules; // each "rule" ... "end", lines joined by CR LF
    std::vector<std::string> parameters; // the job parameters the text asks for
};

// A rule: its name, its condition lines and its consequence lines.
std::string rule(std::string_view name, std::vector<std::string_view> when,
                 std::vector<std::string_view> then) {
    std::string text = "rule \"" + std::string(name) + "\"\r\n#priority n\r\n  when\r\n";
    for (const auto line : when)
        text += "    " + std::string(line) + "\r\n";
    text += "  then\r\n";
    for (const auto line : then)
        text += "    " + std::string(line) + "\r\n";
    return text + "end\r\n\r\n";
}

std::string textOf(std::string_view comment, const std::vector<std::string>& rules) {
    std::string text(Header);
    text += "# " + std::string(comment) + "\r\n";
    for (const auto& r : rules)
        text += r;
    return text;
}

// Merge categories and the retention options each offers beside its
// default, which is stored as no link at all.
constexpr std::array<std::string_view, 6> GeneralRetention{{
    "Retain existing field instead of incoming field",
    "Retain existing field and incoming field",
    "Retain existing field if $5 present instead of incoming field",
    "Retain existing field if $5 present and incoming field",
    "Retain existing field if incoming field is empty",
    "Retain existing field if $5 present and incoming field is empty",
}};
constexpr std::array<std::string_view, 12> GeneralCategories{
    {"043", "09X", "0XX", "2XX", "3XX", "4XX", "5XX", "6XX", "781", "7XX", "8XX", "9XX"}};
constexpr std::array<std::array<std::string_view, 2>, 3> Rows008{{
    {"00806", "Retain Local 008/06"},
    {"00812", "Retain Local 008/12"},
    {"00813", "Retain Local 008/13"},
}};
constexpr std::array<std::array<std::string_view, 2>, 6> DoNotMerge{{
    {"DNMLDR17", "Existing Leader/17 (encoding level) is"},
    {"DNMLDR18", "Existing Leader/18 (descriptive cataloguing form) is not blank"},
    {"DNM040$a", "Existing 040 $a (original cataloguing agency) is"},
    {"DNM040$d", "Existing 040 $d (modifying agency) is"},
    {"DNM040$e", "Existing 040 has $e (description conventions)"},
    {"DNM040GT", "Existing record has more than one 040"},
}};

// Coded merge documents act through their names; their text says what they do.
DemoDocument mergeDocument(std::string_view code, std::string_view label) {
    const std::string name = std::string(code) + "|" + std::string(label);
    return {Merge, name, std::string(label), {}, {}};
}

std::vector<DemoDocument> mergeDocuments() {
    std::vector<DemoDocument> docs;
    for (const auto& [code, label] : Rows008)
        docs.push_back(mergeDocument(code, label));
    for (const auto category : GeneralCategories) {
        for (const auto option : GeneralRetention)
            docs.push_back(mergeDocument(category, option));
        if (category == "781")
            docs.push_back(mergeDocument(
                category, "Retain existing field instead of incoming field unless headings differ"));
    }
    docs.push_back(mergeDocument("1XX", "Move old heading to 688"));
    for (const auto& [code, label] : DoNotMerge)
        docs.push_back(mergeDocument(code, label));
    return docs;
}

struct DemoGroup {
    std::int64_t type;
    std::string_view name;
    std::string_view description;
    std::vector<std::string_view> documents;
    std::vector<RuleSetParameter> parameters;
};

void store(Database& db, const DemoDocument& doc, std::string text) {
    const auto outcome = saveRuleDocument(
        db, {std::nullopt, doc.type, doc.name, doc.description, std::move(text), doc.parameters,
             std::string(DemoOperator)});
    if (outcome.status != 0)
        throw std::logic_error("demo rule document " + doc.name + " not stored");
}

void storeGroup(Database& db, const DemoGroup& group) {
    RuleSetChange change{std::nullopt, group.type, std::string(group.name),
                         std::string(group.description), {}, group.parameters,
                         std::string(DemoOperator)};
    for (const auto name : group.documents)
        change.documents.push_back(findRuleDocument(db, group.type, std::string(name)).value());
    if (saveRuleSet(db, change).status != 0)
        throw std::logic_error("demo rule set group " + std::string(group.name) + " not stored");
}

} // namespace

void seedDemoRuleSets(Database& db) {
    const std::vector<std::pair<DemoDocument, std::vector<std::string>>> written{
        {{Match, "MatchCode-And-Tag-Field",
          "Matches on the match code and the match id tag field", {}, {}},
         {rule("Match code and tag field", {"MARC is \"035\".\"a\""}, {"CHANGED"})}},
        {{Match, "Delete-By-Auth-Status", "Deletes existing records the incoming record deletes",
          {}, {}},
         {rule("Deleted authority", {"MARC.control.\"LDR\"(\"5\",\"6\") equals \"d\""},
               {"DELETE"})}},
        {{ChooseBest, "Prefer full level records", "Leader/17 n (complete record) wins", {}, {}},
         {rule("Full level", {"MARC.control.\"LDR\"(\"17\",\"18\") equals \"n\""}, {"CHANGED"})}},
        {{ChooseBest, "Prefer national agency records", "040 $a DLC wins", {}, {}},
         {rule("National agency", {"MARC.\"040\".\"a\" equals \"DLC\""}, {"CHANGED"})}},
        {{ChooseBest, "Prefer records with see references",
          "A record with 4XX see references wins", {}, {}},
         {rule("See references", {"MARC is \"4\"XX"}, {"CHANGED"})}},
        {{Reconcile, "Reconcile undifferentiated names", "Flags 008/32 b headings", {}, {}},
         {rule("Undifferentiated", {"MARC.control.\"008\"(\"32\",\"33\") equals \"b\""},
               {"ERROR"})}},
        {{Reconcile, "Reconcile see references",
          "Removes local $9 subfields from 4XX see references", {}, {}},
         {rule("Local subfields", {"MARC.\"4XX\" has any \"9\""},
               {"remove MARC.\"4XX\" subfield \"9\""})}},
        {{Scan, "Records without a title", "Finds records whose 245 has no $a", {}, {}},
         {rule("No 245", {"MARC.\"245\" does not have any \"a\""}, {"INCLUDE"})}},
        {{Scan, "Electronic resources", "Finds 856 links, leaves out suppressed records", {}, {}},
         {rule("Has links", {"MARC is \"856\".\"u\""}, {"INCLUDE"}),
          rule("Suppressed", {"MARC.opacsuppress is suppressed"}, {"EXCLUDE"})}},
        {{Scan, "Created by the loader", "Records the batch loader made", {}, {}},
         {rule("Loader", {"Created by \"loader\""}, {"INCLUDE"})}},
        {{DataChange, "Tidy local fields", "Removes 9XX and 590 local notes", {}, {}},
         {rule("Local notes", {"MARC is \"590\""}, {"remove MARC.\"590\""}),
          rule("Local fields", {"MARC is \"9\"XX"}, {"remove MARC.\"9XX\""})}},
        {{DataChange, "Mark electronic titles", "Adds a GMD and a note to 856 records", {}, {}},
         {rule("GMD", {"MARC is \"856\".\"u\""},
               {"create MARC.\"245\".\"h\" with \"[electronic resource]\" after \"a\"[\"0\"]",
                "create MARC.\"500\"(\" \",\" \")",
                "create MARC.\"500\" subfield \"a\" with \"Online resource.\""})}},
        {{DataChange, "Suppress withdrawn", "Suppresses records whose 852 says withdrawn",
          {}, {"REQ_LOCATION_ID"}},
         {rule("Withdrawn", {"MARC.\"852\".\"z\" equals \"Withdrawn\""},
               {"SUPPRESS", "Unset OK to Export"})}},
        {{DataChange, "Move to the law library", "Law classification goes to the law library",
          {}, {"REQ_LIBRARY_ID", "REQ_LOCATION_ID"}},
         {rule("Law", {"MARC.\"050\".\"a\" starts with \"K\""}, {"Change owning library"})}},
        {{DataChange, "Retag uniform titles", "240 becomes 130 when there is no 1XX", {}, {}},
         {rule("Uniform title",
               // No value at all can fail to contain "": the record has no 1XX $a.
               {"MARC is \"240\"", "MARC with subfield \"1XX\".\"a\" does not contain \"\""},
               {"Set MARC field \"240\"  to \"130\""})}},
    };
    for (const auto& [doc, rules] : written)
        store(db, doc, textOf(doc.description, rules));
    for (const auto& doc : mergeDocuments())
        store(db, doc, textOf("Merge rule: " + doc.name, {}));

    const std::vector<DemoGroup> groups{
        {Scan, "Catalogue checks", "Records to look at", {"Records without a title",
                                                          "Electronic resources"}, {}},
        {DataChange, "Monthly clean-up", "Local fields and electronic titles",
         {"Tidy local fields", "Mark electronic titles", "Retag uniform titles"}, {}},
        {DataChange, "Withdrawals", "Suppress and move", {"Suppress withdrawn",
                                                          "Move to the law library"}, {}},
        {Match, "Standard load match", "Heading match",
         {"Delete-By-Auth-Status", "MatchCode-And-Tag-Field"},
         {{"MATCH_PROFILE_CODE", "HEADING"}, {"MULTIMATCH_TAG", "035"}}},
        {ChooseBest, "Standard load merge{linked}", "", {"Prefer full level records",
                                                         "Prefer records with see references"},
         {}},
        {Reconcile, "Standard reconcile", "After every load",
         {"Reconcile undifferentiated names", "Reconcile see references"}, {}},
    };
    for (const auto& group : groups)
        storeGroup(db, group);

    // The merge configuration names its choose-best companion by id.
    const auto companion = findRuleSet(db, "Standard load merge{linked}").value();
    storeGroup(db, {Merge, "Standard load merge", "Keeps local 008/06, moves old headings",
                    {"00806|Retain Local 008/06", "1XX|Move old heading to 688",
                     "DNMLDR17|Existing Leader/17 (encoding level) is",
                     "5XX|Retain existing field and incoming field"},
                    {{"MMM_SERIES", "N"}, {"MMM_TOPICAL", "Y"}, {"DNMLDR17_INPUT", "7"},
                     {"FIELDS_5XX", "500,510"}, {"ADD_SUB5_5XX", "Y"},
                     {"LOAD_CHOOSE_BEST_RULE_SET_ID", std::to_string(companion)},
                     {"IMPORT_UNMATCHED_RECORDS", "1"}, {"LOCAL_NUC_CODE", "DEMO"},
                     {"LOCAL_NUC_CODE_LIST", "DEMO,DLC"}}});
}

} // namespace orvane::server
