// RuleSets, RuleSet and RuleDocument against a server in this process, on
// a database of the test's own filled with the demo data: what the client
// sends is kept, refused or reported as the server decides.
#include "auth/operators.h"
#include "auth/password.h"
#include "core/server_core.h"
#include "demo/seed.h"
#include "embedded_transport.h"
#include "request_channel.h"
#include "rule_document.h"
#include "rule_document_requests.h"
#include "rule_set.h"
#include "rule_sets.h"
#include "session.h"
#include "session/session_state.h"
#include "store/database.h"
#include "store/store.h"
#include "testing/recording_platform_services.h"

#include <QTemporaryDir>
#include <array>
#include <gtest/gtest.h>
#include <memory>

namespace velumar {
namespace {

// One operator's run of the client against the shared server.
struct Client {
    Client(std::shared_ptr<orvane::server::ServerCore> core, const QString& id) {
        state.session().SetTransportFactory(
            [core](const QString&) { return std::make_shared<orvane::EmbeddedTransport>(core); });
        EXPECT_EQ(state.session().Login("", id, "pw"), 0);
        EXPECT_TRUE(state.channel().Open(5, state.session(), nullptr));
    }
    RuleSets& ruleSets() { return state.manager<RuleSets>(); }

    RecordingPlatformServices platform;
    SessionState state{platform};
};

class RuleSetsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        orvane::server::ServerOptions options;
        options.dbPath = dir.filePath("server.db").toStdString();
        core = std::make_shared<orvane::server::ServerCore>(options);
        core->log().mute(true);
        orvane::server::initialiseStore(core->store(), true, {20, 10});
        addOperator("cat", {"DCRA", "DCRU", "DCRD", "DCRV", "SRV", "ALA"});
        addOperator("clerk", {"DCRV"});
    }

    void addOperator(const std::string& id, std::vector<std::string_view> rights) {
        auto& db = core->store().db();
        const auto row = orvane::server::addOperator(db, id, id, orvane::server::hashPassword("pw"));
        orvane::server::grantRights(db, row, rights);
    }

    qint32 saveDocument(Client& client, const std::string& name) {
        rules::RuleDocument document;
        document.LoadText("# mine\r\nrule \"r\"\r\n#priority n\r\n  when\r\n    MARC is \"590\"\r\n"
                          "  then\r\n    SUPPRESS\r\nend\r\n\r\n");
        EXPECT_EQ(rules::channel::SaveRuleDocument(client.state.channel(), document, 2,
                                                   QString::fromStdString(name), "d",
                                                   client.state.session().OperatorId()),
                  "");
        return document.Id;
    }

    QTemporaryDir dir;
    std::shared_ptr<orvane::server::ServerCore> core;
};

QStringList names(const KeyedCollection<RuleSet>& groups) {
    QStringList out;
    for (int i = 0; i < groups.Count(); ++i)
        out << groups.At(i).Name;
    return out;
}

