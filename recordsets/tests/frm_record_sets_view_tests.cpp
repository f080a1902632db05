// The record set view: what each operator may do with the selected set,
// copying, renaming and deleting against the embedded server, and the
// export in chunks against the scripted server.
#include "core/server_core.h"
#include "demo_server_client.h"
#include "grid/grid.h"
#include "grid/grid_helpers.h"
#include "main_window/frm_main.h"
#include "record_search.h"
#include "search_window/add_to_set_panel.h"
#include "search_window/search_messages.h"
#include "search_window/search_window.h"
#include "screens/frm_record_sets_by_id.h"
#include "screens/frm_record_sets_view.h"
#include "screens/record_set_screen_setup.h"
#include "scripted_record_sets.h"
#include "tests/qt_printers.h"
#include "tests/screenshots.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace velumar {
namespace {

using orvane::wire::Answer;
using orvane::wire::Fields;

// The screen's controls by their names.
struct ViewControls {
    explicit ViewControls(frmRecordSets_View& view) : screen(view) {}
    QPushButton* button(const char* name) { return screen.findChild<QPushButton*>(name); }
    QLineEdit* field(const char* name) { return screen.findChild<QLineEdit*>(name); }
    Grid& grid() { return *screen.findChild<Grid*>("vsf"); }
    QGroupBox& editPanel() { return *screen.findChild<QGroupBox*>("fraEdit"); }
    QString selectedName() {
        const GridSelection at = GetGridSelection(grid());
        return at.row < 0 ? QString() : grid().TextMatrix(at.row, 0);
    }
    qint32 selectedId() { return GetGridSelection(grid()).rowData; }
    void select(qint32 id) { SelectGridRow(grid(), -1, id); }
    // Which of Copy, Edit, Delete and Export may be pressed.
    std::vector<bool> buttons() {
        return {button("cmdCopy")->isEnabled(), button("cmdEdit")->isEnabled(),
                button("cmdDelete")->isEnabled(), button("cmdExport")->isEnabled()};
    }
    QStringList names() {
        QStringList out;
        for (int row = 0; row < grid().rowCount(); ++row)
            out.push_back(grid().TextMatrix(row, 0));
        return out;
    }
    frmRecordSets_View& screen;
};

class RecordSetViewOnDemo : public ::testing::Test {
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

TEST_F(RecordSetViewOnDemo, RightsForTheSelectedSetsTypeDecideEachButton) {
    testing::DemoClient demo(db, "demo");
    const qint32 bib = demo.sets().AddRecordSet("Rights bib", 1);
    ASSERT_GT(bib, 0);
    ASSERT_TRUE(demo.sets().AddToRecordSetQuiet({3, 5}, bib, 1));

    frmRecordSets_View demoView(demo.state);
    ViewControls demoControls(demoView);
    demoControls.select(bib);
    EXPECT_EQ(demoControls.buttons(), (std::vector<bool>{true, true, true, true}));
    // The selected set is shown read-only below the grid.
    EXPECT_EQ(demoControls.field("lblViewName")->text(), "Rights bib");
    EXPECT_EQ(demoControls.field("fpViewCount")->text(), "2");
    EXPECT_TRUE(demoControls.field("fpViewCount")->alignment() & Qt::AlignRight);
    EXPECT_EQ(demoControls.field("lblViewType")->text(), "Bib");
    EXPECT_EQ(demoControls.field("lblViewModifiedBy")->text(), "demo");
    EXPECT_TRUE(demoControls.field("lblViewName")->isReadOnly());
    demoView.resize(760, 560);
    demoView.show();
    testing::SaveScreenshot(demoView, "record-sets-view");

    testing::DemoClient viewer(db, "viewer");
    frmRecordSets_View viewerView(viewer.state);
    ViewControls viewerControls(viewerView);
    viewerControls.select(bib);
    ASSERT_EQ(viewerControls.selectedName(), "Rights bib");
    EXPECT_EQ(viewerControls.buttons(), (std::vector<bool>{false, false, false, true}));
    // Pressing past the rule does nothing.
    viewerView.Edit();
    viewerView.Delete();
    EXPECT_FALSE(viewerView.EditInProgress());
    EXPECT_TRUE(viewer.platform.Messages().empty());
}

TEST_F(RecordSetViewOnDemo, CopyAndEditSaveAndShowTheSavedSetSelected) {
    testing::DemoClient demo(db, "demo");
    const qint32 id = demo.sets().AddRecordSet("Shelf check", 3);
    ASSERT_GT(id, 0);
    ASSERT_TRUE(demo.sets().AddToRecordSetQuiet({1, 2, 3}, id, 3));
    frmRecordSets_View view(demo.state);
    ViewControls controls(view);
    // Descending by name: the refresh after a save must keep it.
    GridSort(controls.grid(), 0, 0);
    GridSort(controls.grid(), 0, 0);
    controls.select(id);

    view.Copy();
    EXPECT_TRUE(view.EditInProgress());
    EXPECT_EQ(controls.editPanel().title(), "Copy record set:");
    EXPECT_EQ(controls.field("fpName")->text(), "Copy of Shelf check");
    EXPECT_EQ(controls.field("fpCount")->text(), "3");
    EXPECT_EQ(controls.field("lblType")->text(), "Auth");
    EXPECT_FALSE(controls.grid().isEnabled());
    EXPECT_EQ(controls.buttons(), (std::vector<bool>{false, false, false, false}));
    controls.field("fpName")->setText("   ");
    EXPECT_FALSE(controls.button("cmdSave")->isEnabled());
    controls.field("fpName")->setText("  Shelf check B ");
    ASSERT_TRUE(controls.button("cmdSave")->isEnabled());
    view.findChild<QPlainTextEdit*>("txtDesc")->setPlainText("second look");
    view.Save();

    EXPECT_FALSE(view.EditInProgress());
    EXPECT_TRUE(controls.grid().isEnabled());
    const RecordSet* copy = demo.find("Shelf check B");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Description(), "second look");
    EXPECT_EQ(copy->RecordCount(), 3);
    const qint32 copyId = copy->Id();
    EXPECT_EQ(controls.selectedId(), copyId);
    EXPECT_EQ(controls.selectedName(), "Shelf check B");
    QStringList descending = controls.names();
    std::sort(descending.begin(), descending.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) > 0;
    });
    EXPECT_EQ(controls.names(), descending);

    controls.select(id);
    view.Edit();
    EXPECT_EQ(controls.editPanel().title(), "Edit record set:");
    EXPECT_EQ(controls.field("fpName")->text(), "Shelf check");
    EXPECT_EQ(controls.field("fpModifiedBy")->text(), "demo");
    // Another screen's refresh leaves the set being edited selected.
    demo.sets().RefreshRecordSetScreens(copyId);
    EXPECT_EQ(controls.selectedId(), id);
    // A taken name: told, and the panel stays for another try.
    controls.field("fpName")->setText("Shelf check B");
    view.Save();
    EXPECT_EQ(demo.platform.Texts(),
              QStringList{"Record set name is already in use. Please select a different name."});
    EXPECT_TRUE(view.EditInProgress());
    controls.field("fpName")->setText("Shelf check A");
    view.Save();
    EXPECT_FALSE(view.EditInProgress());
    EXPECT_EQ(controls.selectedId(), id);
    EXPECT_EQ(controls.selectedName(), "Shelf check A");
    EXPECT_EQ(controls.field("lblViewName")->text(), "Shelf check A");
    EXPECT_EQ(demo.platform.Texts().size(), 1);
}

