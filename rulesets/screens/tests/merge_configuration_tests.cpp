// Load merge configurations against the embedded server with its demo
// merge documents: the merge configuration dialog's storing rules and its
// input check, its view of a saved configuration, and the merge screen's
// round trip (the companion saved first as name + "{linked}", copied and
// deleted with the configuration, a failed companion save stopping there).
#include "do_not_merge_grid.h"
#include "embedded_server.h"
#include "frm_auth_load_merge_config.h"
#include "frm_rule_set_groups_auth_load_merge.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "link_grids.h"
#include "merge_rules_grid.h"
#include "multiple_matches_grid.h"
#include "preferences/preferences.h"
#include "request_channel.h"
#include "rule_document.h"
#include "rule_sets.h"
#include "session.h"
#include "session/session_state.h"
#include "testing/recording_platform_services.h"
#include "tests/qt_printers.h"
#include "tests/temp_settings.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velumar {
namespace {

struct DemoClient {
    explicit DemoClient(const QString& db) {
        state.setPreferences(std::make_unique<Preferences>(settings.Store()));
        state.session().Initialise({"velumar", "--db", db}, qApp);
        EXPECT_EQ(state.session().Login("", "demo", ""), 0);
        EXPECT_TRUE(state.channel().Open(5, state.session(), nullptr));
        sets().LoadRuleDocuments(4);
        sets().LoadRuleDocuments(5);
    }
    RuleSets& sets() { return state.manager<RuleSets>(); }
    // The group of that name and type as the server lists it now, with its
    // links and parameters; none when there is none.
    std::optional<RuleSet> group(int type, const QString& name) {
        sets().LoadRuleSets(type);
        const auto& groups = *sets().GetRuleSets(type);
        for (int i = 0; i < groups.Count(); ++i) {
            if (groups.At(i).Name != name)
                continue;
            RuleSet found = *sets().GetRuleSetWithLinks(type, groups.At(i).Id, true);
            found.LoadParameters(sets());
            return found;
        }
        return std::nullopt;
    }
    QStringList linkedNames(const RuleSet& group, int type) {
        QStringList out;
        for (const auto& link : group.Links)
            if (const auto* document = sets().GetRuleDocument(type, link.DocId))
                out << QString::fromStdString(document->Name);
        return out;
    }
    testing::TempSettings settings;
    RecordingPlatformServices platform;
    SessionState state{platform};
};

QStringList parameters(const RuleSet& group) {
    QStringList out;
    for (const auto& parameter : group.Parameters)
        out << parameter.Name + '=' + parameter.Value;
    return out;
}

int rowLabelled(const QTableWidget& grid, const QString& label) {
    for (int row = 0; row < grid.rowCount(); ++row)
        if (grid.item(row, 0)->text() == label)
            return row;
    ADD_FAILURE() << "no row " << label.toStdString();
    return 0;
}

void tick(QTableWidget& grid, int row, int column, bool on = true) {
    grid.item(row, column)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

constexpr char Ldr17[] = "Existing Leader/17 (encoding level) is";
constexpr char Ldr18[] = "Existing Leader/18 (descriptive cataloguing form) is not blank";

class MergeConfiguration : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new QTemporaryDir;
        db = dir->filePath("velumar.db");
        core = orvane::openEmbeddedServer(db);
    }
    static void TearDownTestSuite() {
        core.reset();
        delete dir;
    }

    static inline QTemporaryDir* dir = nullptr;
    static inline QString db;
    static inline std::shared_ptr<orvane::server::ServerCore> core;
};

