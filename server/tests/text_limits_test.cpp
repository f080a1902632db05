// Every text the server keeps, or looks up, has a length fitting what it is
// for; one octet more is refused with status 8 and nothing is kept.

#include "dispatch/text_limits.h"
#include "protocol/status.h"
#include "test_server.h"

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::server;
using namespace orvane::server::testing;

namespace {

std::int64_t rows(Database& db, const std::string& table) {
    auto st = db.prepare("SELECT count(*) FROM " + table);
    st.step();
    return st.int64(0);
}

} // namespace

TEST(TextLimits, OneOctetOverTheLimitIsRefusedAndNothingKept) {
    TestServer server;
    const std::string token = server.login("demo", "demo");
    auto& db = server.db();
    std::int64_t sets = rows(db, "record_sets");
    const std::int64_t documents = rows(db, "rule_documents");
    const std::int64_t groups = rows(db, "rule_sets");

    const std::string doc = "# a rule document\r\n";
    const struct {
        std::string code;
        wire::Fields fields;
        std::string key; // lengthened to the limit, then one past it
        std::size_t limit;
    } cases[] = {
        {"ADD_RECORD_SET", {{"RSN", ""}, {"RST", 1}, {"RT", 1}}, "RSN", text_limits::Name},
        {"COPY_RECORD_SET", {{"RSID", 1}, {"RSN", "c"}, {"RSD", ""}}, "RSD", text_limits::Description},
        {"UPDATE_RECORD_SET", {{"RSID", 1}, {"RSN", ""}, {"RSD", "d"}}, "RSN", text_limits::Name},
        {"SAVE_RULE_DOCUMENT", {{"RT", 1}, {"NM", ""}, {"DSC", ""}, {"DOC", doc}}, "NM",
         text_limits::Name},
        {"SAVE_RULE_DOCUMENT", {{"RT", 1}, {"NM", "D2"}, {"DSC", ""}, {"DOC", doc}}, "DSC",
         text_limits::Description},
        {"SAVE_RULE_DOCUMENT", {{"RT", 1}, {"NM", "D3"}, {"DSC", ""}, {"DOC", ""}}, "DOC",
         text_limits::RuleText},
        {"SAVE_RULE_DOCUMENT", {{"RT", 1}, {"NM", "D4"}, {"DOC", doc}, {"PN", "A"}, {"PN", ""}},
         "PN", text_limits::ParameterName},
        {"SAVE_RULE_SET", {{"RT", 1}, {"NM", ""}, {"DSC", ""}}, "NM", text_limits::Name},
        {"SAVE_RULE_SET", {{"RT", 1}, {"NM", "G2"}, {"PN", "P"}, {"PV", ""}}, "PV",
         text_limits::ParameterValue},
        {"CATALOGUE_SEARCH", {{"IX", "KW"}, {"KEY", ""}}, "KEY", text_limits::SearchKey},
        {"CHANGE_PASSWORD", {{"PW", "wrong"}, {"NPW", ""}}, "NPW", text_limits::Password},
        {"PKGCHK", {{"PKGNM", ""}}, "PKGNM", text_limits::Name},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code + " " + c.key);
        for (const std::size_t length : {c.limit, c.limit + 1}) {
            wire::Fields fields = c.fields;
            // The last field of the key is the one made long (keys may repeat).
            for (auto it = fields.rbegin(); it != fields.rend(); ++it)
                if (it->key == c.key) {
                    it->value = std::string(length, 'x');
                    break;
                }
            const auto answer = server.send(token, {c.code, fields});
            if (length > c.limit)
                EXPECT_EQ(answer, (wire::Answer{wire::status::InvalidValue, {}}));
            else
                EXPECT_NE(answer.status, wire::status::InvalidValue);
            if (answer.status == 0 && c.code.find("_RECORD_SET") != std::string::npos &&
                c.code != "UPDATE_RECORD_SET")
                ++sets;
        }
    }
    // Only the saves at the limit were kept.
    EXPECT_EQ(rows(db, "record_sets"), sets);
    EXPECT_EQ(rows(db, "rule_documents"), documents + 4);
    EXPECT_EQ(rows(db, "rule_sets"), groups + 2);
    auto names = db.prepare("SELECT name FROM record_sets");
    std::size_t longest = 0;
    while (names.step())
        longest = std::max(longest, names.text(0).size());
    EXPECT_LE(longest, text_limits::Name);
}