TEST_F(RecordSetViewOnDemo, DeleteAsksFirstAndNoKeepsTheSet) {
    testing::DemoClient demo(db, "demo");
    const qint32 id = demo.sets().AddRecordSet("To go", 1);
    ASSERT_GT(id, 0);
    frmRecordSets_View view(demo.state);
    ViewControls controls(view);
    controls.select(id);

    demo.platform.AnswerNext(MessageAnswer::No);
    view.Delete();
    ASSERT_EQ(demo.platform.Messages().size(), 1u);
    const ShownMessage& asked = demo.platform.Messages()[0];
    EXPECT_EQ(asked.title, "Delete Record Set");
    EXPECT_EQ(asked.text, "You will delete Record Set:\r\n\"To go\"\r\n\r\nAre you sure?");
    EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
    EXPECT_NE(demo.find("To go"), nullptr);
    EXPECT_TRUE(controls.names().contains("To go"));

    demo.platform.AnswerNext(MessageAnswer::Yes);
    view.Delete();
    EXPECT_EQ(demo.find("To go"), nullptr);
    EXPECT_FALSE(controls.names().contains("To go"));
}

// Names as long as the server keeps them: the name field holds no more, a
// copy's name is cut to fit, and the delete question shows whole, with No
// as its default.
TEST_F(RecordSetViewOnDemo, NamesAreHeldToTheServersLimitAndALongOneStillShowsTheQuestion) {
    testing::DemoClient demo(db, "demo");
    const QString longest(255, QChar('L'));
    EXPECT_EQ(demo.sets().AddRecordSet(longest + "L", 1), -1); // 256 octets: status 8
    EXPECT_EQ(demo.platform.Texts(), QStringList{"Failed to add record set."});
    const qint32 id = demo.sets().AddRecordSet(longest, 1);
    ASSERT_GT(id, 0);
    frmRecordSets_View view(demo.state);
    ViewControls controls(view);
    controls.select(id);

    view.Copy();
    QLineEdit* name = controls.field("fpName");
    EXPECT_EQ(name->text(), "Copy of " + QString(247, QChar('L')));
    name->end(false);
    name->insert("more");
    EXPECT_EQ(name->text().toUtf8().size(), 255);
    view.Save();
    EXPECT_EQ(demo.platform.Texts().size(), 1) << demo.platform.Texts().join("|").toStdString();
    EXPECT_TRUE(controls.names().contains("Copy of " + QString(247, QChar('L'))));

    controls.select(id);
    demo.platform.AnswerNext(MessageAnswer::No);
    view.Delete();
    const ShownMessage& asked = demo.platform.Messages().back();
    EXPECT_EQ(asked.defaultAnswer, MessageAnswer::No);
    EXPECT_TRUE(asked.text.endsWith("\"\r\n\r\nAre you sure?"));
    for (const QString& line : asked.text.split("\r\n"))
        EXPECT_LE(line.size(), 62) << line.toStdString();
    EXPECT_NE(demo.sets().GetRecordSet(id), nullptr);
}

