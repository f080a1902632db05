// The rule document and rule set group requests against a server: what is
// kept, what is answered and in which order, and what is refused.
#include "reference_fixture.h"
#include "protocol/status.h"
#include "rule_set_fixture.h"

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

class RuleSetHandlers : public RuleSetServer {
protected:
    std::string all = operatorWith("cat", {"SRA", "SRU", "SRD", "SRV", "DCRA", "DCRU", "DCRD",
                                           "DCRV", "ALA"});
};

std::vector<std::string> described(const wire::Answer& answer, std::string_view key) {
    std::vector<std::string> out;
    for (const auto& record : records(answer, key))
        out.push_back(describe(record));
    return out;
}

// The authorship fields vary with the clock; the rest is compared exactly.
wire::Fields withoutDates(wire::Fields fields) {
    std::erase_if(fields, [](const wire::Field& f) { return f.key == "UD"; });
    return fields;
}

TEST_F(RuleSetHandlers, RuleDocumentsAreKeptPerTypeWithAuthorshipAndUniqueNames) {
    const auto scan = saveDocument(all, 1, "Titles", {{"PN", "REQ_LIBRARY_ID"}, {"OI", "cat"}});
    const auto change = saveDocument(all, 2, "Titles");
    EXPECT_NE(scan, change);

    // Taken within its type: refused, nothing stored.
    EXPECT_EQ(send(all, "SAVE_RULE_DOCUMENT", {{"RT", 1}, {"NM", "Titles"}}), (wire::Answer{4, {}}));
    const auto list = send(all, "GET_RULE_DOCUMENTS", {{"RT", 1}, {"OI", "cat"}});
    EXPECT_EQ(withoutDates(list.fields),
              (wire::Fields{{"ID", scan}, {"NM", "Titles"}, {"DSC", "about Titles"}, {"CO", "cat"},
                            {"UO", ""}, {"DOC", "# Titles\r\n"}}));
    const auto* date = wire::findField(list.fields, "UD");
    ASSERT_NE(date, nullptr);
    EXPECT_EQ(std::get<std::string>(date->value).size(), 19u); // yyyy-mm-dd hh:mm:ss

    // A change by another operator is kept as theirs; renaming onto a taken name is refused.
    const std::string other = operatorWith("editor", {"SRU", "SRV"});
    EXPECT_EQ(send(other, "SAVE_RULE_DOCUMENT",
                   {{"ID", scan}, {"RT", 1}, {"NM", "Title fixes"}, {"DSC", "d"}, {"DOC", "x"}})
                  .status,
              0);
    saveDocument(all, 1, "Other");
    EXPECT_EQ(send(all, "SAVE_RULE_DOCUMENT", {{"ID", scan}, {"RT", 1}, {"NM", "Other"}}).status, 4);
    const auto after = records(send(all, "GET_RULE_DOCUMENTS", {{"RT", 1}}), "ID");
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(describe(withoutDates(after[1])), "ID=" + std::to_string(scan) +
                                                    " NM=\"Title fixes\" DSC=\"d\" CO=\"cat\" "
                                                    "UO=\"editor\" DOC=\"x\"");

    // Unknown ids, other types and unknown types.
    EXPECT_EQ(send(all, "SAVE_RULE_DOCUMENT", {{"ID", 999}, {"RT", 1}, {"NM", "n"}}).status, 7);
    EXPECT_EQ(send(all, "SAVE_RULE_DOCUMENT", {{"ID", scan}, {"RT", 2}, {"NM", "n"}}).status, 8);
    EXPECT_EQ(send(all, "SAVE_RULE_DOCUMENT", {{"RT", 7}, {"NM", "n"}}).status, 8);
    EXPECT_EQ(send(all, "SAVE_RULE_DOCUMENT", {{"RT", 1}, {"NM", ""}}).status, 8);
    EXPECT_EQ(send(all, "GET_RULE_DOCUMENTS", {{"RT", 0}}).status, 8);
}

