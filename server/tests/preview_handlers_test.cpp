// Preview requests through the endpoint on the demo catalogue: the records
// before and after real rules, every disposition code, walking a record
// set, what is missing, who may ask, and that nothing is saved.
#include "auth/operators.h"
#include "auth/password.h"
#include "marc/mnemonic_writer.h"
#include "marc/record_view.h"
#include "protocol/octets.h"
#include "reference_fixture.h"
#include "store/database.h"
#include "test_server.h"

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

// A rule as the rule screens write it.
std::string rule(const std::string& name, std::vector<std::string> when,
                 std::vector<std::string> then) {
    std::string text = "rule \"" + name + "\"\r\n#priority n\r\n  when\r\n";
    for (const auto& line : when)
        text += "    " + line + "\r\n";
    text += "  then\r\n";
    for (const auto& line : then)
        text += "    " + line + "\r\n";
    return text + "end\r\n\r\n";
}

std::string text(const wire::Answer& answer, std::string_view key) {
    const auto* field = wire::findField(answer.fields, key);
    return field ? std::get<std::string>(field->value) : std::string("(absent)");
}

std::int32_t number(const wire::Answer& answer, std::string_view key) {
    const auto* field = wire::findField(answer.fields, key);
    return field ? std::get<std::int32_t>(field->value) : -1;
}

std::vector<std::string> keys(const wire::Answer& answer) {
    std::vector<std::string> out;
    for (const auto& field : answer.fields)
        out.push_back(field.key);
    return out;
}

std::vector<std::string> messages(const wire::Answer& answer) {
    std::vector<std::string> out;
    for (const auto& field : answer.fields)
        if (field.key == "MG")
            out.push_back(std::get<std::string>(field.value));
    return out;
}

// A record field of the answer in the one-line-per-field text form.
std::string lines(const wire::Answer& answer, std::string_view key) {
    const auto octets = wire::textToOctets(text(answer, key));
    if (!octets)
        return "(not octets)";
    const auto parsed = marc::parseRecord(std::string_view(*octets));
    if (!parsed.record)
        return "(not a record)";
    std::string out;
    marc::appendMnemonic(*parsed.record, out);
    return out;
}

std::vector<std::string> tags(const std::string& mnemonic) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at + 4 <= mnemonic.size(); at = mnemonic.find('\n', at) + 1) {
        if (mnemonic[at] == '=')
            out.push_back(mnemonic.substr(at + 1, 3));
        if (mnemonic.find('\n', at) == std::string::npos)
            break;
    }
    return out;
}

class PreviewRequests : public ::testing::Test {
protected:
    // The compiled group cache serves the whole process by group id, so the
    // groups of each test's database start at ids no other test uses.
    PreviewRequests() {
        static std::int64_t floor = 0;
        floor += 1000;
        server.db().exec("INSERT INTO rule_sets (id, rule_type, name, created_by) VALUES (" +
                         std::to_string(floor) + ", 2, 'Ids from here', 'demo')");
    }

    wire::Answer send(const std::string& token, std::string code, wire::Fields fields) {
        return server.send(token, {std::move(code), std::move(fields)});
    }

    std::int32_t idOf(const wire::Answer& answer, const std::string& what) {
        EXPECT_EQ(answer.status, 0) << what;
        return std::max(number(answer, "ID"), 0);
    }

    // A data change document holding the rules, alone in a group of its own.
    std::int32_t group(const std::string& name, const std::vector<std::string>& rules,
                       bool asksForLocation = false) {
        std::string body = "# " + name + "\r\n";
        for (const auto& r : rules)
            body += r;
        wire::Fields fields{{"RT", 2}, {"NM", name}, {"DSC", ""}, {"DOC", body}};
        if (asksForLocation)
            fields.push_back({"PN", "REQ_LOCATION_ID"});
        documentIds[name] = idOf(send(demo, "SAVE_RULE_DOCUMENT", fields), name);
        return idOf(
            send(demo, "SAVE_RULE_SET",
                 {{"RT", 2}, {"NM", name}, {"DSC", ""}, {"RDID", documentIds[name]}, {"RO", 0}}),
            name);
    }