TEST_F(RuleSetsEndToEnd, DemoDocumentsParseAndGroupsNameTheParametersTheyNeed) {
    Client demo(core, "cat");
    RuleSets& sets = demo.ruleSets();
    int rulesRead = 0;
    for (int type = 1; type <= 6; ++type) {
        sets.LoadRuleDocuments(type);
        const auto& documents = *sets.GetRuleDocuments(type);
        EXPECT_GT(documents.Count(), 1) << type;
        for (int i = 0; i < documents.Count(); ++i) {
            rules::RuleDocument parsed;
            parsed.LoadText(documents.At(i).Text);
            for (const auto& rule : parsed.Rules) {
                ++rulesRead;
                for (const auto& condition : rule.Conditions)
                    EXPECT_FALSE(condition.HasError() && condition.Kind != 17)
                        << documents.At(i).Name << ": " << condition.ErrorText;
                for (const auto& consequence : rule.Consequences)
                    EXPECT_FALSE(consequence.HasError() && consequence.Kind != 17)
                        << documents.At(i).Name << ": " << consequence.ErrorText;
                EXPECT_FALSE(rule.CheckAddFieldPairs()) << documents.At(i).Name;
            }
        }
    }
    EXPECT_GE(rulesRead, 15);
    EXPECT_NE(sets.FindRuleDocumentId("MatchCode-And-Tag-Field"), 0);
    EXPECT_NE(sets.FindRuleDocumentId("Delete-By-Auth-Status"), 0);
    // Every coded merge document: 3 rows of 008, 12 general categories with 6
    // options each, one more for 781, one for 1XX and 6 do-not-merge codes.
    EXPECT_EQ(sets.GetRuleDocuments(4)->Count(), 83);
    EXPECT_TRUE(sets.FindMergeRuleDocumentId(4, "781|Retain existing field instead of incoming "
                                                "field unless headings differ"));

    // Each group's required parameters are those its documents' texts ask for.
    for (int type = 1; type <= 6; ++type) {
        sets.LoadRuleSets(type);
        const auto& groups = *sets.GetRuleSets(type);
        for (int i = 0; i < groups.Count(); ++i) {
            RuleSet* group = sets.GetRuleSetWithLinks(type, groups.At(i).Id, true);
            ASSERT_FALSE(group->Links.empty()) << group->Name.toStdString();
            QStringList needed;
            for (const auto& link : group->Links)
                for (const auto name : rules::RuleDocument::JobParameterNames(
                         sets.GetRuleDocument(type, link.DocId)->Text))
                    if (!needed.contains(QString::fromUtf8(name.data(), qsizetype(name.size()))))
                        needed << QString::fromUtf8(name.data(), qsizetype(name.size()));
            EXPECT_EQ(group->RequiredParameters, needed.join(',')) << group->Name.toStdString();
        }
    }
    const RuleSet* withdrawals = nullptr;
    for (int i = 0; i < sets.GetRuleSets(2)->Count(); ++i)
        if (sets.GetRuleSets(2)->At(i).Name == "Withdrawals")
            withdrawals = &sets.GetRuleSets(2)->At(i);
    ASSERT_NE(withdrawals, nullptr);
    EXPECT_TRUE(withdrawals->HasRequiredParameter("REQ_LIBRARY_ID"));
    EXPECT_TRUE(demo.platform.Messages().empty());
}

TEST_F(RuleSetsEndToEnd, GroupsAreCreatedCopiedRenamedAndDeleted) {
    Client cat(core, "cat");
    RuleSets& sets = cat.ruleSets();
    const qint32 first = saveDocument(cat, "First");
    const qint32 second = saveDocument(cat, "Second");

    RuleSet group;
    group.AddLink(second);
    group.AddLink(first);
    group.SetParameter("NOTE", "kept");
    const qint32 id = group.Save(sets, 2, "Authors", "names");
    ASSERT_GT(id, 0);
    sets.LoadRuleSets(2);
    RuleSet* stored = sets.GetRuleSetWithLinks(2, id, false);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->CreateOperator, "cat");
    EXPECT_EQ(stored->LastOperator(), "cat");
    EXPECT_EQ(stored->UpdateDate.size(), 19);
    EXPECT_EQ(stored->RequiredParameters, "REQ_LOCATION_ID");
    ASSERT_EQ(stored->Links.size(), 2u);
    EXPECT_EQ(stored->Links[0].Key(), std::to_string(second) + "|0");
    stored->LoadParameters(sets);
    EXPECT_EQ(stored->GetParameter("NOTE"), "kept");

    // A copy carries the links, not the parameters, and is saved as new.
    auto copy = sets.CopyRuleSet(2, id, true);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Name, "Copy of Authors");
    const qint32 copyId = copy->Save(sets, 2, copy->Name, copy->Description);
    ASSERT_GT(copyId, 0);
    EXPECT_NE(copyId, id);

    // A taken name is refused with its message; a rename keeps the id.
    RuleSet clash;
    EXPECT_EQ(clash.Save(sets, 2, "Authors", ""), 0);
    EXPECT_EQ(cat.platform.Texts(), QStringList{"Rule set group name is already in use."});
    stored = sets.GetRuleSetWithLinks(2, id, true);
    stored->MoveLinkDown(QString::fromStdString(stored->Links[0].Key()));
    EXPECT_EQ(stored->Save(sets, 2, "Authors renamed", "names"), id);
    sets.LoadRuleSets(2);
    const QStringList groupsNow = names(*sets.GetRuleSets(2));
    EXPECT_TRUE(groupsNow.contains("Authors renamed"));
    EXPECT_FALSE(groupsNow.contains("Authors"));
    EXPECT_EQ(sets.GetRuleSetWithLinks(2, id, true)->Links[0].DocId, first);

    // A document in use is kept and its groups named; free, it goes.
    cat.platform.Clear();
    sets.DeleteRuleDocument(first);
    EXPECT_EQ(cat.platform.Texts(),
              QStringList{"This rule set is in use in the following rule set groups, and cannot "
                          "be deleted:\r\nAuthors renamed\r\nCopy of Authors"});
    EXPECT_FALSE(sets.DeleteRuleSet(id));
    EXPECT_FALSE(sets.DeleteRuleSet(copyId));
    cat.platform.Clear();
    sets.DeleteRuleDocument(first);
    EXPECT_TRUE(cat.platform.Messages().empty());
    sets.LoadRuleDocuments(2);
    EXPECT_EQ(sets.GetRuleDocument(2, first), nullptr);
    EXPECT_NE(sets.GetRuleDocument(2, second), nullptr);
}

