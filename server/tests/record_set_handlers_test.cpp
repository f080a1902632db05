// Record set requests through the endpoint: what each answers, in order,
// which statuses it gives, and which rights it takes.
#include "reference_fixture.h"
#include "store/database.h"
#include "test_server.h"

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

class RecordSetRequests : public ::testing::Test {
protected:
    wire::Answer send(const std::string& token, std::string code, wire::Fields fields) {
        return server.send(token, {std::move(code), std::move(fields)});
    }
    wire::Answer asDemo(std::string code, wire::Fields fields) {
        return send(demo, std::move(code), std::move(fields));
    }
    std::int32_t create(const std::string& name, int recordType = 1) {
        const auto answer =
            asDemo("ADD_RECORD_SET", {{"RSN", name}, {"RST", 1}, {"RT", recordType}, {"OI", "demo"}});
        EXPECT_EQ(answer.status, 0) << name;
        const auto* id = wire::findField(answer.fields, "RSID");
        return id ? std::get<std::int32_t>(id->value) : 0;
    }
    std::vector<std::string> listed(const std::string& token) {
        std::vector<std::string> out;
        for (const auto& record : records(send(token, "GET_RECORD_SETS", {}), "RSID"))
            out.push_back(describe(record));
        return out;
    }
    std::string changedAt(std::int32_t id) {
        auto st = server.db().prepare("SELECT updated_at FROM record_sets WHERE id = ?1");
        st.bind(1, static_cast<std::int64_t>(id));
        return st.step() ? st.text(0) : std::string("none");
    }
    std::string createdAt(std::int32_t id) {
        auto st = server.db().prepare("SELECT created_at FROM record_sets WHERE id = ?1");
        st.bind(1, static_cast<std::int64_t>(id));
        return st.step() ? st.text(0) : std::string("none");
    }
    void addJob(std::int32_t recordSetId, int status) {
        auto st = server.db().prepare("INSERT INTO jobs (name, job_type, status, record_set_id, "
                                      "operator_id) VALUES (?3, 0, ?1, ?2, 'demo')");
        st.bind(1, status)
            .bind(2, static_cast<std::int64_t>(recordSetId))
            .bind(3, "Nightly scan " + std::to_string(recordSetId))
            .run();
    }

    TestServer server;
    std::string demo = server.login("demo", "demo");
    std::string viewer = server.login("viewer", "viewer");
};

TEST_F(RecordSetRequests, ListsEachSetWithItsAuthorshipInTheOrderTheClientReadsIt) {
    const auto weeding = create("Weeding 2026");
    const auto names = create("Names to check", 3);

    const std::string id = std::to_string(weeding), other = std::to_string(names);
    EXPECT_EQ(listed(demo),
              (std::vector<std::string>{
                  "RSID=" + other + " RSCO=\"demo\" RSD=\"\" RSN=\"Names to check\" RSC=0 RST=1 "
                      "RT=3 RSUD=\"" + createdAt(names) + "\" RSUO=\"\"",
                  "RSID=" + id + " RSCO=\"demo\" RSD=\"\" RSN=\"Weeding 2026\" RSC=0 RST=1 "
                      "RT=1 RSUD=\"" + createdAt(weeding) + "\" RSUO=\"\"",
              }));
}

TEST_F(RecordSetRequests, NamesAreUniqueWhateverTheCaseAndNeverBlank) {
    const auto first = create("Weeding");
    const auto second = create("Withdrawn");

    EXPECT_EQ(asDemo("ADD_RECORD_SET", {{"RSN", "WEEDING"}, {"RST", 1}, {"RT", 2}}),
              (wire::Answer{4, {}}));
    EXPECT_EQ(asDemo("UPDATE_RECORD_SET", {{"RSID", second}, {"RSN", "weeding"}, {"RSD", ""}})
                  .status,
              4);
    EXPECT_EQ(asDemo("COPY_RECORD_SET", {{"RSID", first}, {"RSN", "Withdrawn"}, {"RSD", ""}}),
              (wire::Answer{4, {}}));
    EXPECT_EQ(asDemo("ADD_RECORD_SET", {{"RSN", "  "}, {"RST", 1}, {"RT", 1}}).status, 8);
    EXPECT_EQ(asDemo("ADD_RECORD_SET", {{"RSN", "Odd"}, {"RST", 1}, {"RT", 4}}).status, 8);
    EXPECT_EQ(asDemo("ADD_RECORD_SET", {{"RSN", "Logical"}, {"RST", 2}, {"RT", 1}}).status, 8);
    // Renaming a set to its own name in another case is no clash.
    EXPECT_EQ(asDemo("UPDATE_RECORD_SET", {{"RSID", first}, {"RSN", "WEEDING"}, {"RSD", "x"}})
                  .status,
              0);
    EXPECT_EQ(listed(demo).size(), 2u);
}

