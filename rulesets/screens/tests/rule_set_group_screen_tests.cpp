// The rule set group screens against the scripted server: buttons by each
// screen's rights, the link operations and when each may be pressed, the
// exact fields of a save (none of "RDID" for a group with no links), a
// delete of a group still in use, and the load match configuration's own
// rules (its profile and tag, "Delete-By-Auth-Status" kept,
// "MatchCode-And-Tag-Field" linked last).
#include "frm_rule_set_groups_auth_load_match.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "link_grids.h"
#include "rule_screen_kind.h"
#include "rule_set_group_screen.h"
#include "screens_fixture.h"

#include <QComboBox>
#include <QGroupBox>

namespace velumar {
namespace {

using testing::Controls;
namespace wire = orvane::wire;
namespace kinds = rule_screen_kinds;

QStringList names(const Grid& grid) {
    QStringList out;
    for (int row = 0; row < grid.rowCount(); ++row)
        out << grid.TextMatrix(row, 0);
    return out;
}

class GroupScreens : public testing::ScriptedRuleScreens {
protected:
    template <typename Screen = RuleSetGroupScreen, typename... Kind>
    Screen& open(const Kind&... kind) {
        auto made = std::make_unique<Screen>(state, kind...);
        Screen& shown = *made;
        screen = std::move(made);
        screen->Activate();
        return shown;
    }
    Grid& available() { return *screen->findChild<Grid*>("vsfRules"); }
    Grid& linked() { return *screen->findChild<Grid*>("vsfSelected"); }
    std::vector<bool> linkButtons() {
        return Controls(*screen).enabled({"cmdAddRule", "cmdAddRulesAll", "cmdRemoveRule",
                                          "cmdRemoveRulesAll", "cmdUp", "cmdDown"});
    }