TEST_F(RecordSetViewOnDemo, EveryOpenViewIsRefilledByARefreshUntilItCloses) {
    testing::DemoClient demo(db, "demo");
    auto view = std::make_unique<frmRecordSets_View>(demo.state);
    ViewControls controls(*view);
    const int before = demo.sets().Screens().Count();
    const qint32 id = demo.sets().AddRecordSet("Made elsewhere", 2);
    ASSERT_GT(id, 0);
    EXPECT_FALSE(controls.names().contains("Made elsewhere"));
    demo.sets().RefreshRecordSetScreens(id);
    EXPECT_EQ(controls.selectedName(), "Made elsewhere");
    EXPECT_EQ(controls.field("lblViewType")->text(), "Mfhd");
    view.reset();
    EXPECT_EQ(demo.sets().Screens().Count(), before - 1);
}

// The export against the scripted server, which can answer in several chunks.
class RecordSetExport : public testing::ScriptedRecordSets {
protected:
    void SetUp() override {
        ScriptedRecordSets::SetUp();
        state.setPreferences(std::make_unique<Preferences>(settings.Store()));
        state.preferences().SetRecordIdDir(dir.path());
        transport->queue("GET_RECORD_SETS", Answer{0,
                                                   {{"RSID", 41},
                                                    {"RSCO", "amy"},
                                                    {"RSD", ""},
                                                    {"RSN", "a/b:c"},
                                                    {"RSC", 5},
                                                    {"RST", 1},
                                                    {"RT", 1},
                                                    {"RSUD", "2026-03-01"},
                                                    {"RSUO", ""}}});
        view = std::make_unique<frmRecordSets_View>(state);
        transport->clearSent();
    }
    QByteArray written() {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
    }
    Fields chunkRequest(const char* chunk) {
        return Fields{{"RSID", 41}, {"OI", "jsmith"}, {"IDYN", "Y"}, {"CB", chunk}};
    }

