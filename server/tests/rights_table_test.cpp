// Every request the dispatcher knows, refused to an operator who lacks its
// right (status 6, nothing changed) and to a caller without a session
// (HTTP 401). The table is checked against the dispatcher's own list: a
// request registered without a row here fails the test until one is added.

#include "auth/operators.h"
#include "auth/password.h"
#include "auth/rights.h"
#include "catalogue_support.h"
#include "protocol/octets.h"
#include "protocol/status.h"
#include "reference_fixture.h"
#include "store/sqlite_database.h"
#include "test_server.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <set>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

// One way of asking for a request, and the rights whose absence must refuse
// it. No rights: any logged-in operator may ask.
struct Row {
    std::string code;
    wire::Fields fields;
    std::vector<std::string> rights;
};

// Requests that, today, answer an operator lacking their documented right:
// each is a fault to mend in its handler, after which its entry goes (the
// test says so when it finds the request refused).
const std::set<std::string> OpenFaults{};

class RightsTable : public ::testing::Test {
protected:
    void SetUp() override {
        demo_ = server_.login("demo", "demo");
        lackerRow_ = addOperator(server_.db(), "lacker", "Lacks one right", hashPassword("pass"));
        lacker_ = server_.login("lacker", "pass");

        set_ = number(ask(demo_, "ADD_RECORD_SET",
                          {{"RSN", "Rights set"}, {"RST", 1}, {"RT", 1}, {"OI", "demo"}}),
                      "RSID");
        ask(demo_, "ADD_TO_RECORD_SET", {{"OI", "demo"}, {"RSID", set_}, {"RID", 1}, {"RID", 2}});
        document_ = number(ask(demo_, "SAVE_RULE_DOCUMENT",
                               {{"RT", 1}, {"NM", "Rights scan"}, {"DSC", ""}, {"DOC", "# scan\r\n"}}),
                           "ID");
        scanGroup_ = number(ask(demo_, "SAVE_RULE_SET",
                                {{"RT", 1}, {"NM", "Rights scan group"}, {"DSC", ""},
                                 {"RDID", document_}, {"RO", 0}}),
                            "ID");
        changeGroup_ = firstId("SELECT id FROM rule_sets WHERE rule_type = 2 ORDER BY id");
        job_ = number(ask(demo_, "SAVE_JOB",
                          {{"JT", 0}, {"NM", "Rights job"}, {"SS", "2099-01-01 00:00:00"}, {"RT", 1},
                           {"SID", scanGroup_}, {"RSN", "Rights scan results"}, {"OI", "demo"}}),
                      "ID");
    }

    wire::Answer ask(const std::string& token, std::string code, wire::Fields fields) {
        return server_.send(token, {std::move(code), std::move(fields)});
    }
    static std::int32_t number(const wire::Answer& answer, std::string_view key) {
        EXPECT_EQ(answer.status, 0) << key;
        const auto* field = wire::findField(answer.fields, key);
        return field ? std::get<std::int32_t>(field->value) : 0;
    }
    std::int32_t firstId(const std::string& sql) {
        return static_cast<std::int32_t>(scalar(server_.db(), sql));
    }

    // The lacker holds every right but these.
    void holdAllBut(const std::vector<std::string>& withheld) {
        server_.db().exec("DELETE FROM operator_rights WHERE operator = " +
                          std::to_string(lackerRow_));
        std::vector<std::string_view> kept;
        for (const std::string_view code : allRightCodes())
            if (std::find(withheld.begin(), withheld.end(), code) == withheld.end())
                kept.push_back(code);
        grantRights(server_.db(), lackerRow_, kept);
    }