TEST_F(RuleSetsEndToEnd, TheServerRefusesWhatTheOperatorHasNoRightTo) {
    Client cat(core, "cat");
    RuleSet group;
    const qint32 doc = saveDocument(cat, "Doc");
    group.AddLink(doc);
    const qint32 id = group.Save(cat.ruleSets(), 2, "Cat's group", "");
    ASSERT_GT(id, 0);

    Client clerk(core, "clerk"); // may only view data change rules
    RuleSets& sets = clerk.ruleSets();
    sets.LoadRuleSets(2);
    EXPECT_EQ(sets.GetRuleSets(2)->Count(), 3); // the demo's two and cat's
    sets.LoadRuleSets(1);
    sets.LoadRuleDocuments(3);
    EXPECT_EQ(sets.GetRuleSets(1)->Count(), 0);
    RuleSet mine;
    EXPECT_EQ(mine.Save(sets, 2, "Clerk's group", ""), 0);
    RuleSet* theirs = sets.GetRuleSetWithLinks(2, id, true);
    ASSERT_NE(theirs, nullptr);
    EXPECT_EQ(theirs->Save(sets, 2, "Taken over", ""), 0);
    EXPECT_TRUE(sets.DeleteRuleSet(id));
    sets.DeleteRuleDocument(doc);
    rules::RuleDocument document;
    document.LoadText("# h\r\n");
    EXPECT_NE(rules::channel::SaveRuleDocument(clerk.state.channel(), document, 2, "Clerk's", "",
                                               "clerk"),
              "");
    EXPECT_EQ(clerk.platform.Texts(),
              (QStringList{"Operator not authorized to view rule set groups.",
                           "Operator not authorized to view rule documents.",
                           "Failed to add rule set group.", "Failed to add rule set group.",
                           "Operator not authorized to delete rule set group.",
                           "Operator not authorized to delete rule set."}));

    // Nothing was changed.
    cat.ruleSets().LoadRuleSets(2);
    cat.ruleSets().LoadRuleDocuments(2);
    const QStringList groupsNow = names(*cat.ruleSets().GetRuleSets(2));
    EXPECT_TRUE(groupsNow.contains("Cat's group"));
    EXPECT_FALSE(groupsNow.contains("Taken over") || groupsNow.contains("Clerk's group"));
    EXPECT_NE(cat.ruleSets().GetRuleDocument(2, doc), nullptr);
    EXPECT_EQ(cat.ruleSets().GetRuleDocuments(2)->Count(), 6); // the demo's five and cat's
}

} // namespace
} // namespace velumar
