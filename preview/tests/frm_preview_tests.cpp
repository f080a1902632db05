// The preview screens offscreen: choosing what to preview, the compare
// screen's headings, rows, colours and buttons while a set is walked,
// jumped and emptied against the embedded server, the messages, a failed
// load against the scripted server, and the main window's navigation key.
#include "common/colour_value.h"
#include "demo_preview.h"
#include "embedded_server.h"
#include "general_helper.h"
#include "grid/grid.h"
#include "login_dialog.h"
#include "main_window/frm_main.h"
#include "screens/changed_parts_delegate.h"
#include "screens/frm_preview_compare.h"
#include "screens/frm_preview_select.h"
#include "screens/frm_preview_validation.h"
#include "screens/preview_grid.h"
#include "screens/preview_screen_setup.h"
#include "scripted_preview.h"
#include "session/busy_state.h"
#include "startup/standard_startup_tasks.h"
#include "startup/startup_routine.h"
#include "startup/startup_tasks.h"
#include "tests/qt_printers.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPoint>
#include <QPushButton>
#include <QRadioButton>

namespace velumar {
namespace {

using testing::PreviewClient;
using testing::Rule;

struct SelectControls {
    explicit SelectControls(frmPreview_Select& select) : screen(select) {}
    QComboBox& combo(const char* name) { return *screen.findChild<QComboBox*>(name); }
    QStringList items(const char* name) {
        QStringList out;
        for (int i = 0; i < combo(name).count(); ++i)
            out.push_back(combo(name).itemText(i));
        return out;
    }
    void choose(const char* name, const QString& text) {
        const int at = combo(name).findText(text);
        ASSERT_GE(at, 0) << text.toStdString();
        combo(name).setCurrentIndex(at);
        emit combo(name).activated(at);
    }
    void typeId(const QString& text) {
        auto* field = screen.findChild<QLineEdit*>("fpRecordId");
        field->setText(text);
        emit field->textEdited(text);
    }
    bool previewEnabled() { return screen.findChild<QPushButton*>("cmdPreview")->isEnabled(); }
    void preview() { screen.findChild<QPushButton*>("cmdPreview")->click(); }
    frmPreview_Select& screen;
};

struct CompareControls {
    explicit CompareControls(frmPreviewCompare& compare) : screen(compare) {}
    QString label(const char* name) { return screen.findChild<QLabel*>(name)->text(); }
    QPushButton& button(const char* name) { return *screen.findChild<QPushButton*>(name); }
    PreviewGrid& grid(const char* name) { return *screen.findChild<PreviewGrid*>(name); }
    QStringList column(const char* name, int column) {
        QStringList out;
        for (int row = 0; row < grid(name).rowCount(); ++row)
            out.push_back(grid(name).TextMatrix(row, column));
        return out;
    }
    QStringList messages() {
        QStringList out;
        auto* area = screen.findChild<QListWidget*>("vseMessage");
        for (int i = 0; i < area->count(); ++i)
            out.push_back(area->item(i)->text());
        return out;
    }
    // The four buttons that move in the set, as on (1) or off (0).
    QString moves() {
        QString out;
        for (const char* name : {"cmdPrev", "cmdNext", "cmdJump", "cmdRemove"})
            out += button(name).isEnabled() ? '1' : '0';
        return out;
    }
    void jump(const QString& places) {
        screen.findChild<QLineEdit*>("fpJump")->setText(places);
        button("cmdJump").click();
    }
    frmPreviewCompare& screen;
};

class PreviewScreens : public testing::PreviewDemo {};

TEST_F(PreviewScreens, PreviewIsOfferedExactlyWhenTypeSourceAndGroupAreChosen) {
    PreviewClient viewer(db, "viewer");
    frmPreview_Select refused(viewer.state);
    SelectControls none(refused);
    EXPECT_TRUE(none.items("cboRecordType").isEmpty());
    none.typeId("12");
    EXPECT_FALSE(none.previewEnabled());

    PreviewClient demo(db, "demo");
    demo.recordSet("Choosing", {1, 2});
    demo.group("Chosen", Rule("None", {"MARC is \"999\""}, {"DELETE"}));
    frmPreview_Select select(demo.state);
    SelectControls controls(select);
    EXPECT_EQ(controls.items("cboRecordType"), (QStringList{"Bib", "Mfhd", "Auth"}));
    EXPECT_TRUE(controls.items("cboRuleSet").contains("Chosen"));
    EXPECT_TRUE(controls.items("cboRuleSet").contains("Monthly clean-up"));
    EXPECT_FALSE(controls.items("cboRuleSet").contains("Catalogue checks")); // a scan group
    EXPECT_EQ(controls.items("cboFieldOrderConfig"),
              (QStringList{"", "Holdings order", "Standard bibliographic order", "Tag order"}));
    EXPECT_TRUE(controls.items("cboRecordSet").contains("Choosing"));

    struct Input {
        const char* id;
        bool enabled;
    };
    for (const Input input : {Input{"", false}, Input{"0", false}, Input{"12", true}}) {
        controls.typeId(input.id);
        EXPECT_EQ(controls.previewEnabled(), input.enabled) << input.id;
    }
    controls.choose("cboRecordSet", "Choosing");
    EXPECT_TRUE(select.findChild<QRadioButton*>("optSource_1")->isChecked());
    EXPECT_TRUE(controls.previewEnabled());
    controls.choose("cboRecordType", "Mfhd");
    EXPECT_FALSE(controls.items("cboRecordSet").contains("Choosing"));
    EXPECT_EQ(controls.previewEnabled(), !controls.items("cboRecordSet").isEmpty());
    controls.combo("cboRuleSet").setCurrentIndex(-1);
    controls.typeId("12");
    EXPECT_FALSE(controls.previewEnabled());
}

TEST_F(PreviewScreens, ASetIsShownWalkedJumpedAndEmptied) {
    PreviewClient demo(db, "demo");
    demo.recordSet("Walk me", {1, 2, 3});
    demo.group("Places go",
               Rule("Places", {"MARC is \"650\""}, {"remove MARC.\"650\" subfield \"z\""}));
    frmPreview_Select select(demo.state);
    SelectControls chosen(select);
    chosen.choose("cboRecordSet", "Walk me");
    chosen.choose("cboRuleSet", "Places go");
    chosen.preview();

    ASSERT_NE(select.CompareScreen(), nullptr);
    frmPreviewCompare& compare = *select.CompareScreen();
    EXPECT_TRUE(compare.isVisible());
    CompareControls screen(compare);
    EXPECT_EQ(compare.windowTitle(), "Preview Record");
    EXPECT_EQ(screen.label("lblRecord"), "Preview Record Set: Walk me");
    EXPECT_EQ(screen.label("lblRuleSet"), "Using Rule Set Group: Places go");
    EXPECT_EQ(screen.label("lblPosition"), "Record 1 of 3");
    EXPECT_EQ(screen.moves(), "0101"); // no jump typed yet
    EXPECT_EQ(screen.messages(), QStringList{"Rule fired: Places"});

    // The subject row is the one changed row, in the changed colour, with the
    // place it lost standing out on the before side.
    const QStringList tags = screen.column("vsfBefore", PreviewGrid::TagColumn);
    const auto subject = static_cast<int>(tags.indexOf("650"));
    ASSERT_GE(subject, 0);
    EXPECT_EQ(screen.column("vsfBefore", PreviewGrid::TagColumn),
              screen.column("vsfAfter", PreviewGrid::TagColumn));
    const QStringList marks = screen.column("vsfAfter", PreviewGrid::MarkColumn);
    EXPECT_EQ(marks.count("~"), 1);
    EXPECT_EQ(marks[subject], "~");
    const QColor changed = ColourOf(demo.state.preferences().PreviewHighlightChanged());
    for (const char* side : {"vsfBefore", "vsfAfter"}) {
        EXPECT_EQ(screen.grid(side).item(subject, PreviewGrid::DataColumn)->background().color(),
                  changed);
        EXPECT_EQ(screen.grid(side).item(0, PreviewGrid::DataColumn)->background().style(),
                  Qt::NoBrush);
    }
    const QTableWidgetItem* lost = screen.grid("vsfBefore").item(subject, PreviewGrid::DataColumn);
    const QVariantList parts = lost->data(ChangedPartsDelegate::PartsRole).toList();
    ASSERT_EQ(parts.size(), 1);
    const QPoint part = parts[0].toPoint();
    EXPECT_TRUE(lost->text().mid(part.x(), part.y()).startsWith("$z"))
        << lost->text().toStdString();
    EXPECT_TRUE(screen.grid("vsfAfter")
                    .item(subject, PreviewGrid::DataColumn)
                    ->data(ChangedPartsDelegate::PartsRole)
                    .toList()
                    .isEmpty());

    screen.button("cmdNext").click();
    EXPECT_EQ(screen.label("lblPosition"), "Record 2 of 3");
    EXPECT_EQ(screen.moves(), "1101");
    screen.jump("5");
    EXPECT_EQ(screen.label("lblPosition"), "Record 3 of 3");
    EXPECT_EQ(screen.moves(), "1011");
    screen.jump("-2");
    EXPECT_EQ(screen.label("lblPosition"), "Record 1 of 3");

    // Out of the set one by one, each time the record now at the place.
    for (const char* left : {"Record 1 of 2", "Record 1 of 1"}) {
        demo.platform.AnswerNext(MessageAnswer::Yes);
        screen.button("cmdRemove").click();
        EXPECT_EQ(screen.label("lblPosition"), left);
    }
    EXPECT_EQ(screen.moves(), "0011");
    demo.platform.Clear();
    demo.platform.AnswerNext(MessageAnswer::Yes);
    screen.button("cmdRemove").click();
    EXPECT_EQ(
        demo.platform.Texts(),
        (QStringList{"You will remove record 3 from record set 'Walk me'\r\n\r\nAre you sure?",
                     "No records in record set."}));
    EXPECT_EQ(screen.label("lblPosition"), "Record 0 of 0");
    EXPECT_EQ(screen.grid("vsfBefore").rowCount(), 0);
    EXPECT_EQ(screen.moves(), "0000");
    EXPECT_FALSE(demo.state.busy().IsBusy());
}

TEST_F(PreviewScreens, ADeletionShowsItsMessageWithBothRecordsAndAllMessagesOnAsk) {
    PreviewClient demo(db, "demo");
    demo.recordSet("Names going", {5}, 3);
    demo.group("Names go", Rule("Names", {"MARC is \"100\""}, {"DELETE"}));
    frmPreview_Select select(demo.state);
    SelectControls chosen(select);
    chosen.choose("cboRecordType", "Auth");
    chosen.choose("cboRecordSet", "Names going");
    chosen.choose("cboRuleSet", "Names go");
    chosen.preview();
    ASSERT_NE(select.CompareScreen(), nullptr);
    CompareControls screen(*select.CompareScreen());

    const QStringList said{"Rule execution causes record to be deleted.", "Rule fired: Names"};
    EXPECT_EQ(screen.messages(), said);
    EXPECT_GT(screen.grid("vsfBefore").rowCount(), 3);
    // The record stays as it came in, as a deleted record's result file keeps it.
    EXPECT_EQ(screen.column("vsfBefore", PreviewGrid::DataColumn),
              screen.column("vsfAfter", PreviewGrid::DataColumn));
    EXPECT_EQ(screen.label("lblPosition"), "Record 1 of 1");
    EXPECT_EQ(screen.moves(), "0001");

    screen.button("cmdViewMessages").click();
    frmPreviewValidation* all = select.CompareScreen()->ValidationScreen();
    ASSERT_NE(all, nullptr);
    EXPECT_TRUE(all->isVisible());
    EXPECT_EQ(all->windowTitle(), "Preview Messages");
    EXPECT_EQ(all->Messages().rowCount(), 2);
    EXPECT_EQ(all->Messages().TextMatrix(0, 0), said[0]);
    EXPECT_EQ(all->Messages().TextMatrix(1, 0), said[1]);
}

TEST_F(PreviewScreens, TheMainWindowOpensTheSelectScreenFromItsKey) {
    RecordingPlatformServices platform;
    SessionState state(platform);
    state.helper().SetDialogRunner([](orvane::LoginDialog&) {
        ADD_FAILURE() << "the login dialog was shown";
        return 0;
    });
    StartupTasks tasks;
    RegisterStandardStartupTasks(tasks);
    ASSERT_EQ(
        RunStartup(state, tasks, {"velumar", "--db", db, "--operator", "demo", "/nocheck"}, qApp),
        StartupOutcome::Ready);
    SetUpPreviewScreens(state);

    state.mainWindow().OpenFunction("Preview_Select", "Preview", "Select Criteria");

    auto* select = dynamic_cast<frmPreview_Select*>(state.mainWindow().Screen("Preview_Select"));
    ASSERT_NE(select, nullptr);
    EXPECT_TRUE(select->isVisible());
    EXPECT_EQ(select->FormIdLabel()->text(), " Preview - Select Criteria");
    EXPECT_TRUE(platform.Messages().empty());
    state.unloadMainWindow();
}

class PreviewScreensScripted : public testing::ScriptedPreview {};

TEST_F(PreviewScreensScripted, AFailedLoadAfterNextLeavesThePreviousRecordOnScreen) {
    using orvane::wire::Answer;
    const std::string record =
        testing::wireRecord("=LDR  00000nam\\a2200000\\a\\4500\n=001  31\n=245  10$aRivers.\n");
    transport->queue("GET_RULE_SETS", {0,
                                       {{"ID", 7},
                                        {"NM", "Clean-up"},
                                        {"DSC", ""},
                                        {"CO", "amy"},
                                        {"UO", ""},
                                        {"UD", "2026-03-01 10:00:00"},
                                        {"PN", ""}}});
    transport->respond("GET_RECORD_SETS", [](const orvane::wire::Request&) {
        return Answer{0,
                      {{"RSID", 12},
                       {"RSCO", "amy"},
                       {"RSD", ""},
                       {"RSN", "Weeding"},
                       {"RSC", 3},
                       {"RST", 1},
                       {"RT", 1},
                       {"RSUD", "2026-03-01 10:00:00"},
                       {"RSUO", ""}}};
    });
    transport->queue("PREVIEW_RECORD_SET", {0,
                                            {{"BR", record},
                                             {"AR", record},
                                             {"RID", 31},
                                             {"IN", 1},
                                             {"RSC", 3},
                                             {"MG", "Rule fired: Tidy"}}});
    transport->queue("PREVIEW_RECORD_SET", {99, {}});
    frmPreview_Select select(state);
    SelectControls chosen(select);
    chosen.choose("cboRecordSet", "Weeding");
    chosen.preview();
    ASSERT_NE(select.CompareScreen(), nullptr);
    CompareControls screen(*select.CompareScreen());
    ASSERT_EQ(screen.label("lblPosition"), "Record 1 of 3");

    screen.button("cmdNext").click();

    EXPECT_EQ(platform.Texts(), QStringList{"Failed to retrieve preview records."});
    EXPECT_EQ(screen.label("lblPosition"), "Record 1 of 3");
    EXPECT_EQ(screen.column("vsfAfter", PreviewGrid::DataColumn),
              (QStringList{"00065nam\\a2200049\\a\\4500", "31", "$aRivers."}));
    EXPECT_EQ(screen.moves(), "0101");
    EXPECT_EQ(screen.messages(), QStringList{"Rule fired: Tidy"});
    EXPECT_TRUE(screen.button("cmdViewMessages").isEnabled());
    EXPECT_FALSE(state.busy().IsBusy());
    EXPECT_TRUE(select.CompareScreen()->isEnabled());
}

} // namespace
} // namespace velumar
