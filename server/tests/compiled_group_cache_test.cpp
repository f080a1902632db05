// The compiled group cache gives the group as it stands: a document changed
// since is compiled again, and the same group id in another database is
// another group.
#include "job_test_support.h"
#include "rulerun/compiled_group_cache.h"

namespace orvane::server::testing {
namespace {

std::string rule(const std::string& then) {
    return "rule \"R\"\r\n  when\r\n    MARC is \"245\"\r\n  then\r\n    " + then + "\r\nend\r\n";
}

class CompiledGroups : public JobServer {};

TEST_F(CompiledGroups, AChangedDocumentOrAnotherDatabaseIsCompiledAfresh) {
    const auto group = makeGroup("cached", 2, rule("CHANGED"));
    const auto first = compiledGroups().get(server.db(), group);
    ASSERT_TRUE(first && first->group);
    EXPECT_EQ(compiledGroups().get(server.db(), group), first);

    // The same id in another catalogue holds another text.
    TestServer other;
    const std::string otherToken = other.login("demo", "demo");
    const auto doc = other.send(otherToken, {"SAVE_RULE_DOCUMENT", {{"RT", 2}, {"NM", std::string("cached")},
        {"DSC", std::string()}, {"DOC", rule("remove MARC.\"24\"")}, {"OI", std::string("demo")}}});
    const auto otherGroup = other.send(otherToken, {"SAVE_RULE_SET", {{"RT", 2}, {"NM", std::string("cached")},
        {"DSC", std::string()}, {"RDID", numberOf(doc, "ID")}, {"RO", 0}, {"OI", std::string("demo")}}});
    ASSERT_EQ(numberOf(otherGroup, "ID"), group);
    const auto elsewhere = compiledGroups().get(other.db(), group);
    ASSERT_TRUE(elsewhere);
    EXPECT_FALSE(elsewhere->group);
    ASSERT_EQ(elsewhere->errors.size(), 1u);

    // Back in the first catalogue, a change to its document is seen.
    auto st = server.db().prepare("UPDATE rule_documents SET text = ?1");
    st.bind(1, rule("DELETE")).run();
    const auto changed = compiledGroups().get(server.db(), group);
    ASSERT_TRUE(changed && changed->group);
    EXPECT_NE(changed, first);
    EXPECT_EQ(changed->group->factRules(), std::vector<std::string>{"R"});
    EXPECT_EQ(compiledGroups().get(server.db(), 999), nullptr);
}

} // namespace
} // namespace orvane::server::testing