    std::string operatorWith(const std::string& id, std::vector<std::string_view> rights,
                             std::vector<std::string_view> locations = {}) {
        const auto row = addOperator(server.db(), id, id, hashPassword("pw"));
        grantRights(server.db(), row, rights);
        for (const auto location : locations)
            assignLocation(server.db(), row, location);
        return login(id, "pw");
    }

    // The operator id goes with the token, so each request carries its own "OI".
    std::string login(const std::string& id, const std::string& password) {
        const std::string token = server.login(id, password);
        operatorIds[token] = id;
        return token;
    }

    wire::Answer previewRecord(const std::string& token, int recordType, std::int32_t recordId,
                               std::int32_t groupId) {
        return send(
            token, "PREVIEW_RECORD",
            {{"RID", recordId}, {"RT", recordType}, {"ID", groupId}, {"OI", operatorOf(token)}});
    }

    wire::Answer previewInSet(std::int32_t setId, std::int32_t groupId, std::int32_t index,
                              std::int32_t step) {
        return send(
            demo, "PREVIEW_RECORD_SET",
            {{"RSID", setId}, {"ID", groupId}, {"IN", index}, {"NP", step}, {"OI", "demo"}});
    }

    std::int32_t recordSet(const std::string& name, int recordType,
                           const std::vector<std::int32_t>& ids) {
        const auto made =
            send(demo, "ADD_RECORD_SET", {{"RSN", name}, {"RST", 1}, {"RT", recordType}});
        const std::int32_t id = number(made, "RSID");
        wire::Fields members{{"RSID", id}};
        for (const auto member : ids)
            members.push_back({"RID", member});
        EXPECT_EQ(send(demo, "ADD_TO_RECORD_SET", members), (wire::Answer{0, {}}));
        return id;
    }

    std::string stored(int recordType, std::int32_t recordId) {
        auto st = server.db().prepare(
            "SELECT marc FROM catalogue_records WHERE record_type = ?1 AND record_id = ?2");
        st.bind(1, recordType).bind(2, static_cast<std::int64_t>(recordId));
        return st.step() ? st.blob(0) : std::string();
    }

    std::int64_t historyRows() {
        auto st = server.db().prepare("SELECT count(*) FROM catalogue_history");
        return st.step() ? st.int64(0) : -1;
    }

    std::string operatorOf(const std::string& token) { return operatorIds.at(token); }

    TestServer server;
    std::map<std::string, std::string> operatorIds;
    std::string demo = login("demo", "demo");
    std::string viewer = login("viewer", "viewer");
    std::map<std::string, std::int32_t> documentIds;
};

TEST_F(PreviewRequests, AChangedRecordComesBackBeforeAndAfterWithTheRulesThatFired) {
    const auto tidy =
        group("Tidy subjects",
              {rule("Drop places", {"MARC is \"650\""}, {"remove MARC.\"650\" subfield \"z\""}),
               rule("Checked note", {"MARC is \"245\""},
                    {"create MARC.\"500\"(\" \",\" \")",
                     "create MARC.\"500\" subfield \"a\" with \"Checked in the preview.\""})});
    const std::string before = stored(1, 1);
    const auto history = historyRows();

    const auto answer = previewRecord(demo, 1, 1, tidy);

    ASSERT_EQ(answer.status, 0);
    EXPECT_EQ(keys(answer), (std::vector<std::string>{"BR", "AR", "MG", "MG"}));
    EXPECT_EQ(text(answer, "BR"), wire::octetsToText(before));
    EXPECT_EQ(messages(answer),
              (std::vector<std::string>{"Rule fired: Drop places", "Rule fired: Checked note"}));
    // The after record is the before record with the 650 $z gone and the note
    // in tag order; nothing else moves.
    // The leader's length and base address are the writer's; the rest must match.
    std::string expected = lines(answer, "BR");
    expected.erase(0, expected.find('\n'));
    const std::size_t subject = expected.find("\n=650  ") + 1;
    const std::size_t place = expected.find("$z", subject);
    ASSERT_NE(place, std::string::npos);
    expected.erase(place, expected.find('\n', place) - place);
    expected.insert(subject, "=500  \\\\$aChecked in the preview.\n");
    const std::string after = lines(answer, "AR");
    EXPECT_EQ(after.substr(after.find('\n')), expected);
    // Nothing was saved.
    EXPECT_EQ(stored(1, 1), before);
    EXPECT_EQ(historyRows(), history);
}