    testing::TempSettings settings;
    QTemporaryDir dir;
    QString path = dir.filePath("out.txt");
    std::unique_ptr<frmRecordSets_View> view;
};

TEST_F(RecordSetExport, SuggestsTheNameWithoutForbiddenCharactersAndWritesEveryChunk) {
    EXPECT_EQ(frmRecordSets_View::SuggestedExportName("a/b:c"), "abc");
    EXPECT_EQ(frmRecordSets_View::SuggestedExportName(R"(*"/:<>?\|x y)"), "x y");

    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("stale contents that must go\r\n");
    old.close();
    transport->queue("GET_RECORD_SET", Answer{0, {{"RIDC", "1\r\n2"}, {"CB", 2}}});
    transport->queue("GET_RECORD_SET", Answer{0, {{"RIDC", "3\r\n4"}, {"CB", 3}}});
    transport->queue("GET_RECORD_SET", Answer{0, {{"RIDC", "5"}, {"CB", 0}}});
    platform.ChooseFileNext(path);
    view->Export();

    ASSERT_EQ(platform.FileRequests().size(), 1u);
    const FileDialogRequest& asked = platform.FileRequests()[0];
    EXPECT_EQ(asked.title, "Export Record Set To Disk");
    EXPECT_EQ(asked.filter, "Text Files (*.txt)|*.txt");
    EXPECT_EQ(asked.suggestedName, "abc");
    EXPECT_EQ(asked.initialFolder, dir.path());
    const auto sent = transport->sent("GET_RECORD_SET");
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].fields, chunkRequest("1"));
    EXPECT_EQ(sent[1].fields, chunkRequest("2"));
    EXPECT_EQ(sent[2].fields, chunkRequest("3"));
    EXPECT_EQ(written(), "1\r\n2\r\n3\r\n4\r\n5\r\n");
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(RecordSetExport, AFirstAnswerOfLastChunkWritesOneChunk) {
    transport->queue("GET_RECORD_SET", Answer{0, {{"RIDC", "7"}, {"CB", 0}}});
    platform.ChooseFileNext(path);
    view->Export();
    EXPECT_EQ(transport->sent("GET_RECORD_SET").size(), 1u);
    EXPECT_EQ(written(), "7\r\n");
}

// A set with no ids (in one chunk or several empty ones) writes nothing,
// leaves an old file of that name as it was, and says so.
TEST_F(RecordSetExport, AnEmptySetWritesNothingAndSaysSo) {
    const std::vector<std::vector<Answer>> cases{
        {Answer{0, {{"RIDC", ""}, {"CB", 0}}}},
        {Answer{0, {{"RIDC", ""}, {"CB", 2}}}, Answer{0, {{"RIDC", ""}, {"CB", 0}}}},
    };
    for (const auto& answers : cases) {
        SCOPED_TRACE(answers.size());
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("last month's ids\r\n");
        old.close();
        platform.Clear();
        transport->clearSent();
        for (const Answer& answer : answers)
            transport->queue("GET_RECORD_SET", answer);
        platform.ChooseFileNext(path);
        view->Export();

        EXPECT_EQ(transport->sent("GET_RECORD_SET").size(), answers.size());
        EXPECT_EQ(platform.Texts(),
                  QStringList{"The record set 'a/b:c' is empty. Nothing was exported."});
        ASSERT_EQ(platform.Messages().size(), 1u);
        EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(written(), "last month's ids\r\n");
    }
}