// A copy onto a name in use, in any case and the source's own included, is
// refused whole: no new set, and the set that holds the name keeps its ids.
TEST_F(RecordSetRequests, ACopyOntoATakenNameChangesNothing) {
    const auto source = create("Source");
    const auto holder = create("Withdrawn 2025");
    ASSERT_EQ(asDemo("ADD_TO_RECORD_SET", {{"RSID", source}, {"RID", 9}, {"RID", 4}}).status, 0);
    ASSERT_EQ(asDemo("ADD_TO_RECORD_SET", {{"RSID", holder}, {"RID", 12}}).status, 0);

    for (const std::string taken : {"Withdrawn 2025", "WITHDRAWN 2025", "withdrawn 2025",
                                    "Source", "source"}) {
        SCOPED_TRACE(taken);
        EXPECT_EQ(asDemo("COPY_RECORD_SET", {{"RSID", source}, {"RSN", taken}, {"RSD", "copy"}}),
                  (wire::Answer{4, {}}));
    }
    EXPECT_EQ(listed(demo).size(), 2u);
    EXPECT_EQ(asDemo("GET_RECORD_SET", {{"RSID", holder}, {"IDYN", "Y"}, {"CB", "1"}}),
              (wire::Answer{0, {{"RIDC", "12"}, {"CB", 0}}}));
    EXPECT_EQ(asDemo("GET_RECORD_SET", {{"RSID", source}, {"IDYN", "Y"}, {"CB", "1"}}),
              (wire::Answer{0, {{"RIDC", "9\r\n4"}, {"CB", 0}}}));
    auto members = server.db().prepare("SELECT COUNT(*) FROM record_set_members");
    ASSERT_TRUE(members.step());
    EXPECT_EQ(members.int64(0), 3);
}

TEST_F(RecordSetRequests, CopyAndRenameKeepWhoChangedTheSet) {
    const auto source = create("Source");
    ASSERT_EQ(asDemo("ADD_TO_RECORD_SET", {{"RSID", source}, {"RID", 9}, {"RID", 4}}).status, 0);

    const auto copy =
        asDemo("COPY_RECORD_SET", {{"RSID", source}, {"RSN", "Copy of Source"}, {"RSD", "kept"}});
    ASSERT_EQ(copy.status, 0);
    const auto copyId = std::get<std::int32_t>(wire::findField(copy.fields, "RSID")->value);
    EXPECT_NE(copyId, source);
    EXPECT_EQ(asDemo("GET_RECORD_SET", {{"RSID", copyId}, {"IDYN", "Y"}, {"CB", "1"}}),
              (wire::Answer{0, {{"RIDC", "9\r\n4"}, {"CB", 0}}}));

    EXPECT_EQ(asDemo("UPDATE_RECORD_SET",
                     {{"RSID", source}, {"RSN", "Renamed"}, {"RSD", "new text"}, {"OI", "demo"}}),
              (wire::Answer{0, {}}));
    const auto rows = listed(demo);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "RSID=" + std::to_string(copyId) +
                           " RSCO=\"demo\" RSD=\"kept\" RSN=\"Copy of Source\" RSC=2 RST=1 RT=1 "
                           "RSUD=\"" + createdAt(copyId) + "\" RSUO=\"\"");
    EXPECT_EQ(rows[1], "RSID=" + std::to_string(source) +
                           " RSCO=\"demo\" RSD=\"new text\" RSN=\"Renamed\" RSC=2 RST=1 RT=1 "
                           "RSUD=\"" + changedAt(source) + "\" RSUO=\"demo\"");
    EXPECT_EQ(asDemo("UPDATE_RECORD_SET", {{"RSID", 4242}, {"RSN", "x"}, {"RSD", ""}}).status, 7);
    EXPECT_EQ(asDemo("COPY_RECORD_SET", {{"RSID", 4242}, {"RSN", "x"}, {"RSD", ""}}).status, 7);
}

