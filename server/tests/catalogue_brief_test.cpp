// CATALOGUE_BRIEF through the endpoint: the title, heading or shelf place
// and the date of each record asked for, in the order asked, and the rights
// and limits it checks.

#include "auth/operators.h"
#include "auth/password.h"
#include "catalogue/record_writer.h"
#include "catalogue_support.h"
#include "test_server.h"

#include <array>
#include <gtest/gtest.h>

using namespace orvane::server;
using namespace orvane::server::testing;
namespace wire = orvane::wire;

namespace {

struct Line {
    std::int32_t id = 0;
    std::string title;
    std::string date;
    bool operator==(const Line&) const = default;
};

struct Brief {
    std::int32_t status = -1;
    std::vector<Line> lines;
};

class CatalogueBrief : public ::testing::Test {
protected:
    void SetUp() override { token = server.login("demo", "demo"); }

    Brief brief(wire::Fields fields, const std::string& as = {}) {
        const auto answer =
            server.send(as.empty() ? token : as, {"CATALOGUE_BRIEF", std::move(fields)});
        Brief out{answer.status, {}};
        for (const auto& f : answer.fields) {
            if (f.key == "RID")
                out.lines.push_back({std::get<std::int32_t>(f.value), {}, {}});
            else if (f.key == "TI" && !out.lines.empty())
                out.lines.back().title = std::get<std::string>(f.value);
            else if (f.key == "DT" && !out.lines.empty())
                out.lines.back().date = std::get<std::string>(f.value);
        }
        return out;
    }

    std::int32_t save(std::string_view octets, RecordKind kind) {
        return RecordWriter(server.db(), "demo").save(octets, kind).id;
    }

    TestServer server;
    std::string token;
};

TEST_F(CatalogueBrief, ABibliographicRecordShowsItsTitleAndPublicationDate) {
    const auto id = save(makeRecord(BibLeader, {{"245", "10$aHarbours of the north :$bwith maps /"
                                                        "$cby A. Writer."},
                                                {"264", " 1$aOslo :$bNordic,$c1987."}}),
                         RecordKind::Bibliographic);
    const auto undated = save(makeRecord(BibLeader, {{"008", "250101s1999    xx                 eng d"},
                                                     {"245", "00$aTides."}}),
                              RecordKind::Bibliographic);
    const auto answer = brief({{"RT", 1}, {"RID", undated}, {"RID", id}, {"OI", "demo"}});
    EXPECT_EQ(answer.status, 0);
    // In the order asked; the statement of responsibility and end punctuation left out;
    // without 260/264 $c the year comes from 008.
    EXPECT_EQ(answer.lines, (std::vector<Line>{{undated, "Tides", "1999"},
                                               {id, "Harbours of the north : with maps", "1987"}}));
}

TEST_F(CatalogueBrief, MarcEightTitlesArriveAsUnicode) {
    // "E" with a combining acute (MARC-8 0xE2) before it.
    const auto id = save(makeRecord(Marc8BibLeader, {{"245", "10$a\xE2" "Etudes."}}),
                         RecordKind::Bibliographic);
    const auto answer = brief({{"RT", 1}, {"RID", id}});
    ASSERT_EQ(answer.lines.size(), 1u);
    // The decoder keeps the mark combining, after its letter as Unicode writes it.
    EXPECT_EQ(answer.lines[0].title, "E\xCC\x81tudes");
}

TEST_F(CatalogueBrief, AuthorityAndHoldingsShowHeadingOrShelfAndTheDayLastChanged) {
    const auto auth = save(makeRecord(AuthorityLeader, {{"100", "1 $aWriter, Anna,$d1921-1988."}}),
                           RecordKind::Authority);
    const auto a = brief({{"RT", 3}, {"RID", auth}});
    ASSERT_EQ(a.lines.size(), 1u);
    EXPECT_EQ(a.lines[0].title, "Writer, Anna, 1921-1988");
    EXPECT_EQ(a.lines[0].date.size(), 10u);
    EXPECT_EQ(a.lines[0].date.substr(0, 2), "20");

    // The demo holdings have an 852; their place is shown, not left empty.
    const auto h = brief({{"RT", 2}, {"RID", 1}});
    ASSERT_EQ(h.lines.size(), 1u);
    EXPECT_FALSE(h.lines[0].title.empty());
}

TEST_F(CatalogueBrief, AnIdOfNoRecordOfTheKindAnswersEmptyTexts) {
    // Authority 1 exists, bibliographic 1 exists too: ask for a bibliographic id past the catalogue.
    const auto answer = brief({{"RT", 1}, {"RID", 1}, {"RID", 999999}});
    ASSERT_EQ(answer.status, 0);
    ASSERT_EQ(answer.lines.size(), 2u);
    EXPECT_FALSE(answer.lines[0].title.empty());
    EXPECT_EQ(answer.lines[1], (Line{999999, "", ""}));
}

TEST_F(CatalogueBrief, RefusesBadRequestsAndKindsTheOperatorMayNotView) {
    EXPECT_EQ(brief({{"RT", 4}, {"RID", 1}}).status, 8);
    EXPECT_EQ(brief({{"RT", 1}}).status, 8);
    wire::Fields many{{"RT", 1}};
    for (std::int32_t i = 1; i <= 1001; ++i)
        many.push_back({"RID", i});
    EXPECT_EQ(brief(many).status, 8);
    EXPECT_EQ(server.post({"CATALOGUE_BRIEF", {{"RT", 1}, {"RID", "1"}}}, token).status, 400);

    static constexpr std::array<std::string_view, 1> BibOnly{"RSBV"};
    const auto row = addOperator(server.db(), "bibonly", "bibonly", hashPassword("password"));
    grantRights(server.db(), row, BibOnly);
    const auto bibOnly = server.login("bibonly", "password");
    const auto refused = brief({{"RT", 3}, {"RID", 1}}, bibOnly);
    EXPECT_EQ(refused.status, 6);
    EXPECT_TRUE(refused.lines.empty());
    EXPECT_EQ(brief({{"RT", 1}, {"RID", 1}}, bibOnly).status, 0);
    EXPECT_EQ(brief({{"RT", 2}, {"RID", 1}}, bibOnly).status, 6);
}

} // namespace