TEST_F(RuleSetHandlers, GroupsKeepLinksInSentOrderParametersAndRequiredNames) {
    const auto a = saveDocument(all, 2, "A", {{"PN", "REQ_LOCATION_ID"}});
    const auto b = saveDocument(all, 2, "B", {{"PN", "REQ_LIBRARY_ID"}, {"PN", "REQ_LOCATION_ID"}});
    const auto answer = send(all, "SAVE_RULE_SET",
                             {{"RT", 2}, {"NM", "Group"}, {"DSC", "g"}, {"OI", "cat"},
                              {"RDID", b}, {"RO", 0}, {"RDID", a}, {"RO", 1}, {"RDID", b},
                              {"RO", 2}, {"PN", "LOCAL_NUC_CODE"}, {"PV", "X"}, {"PN", "E"},
                              {"PV", ""}});
    ASSERT_EQ(answer.status, 0);
    const auto id = std::get<std::int32_t>(answer.fields.at(0).value);

    EXPECT_EQ(described(send(all, "GET_RULE_DOCUMENTS_FOR_SET", {{"RSID", id}, {"OI", "cat"}}),
                        "ID"),
              (std::vector<std::string>{"ID=" + std::to_string(b) + " RO=0",
                                        "ID=" + std::to_string(a) + " RO=1",
                                        "ID=" + std::to_string(b) + " RO=2"}));
    EXPECT_EQ(send(all, "GET_RULE_SET_PARAMETERS", {{"ID", id}}),
              (wire::Answer{0, {{"PN", "LOCAL_NUC_CODE"}, {"PV", "X"}, {"PN", "E"}, {"PV", ""}}}));
    EXPECT_EQ(withoutDates(send(all, "GET_RULE_SETS", {{"RT", 2}}).fields),
              (wire::Fields{{"ID", id}, {"NM", "Group"}, {"DSC", "g"}, {"CO", "cat"}, {"UO", ""},
                            {"PN", "REQ_LIBRARY_ID,REQ_LOCATION_ID"}}));

    // A save replaces links and parameters whole; no links and none are kept.
    ASSERT_EQ(send(all, "SAVE_RULE_SET", {{"ID", id}, {"RT", 2}, {"NM", "Group"}}).status, 0);
    EXPECT_EQ(send(all, "GET_RULE_DOCUMENTS_FOR_SET", {{"RSID", id}}), (wire::Answer{0, {}}));
    EXPECT_EQ(send(all, "GET_RULE_SET_PARAMETERS", {{"ID", id}}), (wire::Answer{0, {}}));
    EXPECT_EQ(wire::findField(send(all, "GET_RULE_SETS", {{"RT", 2}}).fields, "UO")->value,
              wire::Value(std::string("cat")));
}

// The links run in the order their "RO" numbers give, whatever order they
// are sent in and wherever the numbering starts; ties keep the order sent.
TEST_F(RuleSetHandlers, LinksAreKeptInTheOrderTheirNumbersGive) {
    const auto a = saveDocument(all, 2, "A");
    const auto b = saveDocument(all, 2, "B");
    const auto c = saveDocument(all, 2, "C");
    struct Case {
        std::vector<std::pair<std::int32_t, std::int32_t>> sent; // document, order
        std::vector<std::int32_t> kept;
    };
    const std::vector<Case> cases{
        {{{a, 0}, {b, 1}, {c, 2}}, {a, b, c}},
        {{{a, 2}, {b, 0}, {c, 1}}, {b, c, a}},
        {{{a, 1}, {b, 2}, {c, 3}}, {a, b, c}},
        {{{c, 5}, {a, 5}, {b, 0}}, {b, c, a}},
    };
    int n = 0;
    for (const Case& t : cases) {
        SCOPED_TRACE(n);
        wire::Fields fields{{"RT", 2}, {"NM", "Ordered " + std::to_string(++n)}};
        for (const auto& [document, order] : t.sent) {
            fields.push_back({"RDID", document});
            fields.push_back({"RO", order});
        }
        const auto saved = send(all, "SAVE_RULE_SET", fields);
        ASSERT_EQ(saved.status, 0);
        wire::Fields expected;
        std::int32_t position = 0;
        for (const auto document : t.kept) {
            expected.push_back({"ID", document});
            expected.push_back({"RO", position++});
        }
        EXPECT_EQ(send(all, "GET_RULE_DOCUMENTS_FOR_SET",
                       {{"RSID", std::get<std::int32_t>(saved.fields.at(0).value)}}),
                  (wire::Answer{0, expected}));
    }
}

