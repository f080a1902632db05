// The ids of a record set: only records of the set's type are taken, in
// the order they came, each once; they are read back in chunks and removed
// one at a time.
#include "reference_fixture.h"
#include "store/database.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

class RecordSetMembersTest : public ::testing::Test {
protected:
    wire::Answer send(std::string code, wire::Fields fields) {
        return server.send(token, {std::move(code), std::move(fields)});
    }
    std::int32_t create(const std::string& name, int recordType) {
        const auto answer = send("ADD_RECORD_SET", {{"RSN", name}, {"RST", 1}, {"RT", recordType}});
        return std::get<std::int32_t>(wire::findField(answer.fields, "RSID")->value);
    }
    wire::Answer add(std::int32_t set, const std::vector<std::int32_t>& ids) {
        wire::Fields fields{{"OI", "demo"}, {"RSID", set}};
        for (const auto id : ids)
            fields.push_back({"RID", id});
        return send("ADD_TO_RECORD_SET", std::move(fields));
    }
    wire::Answer chunk(std::int32_t set, const std::string& number) {
        return send("GET_RECORD_SET", {{"RSID", set}, {"OI", "demo"}, {"IDYN", "Y"}, {"CB", number}});
    }
    std::int64_t count(std::int32_t set) {
        auto st = server.db().prepare("SELECT record_count FROM record_sets WHERE id = ?1");
        st.bind(1, static_cast<std::int64_t>(set));
        return st.step() ? st.int64(0) : -1;
    }

    // The demo catalogue: bibliographic records 1 to 200, authority records 1 to 40.
    TestServer server;
    std::string token = server.login("demo", "demo");
};

TEST_F(RecordSetMembersTest, AnswersTheIdsThatAreNoRecordOfTheSetsTypeAndKeepsTheOthersInOrder) {
    const auto bib = create("Bib", 1);
    const auto auth = create("Auth", 3);

    EXPECT_EQ(add(bib, {150, 999999, 3, 150, -1, 77, 0}),
              (wire::Answer{0, {{"RID", 999999}, {"RID", -1}, {"RID", 0}}}));
    EXPECT_EQ(add(auth, {150, 40, 2}), (wire::Answer{0, {{"RID", 150}}}));
    // A later batch goes after the earlier one; an id already held stays where it was.
    EXPECT_EQ(add(bib, {5, 3}), (wire::Answer{0, {}}));

    EXPECT_EQ(chunk(bib, "1"), (wire::Answer{0, {{"RIDC", "150\r\n3\r\n77\r\n5"}, {"CB", 0}}}));
    EXPECT_EQ(chunk(auth, "1"), (wire::Answer{0, {{"RIDC", "40\r\n2"}, {"CB", 0}}}));
    EXPECT_EQ(count(bib), 4);
    EXPECT_EQ(count(auth), 2);
    EXPECT_EQ(add(4242, {1}).status, 7);
    EXPECT_EQ(send("ADD_TO_RECORD_SET", {{"RSID", bib}, {"RID", 1}, {"RID", "2"}}).status, 8);
    EXPECT_EQ(count(bib), 4) << "a batch with a bad id adds none of it";
}