TEST_F(MergeConfiguration, OkStoresOnlyWhatDiffersFromTheDefaultsAndTheValidatedFieldLists) {
    DemoClient demo(db);
    RuleSet merge;
    merge.SetParameter("LOCAL_NUC_CODE", "kept until now");
    RuleSet chooseBest;
    frmAuthLoadMergeConfig rules(demo.sets(), demo.platform, merge, chooseBest);
    MergeRulesGrid& grid = rules.MergeRules();
    using G = MergeRulesGrid;

    // 2XX stays "Use incoming field": its Add $5 is not stored.
    tick(grid, grid.RowOf("2XX"), G::AddSub5Column);
    const int heading = grid.RowOf("1XX");
    grid.SetOption(heading, "Move old heading to 688");
    grid.item(heading, G::FieldsColumn)->setText("100, 150,abc, 245");
    const int zero = grid.RowOf("0XX");
    grid.SetOption(zero, "Retain existing field and incoming field");
    grid.item(zero, G::FieldsColumn)->setText("43");
    const int notes = grid.RowOf("5XX");
    grid.SetOption(notes, "Retain existing field if $5 present and incoming field");
    tick(grid, notes, G::AddSub5Column);
    tick(grid, notes, G::IgnoreColumn);
    grid.item(notes, G::FieldsColumn)->setText("-500,0510");
    tick(grid, grid.RowOf("00812"), G::LabelColumn);
    DoNotMergeGrid& conditions = rules.DoNotMerge();
    const int ldr17 = rowLabelled(conditions, Ldr17);
    tick(conditions, ldr17, DoNotMergeGrid::ConditionColumn);
    conditions.item(ldr17, DoNotMergeGrid::ValueColumn)->setText(" o ");
    tick(conditions, rowLabelled(conditions, Ldr18), DoNotMergeGrid::ConditionColumn);
    tick(rules.MultipleMatches(), 0, 0);
    rules.BestMatch().AddAll();

    rules.Confirm();
    EXPECT_EQ(rules.result(), QDialog::Accepted);
    EXPECT_TRUE(demo.platform.Messages().empty());
    EXPECT_EQ(
        demo.linkedNames(merge, 4),
        (QStringList{QString("DNMLDR17|") + Ldr17, QString("DNMLDR18|") + Ldr18,
                     "00812|Retain Local 008/12", "0XX|Retain existing field and incoming field",
                     "1XX|Move old heading to 688",
                     "5XX|Retain existing field if $5 present and incoming field"}));
    EXPECT_EQ(parameters(merge),
              (QStringList{"MMM_SERIES=Y", "MMM_TOPICAL=N", "MMM_NAME_TITLE=N", "MMM_PERSONAL=N",
                           "MMM_CORPORATE_CONFERENCE=N", "MMM_UNIFORM_TITLE=N", "MMM_GEOGRAPHIC=N",
                           "DNMLDR17_INPUT=o", "FIELDS_1XX=100,150", "ADD_SUB5_5XX=Y",
                           "FIELDS_5XX=500,510", "IGNORE_5XX_MATCHED_008=Y"}));
    EXPECT_EQ(demo.linkedNames(chooseBest, 5),
              (QStringList{"Prefer full level records", "Prefer national agency records",
                           "Prefer records with see references"}));
}