TEST_F(RuleSetHandlers, GroupSavesThatCannotBeKeptChangeNothing) {
    const auto doc = saveDocument(all, 2, "A");
    const auto scanDoc = saveDocument(all, 1, "S");
    const auto id = saveGroup(all, 2, "Main", {doc});
    // Group names are unique over every type.
    EXPECT_EQ(send(all, "SAVE_RULE_SET", {{"RT", 4}, {"NM", "Main"}}), (wire::Answer{4, {}}));
    // A link to a document of another type, or to none, is refused whole.
    EXPECT_EQ(send(all, "SAVE_RULE_SET",
                   {{"ID", id}, {"RT", 2}, {"NM", "Main"}, {"RDID", scanDoc}, {"RO", 0}})
                  .status,
              8);
    EXPECT_EQ(send(all, "SAVE_RULE_SET", {{"RT", 2}, {"NM", "N"}, {"RDID", 4242}, {"RO", 0}}).status,
              8);
    EXPECT_EQ(send(all, "SAVE_RULE_SET", {{"ID", 4242}, {"RT", 2}, {"NM", "N"}}).status, 7);
    EXPECT_EQ(send(all, "SAVE_RULE_SET",
                   {{"ID", id}, {"RT", 2}, {"NM", "Main"}, {"RDID", doc}, {"RDID", "x"}})
                  .status,
              8);
    EXPECT_EQ(described(send(all, "GET_RULE_DOCUMENTS_FOR_SET", {{"RSID", id}}), "ID"),
              std::vector<std::string>{"ID=" + std::to_string(doc) + " RO=0"});
    EXPECT_EQ(records(send(all, "GET_RULE_SETS", {{"RT", 2}}), "ID").size(), 1u);
}

TEST_F(RuleSetHandlers, DeletingWhatIsInUseAnswersWhoUsesIt) {
    const auto doc = saveDocument(all, 2, "Shared");
    const auto first = saveGroup(all, 2, "Zeta", {doc});
    saveGroup(all, 2, "Alpha", {doc, doc});
    EXPECT_EQ(send(all, "DELETE_RULE_DOCUMENT", {{"ID", doc}, {"OI", "cat"}}),
              (wire::Answer{2, {{"NM", "Alpha"}, {"NM", "Zeta"}}}));

    server.db().exec("INSERT INTO jobs (name, job_type, status, rule_set_id, operator_id) VALUES "
                     "('Nightly', 1, 0, " + std::to_string(first) + ", 'cat'), "
                     "('Done', 1, 2, " + std::to_string(first) + ", 'cat'), "
                     "('Running', 1, 1, " + std::to_string(first) + ", 'cat')");
    EXPECT_EQ(send(all, "DELETE_RULE_SET", {{"ID", first}}),
              (wire::Answer{2, {{"NM", "Nightly"}, {"NM", "Running"}}}));
    server.db().exec("UPDATE jobs SET status = 2");
    EXPECT_EQ(send(all, "DELETE_RULE_SET", {{"ID", first}}), (wire::Answer{0, {}}));
    EXPECT_EQ(send(all, "DELETE_RULE_SET", {{"ID", first}}), (wire::Answer{7, {}}));
    EXPECT_EQ(send(all, "DELETE_RULE_DOCUMENT", {{"ID", doc}}),
              (wire::Answer{2, {{"NM", "Alpha"}}}));
    EXPECT_EQ(send(all, "DELETE_RULE_DOCUMENT", {{"ID", 4242}}), (wire::Answer{7, {}}));
}