    std::vector<Row> rows() const {
        const std::string record = wire::octetsToText(
            makeRecord(BibLeader, {{"001", "1"}, {"245", "10$aA title"}}));
        const std::vector<std::string> anyJobRight{
            "SJB", "SJM", "SJA", "DCB", "DCM", "DCA", "IJB", "ALA", "JHB", "JHM", "JHA", "JHAL",
            "RLB", "RLM", "RLA", "RLAL", "RRB", "RRM", "RRA", "RRAL", "KSJ", "KDJ", "KIJ", "KALJ"};
        std::vector<std::string> anyRight;
        for (const std::string_view code : allRightCodes())
            anyRight.emplace_back(code);
        return {
            {"LOGIN", {{"OI", "lacker"}, {"PW", "pass"}}, {}},
            {"OPEN", {{"AC", 5}}, {}},
            {"LOGOUT", {}, {}},
            {"CHANGE_PASSWORD", {{"PW", "pass"}, {"NPW", "pass"}}, {}},
            {"GET_VLM_SECURITY", {}, anyRight},
            {"PKGCHK", {{"PKGNM", "VLM"}}, {}},
            {"OWNINGLIBRARIES", {}, {}},
            {"GETCHARSETS", {}, {}},
            {"CONVERTMARCCHARSET", {{"CSI", "A"}, {"CSO", "A"}, {"MR", record}}, {}},
            {"GETMARCFIELDORDER", {}, {}},
            {"LstCatDp", {}, {}},
            {"GET_RULE_DOC_HEADERS", {}, {}},
            {"GET_RULE_DOCUMENTS", {{"RT", 1}}, {"SRV"}},
            {"GET_RULE_DOCUMENTS", {{"RT", 2}}, {"DCRV"}},
            {"GET_RULE_DOCUMENTS", {{"RT", 3}}, {"ALA"}},
            {"SAVE_RULE_DOCUMENT", {{"RT", 1}, {"NM", "New"}, {"DOC", "# x\r\n"}}, {"SRA"}},
            {"SAVE_RULE_DOCUMENT", {{"RT", 2}, {"NM", "New"}, {"DOC", "# x\r\n"}}, {"DCRA"}},
            {"SAVE_RULE_DOCUMENT", {{"ID", document_}, {"RT", 1}, {"NM", "Renamed"}}, {"SRU"}},
            {"DELETE_RULE_DOCUMENT", {{"ID", document_}}, {"SRD"}},
            {"GET_RULE_SETS", {{"RT", 1}}, {"SRV"}},
            {"GET_RULE_SETS", {{"RT", 2}}, {"DCRV"}},
            {"GET_RULE_DOCUMENTS_FOR_SET", {{"RSID", scanGroup_}}, {"SRV"}},
            {"GET_RULE_SET_PARAMETERS", {{"ID", changeGroup_}}, {"DCRV"}},
            {"SAVE_RULE_SET", {{"RT", 1}, {"NM", "New group"}}, {"SRA"}},
            {"SAVE_RULE_SET", {{"ID", scanGroup_}, {"RT", 1}, {"NM", "Renamed group"}}, {"SRU"}},
            {"DELETE_RULE_SET", {{"ID", changeGroup_}}, {"DCRD"}},
            {"CATALOGUE_SEARCH", {{"IX", "TI"}, {"KEY", "a"}}, {"RSBV"}},
            {"CATALOGUE_SEARCH", {{"IX", "A35A"}, {"KEY", "a"}}, {"AV"}},
            {"CATALOGUE_BRIEF", {{"RT", 1}, {"RID", 1}}, {"RSBV"}},
            {"CATALOGUE_BRIEF", {{"RT", 2}, {"RID", 1}}, {"RSMV"}},
            {"GET_RECORD_SETS",
             {},
             {"RSBV", "RSMV", "RSAV", "RSBA", "RSMA", "RSAA", "RSBU", "RSMU", "RSAU", "RSBD",
              "RSMD", "RSAD"}},
            {"ADD_RECORD_SET", {{"RSN", "Another"}, {"RST", 1}, {"RT", 1}}, {"RSBA"}},
            {"ADD_RECORD_SET", {{"RSN", "Another"}, {"RST", 1}, {"RT", 3}}, {"RSAA"}},
            {"COPY_RECORD_SET", {{"RSID", set_}, {"RSN", "Copy"}, {"RSD", ""}}, {"RSBA"}},
            {"UPDATE_RECORD_SET", {{"RSID", set_}, {"RSN", "Renamed set"}, {"RSD", ""}}, {"RSBU"}},
            {"DELETE_RECORD_SET", {{"RSID", set_}}, {"RSBD"}},
            {"ADD_TO_RECORD_SET", {{"RSID", set_}, {"RID", 3}}, {"RSBU"}},
            {"GET_RECORD_SET", {{"RSID", set_}, {"IDYN", "Y"}, {"CB", "1"}}, {"RSBV"}},
            {"DELETE_RECORD_FROM_RECORD_SET", {{"RID", 1}, {"RSID", set_}}, {"RSBU"}},
            {"PREVIEW_RECORD", {{"RID", 1}, {"RT", 1}, {"ID", changeGroup_}}, {"RSBP"}},
            {"PREVIEW_RECORD_SET", {{"RSID", set_}, {"ID", changeGroup_}, {"IN", 0}, {"NP", 1}},
             {"RSBP"}},
            {"SAVE_JOB",
             {{"JT", 0}, {"NM", "Another job"}, {"SS", "2099-01-02 00:00:00"}, {"RT", 1},
              {"SID", scanGroup_}, {"RSN", "Other results"}},
             {"SJB"}},
            {"SAVE_JOB",
             {{"JT", 2}, {"NM", "Index job"}, {"SS", "2099-01-02 00:00:00"}, {"RT", 1},
              {"RRS", "1"}, {"RRE", "5"}},
             {"IJB"}},
            {"SAVE_JOB", {{"ID", job_}, {"SS", "2099-02-01 00:00:00"}}, {"SJB"}},
            {"GET_JOBS", {}, anyJobRight},
            {"GET_SCHEDULED_JOBS", {}, anyJobRight},
            {"GET_JOB", {{"ID", job_}}, anyJobRight},
            {"GET_JOBS_WITH_FILES", {{"JT", 0}}, anyJobRight},
            {"KILL_JOB", {{"ID", job_}}, {"KSJ"}},
            {"DELETE_JOB", {{"ID", job_}}, {"SJB"}},
            {"DELETE_JOB_LOG", {{"ID", job_}}, {"RLB"}},
            {"DELETE_JOB_RESULT_FILES", {{"ID", job_}}, {"RRB"}},
            {"GET_JOB_LOG", {{"ID", job_}}, {"JHB"}},
            {"GET_JOB_RESULT_FILE_LIST", {{"ID", job_}}, {"JHB"}},
            {"GET_JOB_RESULT_FILE", {{"ID", job_}, {"FI", 0}, {"FT", 0}}, {"JHB"}},
            {"UPLOAD_MARC", {{"MR", record}, {"ID", job_}, {"RP", 1}}, {"ALA"}},
        };
    }

