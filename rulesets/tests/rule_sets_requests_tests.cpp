// The rule set requests against the scripted server: the exact fields sent,
// in order, what each answer becomes, and the message of each failure.
#include "rule_set.h"
#include "rule_sets_fixture.h"

#include <QComboBox>
#include <QLineEdit>

namespace velumar {
namespace {

namespace wire = orvane::wire;
using testing::RuleSetsTest;

wire::Answer groups() {
    return {0, {{"ID", 7}, {"NM", "Authors"}, {"DSC", "d"}, {"CO", "ann"}, {"UO", ""},
                {"UD", "2026-01-02 03:04:05"}, {"PN", "REQ_LIBRARY_ID"},
                {"ID", 9}, {"NM", "Titles"}, {"DSC", ""}, {"CO", "ann"}, {"UO", "bob"},
                {"UD", "2026-02-02 00:00:00"}, {"PN", ""}}};
}

wire::Answer documents() {
    return {0, {{"ID", 3}, {"NM", "Drop 9XX"}, {"DSC", "a"}, {"CO", "ann"}, {"UO", ""},
                {"UD", "x"}, {"DOC", "# h\r\n"},
                {"ID", 4}, {"NM", "MatchCode-And-Tag-Field"}, {"DSC", ""}, {"CO", "ann"},
                {"UO", ""}, {"UD", "x"}, {"DOC", ""}}};
}

TEST_F(RuleSetsTest, ListsAreAskedPerTypeWithTheOperatorAndReadInAnswerOrder) {
    transport->queue("GET_RULE_SETS", groups());
    transport->queue("GET_RULE_DOCUMENTS", documents());
    ruleSets().LoadRuleSets(4);
    ruleSets().LoadRuleDocuments(3);

    EXPECT_EQ(transport->sent("GET_RULE_SETS").front().fields,
              (wire::Fields{{"RT", 4}, {"OI", "jsmith"}}));
    EXPECT_EQ(transport->sent("GET_RULE_DOCUMENTS").front().fields,
              (wire::Fields{{"RT", 3}, {"OI", "jsmith"}}));
    const auto& loaded = *ruleSets().GetRuleSets(4);
    ASSERT_EQ(loaded.Count(), 2);
    EXPECT_EQ(loaded.KeyAt(0), "7");
    const RuleSet& titles = loaded.At(1);
    EXPECT_EQ(titles.Name, "Titles");
    EXPECT_EQ(titles.LastOperator(), "bob");
    EXPECT_EQ(loaded.At(0).LastOperator(), "ann");
    EXPECT_EQ(loaded.At(0).RequiredParameters, "REQ_LIBRARY_ID");
    EXPECT_EQ(ruleSets().GetRuleDocument(3, 3)->Description, "a");
    EXPECT_EQ(ruleSets().GetRuleDocument(3, 99), nullptr);
    const auto copy = ruleSets().CopyRuleDocument(3, 3);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Name, "Copy of Drop 9XX");
    EXPECT_EQ(copy->Id, 0);
    EXPECT_FALSE(ruleSets().CopyRuleDocument(3, 99));
    EXPECT_EQ(ruleSets().FindRuleDocumentId("MatchCode-And-Tag-Field"), 4);
    EXPECT_EQ(ruleSets().FindRuleDocumentId("matchcode-and-tag-field"), 0);
    // Only merge documents are looked up by merge name.
    EXPECT_EQ(ruleSets().FindMergeRuleDocumentId(3, "Drop 9XX"), std::nullopt);
    // Groups are handed out for types 2, 4 and 5 only.
    EXPECT_NE(ruleSets().GetRuleSet(4, 7), nullptr);
    EXPECT_EQ(ruleSets().GetRuleSet(3, 7), nullptr);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(RuleSetsTest, ListFailuresShowTheirMessageAndLeaveTheTypeEmpty) {
    transport->queue("GET_RULE_SETS", groups());
    ruleSets().LoadRuleSets(2);
    transport->queue("GET_RULE_SETS", {55, {}});
    transport->queue("GET_RULE_SETS", {6, {}});
    transport->queue("GET_RULE_SETS", {12, {}});
    transport->queue("GET_RULE_DOCUMENTS", {6, {}});
    transport->queue("GET_RULE_DOCUMENTS", {3, {}});
    transport->queue("GET_RULE_DOCUMENTS_FOR_SET", {1, {}});
    transport->queue("GET_RULE_SET_PARAMETERS", {6, {}});
    transport->queue("GET_RULE_SET_PARAMETERS", {5, {}});
    transport->queue("LstCatDp", {1, {}});
    transport->queue("GET_RULE_SETS", groups());

    ruleSets().LoadRuleSets(2); // 55: an empty list, no message
    EXPECT_EQ(ruleSets().GetRuleSets(2)->Count(), 0);
    ruleSets().LoadRuleSets(2);
    ruleSets().LoadRuleSets(2);
    ruleSets().LoadRuleDocuments(1);
    ruleSets().LoadRuleDocuments(1);
    EXPECT_EQ(ruleSets().GetRuleSets(2)->Count(), 0);
    RuleSet group;
    group.Id = 5;
    ruleSets().LoadRuleSets(2);
    ruleSets().GetRuleSetWithLinks(2, 7, true);
    group.LoadParameters(ruleSets());
    group.LoadParameters(ruleSets());
    ruleSets().LoadDupeDetectionProfiles();

    EXPECT_EQ(platform.Texts(),
              (QStringList{"Operator not authorized to view rule set groups.",
                           "Failed to load rule set groups.",
                           "Operator not authorized to view rule documents.",
                           "Failed to load rule sets", "Failed to load linked rule sets",
                           "Operator not authorized to view rule parameters.",
                           "Failed to load rule set parameters.",
                           "Failed to load dupe detection profiles"}));
    for (const auto& message : platform.Messages()) {
        EXPECT_EQ(message.icon, MessageIcon::Exclamation);
        EXPECT_EQ(message.buttons, MessageButtons::Ok);
        EXPECT_TRUE(message.title.isEmpty());
    }
}

TEST_F(RuleSetsTest, SaveNumbersLinksFromZeroAndSendsParametersAfterThem) {
    transport->queue("SAVE_RULE_SET", {0, {{"ID", 41}}});
    transport->queue("SAVE_RULE_SET", {0, {{"ID", 8}}});
    transport->queue("SAVE_RULE_SET", {0, {{"ID", 9}}});
    RuleSet group;
    group.AddLink(30);
    group.AddLink(10);
    group.AddLink(20);
    EXPECT_EQ(group.Links[2].Order, -3);
    group.SetParameter("MATCH_PROFILE_CODE", "STD");
    group.SetParameter("MULTIMATCH_TAG", "035");
    group.SetParameter("MATCH_PROFILE_CODE", "ISBN");

    EXPECT_EQ(group.Save(ruleSets(), 3, "Main", "Desc"), 41);
    EXPECT_EQ(group.Id, 0); // the screen reloads; the object is not changed
    group.Id = 8;
    group.Links.clear();
    group.Parameters.clear();
    EXPECT_EQ(group.Save(ruleSets(), 2, "Other", ""), 8);
    RuleSet empty;
    EXPECT_EQ(empty.Save(ruleSets(), 1, "E", ""), 9);

    const auto sent = transport->sent("SAVE_RULE_SET");
    EXPECT_EQ(sent[0].fields,
              (wire::Fields{{"RT", 3}, {"NM", "Main"}, {"DSC", "Desc"}, {"OI", "jsmith"},
                            {"RDID", 30}, {"RO", 0}, {"RDID", 10}, {"RO", 1}, {"RDID", 20},
                            {"RO", 2}, {"PN", "MATCH_PROFILE_CODE"}, {"PV", "ISBN"},
                            {"PN", "MULTIMATCH_TAG"}, {"PV", "035"}}));
    EXPECT_EQ(sent[1].fields,
              (wire::Fields{{"ID", 8}, {"RT", 2}, {"NM", "Other"}, {"DSC", ""}, {"OI", "jsmith"}}));
    EXPECT_EQ(sent[2].fields,
              (wire::Fields{{"RT", 1}, {"NM", "E"}, {"DSC", ""}, {"OI", "jsmith"}}));
    EXPECT_TRUE(platform.Messages().empty());
}

// After links are removed and moved, the save numbers them again from 0 in
// the order shown: the group runs its documents in that order.
TEST_F(RuleSetsTest, SaveNumbersLinksFromZeroAfterTheyAreRemovedAndMoved) {
    transport->queue("SAVE_RULE_SET", {0, {{"ID", 12}}});
    RuleSet group;
    group.Id = 12;
    group.AddLink(30);
    group.AddLink(10);
    group.AddLink(20);
    group.AddLink(40);
    group.RemoveLink("30|-1");
    group.MoveLinkUp("40|-4");
    group.MoveLinkUp("40|-4");
    ASSERT_EQ(group.Links.size(), 3u);

    EXPECT_EQ(group.Save(ruleSets(), 2, "Reordered", ""), 12);
    EXPECT_EQ(transport->sent("SAVE_RULE_SET")[0].fields,
              (wire::Fields{{"ID", 12}, {"RT", 2}, {"NM", "Reordered"}, {"DSC", ""},
                            {"OI", "jsmith"}, {"RDID", 40}, {"RO", 0}, {"RDID", 10}, {"RO", 1},
                            {"RDID", 20}, {"RO", 2}}));
}

TEST_F(RuleSetsTest, SaveFailuresAnswerZeroWithTheirMessage) {
    transport->queue("SAVE_RULE_SET", {4, {{"ID", 3}}});
    transport->queue("SAVE_RULE_SET", {6, {}});
    RuleSet group;
    EXPECT_EQ(group.Save(ruleSets(), 2, "Taken", ""), 0);
    EXPECT_EQ(group.Save(ruleSets(), 2, "x", ""), 0);
    EXPECT_EQ(platform.Texts(), (QStringList{"Rule set group name is already in use.",
                                             "Failed to add rule set group."}));
}

TEST_F(RuleSetsTest, DeletesSendTheIdAndListWhatStillUsesIt) {
    transport->queue("DELETE_RULE_DOCUMENT", {2, {{"NM", "Authors"}, {"NM", "Titles"}}});
    transport->queue("DELETE_RULE_DOCUMENT", {6, {}});
    transport->queue("DELETE_RULE_DOCUMENT", {0, {}});
    transport->queue("DELETE_RULE_DOCUMENT", {13, {}});
    transport->queue("DELETE_RULE_SET", {2, {{"NM", "Nightly"}}});
    transport->queue("DELETE_RULE_SET", {0, {}});
    transport->queue("DELETE_RULE_SET", {6, {}});
    transport->queue("DELETE_RULE_SET", {1, {}});

    for (int i = 0; i < 4; ++i)
        ruleSets().DeleteRuleDocument(12);
    EXPECT_TRUE(ruleSets().DeleteRuleSet(5));
    EXPECT_FALSE(ruleSets().DeleteRuleSet(5));
    EXPECT_TRUE(ruleSets().DeleteRuleSet(5));
    EXPECT_TRUE(ruleSets().DeleteRuleSet(5));

    EXPECT_EQ(transport->sent("DELETE_RULE_DOCUMENT").front().fields,
              (wire::Fields{{"ID", 12}, {"OI", "jsmith"}}));
    EXPECT_EQ(transport->sent("DELETE_RULE_SET").front().fields,
              (wire::Fields{{"ID", 5}, {"OI", "jsmith"}}));
    EXPECT_EQ(platform.Texts(),
              (QStringList{"This rule set is in use in the following rule set groups, and cannot "
                           "be deleted:\r\nAuthors\r\nTitles",
                           "Operator not authorized to delete rule set.",
                           "Failed to delete rule set.",
                           "This rule set group is in use in the following running or pending "
                           "jobs, and cannot be deleted:\r\nNightly",
                           "Operator not authorized to delete rule set group.",
                           "Failed to delete rule set group."}));
}

TEST_F(RuleSetsTest, LinksAndCopiesComeFromTheServerWithTheirOrders) {
    transport->queue("GET_RULE_SETS", groups());
    ruleSets().LoadRuleSets(6);
    transport->queue("GET_RULE_DOCUMENTS_FOR_SET", {0, {{"ID", 3}, {"RO", 0}, {"ID", 4}, {"RO", 1}}});
    transport->queue("GET_RULE_DOCUMENTS", documents());
    transport->queue("GET_RULE_DOCUMENTS_FOR_SET", {0, {{"ID", 4}, {"RO", 5}}});

    RuleSet* group = ruleSets().GetRuleSetWithLinks(6, 7, false);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->Links.size(), 2u);
    EXPECT_EQ(group->Links[1].Key(), "4|1");
    EXPECT_EQ(ruleSets().GetRuleDocuments(6)->Count(), 2); // reloaded to resolve the links