// Each id is held once and counted once, however often it is sent; an id
// that is no record is answered each time it is sent, so the client can
// compare the answered ids with the ids it sent.
TEST_F(RecordSetMembersTest, RepeatedIdsAreHeldAndCountedOnce) {
    struct Case {
        const char* what;
        std::vector<std::vector<std::int32_t>> batches;
        wire::Fields lastAnswer;
        std::string held;
    };
    const std::vector<Case> cases{
        {"twice in one batch", {{7, 7}}, {}, "7"},
        {"again in a later batch", {{7, 8}, {8, 7, 9}}, {}, "7\r\n8\r\n9"},
        {"apart in one batch", {{7, 8, 7, 9, 8}}, {}, "7\r\n8\r\n9"},
        {"a missing id repeated", {{999999, 7, 999999}}, {{"RID", 999999}, {"RID", 999999}}, "7"},
        {"every id repeated and missing", {{0, 0}}, {{"RID", 0}, {"RID", 0}}, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto set = create("Repeats " + std::to_string(++n), 1);
        wire::Answer answer;
        for (const auto& batch : c.batches)
            answer = add(set, batch);
        EXPECT_EQ(answer, (wire::Answer{0, c.lastAnswer}));
        EXPECT_EQ(chunk(set, "1"), (wire::Answer{0, {{"RIDC", c.held}, {"CB", 0}}}));
        const auto distinct =
            c.held.empty() ? 0 : 1 + std::count(c.held.begin(), c.held.end(), '\n');
        EXPECT_EQ(count(set), distinct);
    }
}

TEST_F(RecordSetMembersTest, ReadsALargeSetInChunksThatTellTheNextOne) {
    const auto set = create("Large", 1);
    // 25,000 members written straight to the table: the demo catalogue is smaller.
    auto st = server.db().prepare(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 25000) "
        "INSERT INTO record_set_members (record_set, record_id, ordinal) "
        "SELECT ?1, 100000 + i, i FROM n");
    st.bind(1, static_cast<std::int64_t>(set)).run();

    const auto first = chunk(set, "1");
    ASSERT_EQ(first.status, 0);
    const auto& text = std::get<std::string>(wire::findField(first.fields, "RIDC")->value);
    EXPECT_EQ(text.substr(0, 14), "100001\r\n100002");
    EXPECT_EQ(text.substr(text.size() - 6), "110000");
    EXPECT_EQ(std::get<std::int32_t>(wire::findField(first.fields, "CB")->value), 2);

    const auto last = chunk(set, "3");
    const auto& tail = std::get<std::string>(wire::findField(last.fields, "RIDC")->value);
    EXPECT_EQ(tail.substr(0, 6), "120001");
    EXPECT_EQ(tail.size(), 5000u * 8 - 2);
    EXPECT_EQ(std::get<std::int32_t>(wire::findField(last.fields, "CB")->value), 0);

    EXPECT_EQ(chunk(set, "0").status, 8);
    EXPECT_EQ(chunk(set, "two").status, 8);
    EXPECT_EQ(send("GET_RECORD_SET", {{"RSID", set}, {"IDYN", "N"}, {"CB", "1"}}).status, 8);
    EXPECT_EQ(chunk(4242, "1").status, 7);
    EXPECT_EQ(chunk(create("Empty", 2), "1"), (wire::Answer{0, {{"RIDC", ""}, {"CB", 0}}}));
}

TEST_F(RecordSetMembersTest, RemovesOneRecordAndCountsItGone) {
    const auto set = create("Preview", 1);
    ASSERT_EQ(add(set, {10, 20, 30}).status, 0);

    EXPECT_EQ(send("DELETE_RECORD_FROM_RECORD_SET", {{"RID", 20}, {"RSID", set}, {"OI", "demo"}}),
              (wire::Answer{0, {}}));
    EXPECT_EQ(send("DELETE_RECORD_FROM_RECORD_SET", {{"RID", 20}, {"RSID", set}}).status, 7);
    EXPECT_EQ(send("DELETE_RECORD_FROM_RECORD_SET", {{"RID", 20}, {"RSID", 4242}}).status, 5);
    EXPECT_EQ(chunk(set, "1"), (wire::Answer{0, {{"RIDC", "10\r\n30"}, {"CB", 0}}}));
    EXPECT_EQ(count(set), 2);
    // A removed id may come back; it goes to the end.
    EXPECT_EQ(add(set, {20}), (wire::Answer{0, {}}));
    EXPECT_EQ(chunk(set, "1"), (wire::Answer{0, {{"RIDC", "10\r\n30\r\n20"}, {"CB", 0}}}));
}

TEST_F(RecordSetMembersTest, DeletingASetTakesItsMembersAlong) {
    const auto set = create("Gone", 1);
    ASSERT_EQ(add(set, {1, 2, 3}).status, 0);
    ASSERT_EQ(send("DELETE_RECORD_SET", {{"RSID", set}}).status, 0);
    auto st = server.db().prepare("SELECT count(*) FROM record_set_members");
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.int64(0), 0);
}

} // namespace