// Every job status that has not yet finished keeps a group in use, whether
// the job names the group or runs the merge configuration whose choose-best
// companion it is; a finished job lets it go.
TEST_F(RuleSetHandlers, AGroupIsInUseUntilEveryJobRunningItHasFinished) {
    struct Case {
        int jobStatus;
        bool inUse;
    };
    const std::vector<Case> cases{{0, true},  {1, true},  {3, true}, {6, true},
                                  {2, false}, {4, false}, {5, false}};
    const auto doc = saveDocument(all, 2, "Doc");
    const auto chooseDoc = saveDocument(all, 5, "Choose");
    for (const Case& c : cases) {
        SCOPED_TRACE("job status " + std::to_string(c.jobStatus));
        const std::string tag = std::to_string(c.jobStatus);
        const auto group = saveGroup(all, 2, "Group " + tag, {doc});
        const auto companion = saveGroup(all, 5, "Merge " + tag + "{linked}", {chooseDoc});
        const auto merge = send(all, "SAVE_RULE_SET",
                                {{"RT", 4}, {"NM", "Merge " + tag}, {"DSC", ""},
                                 {"PN", "IMPORT_UNMATCHED_RECORDS"}, {"PV", "1"},
                                 {"PN", "LOAD_CHOOSE_BEST_RULE_SET_ID"},
                                 {"PV", std::to_string(companion)}});
        ASSERT_EQ(merge.status, 0);
        const auto mergeId = std::get<std::int32_t>(merge.fields.at(0).value);
        server.db().exec("INSERT INTO jobs (name, job_type, status, rule_set_id, operator_id) "
                         "VALUES ('Change " + tag + "', 1, " + tag + ", " +
                         std::to_string(group) + ", 'cat'), ('Merge job " + tag + "', 5, " + tag +
                         ", " + std::to_string(mergeId) + ", 'cat')");

        const wire::Answer groupAnswer = send(all, "DELETE_RULE_SET", {{"ID", group}});
        const wire::Answer companionAnswer = send(all, "DELETE_RULE_SET", {{"ID", companion}});
        if (c.inUse) {
            EXPECT_EQ(groupAnswer, (wire::Answer{2, {{"NM", "Change " + tag}}}));
            EXPECT_EQ(companionAnswer, (wire::Answer{2, {{"NM", "Merge job " + tag}}}));
            // Refused: both groups are still there to run.
            EXPECT_EQ(send(all, "GET_RULE_DOCUMENTS_FOR_SET", {{"RSID", companion}}),
                      (wire::Answer{0, {{"ID", chooseDoc}, {"RO", 0}}}));
            EXPECT_EQ(send(all, "GET_RULE_DOCUMENTS_FOR_SET", {{"RSID", group}}),
                      (wire::Answer{0, {{"ID", doc}, {"RO", 0}}}));
        } else {
            EXPECT_EQ(groupAnswer, (wire::Answer{0, {}}));
            EXPECT_EQ(companionAnswer, (wire::Answer{0, {}}));
        }
    }
}

// Only the group a merge configuration names is held: another type 5 group,
// and a companion named by a group that is no merge configuration, are free.
TEST_F(RuleSetHandlers, AMergeJobHoldsOnlyTheCompanionItsConfigurationNames) {
    const auto chooseDoc = saveDocument(all, 5, "Choose");
    const auto companion = saveGroup(all, 5, "Main{linked}", {chooseDoc});
    const auto other = saveGroup(all, 5, "Other{linked}", {chooseDoc});
    const auto stray = saveGroup(all, 5, "Stray{linked}", {chooseDoc});
    const auto changeDoc = saveDocument(all, 2, "Change");
    const auto merge = send(all, "SAVE_RULE_SET",
                            {{"RT", 4}, {"NM", "Main"}, {"PN", "LOAD_CHOOSE_BEST_RULE_SET_ID"},
                             {"PV", std::to_string(companion)}});
    const auto change = send(all, "SAVE_RULE_SET",
                             {{"RT", 2}, {"NM", "Change"}, {"RDID", changeDoc}, {"RO", 0},
                              {"PN", "LOAD_CHOOSE_BEST_RULE_SET_ID"},
                              {"PV", std::to_string(stray)}});
    ASSERT_EQ(merge.status, 0);
    ASSERT_EQ(change.status, 0);
    server.db().exec("INSERT INTO jobs (name, job_type, status, rule_set_id, operator_id) VALUES "
                     "('Merge', 5, 0, " + std::to_string(std::get<std::int32_t>(merge.fields[0].value)) +
                     ", 'cat'), ('Change', 1, 0, " +
                     std::to_string(std::get<std::int32_t>(change.fields[0].value)) + ", 'cat')");

    EXPECT_EQ(send(all, "DELETE_RULE_SET", {{"ID", companion}}),
              (wire::Answer{2, {{"NM", "Merge"}}}));
    EXPECT_EQ(send(all, "DELETE_RULE_SET", {{"ID", other}}), (wire::Answer{0, {}}));
    EXPECT_EQ(send(all, "DELETE_RULE_SET", {{"ID", stray}}), (wire::Answer{0, {}}));
}