    auto copy = ruleSets().CopyRuleSet(6, 7, true);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->Name, "Copy of Authors");
    EXPECT_EQ(copy->Id, 0);
    EXPECT_EQ(copy->Links.size(), 1u);
    EXPECT_EQ(copy->Links[0].Key(), "4|5");
    EXPECT_TRUE(copy->Parameters.isEmpty());
    EXPECT_EQ(transport->codes(),
              (std::vector<std::string>{"GET_RULE_SETS", "GET_RULE_DOCUMENTS_FOR_SET",
                                        "GET_RULE_DOCUMENTS", "GET_RULE_DOCUMENTS_FOR_SET"}));
    for (const auto& request : transport->sent("GET_RULE_DOCUMENTS_FOR_SET"))
        EXPECT_EQ(request.fields, (wire::Fields{{"RSID", 7}, {"OI", "jsmith"}}));
}

TEST_F(RuleSetsTest, ProfilesAreAskedWithoutAnOperatorAndShownByCode) {
    transport->queue("LstCatDp", {0, {{"DID", 2}, {"DCd", "STD"}, {"DNm", "Standard"},
                                      {"DID", 5}, {"DCd", "ISBN"}, {"DNm", "By ISBN"}}});
    transport->queue("GET_RULE_SET_PARAMETERS",
                     {0, {{"PN", "MULTIMATCH_TAG"}, {"PV", "035"}, {"PN", "MATCH_PROFILE_CODE"},
                          {"PV", "ISBN"}}});
    ruleSets().LoadDupeDetectionProfiles();
    EXPECT_TRUE(transport->sent("LstCatDp").front().fields.empty());

    QComboBox combo;
    ruleSets().FillDupeDetectionProfileCombo(combo, "ISBN");
    EXPECT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.currentText(), "By ISBN [ISBN]");
    EXPECT_EQ(combo.currentData().toInt(), 5);
    ruleSets().FillDupeDetectionProfileCombo(combo, "");
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(ruleSets().GetDupeDetectionProfileCode(2), "STD");
    EXPECT_EQ(ruleSets().GetDupeDetectionProfileId("NONE"), 0);

    RuleSet group;
    group.Id = 11;
    group.LoadParameters(ruleSets());
    EXPECT_EQ(transport->sent("GET_RULE_SET_PARAMETERS").front().fields,
              (wire::Fields{{"ID", 11}, {"OI", "jsmith"}}));
    QLineEdit tag, profile;
    ruleSets().ShowMatchSettings(&group, tag, profile);
    EXPECT_EQ(tag.text(), "035");
    EXPECT_EQ(profile.text(), "By ISBN [ISBN]");
    group.SetParameter("MATCH_PROFILE_CODE", "GONE");
    ruleSets().ShowMatchSettings(&group, tag, profile);
    EXPECT_EQ(profile.text(), "");

    transport->queue("LstCatDp", {0, {}});
    ruleSets().LoadDupeDetectionProfiles();
    ruleSets().FillDupeDetectionProfileCombo(combo, "ISBN");
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(combo.currentIndex(), -1);
}

} // namespace
} // namespace velumar
