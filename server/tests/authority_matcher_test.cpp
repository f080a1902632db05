// Matching incoming authority records with the demo catalogue's: by each
// profile, one, none and several matches, the ids written into the match id
// tag and taken out again, rejections and deletion notices from the rules.
#include "authload/authority_matcher.h"
#include "test_server.h"

#include "rule_group.h"

#include "marc/iso2709_writer.h"
#include "marc/record.h"
#include "marc/record_view.h"

namespace orvane::server::testing {
namespace {

using authload::AuthorityMatcher;
using authload::MatchKind;

class AuthorityMatching : public ::testing::Test {
protected:
    std::string stored(std::int32_t id) {
        auto st = server.db().prepare(
            "SELECT marc FROM catalogue_records WHERE record_type = 3 AND record_id = ?1");
        st.bind(1, id);
        return st.step() ? st.blob(0) : std::string();
    }
    // An incoming copy of authority record `id`, its 001 and 003 the agency's.
    std::string incomingCopy(std::int32_t id, const std::string& newHeading = {}) {
        const std::string octets = stored(id);
        marc::Record r = marc::Record::fromView(*marc::parseRecord(octets).record);
        r.setControlValue("001", "n99" + std::to_string(id));
        r.setControlValue("003", "DLC");
        if (!newHeading.empty())
            for (marc::Field& f : r.fields())
                if (f.tag()[0] == '1')
                    f.subfields().front().value = newHeading;
        std::string out;
        marc::appendIso2709(r, out);
        return out;
    }
    authload::MatchResult match(const std::string& profile, const std::string& record,
                                const engine::RuleGroup* rules = nullptr) {
        AuthorityMatcher matcher(server.db(), profile, "", rules);
        return matcher.match(*marc::parseRecord(record).record);
    }
    TestServer server;
};

TEST_F(AuthorityMatching, OneNoneAndSeveralMatchesByProfileAndNoneThroughSeeReferences) {
    const std::string copy = incomingCopy(3);
    for (const char* profile : {"CTRLNO", "HEADING"}) {
        const auto one = match(profile, copy);
        EXPECT_EQ(one.kind, MatchKind::Match) << profile;
        EXPECT_EQ(one.ids, std::vector<std::int32_t>{3}) << profile;
        EXPECT_EQ(authload::matchedIds(*marc::parseRecord(one.record).record, "035"),
                  std::vector<std::int32_t>{3});
        // Saved again, the record holds no match ids.
        EXPECT_EQ(authload::withoutMatchedIds(*marc::parseRecord(one.record).record, "035"), copy);
    }
    EXPECT_EQ(match("HEADING", incomingCopy(3, "Nobody, Nowhere")).kind, MatchKind::NoMatch);
    // Without an 035, the record's own "(003)001" is the control number.
    {
        const std::string octets = stored(3);
        marc::Record r = marc::Record::fromView(*marc::parseRecord(octets).record);
        std::erase_if(r.fields(), [](const marc::Field& f) { return f.tag() == "035"; });
        r.setControlValue("001", "n0000003");
        r.setControlValue("003", "VDEMO");
        std::string bare;
        marc::appendIso2709(r, bare);
        const auto byNumber = match("CTRLNO", bare);
        EXPECT_EQ(byNumber.kind, MatchKind::Match);
        EXPECT_EQ(byNumber.ids, std::vector<std::int32_t>{3});
    }
    // No 010 in the demo records: an empty key matches nothing.
    EXPECT_EQ(match("LCCN", copy).kind, MatchKind::NoMatch);
    EXPECT_EQ(AuthorityMatcher::indexCode("ISBN"), "");

    // Another record holding the key only through its see reference (the
    // heading index holds both) is no match: the 1XX headings must agree.
    auto key = server.db().prepare(
        "SELECT key FROM catalogue_index WHERE record_type = 3 AND code = 'AH' AND record_id = 3");
    ASSERT_TRUE(key.step());
    const std::string heading = key.text(0);
    key.reset();
    auto add = server.db().prepare(
        "INSERT INTO catalogue_index (record_type, code, key, record_id) VALUES (3, 'AH', ?1, 5)");
    add.bind(1, heading).run();
    const auto referenced = match("HEADING", copy);
    EXPECT_EQ(referenced.kind, MatchKind::Match);
    EXPECT_EQ(referenced.ids, std::vector<std::int32_t>{3});
    // By control number, several records holding the key all match.
    auto number = server.db().prepare("INSERT INTO catalogue_index (record_type, code, key, record_id) "
                                      "SELECT 3, 'A35A', key, 5 FROM catalogue_index WHERE "
                                      "record_type = 3 AND code = 'A35A' AND record_id = 3");
    number.run();
    const auto several = match("CTRLNO", copy);
    EXPECT_EQ(several.kind, MatchKind::MultiMatch);
    EXPECT_EQ(several.ids, (std::vector<std::int32_t>{3, 5}));
    EXPECT_EQ(authload::matchedIds(*marc::parseRecord(several.record).record, "035"),
              (std::vector<std::int32_t>{3, 5}));
}

TEST_F(AuthorityMatching, TheMatchRulesRejectOrMarkDeletions) {
    const auto rules = engine::RuleGroup::compile(
        {{"match", "rule \"Deleted\"\r\n  when\r\n    MARC.control.\"LDR\"(\"5\",\"6\") equals "
                   "\"d\"\r\n  then\r\n    DELETE\r\nend\r\n\r\nrule \"No heading\"\r\n  when\r\n"
                   "    MARC.\"100\".\"a\" equals \"Reject me\"\r\n  then\r\n    ERROR\r\nend\r\n"}});
    ASSERT_TRUE(rules.group);
    const auto rejected = match("CTRLNO", incomingCopy(2, "Reject me"), rules.group.get());
    EXPECT_EQ(rejected.kind, MatchKind::Reject);
    EXPECT_EQ(rejected.reason, "ERROR");

    std::string notice = incomingCopy(3);
    notice[5] = 'd';
    const auto deletion = match("CTRLNO", notice, rules.group.get());
    EXPECT_TRUE(deletion.deletion);
    EXPECT_EQ(deletion.kind, MatchKind::Match);
}

} // namespace
} // namespace orvane::server::testing