TEST_F(MergeConfiguration, ATickedConditionWithoutItsValueIsRefusedAndNothingIsStored) {
    DemoClient demo(db);
    RuleSet merge;
    merge.SetParameter("MMM_TOPICAL", "Y");
    RuleSet chooseBest;
    frmAuthLoadMergeConfig rules(demo.sets(), demo.platform, merge, chooseBest);
    DoNotMergeGrid& conditions = rules.DoNotMerge();
    // Conditions without a value have their value cell closed.
    const int ldr18 = rowLabelled(conditions, Ldr18);
    EXPECT_FALSE(conditions.item(ldr18, DoNotMergeGrid::ValueColumn)->flags() & Qt::ItemIsEditable);
    const int ldr17 = rowLabelled(conditions, Ldr17);
    EXPECT_TRUE(conditions.item(ldr17, DoNotMergeGrid::ValueColumn)->flags() & Qt::ItemIsEditable);
    tick(conditions, ldr17, DoNotMergeGrid::ConditionColumn);
    conditions.item(ldr17, DoNotMergeGrid::ValueColumn)->setText("  ");
    rules.BestMatch().AddAll();

    rules.Confirm();
    EXPECT_NE(rules.result(), QDialog::Accepted);
    ASSERT_EQ(demo.platform.Messages().size(), 1u);
    EXPECT_EQ(demo.platform.Messages()[0].text, QString(Ldr17) + " requires user input!");
    EXPECT_EQ(demo.platform.Messages()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(conditions.currentRow(), ldr17);
    EXPECT_EQ(conditions.currentColumn(), DoNotMergeGrid::ValueColumn);
    EXPECT_EQ(parameters(merge), QStringList{"MMM_TOPICAL=Y"});
    EXPECT_TRUE(merge.Links.empty());
    EXPECT_TRUE(chooseBest.Links.empty());

    // Cancelled, neither group changes either.
    rules.reject();
    EXPECT_EQ(parameters(merge), QStringList{"MMM_TOPICAL=Y"});
    EXPECT_TRUE(chooseBest.Links.empty());
}

TEST_F(MergeConfiguration, TheDialogShowsASavedConfigurationAsItIs) {
    DemoClient demo(db);
    // Saved through the model, as another run of the screen would have.
    RuleSet companionSaved;
    for (const char* name : {"Prefer records with see references", "Prefer full level records"})
        for (int i = 0; i < demo.sets().GetRuleDocuments(5)->Count(); ++i)
            if (demo.sets().GetRuleDocuments(5)->At(i).Name == name)
                companionSaved.AddLink(demo.sets().GetRuleDocuments(5)->At(i).Id);
    ASSERT_GT(companionSaved.Save(demo.sets(), 5, "Shown{linked}", ""), 0);
    RuleSet mergeSaved;
    for (const QString& name : {QString("00806|Retain Local 008/06"), QString("DNMLDR17|") + Ldr17,
                                QString("1XX|Move old heading to 688"),
                                QString("5XX|Retain existing field and incoming field")})
        mergeSaved.AddLink(demo.sets().FindMergeRuleDocumentId(4, name).value_or(0));
    for (const auto& [name, value] : std::initializer_list<std::pair<const char*, const char*>>{
             {"MMM_TOPICAL", "Y"},
             {"DNMLDR17_INPUT", "5"},
             {"FIELDS_5XX", "500,510"},
             {"ADD_SUB5_5XX", "Y"},
             {"IGNORE_5XX_MATCHED_008", "Y"}})
        mergeSaved.SetParameter(name, value);
    ASSERT_GT(mergeSaved.Save(demo.sets(), 4, "Shown", ""), 0);

    auto merge = demo.group(4, "Shown");
    auto chooseBest = demo.group(5, "Shown{linked}");
    ASSERT_TRUE(merge && chooseBest);
    frmAuthLoadMergeConfig rules(demo.sets(), demo.platform, *merge, *chooseBest);
    MergeRulesGrid& grid = rules.MergeRules();
    using G = MergeRulesGrid;
    EXPECT_EQ(grid.item(grid.RowOf("00806"), G::LabelColumn)->checkState(), Qt::Checked);
    EXPECT_EQ(grid.item(grid.RowOf("00812"), G::LabelColumn)->checkState(), Qt::Unchecked);
    EXPECT_EQ(grid.Option(grid.RowOf("1XX")), "Move old heading to 688");
    EXPECT_EQ(grid.Option(grid.RowOf("2XX")), "Use incoming field");
    const int notes = grid.RowOf("5XX");
    EXPECT_EQ(grid.Option(notes), "Retain existing field and incoming field");
    EXPECT_EQ(grid.item(notes, G::FieldsColumn)->text(), "500,510");
    EXPECT_EQ(grid.item(notes, G::AddSub5Column)->checkState(), Qt::Checked);
    EXPECT_EQ(grid.item(notes, G::IgnoreColumn)->checkState(), Qt::Checked);
    EXPECT_EQ(grid.item(grid.RowOf("4XX"), G::IgnoreColumn)->checkState(), Qt::Unchecked);
    // The field list is closed for 043, 781 and the 008 rows.
    for (const char* code : {"043", "781", "00806"})
        EXPECT_FALSE(grid.item(grid.RowOf(code), G::FieldsColumn)->flags() & Qt::ItemIsEditable)
            << code;
    const DoNotMergeGrid& conditions = rules.DoNotMerge();
    EXPECT_EQ(conditions.rowCount(), 6);
    const int ldr17 = rowLabelled(conditions, Ldr17);
    EXPECT_EQ(conditions.item(ldr17, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(conditions.item(ldr17, 1)->text(), "5");
    EXPECT_EQ(conditions.item(rowLabelled(conditions, Ldr18), 0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(rules.MultipleMatches().item(1, 0)->checkState(), Qt::Checked);
    EXPECT_EQ(rules.MultipleMatches().item(0, 0)->checkState(), Qt::Unchecked);
    const Grid& linked = rules.BestMatch().Linked();
    ASSERT_EQ(linked.rowCount(), 2);
    EXPECT_EQ(linked.TextMatrix(0, 0), "Prefer records with see references");

    // Stored unchanged, the configuration links the same documents: the
    // conditions first, then the merge rules in their rows' order.
    rules.Confirm();
    EXPECT_EQ(demo.linkedNames(*merge, 4),
              (QStringList{QString("DNMLDR17|") + Ldr17, "00806|Retain Local 008/06",
                           "1XX|Move old heading to 688",
                           "5XX|Retain existing field and incoming field"}));
    for (const char* parameter : {"DNMLDR17_INPUT=5", "FIELDS_5XX=500,510", "ADD_SUB5_5XX=Y",
                                  "IGNORE_5XX_MATCHED_008=Y", "MMM_TOPICAL=Y"})
        EXPECT_TRUE(parameters(*merge).contains(parameter)) << parameter;
    EXPECT_EQ(demo.linkedNames(*chooseBest, 5),
              (QStringList{"Prefer records with see references", "Prefer full level records"}));
}

TEST_F(MergeConfiguration, AConfigurationIsSavedWithItsCompanionCopiedAndDeletedWithIt) {
    DemoClient demo(db);
    frmRuleSetGroups_AuthLoadMerge screen(demo.state);
    screen.Activate();
    screen.New();
    EXPECT_EQ(screen.findChild<QGroupBox*>("fraEdit")->title(),
              "Create new load merge configuration:");
    screen.findChild<QLineEdit*>("fpName")->setText(" Main ");
    screen.findChild<QCheckBox*>("chkImportUnmatchedRecords")->setChecked(true);
    screen.findChild<QLineEdit*>("txtLocalNucCode")->setText(" DLC ");
    screen.findChild<QLineEdit*>("txtLocalNucCodeList")->setText("DLC,DEMO ");
    screen.SetDialogRunner([](QDialog& dialog) {
        auto& rules = dynamic_cast<frmAuthLoadMergeConfig&>(dialog);
        rules.MergeRules().SetOption(rules.MergeRules().RowOf("1XX"), "Move old heading to 688");
        tick(rules.MultipleMatches(), 3, 0);
        SelectGridRow(rules.BestMatch().Available(), 1, -1);
        rules.BestMatch().Add();
        rules.Confirm();
        return rules.result();
    });
    screen.EditRules();
    auto* summary = screen.findChild<QListWidget*>("lstSummary");
    QStringList lines;
    for (int i = 0; i < summary->count(); ++i)
        lines << summary->item(i)->text();
    EXPECT_EQ(lines,
              (QStringList{"Merge Rules:", "1XX Move old heading to 688",
                           "Merge Multiple Matches of Type:", "Personal (contains field 100)",
                           "Best Match Rules:", "Prefer national agency records"}));
    screen.Save();
    ASSERT_FALSE(screen.EditInProgress()) << demo.platform.Texts().join('|').toStdString();

    const auto companion = demo.group(5, "Main{linked}");
    const auto main = demo.group(4, "Main");
    ASSERT_TRUE(companion && main);
    EXPECT_EQ(demo.linkedNames(*companion, 5), QStringList{"Prefer national agency records"});
    EXPECT_EQ(demo.linkedNames(*main, 4), QStringList{"1XX|Move old heading to 688"});
    EXPECT_EQ(main->GetParameter("LOAD_CHOOSE_BEST_RULE_SET_ID"), QString::number(companion->Id));
    EXPECT_EQ(main->GetParameter("IMPORT_UNMATCHED_RECORDS"), "1");
    EXPECT_EQ(main->GetParameter("LOCAL_NUC_CODE"), "DLC");
    EXPECT_EQ(main->GetParameter("LOCAL_NUC_CODE_LIST"), "DLC,DEMO");
    EXPECT_EQ(main->GetParameter("MMM_PERSONAL"), "Y");
    // The view shows the saved settings.
    EXPECT_EQ(screen.SelectedId(), main->Id);
    EXPECT_TRUE(screen.findChild<QCheckBox*>("chkViewImportUnmatched")->isChecked());
    EXPECT_EQ(screen.findChild<QLineEdit*>("txtViewNucCode")->text(), "DLC");

    // Edited, the configuration and its companion come back as saved.
    screen.Edit();
    EXPECT_EQ(screen.findChild<QGroupBox*>("fraEdit")->title(), "Edit load merge configuration:");
    EXPECT_EQ(summary->count(), 6);
    EXPECT_EQ(screen.ChooseBest()->Id, companion->Id);
    screen.Cancel();

    // Copied: a new configuration with a new companion of its own.
    screen.Copy();
    EXPECT_EQ(screen.findChild<QLineEdit*>("fpName")->text(), "Copy of Main");
    EXPECT_EQ(screen.ChooseBest()->Id, 0);
    screen.Save();
    const auto copy = demo.group(4, "Copy of Main");
    const auto copyCompanion = demo.group(5, "Copy of Main{linked}");
    ASSERT_TRUE(copy && copyCompanion);
    EXPECT_EQ(copy->GetParameter("LOAD_CHOOSE_BEST_RULE_SET_ID"),
              QString::number(copyCompanion->Id));
    EXPECT_EQ(demo.linkedNames(*copyCompanion, 5), QStringList{"Prefer national agency records"});

    // Deleted: the companion goes with it.
    SelectGridRow(*screen.findChild<Grid*>("vsf"), -1, main->Id);
    demo.platform.AnswerNext(MessageAnswer::Yes);
    screen.Delete();
    EXPECT_EQ(demo.platform.Messages().back().title, "Delete Auth Load Rule Set Group");
    EXPECT_FALSE(demo.group(4, "Main"));
    EXPECT_FALSE(demo.group(5, "Main{linked}"));
    EXPECT_TRUE(demo.group(4, "Copy of Main"));
}

TEST_F(MergeConfiguration, AFailedCompanionSaveLeavesTheConfigurationUnsaved) {
    DemoClient demo(db);
    // A group of that name already holds the companion's name.
    RuleSet clash;
    ASSERT_GT(clash.Save(demo.sets(), 5, "Clash{linked}", ""), 0);
    frmRuleSetGroups_AuthLoadMerge screen(demo.state);
    screen.Activate();
    screen.New();
    screen.findChild<QLineEdit*>("fpName")->setText("Clash");
    screen.Save();
    EXPECT_TRUE(screen.EditInProgress());
    EXPECT_EQ(demo.platform.Texts(), QStringList{"Rule set group name is already in use."});
    EXPECT_FALSE(demo.group(4, "Clash"));
}

} // namespace
} // namespace velumar

namespace velumar {
namespace {

// Pictures for looking at, written when VELUMAR_SCREENSHOTS names a folder.
TEST_F(MergeConfiguration, Screenshots) {
    const QString folder = qEnvironmentVariable("VELUMAR_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "VELUMAR_SCREENSHOTS names no folder";
    DemoClient demo(db);
    frmRuleSetGroups_AuthLoadMerge screen(demo.state);
    screen.resize(550, 490);
    screen.show();
    screen.Activate();
    SelectGridRow(*screen.findChild<Grid*>("vsf"), 0, -1);
    EXPECT_TRUE(screen.grab().save(folder + "/load-merge-view.png"));
    screen.Edit();
    EXPECT_TRUE(screen.grab().save(folder + "/load-merge-edit.png"));
    frmAuthLoadMergeConfig rules(demo.sets(), demo.platform, *screen.Merge(), *screen.ChooseBest());
    rules.show();
    auto* tabs = rules.findChild<QTabWidget*>();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        EXPECT_TRUE(rules.grab().save(folder + "/merge-config-" + QString::number(tab) + ".png"));
    }
}

} // namespace
} // namespace velumar