TEST_F(RecordSetRequests, DeleteIsRefusedWhileAPendingOrRunningJobUsesTheSet) {
    const auto queued = create("Queued");
    const auto running = create("Running");
    const auto done = create("Done");
    addJob(queued, 0);
    addJob(running, 1);
    addJob(done, 2); // completed

    EXPECT_EQ(asDemo("DELETE_RECORD_SET", {{"RSID", queued}, {"OI", "demo"}}).status, 2);
    EXPECT_EQ(asDemo("DELETE_RECORD_SET", {{"RSID", running}}).status, 2);
    EXPECT_EQ(asDemo("DELETE_RECORD_SET", {{"RSID", done}}), (wire::Answer{0, {}}));
    EXPECT_EQ(asDemo("DELETE_RECORD_SET", {{"RSID", done}}).status, 7);
    EXPECT_EQ(listed(demo).size(), 2u);
}

TEST_F(RecordSetRequests, AViewerMayListAndReadButChangeNothing) {
    const auto set = create("Shared");
    ASSERT_EQ(asDemo("ADD_TO_RECORD_SET", {{"RSID", set}, {"RID", 12}}).status, 0);

    EXPECT_EQ(listed(viewer).size(), 1u);
    EXPECT_EQ(send(viewer, "GET_RECORD_SET", {{"RSID", set}, {"IDYN", "Y"}, {"CB", "1"}}),
              (wire::Answer{0, {{"RIDC", "12"}, {"CB", 0}}}));
    const wire::Answer refused{6, {}};
    EXPECT_EQ(send(viewer, "ADD_RECORD_SET", {{"RSN", "Mine"}, {"RST", 1}, {"RT", 1}}), refused);
    EXPECT_EQ(send(viewer, "COPY_RECORD_SET", {{"RSID", set}, {"RSN", "Mine"}, {"RSD", ""}}),
              refused);
    EXPECT_EQ(send(viewer, "UPDATE_RECORD_SET", {{"RSID", set}, {"RSN", "Mine"}, {"RSD", ""}}),
              refused);
    EXPECT_EQ(send(viewer, "DELETE_RECORD_SET", {{"RSID", set}}), refused);
    EXPECT_EQ(send(viewer, "ADD_TO_RECORD_SET", {{"RSID", set}, {"RID", 13}}), refused);
    EXPECT_EQ(send(viewer, "DELETE_RECORD_FROM_RECORD_SET", {{"RID", 12}, {"RSID", set}}), refused);
    // Nothing changed.
    EXPECT_EQ(asDemo("GET_RECORD_SET", {{"RSID", set}, {"IDYN", "Y"}, {"CB", "1"}}),
              (wire::Answer{0, {{"RIDC", "12"}, {"CB", 0}}}));
    EXPECT_EQ(listed(demo).size(), 1u);
}