struct DispositionCase {
    const char* name;
    std::vector<std::string> when;
    std::vector<std::string> then;
    bool asksForLocation;
    const char* who; // "demo", "nodelete" (no delete right), "elsewhere" (no locations)
    int recordType;
    std::int32_t recordId;
    std::int32_t status;
    std::int32_t code; // "BC"; 0 for none
    std::vector<std::string> messages;
};

TEST_F(PreviewRequests, EachDispositionGivesItsCodeAndStillAnswersTheRecords) {
    const std::string noDelete = operatorWith("nodelete", {"RSBP", "RSAP"}, {"MAIN-STACKS"});
    const std::string elsewhere = operatorWith("elsewhere", {"RSBP", "RSBDR"});
    // Bibliographic record 2 loses its holdings.
    server.db().exec("DELETE FROM catalogue_records WHERE record_type = 2 AND bib_id = 2");

    const std::vector<DispositionCase> cases{
        {"Nothing to do",
         {"MARC is \"999\""},
         {"remove MARC.\"999\""},
         false,
         "demo",
         1,
         1,
         0,
         0,
         {}},
        {"Delete names",
         {"MARC is \"100\""},
         {"DELETE"},
         false,
         "demo",
         3,
         1,
         2,
         5,
         {"Rule fired: Delete names"}},
        {"Delete held",
         {"MARC is \"245\""},
         {"DELETE"},
         false,
         "demo",
         1,
         1,
         2,
         8,
         {"not deleted: the record has holdings", "Rule fired: Delete held"}},
        {"Delete unallowed",
         {"MARC is \"100\""},
         {"DELETE"},
         false,
         "nodelete",
         3,
         1,
         2,
         6,
         {"not deleted: the operator may not delete records", "Rule fired: Delete unallowed"}},
        {"Flag it",
         {"MARC is \"245\""},
         {"ERROR"},
         false,
         "demo",
         1,
         1,
         2,
         4,
         {"ERROR", "Rule fired: Flag it"}},
        {"Hide unheld", {"MARC is \"245\""}, {"SUPPRESS"}, true, "demo", 1, 2, 2, 1, {}},
        {"Hide elsewhere", {"MARC is \"245\""}, {"SUPPRESS"}, true, "elsewhere", 1, 1, 2, 2, {}},
        {"Hide here",
         {"MARC is \"245\""},
         {"SUPPRESS"},
         true,
         "demo",
         1,
         1,
         0,
         0,
         {"Record would be suppressed from the OPAC.", "Rule fired: Hide here"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto id = group(c.name, {rule(c.name, c.when, c.then)}, c.asksForLocation);
        const std::string& token = std::string(c.who) == "demo"       ? demo
                                   : std::string(c.who) == "nodelete" ? noDelete
                                                                      : elsewhere;
        const auto answer = previewRecord(token, c.recordType, c.recordId, id);
        EXPECT_EQ(answer.status, c.status);
        EXPECT_EQ(number(answer, "BC"), c.code == 0 ? -1 : c.code);
        // The record is answered as it is: none of these change its MARC data.
        EXPECT_EQ(text(answer, "BR"), wire::octetsToText(stored(c.recordType, c.recordId)));
        EXPECT_EQ(text(answer, "AR"), text(answer, "BR"));
        EXPECT_EQ(messages(answer), c.messages);
        if (c.code != 0) {
            EXPECT_EQ(keys(answer).front(), "BC");
        }
    }
}

TEST_F(PreviewRequests, AGroupThatDoesNotCompileSaysWhyWithTheRecordUnchanged) {
    const auto broken = group("Broken", {rule("Fine", {"MARC is \"245\""}, {"DELETE"}),
                                         rule("Odd", {"MARC frobnicates \"245\""}, {"DELETE"})});

    const auto answer = previewRecord(demo, 1, 3, broken);

    EXPECT_EQ(answer.status, 2);
    EXPECT_EQ(number(answer, "BC"), 7);
    EXPECT_EQ(text(answer, "AR"), wire::octetsToText(stored(1, 3)));
    const auto said = messages(answer);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("Could not parse condition: 'marc frobnicates \"245\"'"),
              std::string::npos)
        << said[0];
}

TEST_F(PreviewRequests, AnEditedRuleIsWhatTheNextPreviewRuns) {
    const auto noted =
        group("Notes", {rule("Note", {"MARC is \"245\""},
                             {"create MARC.\"500\"(\" \",\" \")",
                              "create MARC.\"500\" subfield \"a\" with \"First.\""})});
    EXPECT_NE(lines(previewRecord(demo, 1, 4, noted), "AR").find("$aFirst."), std::string::npos);

    const std::string second =
        "# Notes\r\n" + rule("Note", {"MARC is \"245\""},
                             {"create MARC.\"500\"(\" \",\" \")",
                              "create MARC.\"500\" subfield \"a\" with \"Second.\""});
    ASSERT_EQ(send(demo, "SAVE_RULE_DOCUMENT",
                   {{"ID", documentIds["Notes"]},
                    {"RT", 2},
                    {"NM", "Notes"},
                    {"DSC", ""},
                    {"DOC", second}})
                  .status,
              0);
    const std::string after = lines(previewRecord(demo, 1, 4, noted), "AR");
    EXPECT_NE(after.find("$aSecond."), std::string::npos);
    EXPECT_EQ(after.find("$aFirst."), std::string::npos);
}

TEST_F(PreviewRequests, AFieldOrderConfigurationOrdersTheChangedRecord) {
    const auto retag =
        group("Retag subjects",
              {rule("Retag", {"MARC is \"650\""}, {"Set MARC field \"650\"  to \"090\""})});
    const auto plain = previewRecord(demo, 1, 5, retag);
    const auto ordered = send(demo, "PREVIEW_RECORD",
                              {{"RID", 5}, {"RT", 1}, {"ID", retag}, {"MFONAME", "Tag order"}});

    ASSERT_EQ(plain.status, 0);
    ASSERT_EQ(ordered.status, 0);
    auto inPlace = tags(lines(plain, "AR"));
    auto inOrder = tags(lines(ordered, "AR"));
    // Without the configuration the retagged field keeps its place.
    const auto at090 = std::find(inPlace.begin(), inPlace.end(), "090");
    ASSERT_NE(at090, inPlace.end());
    EXPECT_EQ(*(at090 - 1), "300");
    EXPECT_TRUE(std::is_sorted(inOrder.begin() + 1, inOrder.end())) << lines(ordered, "AR");
    EXPECT_EQ(inOrder.front(), "LDR");
}

TEST_F(PreviewRequests, ASetIsWalkedByPlaceKeptWithinTheSet) {
    const auto none = group("Nothing", {rule("None", {"MARC is \"999\""}, {"DELETE"})});
    const auto set = recordSet("Walk", 1, {3, 7, 11});

    struct Step {
        std::int32_t index, step, recordId, place;
    };
    for (const Step s :
         {Step{0, 0, 3, 1}, Step{1, 1, 7, 2}, Step{2, 1, 11, 3}, Step{3, 1, 11, 3},
          Step{2, 5, 11, 3}, Step{3, -1, 7, 2}, Step{2, -10, 3, 1}, Step{1, -1, 3, 1}}) {
        SCOPED_TRACE("IN " + std::to_string(s.index) + " NP " + std::to_string(s.step));
        const auto answer = previewInSet(set, none, s.index, s.step);
        ASSERT_EQ(answer.status, 0);
        EXPECT_EQ(keys(answer), (std::vector<std::string>{"BR", "AR", "RID", "IN", "RSC"}));
        EXPECT_EQ(number(answer, "RID"), s.recordId);
        EXPECT_EQ(number(answer, "IN"), s.place);
        EXPECT_EQ(number(answer, "RSC"), 3);
        EXPECT_EQ(text(answer, "BR"), wire::octetsToText(stored(1, s.recordId)));
    }

    // Removing the record at place 2 brings the next one to that place.
    ASSERT_EQ(send(demo, "DELETE_RECORD_FROM_RECORD_SET", {{"RID", 7}, {"RSID", set}}).status, 0);
    const auto next = previewInSet(set, none, 2, 0);
    EXPECT_EQ(number(next, "RID"), 11);
    EXPECT_EQ(number(next, "IN"), 2);
    EXPECT_EQ(number(next, "RSC"), 2);

    for (const std::int32_t id : {3, 11})
        ASSERT_EQ(send(demo, "DELETE_RECORD_FROM_RECORD_SET", {{"RID", id}, {"RSID", set}}).status,
                  0);
    EXPECT_EQ(previewInSet(set, none, 1, 0), (wire::Answer{2, {{"BC", 3}, {"IN", 0}, {"RSC", 0}}}));
}

TEST_F(PreviewRequests, AnythingNamedThatDoesNotExistAnswersFive) {
    const auto none = group("Nothing", {rule("None", {"MARC is \"999\""}, {"DELETE"})});
    const auto set = recordSet("Small", 1, {1});
    auto scan = server.db().prepare("SELECT id FROM rule_sets WHERE rule_type = 1 LIMIT 1");
    ASSERT_TRUE(scan.step());
    const auto scanGroup = static_cast<std::int32_t>(scan.int64(0));

    const std::vector<std::pair<std::string, wire::Request>> missing{
        {"record", {"PREVIEW_RECORD", {{"RID", 999999}, {"RT", 1}, {"ID", none}}}},
        {"group", {"PREVIEW_RECORD", {{"RID", 1}, {"RT", 1}, {"ID", 424242}}}},
        {"scan group", {"PREVIEW_RECORD", {{"RID", 1}, {"RT", 1}, {"ID", scanGroup}}}},
        {"field order",
         {"PREVIEW_RECORD", {{"RID", 1}, {"RT", 1}, {"ID", none}, {"MFONAME", "No such order"}}}},
        {"set", {"PREVIEW_RECORD_SET", {{"RSID", 424242}, {"ID", none}, {"IN", 0}, {"NP", 0}}}},
        {"group of a set",
         {"PREVIEW_RECORD_SET", {{"RSID", set}, {"ID", 424242}, {"IN", 0}, {"NP", 0}}}},
    };
    for (const auto& [what, request] : missing)
        EXPECT_EQ(server.send(demo, request), (wire::Answer{5, {}})) << what;
    EXPECT_EQ(server.send(demo, {"PREVIEW_RECORD", {{"RID", 1}, {"RT", 4}, {"ID", none}}}).status,
              8);
}

TEST_F(PreviewRequests, ThePreviewRightOfTheRecordTypeIsNeeded) {
    const auto none = group("Nothing", {rule("None", {"MARC is \"999\""}, {"DELETE"})});
    const auto names = recordSet("Names", 3, {1, 2});
    const auto titles = recordSet("Titles", 1, {1, 2});
    const std::string bibOnly = operatorWith("bibonly", {"RSBP"});
    const wire::Answer refused{6, {}};

    EXPECT_EQ(previewRecord(viewer, 1, 1, none), refused);
    EXPECT_EQ(
        send(viewer, "PREVIEW_RECORD_SET", {{"RSID", titles}, {"ID", none}, {"IN", 0}, {"NP", 0}}),
        refused);
    EXPECT_EQ(previewRecord(bibOnly, 3, 1, none), refused);
    EXPECT_EQ(
        send(bibOnly, "PREVIEW_RECORD_SET", {{"RSID", names}, {"ID", none}, {"IN", 0}, {"NP", 0}}),
        refused);
    EXPECT_EQ(previewRecord(bibOnly, 1, 1, none).status, 0);
    EXPECT_EQ(
        send(bibOnly, "PREVIEW_RECORD_SET", {{"RSID", titles}, {"ID", none}, {"IN", 0}, {"NP", 0}})
            .status,
        0);
}

} // namespace