    std::unique_ptr<RuleSetGroupScreen> screen;
};

TEST_F(GroupScreens, EachScreensRightsEnableItsButtons) {
    struct Case {
        const RuleScreenKind* kind;
        const char* screenName;
        QStringList held;
        std::vector<bool> buttons; // New, Copy, Edit, Delete
    };
    const Case cases[] = {
        {&kinds::DataChangeGroups,
         "frmRuleSets_View",
         {"DCRV", "DCRA", "DCRU", "DCRD"},
         {1, 1, 1, 1}},
        {&kinds::DataChangeGroups, "frmRuleSets_View", {"DCRV", "SRA", "SRU", "SRD"}, {0, 0, 0, 0}},
        {&kinds::ScanGroups, "frmScanRuleSets_View", {"SRV", "SRU"}, {0, 0, 1, 0}},
        {&kinds::ScanGroups, "frmScanRuleSets_View", {"SRV", "SRD"}, {0, 0, 0, 1}},
        {&kinds::LoadReconcileConfigurations,
         "frmRuleSetGroups_AuthLoadReconcile",
         {"ALA"},
         {1, 1, 1, 1}},
        {&kinds::LoadReconcileConfigurations,
         "frmRuleSetGroups_AuthLoadReconcile",
         {"DCRA", "DCRU", "DCRD"},
         {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.held.join(',').toStdString());
        testing::ScriptedClient fresh;
        fresh.start(c.held);
        RuleSetGroupScreen shown(fresh.state, *c.kind);
        shown.Activate();
        EXPECT_EQ(shown.objectName(), c.screenName);
        EXPECT_EQ(Controls(shown).enabled({"cmdNew", "cmdCopy", "cmdEdit", "cmdDelete"}),
                  c.buttons);
    }
}

TEST_F(GroupScreens, LinksAreAddedRemovedAndMovedWithEachButtonOnlyWhenItMayBePressed) {
    start();
    open(kinds::DataChangeGroups);
    screen->Edit();
    EXPECT_EQ(screen->findChild<QGroupBox*>("fraEdit")->title(), "Edit rule set group:");
    EXPECT_EQ(sentFields("GET_RULE_DOCUMENTS_FOR_SET"),
              (wire::Fields{{"RSID", 21}, {"OI", "jsmith"}}));
    EXPECT_EQ(names(available()), QStringList{"Add review"});
    EXPECT_EQ(names(linked()), (QStringList{"Tidy", "Notes"}));
    // Nothing chosen: only the all-at-once buttons.
    EXPECT_EQ(linkButtons(), (std::vector<bool>{0, 1, 0, 1, 0, 0}));

    struct Step {
        const char* name;
        std::function<void()> act;
        QStringList available;
        QStringList linked;
        std::vector<bool> buttons; // Add, Add All, Remove, Remove All, Up, Down
    };
    LinkGrids& links = screen->Links();
    const Step steps[] = {
        {"last linked chosen",
         [&] { SelectGridRow(linked(), 1, -1); },
         {"Add review"},
         {"Tidy", "Notes"},
         {0, 1, 1, 1, 1, 0}},
        {"first linked chosen",
         [&] { SelectGridRow(linked(), 0, -1); },
         {"Add review"},
         {"Tidy", "Notes"},
         {0, 1, 1, 1, 0, 1}},
        {"moved down",
         [&] { links.MoveDown(); },
         {"Add review"},
         {"Notes", "Tidy"},
         {0, 1, 1, 1, 1, 0}},
        {"available chosen",
         [&] { SelectGridRow(available(), 0, -1); },
         {"Add review"},
         {"Notes", "Tidy"},
         {1, 1, 1, 1, 1, 0}},
        // The link just added is the one chosen.
        {"added", [&] { links.Add(); }, {}, {"Notes", "Tidy", "Add review"}, {0, 0, 1, 1, 1, 0}},
        {"removed",
         [&] {
             SelectGridRow(linked(), 0, -1);
             links.Remove();
         },
         {"Notes"},
         {"Tidy", "Add review"},
         {0, 1, 1, 1, 0, 1}},
        {"all removed",
         [&] { links.RemoveAll(); },
         {"Add review", "Notes", "Tidy"},
         {},
         {0, 1, 0, 0, 0, 0}},
        {"all added, by name",
         [&] { links.AddAll(); },
         {},
         {"Add review", "Notes", "Tidy"},
         {0, 0, 0, 1, 0, 0}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        EXPECT_EQ(names(available()), step.available);
        EXPECT_EQ(names(linked()), step.linked);
        EXPECT_EQ(linkButtons(), step.buttons);
    }

    transport->queue("SAVE_RULE_SET", wire::Answer{0, {{"ID", 21}}});
    screen->Save();
    EXPECT_EQ(sentFields("SAVE_RULE_SET"), (wire::Fields{{"ID", 21},
                                                         {"RT", 2},
                                                         {"NM", "Monthly"},
                                                         {"DSC", "about Monthly"},
                                                         {"OI", "jsmith"},
                                                         {"RDID", 13},
                                                         {"RO", 0},
                                                         {"RDID", 12},
                                                         {"RO", 1},
                                                         {"RDID", 11},
                                                         {"RO", 2}}));
    EXPECT_FALSE(screen->EditInProgress());
}

TEST_F(GroupScreens, ANewGroupWithoutLinksIsSavedWithoutAnyRuleSetAndAFailureKeepsThePanel) {
    start();
    open(kinds::ScanGroups);
    screen->New();
    EXPECT_EQ(screen->findChild<QGroupBox*>("fraEdit")->title(), "Create new rule set group:");
    EXPECT_EQ(names(available()), (QStringList{"Add review", "Notes", "Tidy"}));
    EXPECT_TRUE(names(linked()).isEmpty());
    screen->findChild<QLineEdit*>("fpName")->setText(" Checks ");

    transport->queue("SAVE_RULE_SET", wire::Answer{4, {}});
    screen->Save();
    EXPECT_TRUE(screen->EditInProgress());
    EXPECT_EQ(platform.Texts(), QStringList{"Rule set group name is already in use."});

    transport->clearSent();
    transport->queue("SAVE_RULE_SET", wire::Answer{0, {{"ID", 22}}});
    screen->Save();
    EXPECT_EQ(sentFields("SAVE_RULE_SET"),
              (wire::Fields{{"RT", 1}, {"NM", "Checks"}, {"DSC", ""}, {"OI", "jsmith"}}));
    EXPECT_FALSE(screen->EditInProgress());
    EXPECT_EQ(screen->SelectedId(), 22);
}

TEST_F(GroupScreens, DeleteSaysWhichJobsStillUseTheGroup) {
    start();
    open(kinds::LoadReconcileConfigurations);
    SelectGridRow(*screen->findChild<Grid*>("vsf"), -1, 22);
    transport->queue("DELETE_RULE_SET", wire::Answer{2, {{"NM", "Nightly reconcile"}}});
    platform.AnswerNext(MessageAnswer::Yes);
    screen->Delete();
    EXPECT_EQ(sentFields("DELETE_RULE_SET"), (wire::Fields{{"ID", 22}, {"OI", "jsmith"}}));
    ASSERT_EQ(platform.Messages().size(), 2u);
    EXPECT_EQ(platform.Messages()[0].text,
              "You will delete Auth Load Rule Set Group:\r\n\"Weekly\"\r\n\r\nAre you sure?");
    EXPECT_EQ(platform.Messages()[1].text,
              "This rule set group is in use in the following running or pending jobs, and "
              "cannot be deleted:\r\nNightly reconcile");
}

TEST_F(GroupScreens, AMatchConfigurationKeepsItsStatusRuleAndSavesTheMatchCodeLast) {
    start();
    transport->respond("LstCatDp", [](const wire::Request&) {
        return wire::Answer{0,
                            {{"DID", 1},
                             {"DCd", "LCCN"},
                             {"DNm", "Control number"},
                             {"DID", 2},
                             {"DCd", "NAME"},
                             {"DNm", "Heading"}}};
    });
    transport->respond("GET_RULE_SET_PARAMETERS", [](const wire::Request&) {
        return wire::Answer{0,
                            {{"PN", "MATCH_PROFILE_CODE"},
                             {"PV", "NAME"},
                             {"PN", "MULTIMATCH_TAG"},
                             {"PV", "935"}}};
    });
    auto& match = open<frmRuleSetGroups_AuthLoadMatch>();
    EXPECT_EQ(match.objectName(), "frmRuleSetGroups_AuthLoadMatch");
    EXPECT_EQ(sentFields("LstCatDp"), wire::Fields{});
    // The view shows the selected configuration's settings.
    EXPECT_EQ(match.findChild<QLineEdit*>("txtViewProfile")->text(), "Heading [NAME]");
    EXPECT_EQ(match.findChild<QLineEdit*>("txtViewMatchIdTag")->text(), "935");

    match.New();
    EXPECT_EQ(match.findChild<QGroupBox*>("fraEdit")->title(),
              "Create new load match configuration:");
    // Never offered: the match code document.
    EXPECT_EQ(names(available()), QStringList{"Name match"});
    EXPECT_EQ(names(linked()), QStringList{"Delete-By-Auth-Status"});
    SelectGridRow(linked(), 0, -1);
    EXPECT_EQ(linkButtons(), (std::vector<bool>{0, 1, 0, 0, 0, 0}));
    SelectGridRow(available(), 0, -1);
    match.Links().Add();
    match.Links().RemoveAll();
    EXPECT_EQ(names(linked()), QStringList{"Delete-By-Auth-Status"});
    match.Links().AddAll();
    auto* profile = match.findChild<QComboBox*>("cboProfile");
    EXPECT_EQ(profile->currentIndex(), -1);
    profile->setCurrentIndex(0);
    match.findChild<QLineEdit*>("txtMatchIdTag")->setText("035");
    match.findChild<QLineEdit*>("fpName")->setText("Load by LCCN");
    transport->queue("SAVE_RULE_SET", wire::Answer{0, {{"ID", 50}}});
    match.Save();
    EXPECT_EQ(sentFields("SAVE_RULE_SET"), (wire::Fields{{"RT", 3},
                                                         {"NM", "Load by LCCN"},
                                                         {"DSC", ""},
                                                         {"OI", "jsmith"},
                                                         {"RDID", 31},
                                                         {"RO", 0},
                                                         {"RDID", 33},
                                                         {"RO", 1},
                                                         {"RDID", 32},
                                                         {"RO", 2},
                                                         {"PN", "MATCH_PROFILE_CODE"},
                                                         {"PV", "LCCN"},
                                                         {"PN", "MULTIMATCH_TAG"},
                                                         {"PV", "035"}}));

    // Copied, the source's settings come along; the match code is not listed.
    transport->respond("GET_RULE_DOCUMENTS_FOR_SET", [](const wire::Request&) {
        return wire::Answer{0, {{"ID", 31}, {"RO", 0}, {"ID", 32}, {"RO", 1}}};
    });
    match.Copy();
    EXPECT_EQ(match.findChild<QGroupBox*>("fraEdit")->title(),
              "Create new load match configuration");
    EXPECT_EQ(names(linked()), QStringList{"Delete-By-Auth-Status"});
    EXPECT_EQ(profile->currentText(), "Heading [NAME]");
    EXPECT_EQ(match.findChild<QLineEdit*>("txtMatchIdTag")->text(), "935");
    match.Cancel();
    match.Edit();
    EXPECT_EQ(match.findChild<QGroupBox*>("fraEdit")->title(), "Edit load match configuration:");
}

} // namespace
} // namespace velumar