TEST_F(RecordSetRequests, RightsGoByTheSetsRecordType) {
    const auto bib = create("Bib set", 1);
    const auto auth = create("Auth set", 3);
    // An operator who may only look at and add bibliographic sets.
    server.db().exec("INSERT INTO operators (operator_id, password_hash) VALUES ('clerk', '-')");
    const auto row = server.db().lastInsertId();
    server.db().exec("INSERT INTO operator_rights (operator, code) VALUES (" +
                     std::to_string(row) + ", 'RSBV'), (" + std::to_string(row) + ", 'RSBA')");
    const std::string clerk = server.core().sessions().open(row, "clerk").token;
    const std::string none = server.core().sessions().open(
        [&] {
            server.db().exec(
                "INSERT INTO operators (operator_id, password_hash) VALUES ('nobody', '-')");
            return server.db().lastInsertId();
        }(),
        "nobody").token;

    EXPECT_EQ(listed(clerk).size(), 2u) << "the authority set too, though it may not view it";
    EXPECT_EQ(send(none, "GET_RECORD_SETS", {}), (wire::Answer{6, {}}));
    EXPECT_EQ(send(clerk, "GET_RECORD_SET", {{"RSID", auth}, {"IDYN", "Y"}, {"CB", "1"}}).status,
              6);
    EXPECT_EQ(send(clerk, "ADD_RECORD_SET", {{"RSN", "Auth of mine"}, {"RST", 1}, {"RT", 3}}).status,
              6);
    // The add right fills the sets the operator made, not those of others.
    const auto own = send(clerk, "ADD_RECORD_SET", {{"RSN", "Mine"}, {"RST", 1}, {"RT", 1}});
    ASSERT_EQ(own.status, 0);
    EXPECT_EQ(send(clerk, "ADD_TO_RECORD_SET", {{"RSID", wire::findField(own.fields, "RSID")->value},
                                                {"RID", 1}})
                  .status,
              0);
    EXPECT_EQ(send(clerk, "ADD_TO_RECORD_SET", {{"RSID", bib}, {"RID", 1}}).status, 6);
    // "OI" must be the caller's own.
    EXPECT_EQ(send(clerk, "GET_RECORD_SETS", {{"OI", "demo"}}).status, 6);
}

TEST_F(RecordSetRequests, AnyRecordSetRightListsEverySetAndNoneIsRefused) {
    create("Bib set", 1);
    create("Auth set", 3);
    struct Case {
        std::string right;
        std::size_t listed; // 0: refused
    };
    const std::vector<Case> cases{
        {"RSBV", 2}, {"RSMA", 2}, {"RSAU", 2}, {"RSBD", 2}, {"RSMV", 2},
        // Preview and rule-deletion rights are no record set rights.
        {"RSBP", 0}, {"RSADR", 0}, {"SRV", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.right);
        const std::string id = "holder" + c.right;
        server.db().exec("INSERT INTO operators (operator_id, password_hash) VALUES ('" + id +
                         "', '-')");
        const auto row = server.db().lastInsertId();
        server.db().exec("INSERT INTO operator_rights (operator, code) VALUES (" +
                         std::to_string(row) + ", '" + c.right + "')");
        const std::string token = server.core().sessions().open(row, id).token;
        const auto answer = send(token, "GET_RECORD_SETS", {{"OI", id}});
        if (c.listed == 0) {
            EXPECT_EQ(answer, (wire::Answer{6, {}}));
        } else {
            EXPECT_EQ(answer.status, 0);
            EXPECT_EQ(records(answer, "RSID").size(), c.listed);
        }
    }
}

// Filling without the view right: the add and update rights act on the sets
// the list shows, and the view right still guards reading a set's ids.
TEST_F(RecordSetRequests, AnOperatorWhoMayFillButNotViewPicksAnyListedSet) {
    const auto set = create("Shared bib", 1);
    server.db().exec("INSERT INTO operators (operator_id, password_hash) VALUES ('filler', '-')");
    const auto row = server.db().lastInsertId();
    server.db().exec("INSERT INTO operator_rights (operator, code) VALUES (" +
                     std::to_string(row) + ", 'RSBA'), (" + std::to_string(row) + ", 'RSBU')");
    const std::string filler = server.core().sessions().open(row, "filler").token;

    ASSERT_EQ(listed(filler).size(), 1u);
    EXPECT_EQ(send(filler, "ADD_TO_RECORD_SET", {{"RSID", set}, {"RID", 3}}), (wire::Answer{0, {}}));
    EXPECT_EQ(send(filler, "GET_RECORD_SET", {{"RSID", set}, {"IDYN", "Y"}, {"CB", "1"}}),
              (wire::Answer{6, {}}));
    EXPECT_EQ(send(filler, "DELETE_RECORD_SET", {{"RSID", set}}), (wire::Answer{6, {}}));
    EXPECT_EQ(asDemo("GET_RECORD_SET", {{"RSID", set}, {"IDYN", "Y"}, {"CB", "1"}}),
              (wire::Answer{0, {{"RIDC", "3"}, {"CB", 0}}}));
}

} // namespace
