// The rule set screens against the scripted server: buttons by the rights
// of each screen, captions, a blank name, a save the server refuses kept
// open, the exact fields of a save, a delete of a rule set still in use,
// the rules grid through the rule editor, and ".dslr" export and import.
#include "frm_rule_editor.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "rule_document_screen.h"
#include "rule_screen_kind.h"
#include "screens_fixture.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QTemporaryDir>

namespace velumar {
namespace {

using testing::Controls;
namespace wire = orvane::wire;
namespace kinds = rule_screen_kinds;

class RuleDocumentScreens : public testing::ScriptedRuleScreens {
protected:
    RuleDocumentScreen& open(const RuleScreenKind& kind = kinds::DataChangeRuleSets) {
        screen = std::make_unique<RuleDocumentScreen>(state, kind);
        screen->Activate();
        return *screen;
    }
    Grid& grid(const char* name) { return *screen->findChild<Grid*>(QString::fromLatin1(name)); }
    QString caption() { return screen->findChild<QGroupBox*>("fraEdit")->title(); }

    std::unique_ptr<RuleDocumentScreen> screen;
};

TEST_F(RuleDocumentScreens, EachScreensRightsEnableItsButtons) {
    struct Case {
        const RuleScreenKind* kind;
        QStringList held;
        std::vector<bool> buttons; // New, Copy, Edit, Delete, Export, Import
    };
    const Case cases[] = {
        {&kinds::DataChangeRuleSets, {"DCRV", "DCRA", "DCRU", "DCRD"}, {1, 1, 1, 1, 1, 1}},
        {&kinds::DataChangeRuleSets, {"DCRV"}, {0, 0, 0, 0, 1, 0}},
        {&kinds::DataChangeRuleSets, {"DCRV", "DCRU"}, {0, 0, 1, 0, 1, 0}},
        {&kinds::DataChangeRuleSets, {"DCRV", "DCRD", "SRA"}, {0, 0, 0, 1, 1, 0}},
        {&kinds::ScanRuleSets, {"SRV", "SRA"}, {1, 1, 0, 0, 1, 1}},
        {&kinds::ScanRuleSets, {"SRV", "DCRA", "DCRU", "DCRD"}, {0, 0, 0, 0, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.held.join(',').toStdString());
        testing::ScriptedClient fresh;
        fresh.start(c.held);
        RuleDocumentScreen shown(fresh.state, *c.kind);
        shown.Activate();
        EXPECT_EQ(shown.objectName(),
                  c.kind == &kinds::ScanRuleSets ? "frmScanRules_View" : "frmRules_View");
        Controls controls(shown);
        EXPECT_EQ(controls.enabled(
                      {"cmdNew", "cmdCopy", "cmdEdit", "cmdDelete", "cmdExport", "cmdImport"}),
                  c.buttons);
        // Pressing past the rights does nothing.
        shown.Edit();
        shown.New();
        EXPECT_EQ(shown.EditInProgress(), c.buttons[0] || c.buttons[2]);
    }
}

TEST_F(RuleDocumentScreens, PanelsCaptionsAndABlankNameLeaveSaveDisabled) {
    start();
    open();
    Controls controls(*screen);
    EXPECT_EQ(sentFields("GET_RULE_DOCUMENTS"), (wire::Fields{{"RT", 2}, {"OI", "jsmith"}}));
    // The first row is shown: Tidy.
    EXPECT_EQ(controls.field("lblViewName")->text(), "Tidy");
    EXPECT_EQ(controls.field("fpModified")->text(), "2026-03-04 05:06:07");
    EXPECT_EQ(controls.field("fpModifiedBy")->text(), "bob");

    struct Case {
        void (RuleObjectScreen::*open)();
        const char* caption;
        const char* name;
    };
    const Case cases[] = {
        {&RuleObjectScreen::New, "Create new rule set:", ""},
        {&RuleObjectScreen::Copy, "Create new rule set:", "Copy of Tidy"},
        {&RuleObjectScreen::Edit, "Edit rule set:", "Tidy"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        (screen.get()->*c.open)();
        ASSERT_TRUE(screen->EditInProgress());
        EXPECT_EQ(caption(), c.caption);
        EXPECT_EQ(controls.field("fpName")->text(), c.name);
        EXPECT_FALSE(grid("vsf").isEnabled());
        EXPECT_EQ(controls.enabled(
                      {"cmdNew", "cmdCopy", "cmdEdit", "cmdDelete", "cmdExport", "cmdImport"}),
                  (std::vector<bool>(6, false)));
        EXPECT_EQ(controls.button("cmdSave")->isEnabled(), *c.name != '\0');
        controls.field("fpName")->setText("   ");
        EXPECT_FALSE(controls.button("cmdSave")->isEnabled());
        controls.field("fpName")->setText(" x ");
        EXPECT_TRUE(controls.button("cmdSave")->isEnabled());
        screen->Cancel();
        EXPECT_FALSE(screen->EditInProgress());
        EXPECT_TRUE(grid("vsf").isEnabled());
    }
    EXPECT_TRUE(transport->sent("SAVE_RULE_DOCUMENT").empty());
}

TEST_F(RuleDocumentScreens, RulesAreEditedThroughTheRuleEditorAndSavedWithTheRuleSet) {
    start();
    open();
    Controls controls(*screen);
    screen->Edit();
    Grid& rules = grid("vsfRules");
    ASSERT_EQ(rules.rowCount(), 2);
    EXPECT_EQ(rules.TextMatrix(0, 0), "Drop 9XX");
    EXPECT_EQ(rules.TextMatrix(0, 1), "When MARC is \"9XX\"");
    EXPECT_EQ(rules.TextMatrix(1, 0), "Broken");

    // The rule editor opens on the rule selected; its OK stores the rule.
    int opened = 0;
    screen->SetDialogRunner([&](QDialog& dialog) {
        auto& editor = dynamic_cast<frmRuleEditor&>(dialog);
        ++opened;
        editor.findChild<QLineEdit*>("txtName")->setText("Drop local fields");
        editor.Confirm();
        return editor.result();
    });
    SelectGridRow(rules, 0, -1);
    EXPECT_EQ(controls.enabled({"cmdAddRule", "cmdEditRule", "cmdRemoveRule", "cmdUp", "cmdDown"}),
              (std::vector<bool>{true, true, true, false, true}));
    screen->findChild<QPushButton*>("cmdEditRule")->click();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(rules.TextMatrix(0, 0), "Drop local fields");
    EXPECT_EQ(GetGridSelection(rules).row, 0);

    // Down, then the broken rule removed.
    screen->findChild<QPushButton*>("cmdDown")->click();
    EXPECT_EQ(rules.TextMatrix(1, 0), "Drop local fields");
    EXPECT_EQ(controls.enabled({"cmdUp", "cmdDown"}), (std::vector<bool>{true, false}));
    SelectGridRow(rules, 0, -1);
    screen->findChild<QPushButton*>("cmdRemoveRule")->click();
    ASSERT_EQ(rules.rowCount(), 1);

    // A save the server refuses keeps the panel open with its text shown.
    transport->queue("SAVE_RULE_DOCUMENT", wire::Answer{4, {}});
    controls.field("fpName")->setText("  Tidy local  ");
    screen->findChild<QPlainTextEdit*>("txtDesc")->setPlainText(" Local fields ");
    screen->Save();
    EXPECT_TRUE(screen->EditInProgress());
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text,
              "Name already in use. Please choose another name for this rule set.");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);

    transport->clearSent();
    transport->queue("SAVE_RULE_DOCUMENT", wire::Answer{0, {{"ID", 11}}});
    screen->Save();
    EXPECT_FALSE(screen->EditInProgress());
    EXPECT_EQ(sentFields("SAVE_RULE_DOCUMENT"),
              (wire::Fields{{"ID", 11},
                            {"RT", 2},
                            {"NM", "Tidy local"},
                            {"DSC", "Local fields"},
                            {"DOC", "# header\r\nrule \"Drop local fields\"\r\n#priority n\r\n"
                                    "  when\r\n    MARC is \"9XX\"\r\n  then\r\n"
                                    "    remove MARC.\"9XX\"\r\nend\r\n\r\n"},
                            {"OI", "jsmith"}}));
    // The type is reloaded and the saved rule set selected.
    EXPECT_EQ(transport->sent("GET_RULE_DOCUMENTS").size(), 1u);
    EXPECT_EQ(screen->SelectedId(), 11);
}

TEST_F(RuleDocumentScreens, DeleteAsksFirstAndSaysWhichGroupsStillUseTheRuleSet) {
    start();
    open();
    platform.AnswerNext(MessageAnswer::No);
    screen->Delete();
    EXPECT_TRUE(transport->sent("DELETE_RULE_DOCUMENT").empty());

    transport->queue("DELETE_RULE_DOCUMENT",
                     wire::Answer{2, {{"NM", "Monthly"}, {"NM", "Weekly"}}});
    platform.AnswerNext(MessageAnswer::Yes);
    screen->Delete();
    EXPECT_EQ(sentFields("DELETE_RULE_DOCUMENT"), (wire::Fields{{"ID", 11}, {"OI", "jsmith"}}));
    ASSERT_EQ(platform.Messages().size(), 3u);
    EXPECT_EQ(platform.Messages()[1].title, "Delete Data Change Rule Set");
    EXPECT_EQ(platform.Messages()[1].text,
              "You will delete Data Change Rule Set:\r\n\"Tidy\"\r\n\r\nAre you sure?");
    EXPECT_EQ(platform.Messages()[2].text,
              "This rule set is in use in the following rule set groups, and cannot be "
              "deleted:\r\nMonthly\r\nWeekly");
    // Still listed as the server still has it.
    EXPECT_EQ(grid("vsf").rowCount(), 3);
}

TEST_F(RuleDocumentScreens, ExportWritesTheRuleTextAndImportOpensItAsANewRuleSet) {
    start();
    QTemporaryDir dir;
    const QString path = dir.filePath("tidy.dslr");
    open(kinds::ScanRuleSets);
    platform.ChooseFileNext(path);
    screen->Export();
    ASSERT_EQ(platform.FileRequests().size(), 1u);
    EXPECT_EQ(platform.FileRequests()[0].title, "Export Rule Set To Disk");
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().toStdString(), testing::TidyText + "\r\n");
    written.close();

    platform.ChooseFileNext(path);
    screen->Import();
    ASSERT_TRUE(screen->EditInProgress());
    EXPECT_EQ(screen->findChild<QGroupBox*>("fraEdit")->title(), "Import rule set:");
    EXPECT_EQ(screen->findChild<QPlainTextEdit*>("txtDesc")->toPlainText(), path);
    EXPECT_EQ(screen->findChild<QLineEdit*>("fpName")->text(), "");
    EXPECT_FALSE(screen->findChild<QPushButton*>("cmdSave")->isEnabled());
    EXPECT_EQ(grid("vsfRules").rowCount(), 2);

    // Saved under the screen's own type, as a new rule set.
    transport->queue("SAVE_RULE_DOCUMENT", wire::Answer{0, {{"ID", 40}}});
    screen->findChild<QLineEdit*>("fpName")->setText("Imported");
    screen->Save();
    const wire::Fields fields = sentFields("SAVE_RULE_DOCUMENT");
    ASSERT_GE(fields.size(), 2u);
    EXPECT_EQ(fields[0], (wire::Field{"RT", 1}));
    EXPECT_EQ(fields[1], (wire::Field{"NM", "Imported"}));
}

} // namespace
} // namespace velumar