TEST_F(RuleSetHandlers, EachRuleTypeNeedsItsOwnRight) {
    const auto scanDoc = saveDocument(all, 1, "S");
    const auto changeDoc = saveDocument(all, 2, "D");
    const auto loadDoc = saveDocument(all, 3, "M");
    const auto scanGroup = saveGroup(all, 1, "SG", {scanDoc});
    const auto loadGroup = saveGroup(all, 3, "LG", {loadDoc});
    // Views data change rules only.
    const std::string viewer = operatorWith("viewer2", {"DCRV"});

    EXPECT_EQ(send(viewer, "GET_RULE_DOCUMENTS", {{"RT", 2}}).status, 0);
    EXPECT_EQ(send(viewer, "GET_RULE_DOCUMENTS", {{"RT", 1}}), (wire::Answer{6, {}}));
    EXPECT_EQ(send(viewer, "GET_RULE_SETS", {{"RT", 3}}), (wire::Answer{6, {}}));
    EXPECT_EQ(send(viewer, "GET_RULE_DOCUMENTS_FOR_SET", {{"RSID", scanGroup}}).status, 6);
    EXPECT_EQ(send(viewer, "GET_RULE_SET_PARAMETERS", {{"ID", loadGroup}}).status, 6);
    EXPECT_EQ(send(viewer, "SAVE_RULE_DOCUMENT", {{"RT", 2}, {"NM", "new"}}).status, 6);
    EXPECT_EQ(send(viewer, "SAVE_RULE_DOCUMENT", {{"ID", changeDoc}, {"RT", 2}, {"NM", "x"}}).status,
              6);
    EXPECT_EQ(send(viewer, "SAVE_RULE_SET", {{"RT", 2}, {"NM", "new"}}).status, 6);
    EXPECT_EQ(send(viewer, "DELETE_RULE_DOCUMENT", {{"ID", changeDoc}}).status, 6);
    EXPECT_EQ(send(viewer, "DELETE_RULE_SET", {{"ID", scanGroup}}).status, 6);
    // Someone else's operator id is refused whatever the rights.
    EXPECT_EQ(send(viewer, "GET_RULE_DOCUMENTS", {{"RT", 2}, {"OI", "cat"}}).status, 6);

    // Adding is not updating: each is its own right.
    const std::string adder = operatorWith("adder", {"SRA"});
    EXPECT_EQ(send(adder, "SAVE_RULE_DOCUMENT", {{"RT", 1}, {"NM", "mine"}}).status, 0);
    EXPECT_EQ(send(adder, "SAVE_RULE_DOCUMENT", {{"ID", scanDoc}, {"RT", 1}, {"NM", "S"}}).status, 6);
    const std::string loader = operatorWith("loader", {"ALA"});
    EXPECT_EQ(send(loader, "DELETE_RULE_SET", {{"ID", loadGroup}}).status, 0);
    EXPECT_EQ(send(loader, "GET_RULE_SETS", {{"RT", 6}}).status, 0);

    // Nothing the refused requests asked for was done.
    EXPECT_EQ(records(send(all, "GET_RULE_DOCUMENTS", {{"RT", 2}}), "ID").size(), 1u);
    EXPECT_EQ(records(send(all, "GET_RULE_SETS", {{"RT", 1}}), "ID").size(), 1u);
}

} // namespace

// An "ID" that names no stored object cannot be a new one either: a save
// with a zero or negative id is refused, and nothing is created.
TEST_F(RuleSetHandlers, SavesWithAnIdThatIsNoIdAreRefused) {
    const auto document = saveDocument(all, 1, "Kept");
    for (const std::int32_t id : {-5, 0, INT32_MIN}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(send(all, "SAVE_RULE_DOCUMENT", {{"ID", id}, {"RT", 1}, {"NM", "New doc"}}),
                  (wire::Answer{wire::status::InvalidValue, {}}));
        EXPECT_EQ(send(all, "SAVE_RULE_SET",
                       {{"ID", id}, {"RT", 1}, {"NM", "New group"}, {"RDID", document}, {"RO", 0}}),
                  (wire::Answer{wire::status::InvalidValue, {}}));
    }
    EXPECT_EQ(records(send(all, "GET_RULE_DOCUMENTS", {{"RT", 1}}), "ID").size(), 1u);
    EXPECT_EQ(records(send(all, "GET_RULE_SETS", {{"RT", 1}}), "ID").size(), 0u);
}