TEST_F(RecordSetExport, AFailedChunkKeepsWhatWasWrittenAndACancelSendsNothing) {
    platform.ChooseFileNext("");
    view->Export();
    EXPECT_TRUE(transport->sent("GET_RECORD_SET").empty());

    transport->queue("GET_RECORD_SET", Answer{0, {{"RIDC", "1\r\n2"}, {"CB", 2}}});
    transport->queue("GET_RECORD_SET", Answer{5, {}});
    platform.ChooseFileNext(path);
    view->Export();
    EXPECT_EQ(transport->sent("GET_RECORD_SET").size(), 2u);
    EXPECT_EQ(platform.Texts(),
              QStringList{"An error occurred while trying to retrieve and save the record set."});
    EXPECT_EQ(written(), "1\r\n2\r\n");
}

// The program's set-up: the navigation keys open the record set screens in
// the main window, and the catalogue search's refresh reaches open screens.
TEST_F(RecordSetViewOnDemo, TheMainWindowOpensBothScreensOnceSetUp) {
    testing::DemoClient client(db, QStringLiteral("demo"));
    SetUpRecordSetScreens(client.state);
    frmMain& window = client.state.mainWindow();
    window.show();
    window.OpenFunction(QStringLiteral("RecordSets_View"), QStringLiteral("Record Sets"),
                        QStringLiteral("View/Edit"));
    EXPECT_NE(dynamic_cast<frmRecordSets_View*>(window.Screen(QStringLiteral("RecordSets_View"))),
              nullptr);
    window.OpenFunction(QStringLiteral("RecordSets_Specific"), QStringLiteral("Record Sets"),
                        QStringLiteral("Specific Records"));
    EXPECT_NE(dynamic_cast<frmRecordSets_Specific*>(
                  window.Screen(QStringLiteral("RecordSets_Specific"))),
              nullptr);
    EXPECT_EQ(window.FrontScreen(), window.Screen(QStringLiteral("RecordSets_Specific")));
}

// The whole road: the catalogue search window, opened from the main window,
// finds demo records by title and puts them in a new set, which the open view
// screen then lists with its count.
TEST_F(RecordSetViewOnDemo, ASetFilledFromTheSearchWindowShowsInTheOpenView) {
    struct KeptMessages final : orvane::SearchMessages {
        void Warning(QWidget*, const QString& text) override { warnings << text; }
        void Information(QWidget*, const QString&) override {}
        QStringList warnings;
    } messages;
    testing::DemoClient client(db, QStringLiteral("demo"));
    orvane::RecordSearch& search = client.state.recordSearch();
    ASSERT_TRUE(search.Initialise(client.state.channel(), client.state.session(), 0, 0));
    search.SetSearchRight(true);
    search.SetAddBibliographic(true);
    search.SetMessages(&messages);
    qsizetype hits = 0;
    search.SetWindowRunner([&hits](orvane::SearchWindow& window) {
        window.IndexList()->setCurrentIndex(window.IndexList()->findData(QStringLiteral("TI")));
        window.Terms()->setText(QString::fromUtf8("Études"));
        ASSERT_TRUE(window.Search());
        hits = window.Hits().size();
        window.AddPanel().NewSetName()->setText(QStringLiteral("Found by title"));
        window.AddPanel().AddAllButton()->click();
    });

    SetUpRecordSetScreens(client.state);
    frmMain& window = client.state.mainWindow();
    window.show();
    window.OpenFunction(QStringLiteral("RecordSets_View"), QStringLiteral("Record Sets"),
                        QStringLiteral("View/Edit"));
    auto* view = dynamic_cast<frmRecordSets_View*>(window.Screen(QStringLiteral("RecordSets_View")));
    ASSERT_NE(view, nullptr);
    ViewControls controls(*view);
    ASSERT_FALSE(controls.names().contains(QStringLiteral("Found by title")));

    window.OpenFunction(QStringLiteral("RecordSets_Search"), QStringLiteral("Record Sets"),
                        QStringLiteral("Search"));
    EXPECT_TRUE(messages.warnings.isEmpty()) << messages.warnings.join(" | ").toStdString();
    ASSERT_GT(hits, 0);
    const qsizetype row = controls.names().indexOf(QStringLiteral("Found by title"));
    ASSERT_GE(row, 0);
    EXPECT_EQ(controls.grid().TextMatrix(static_cast<int>(row), 2), QString::number(hits));
}

} // namespace
} // namespace velumar