    static wire::Fields withOperator(wire::Fields fields, const std::string& code,
                                     const std::string& id) {
        if (code != "LOGIN" && !wire::findField(fields, "OI"))
            fields.push_back({"OI", id});
        return fields;
    }

    TestServer server_;
    std::string demo_;
    std::string lacker_;
    std::int64_t lackerRow_ = 0;
    std::int32_t set_ = 0;
    std::int32_t document_ = 0;
    std::int32_t scanGroup_ = 0;
    std::int32_t changeGroup_ = 0;
    std::int32_t job_ = 0;
};

} // namespace

TEST_F(RightsTable, EveryRequestHasARow) {
    std::set<std::string> covered;
    for (const Row& row : rows())
        covered.insert(row.code);
    for (const std::string& code : server_.core().dispatcher().codes())
        EXPECT_TRUE(covered.contains(code)) << code << " has no row in the rights table";
    for (const std::string& code : covered)
        EXPECT_TRUE(server_.core().dispatcher().knows(code)) << code << " is no request";
}

TEST_F(RightsTable, EveryRequestWithoutASessionIsRefused) {
    for (const std::string& code : server_.core().dispatcher().codes()) {
        if (code == "LOGIN")
            continue;
        SCOPED_TRACE(code);
        EXPECT_EQ(server_.post({code, {}}, {}).status, 401);
        EXPECT_EQ(server_.post({code, {}}, std::string(64, 'a')).status, 401);
    }
}

// Without its right a request is refused with 6 and nothing in the database
// changes; with every right it is not refused for a right.
TEST_F(RightsTable, WithoutItsRightARequestChangesNothing) {
    sqlite3* handle = static_cast<SqliteDatabase&>(server_.db()).handle();
    for (const Row& row : rows()) {
        SCOPED_TRACE(row.code + " " + describe(row.fields));
        if (row.rights.empty() || row.code == "LOGIN")
            continue;
        holdAllBut(row.rights);
        const auto before = sqlite3_total_changes(handle);
        const auto refused = ask(lacker_, row.code, withOperator(row.fields, row.code, "lacker"));
        if (OpenFaults.contains(row.code)) {
            EXPECT_NE(refused.status, wire::status::NotAuthorized)
                << row.code << " is refused now: take it out of OpenFaults";
            continue;
        }
        EXPECT_EQ(refused.status, wire::status::NotAuthorized);
        EXPECT_EQ(sqlite3_total_changes(handle), before) << "the refused request changed data";
    }
    holdAllBut({});
    for (const Row& row : rows()) {
        if (row.code == "LOGOUT" || row.code == "LOGIN")
            continue;
        SCOPED_TRACE(row.code + " " + describe(row.fields));
        EXPECT_NE(ask(lacker_, row.code, withOperator(row.fields, row.code, "lacker")).status,
                  wire::status::NotAuthorized);
    }
}

// Requests that need no right are answered to an operator holding none.
TEST_F(RightsTable, RequestsWithoutARightAreAnsweredToAnyOperator) {
    holdAllBut(std::vector<std::string>(allRightCodes().begin(), allRightCodes().end()));
    for (const Row& row : rows()) {
        if (!row.rights.empty() || row.code == "LOGOUT")
            continue;
        SCOPED_TRACE(row.code);
        const auto answer =
            row.code == "LOGIN"
                ? server_.send({}, {row.code, row.fields})
                : ask(lacker_, row.code, withOperator(row.fields, row.code, "lacker"));
        EXPECT_EQ(answer.status, 0);
    }
    EXPECT_EQ(ask(lacker_, "LOGOUT", {}).status, 0);
}
