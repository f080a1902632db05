// CATALOGUE_SEARCH through the endpoint, on the demo catalogue: the ids and
// result code answered, the key forms and truncation, refusals, and the
// rights it checks.

#include "auth/operators.h"
#include "auth/password.h"
#include "catalogue/record_writer.h"
#include "marc/record_view.h"
#include "reference_fixture.h"
#include "test_server.h"

#include <gtest/gtest.h>

using namespace orvane::server;
using namespace orvane::server::testing;
namespace wire = orvane::wire;

namespace {

struct Found {
    std::int32_t status = -1;
    std::int32_t code = -1;
    std::vector<std::int32_t> ids;
};

class CatalogueSearch : public ::testing::Test {
protected:
    void SetUp() override { token = server.login("demo", "demo"); }

    Found search(wire::Fields fields, const std::string& as = {}) {
        const auto answer =
            server.send(as.empty() ? token : as, {"CATALOGUE_SEARCH", std::move(fields)});
        Found found{answer.status, -1, {}};
        for (const auto& f : answer.fields) {
            if (f.key == "RC")
                found.code = std::get<std::int32_t>(f.value);
            else if (f.key == "RID")
                found.ids.push_back(std::get<std::int32_t>(f.value));
        }
        return found;
    }

    std::string storedMarc(int type, std::int32_t id) {
        auto st = server.db().prepare(
            "SELECT marc FROM catalogue_records WHERE record_type = ?1 AND record_id = ?2");
        st.bind(1, type).bind(2, id);
        return st.step() ? st.blob(0) : std::string();
    }
    std::string subfieldA(int type, std::int32_t id, std::string_view tag) {
        const auto octets = storedMarc(type, id);
        const auto parsed = marc::parseRecord(std::string_view(octets));
        const auto field = parsed.record->findField(tag);
        return field ? std::string(field->subfield('a').value_or("")) : std::string();
    }

    std::string operatorWith(const std::string& id, std::span<const std::string_view> rights) {
        const auto row = addOperator(server.db(), id, id, hashPassword("password"));
        grantRights(server.db(), row, rights);
        return server.login(id, "password");
    }

    TestServer server;
    std::string token;
};

using Ids = std::vector<std::int32_t>;

} // namespace

TEST_F(CatalogueSearch, FindsDemoRecordsByTheControlNumbersIn035) {
    const std::string bib035 = subfieldA(1, 17, "035");
    ASSERT_EQ(bib035.rfind("(VDEMO)", 0), 0u) << bib035;
    const auto bib =
        search({{"IX", "035A"}, {"KEY", bib035}, {"RT", 1}, {"TR", false}, {"OI", "demo"}});
    EXPECT_EQ(bib.status, 0);
    EXPECT_EQ(bib.code, 1);
    EXPECT_EQ(bib.ids, Ids{17});

    // As a match job builds the key from 003 and 001: case and blanks aside.
    const std::string number = bib035.substr(7);
    EXPECT_EQ(search({{"IX", "035A"}, {"KEY", "(vdemo) " + number}}).ids, Ids{17});

    const std::string auth035 = subfieldA(3, 3, "035");
    const auto auth = search({{"IX", "A35A"}, {"KEY", auth035}});
    EXPECT_EQ(auth.code, 3);
    EXPECT_EQ(auth.ids, Ids{3});
    // The bibliographic index does not hold authority control numbers.
    const auto none = search({{"IX", "035A"}, {"KEY", auth035}});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(none.ids.empty());
}

TEST_F(CatalogueSearch, WordsMustAllBeFoundAndOnlyTheLastIsTruncated) {
    const auto all = search({{"IX", "TI"}, {"KEY", "Études"}});
    ASSERT_FALSE(all.ids.empty());
    for (const auto id : all.ids)
        EXPECT_EQ(subfieldA(1, id, "245").rfind("Études sur les ", 0), 0u) << id;
    EXPECT_EQ(search({{"IX", "TI"}, {"KEY", "etudes"}}).ids, all.ids);
    EXPECT_EQ(search({{"IX", "TI"}, {"KEY", "etu"}, {"TR", true}}).ids, all.ids);
    EXPECT_TRUE(search({{"IX", "TI"}, {"KEY", "etu"}}).ids.empty());

    const auto narrower = search({{"IX", "TI"}, {"KEY", "études provence"}});
    EXPECT_LT(narrower.ids.size(), all.ids.size());
    for (const auto id : narrower.ids)
        EXPECT_NE(subfieldA(1, id, "245").find("Provence"), std::string::npos) << id;

    const auto limited = search({{"IX", "TI"}, {"KEY", "études"}, {"MH", 3}});
    EXPECT_EQ(limited.ids, Ids(all.ids.begin(), all.ids.begin() + 3));
}

TEST_F(CatalogueSearch, HoldingsAreFoundByTheirBibliographicRecord) {
    auto st = server.db().prepare(
        "SELECT record_id FROM catalogue_records WHERE record_type = 2 AND bib_id = 5 ORDER BY 1");
    Ids expected;
    while (st.step())
        expected.push_back(st.int32(0));
    ASSERT_FALSE(expected.empty());
    const auto found = search({{"IX", "HB"}, {"KEY", "5"}});
    EXPECT_EQ(found.code, 2);
    EXPECT_EQ(found.ids, expected);
}

TEST_F(CatalogueSearch, ASearchThatCannotBeMadeAnswersCodeZero) {
    for (const auto& fields : std::vector<wire::Fields>{
             {{"IX", "NOPE"}, {"KEY", "x"}},
             {{"IX", ""}, {"KEY", "x"}},                // the empty index of a holdings match
             {{"IX", "035A"}, {"KEY", "x"}, {"RT", 3}}, // not the index's kind
             {{"IX", "TI"}, {"KEY", " -- "}},           // nothing searchable
             {{"IX", "KW"}, {"KEY", "x"}, {"RT", 9}}}) {
        const auto found = search(fields);
        EXPECT_EQ(found.status, 8) << describe(fields);
        EXPECT_EQ(found.code, 0) << describe(fields);
        EXPECT_TRUE(found.ids.empty());
    }
    // An index every kind has searches the kind asked for.
    EXPECT_EQ(search({{"IX", "KW"}, {"KEY", "harbors"}, {"RT", 3}}).code, 3);
    EXPECT_EQ(server.post({"CATALOGUE_SEARCH", {{"IX", "TI"}, {"KEY", 5}}}, token).status, 400);
}

TEST_F(CatalogueSearch, NeedsTheRightToViewTheKindSearched) {
    static constexpr std::array<std::string_view, 1> BibOnly{"RSBV"};
    const auto bibOnly = operatorWith("bibonly", BibOnly);
    const std::string auth035 = subfieldA(3, 1, "035");
    const auto refused = search({{"IX", "A35A"}, {"KEY", auth035}}, bibOnly);
    EXPECT_EQ(refused.status, 6);
    EXPECT_EQ(refused.code, 0);
    EXPECT_TRUE(refused.ids.empty());
    EXPECT_EQ(search({{"IX", "HB"}, {"KEY", "1"}}, bibOnly).status, 6);
    EXPECT_EQ(search({{"IX", "TI"}, {"KEY", "rivers"}}, bibOnly).status, 0);

    // The viewer may look at every kind.
    const auto viewer = server.login("viewer", "viewer");
    EXPECT_EQ(search({{"IX", "A35A"}, {"KEY", auth035}}, viewer).ids, Ids{1});
    // Another operator's id is refused whatever the rights.
    EXPECT_EQ(search({{"IX", "TI"}, {"KEY", "rivers"}, {"OI", "viewer"}}).status, 6);
}
