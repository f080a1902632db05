// The preferences screen: what it shows, its browse buttons and colour
// pickers, and OK's checks in their order with their messages.
#include "charsets/character_set_table.h"
#include "common/colour_value.h"
#include "platform/desktop_programs.h"
#include "preferences/frm_prefs.h"
#include "preferences/path_input.h"
#include "preferences/preferences.h"
#include "qt_printers.h"
#include "record_search.h"
#include "request_channel.h"
#include "testing/scripted_server.h"
#include "scripted_transport.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/session_state.h"
#include "temp_settings.h"
#include "testing/recording_platform_services.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>
#include <optional>

namespace velumar {
namespace {

class FrmPrefsTest : public ::testing::Test {
protected:
    void SetUp() override {
        state.setPreferences(std::make_unique<Preferences>(temp.Store()));
        state.session().SetTransportFactory([this](const QString&) { return transport; });
        testing::scriptHealthyServer(*transport);
        ASSERT_EQ(state.session().Login("", "jsmith", ""), 0);
        ASSERT_TRUE(state.recordSearch().Initialise(state.channel(), state.session(), 0, 0));
    }

    frmPrefs& screen() {
        if (!screen_)
            screen_ = std::make_unique<frmPrefs>(state);
        return *screen_;
    }
    PathInput& input(const char* name) { return *screen().findChild<PathInput*>(name); }
    template <typename T> T& control(const char* name) { return *screen().findChild<T*>(name); }
    void click(const char* button) { control<QPushButton>(button).click(); }
    QString stored(const QString& key) const {
        return temp.Open()->value("Preferences/" + key).toString();
    }
    bool nothingStored() const { return temp.Open()->allKeys().isEmpty(); }

    testing::TempSettings temp;
    QTemporaryDir dir;
    std::shared_ptr<orvane::testing::ScriptedTransport> transport =
        std::make_shared<orvane::testing::ScriptedTransport>();
    RecordingPlatformServices platform;
    SessionState state{platform};
    std::unique_ptr<frmPrefs> screen_;
};

TEST_F(FrmPrefsTest, ShowsThePreferencesOnTheFirstTab) {
    auto seed = temp.Open();
    seed->setValue("Preferences/RecordIdDir", dir.path());
    seed->setValue("Preferences/WarnOnClose", "True");
    seed->setValue("Preferences/FontSizeIndex", "4");
    seed.reset();
    SessionState fresh{platform};
    fresh.setPreferences(std::make_unique<Preferences>(temp.Store()));
    frmPrefs prefs(fresh);

    EXPECT_EQ(prefs.windowTitle(), "Session Defaults and Preferences");
    EXPECT_EQ(prefs.findChild<QTabWidget*>()->currentIndex(), 0);
    EXPECT_EQ(prefs.findChild<PathInput*>("fpRecordIds")->Text(), dir.path());
    EXPECT_EQ(prefs.findChild<PathInput*>("fpMatchIdTag")->Text(), "935");
    EXPECT_TRUE(prefs.findChild<QCheckBox*>("chkWarnOnClose")->isChecked());
    EXPECT_FALSE(prefs.findChild<QCheckBox*>("chkAutoTruncation")->isChecked());
    EXPECT_EQ(prefs.findChild<QComboBox*>("cboFontSize")->currentText(), "12");
    EXPECT_EQ(prefs.findChild<QLabel*>("lblPreviewHighlight0")->palette().color(QPalette::Window),
              QColor(255, 255, 119));
}

TEST_F(FrmPrefsTest, ATagShorterThanThreeIsRefusedAndThreeOrMorePass) {
    input("fpMatchIdTag").SetText("93");
    screen().findChild<QTabWidget*>()->setCurrentIndex(1);
    screen().Confirm();

    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text,
              "Three digit field required for Default Tag for Writing Matched Ids!");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(screen().findChild<QTabWidget*>()->currentIndex(), 0);
    EXPECT_EQ(screen().focusWidget(), input("fpMatchIdTag").Edit());
    EXPECT_NE(screen().result(), QDialog::Accepted);
    EXPECT_TRUE(nothingStored());

    input("fpMatchIdTag").SetText("9350");
    screen().Confirm();
    EXPECT_EQ(screen().result(), QDialog::Accepted);
    EXPECT_EQ(stored("DefaultAuthLoadMatchIdTag"), "9350");
    EXPECT_EQ(platform.Messages().size(), 1u);
}

TEST_F(FrmPrefsTest, AMissingFolderIsCreatedOnYesAndOnNoTheScreenStaysOnThatInput) {
    const QString scan = dir.filePath("scan");
    const QString ids = dir.filePath("ids");
    input("fpDslrScan").SetText(" " + scan + " ");
    input("fpRecordIds").SetText(ids);
    platform.AnswerNext(MessageAnswer::Yes);
    platform.AnswerNext(MessageAnswer::No);

    screen().Confirm();

    ASSERT_EQ(platform.Messages().size(), 2u);
    EXPECT_EQ(platform.Messages()[0].text, "Directory " + scan + " does not exist.  Create it?");
    EXPECT_EQ(platform.Messages()[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(platform.Messages()[1].text, "Directory " + ids + " does not exist.  Create it?");
    EXPECT_TRUE(QDir(scan).exists());
    EXPECT_FALSE(QDir(ids).exists());
    EXPECT_NE(screen().result(), QDialog::Accepted);
    EXPECT_EQ(screen().focusWidget(), input("fpRecordIds").Edit());
    EXPECT_TRUE(nothingStored());
}

TEST_F(FrmPrefsTest, AFileWhereAFolderShouldBeIsAnInvalidDirectory) {
    const QString file = dir.filePath("plain.txt");
    QFile(file).open(QIODevice::WriteOnly);
    input("fpBinaryMarcRecs").SetText(file);
    screen().Confirm();
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text, "Invalid directory specified!");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Critical);
    EXPECT_NE(screen().result(), QDialog::Accepted);
}

TEST_F(FrmPrefsTest, AViewerThatIsNotThereStopsOkWithTheScreenUsable) {
    input("fpExtAppLogViewer").SetText(dir.filePath("no-viewer"));
    screen().Confirm();
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text,
              "The specified viewer for job log and result files was not found.");
    EXPECT_EQ(screen().focusWidget(), input("fpExtAppLogViewer").Edit());
    EXPECT_TRUE(screen().isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(nothingStored());
}

TEST_F(FrmPrefsTest, OkStoresEveryInputAndHandsTheSearchSettingsOn) {
    bool redrawn = false;
    screen().SetRuleHighlightingChanged([&] { redrawn = true; });
    input("fpDslrDataChange").SetText(dir.path());
    input("fpExtAppLogViewer").SetText(QCoreApplication::applicationFilePath());
    control<QCheckBox>("chkAutoTruncation").setChecked(true);
    control<QCheckBox>("chkRetainLastSearch").setChecked(true);
    control<QCheckBox>("chkAdd035WhenCreatingNewAuthRecords").setChecked(true);
    control<QComboBox>("cboFontSize").setCurrentIndex(1);

    screen().Confirm();

    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_EQ(screen().result(), QDialog::Accepted);
    EXPECT_EQ(stored("DslrDataChangeDir"), dir.path());
    EXPECT_EQ(stored("LogViewerApp"), QCoreApplication::applicationFilePath());
    EXPECT_EQ(stored("AutoTruncation"), "True");
    EXPECT_EQ(stored("RetainSearch"), "True");
    EXPECT_EQ(stored("WarnOnClose"), "False");
    EXPECT_EQ(stored("Add035FieldWhenCreatingNewAuthRecords"), "True");
    EXPECT_EQ(stored("FontSizeIndex"), "1");
    EXPECT_EQ(stored("RulesHighlightNotImplemented"), "-2147483633");
    EXPECT_TRUE(state.recordSearch().AutoTruncation());
    EXPECT_TRUE(state.recordSearch().RetainSearch());
    EXPECT_TRUE(redrawn);
    EXPECT_TRUE(state.preferences().AutoTruncate());
}

TEST_F(FrmPrefsTest, BrowsingForAFolderAsksWithItsPromptAndACancelKeepsTheText) {
    input("fpDslrDataChange").SetText("/old");
    platform.ChooseFolderNext("/chosen/dc");
    input("fpDslrDataChange").BrowseButton()->click();
    EXPECT_EQ(input("fpDslrDataChange").Text(), "/chosen/dc");

    // F4 in the input browses too; the picker is cancelled.
    QKeyEvent f4(QEvent::KeyPress, Qt::Key_F4, Qt::NoModifier);
    QApplication::sendEvent(input("fpBinaryMarcRecs").Edit(), &f4);
    EXPECT_EQ(input("fpBinaryMarcRecs").Text(), "");

    ASSERT_EQ(platform.FolderRequests().size(), 2u);
    EXPECT_EQ(platform.FolderRequests()[0].prompt,
              "Please select a directory as your preferred import/export folder for Data Change "
              "rule sets.");
    EXPECT_EQ(platform.FolderRequests()[1].prompt,
              "Please select a directory as your preferred folder for files containing binary "
              "MARC records.");

    input("fpExtAppLogViewer").SetText("/opt/viewers/view.sh");
    platform.ChooseFileNext("/opt/viewers/other.sh");
    input("fpExtAppLogViewer").BrowseButton()->click();
    ASSERT_EQ(platform.FileRequests().size(), 1u);
    EXPECT_EQ(platform.FileRequests()[0].title, "Select Application");
    EXPECT_EQ(platform.FileRequests()[0].initialFolder, "/opt/viewers/");
    EXPECT_EQ(input("fpExtAppLogViewer").Text(), "/opt/viewers/other.sh");
}

TEST_F(FrmPrefsTest, ColoursArePickedWithTheCustomColoursAndResetToTheirDefaults) {
    QList<QColor> custom(16, QColor(0, 0, 0));
    custom[2] = QColor(9, 9, 9);
    platform.ChooseColourNext(QColor(10, 20, 30), custom);
    click("cmdPreviewColor0");
    EXPECT_EQ(screen().PreviewSample(0), RgbValue(10, 20, 30));
    ASSERT_EQ(platform.ColourRequests().size(), 1u);
    EXPECT_EQ(platform.ColourRequests()[0].initial, QColor(255, 255, 119));
    EXPECT_EQ(platform.ColourRequests()[0].customColours.size(), 16);

    platform.ChooseColourNext(QColor()); // cancelled
    click("cmdRuleColor");
    EXPECT_EQ(screen().RuleSample(), -2147483633);

    click("cmdPreviewReset0");
    EXPECT_EQ(screen().PreviewSample(0), RgbValue(255, 255, 119));
    EXPECT_EQ(control<QLabel>("lblPreviewHighlight0").palette().color(QPalette::Window),
              QColor(255, 255, 119));
}

// Custom colours the operator made in the picker are the screen's until OK:
// the next picker opens with them, Cancel drops them, OK stores them.
TEST_F(FrmPrefsTest, CustomColoursAreKeptOnlyByOk) {
    QList<QColor> custom(16, QColor(0, 0, 0));
    custom[2] = QColor(9, 9, 9);
    for (const bool confirm : {false, true}) {
        SCOPED_TRACE(confirm ? "OK" : "Cancel");
        SessionState fresh{platform};
        fresh.setPreferences(std::make_unique<Preferences>(temp.Store()));
        frmPrefs prefs(fresh);
        platform.ChooseColourNext(QColor(10, 20, 30), custom);
        prefs.findChild<QPushButton*>("cmdPreviewColor1")->click();
        platform.ChooseColourNext(QColor()); // cancelled, custom colours as given
        prefs.findChild<QPushButton*>("cmdRuleColor")->click();
        ASSERT_GE(platform.ColourRequests().size(), 2u);
        EXPECT_EQ(platform.ColourRequests().back().customColours.value(2), QColor(9, 9, 9));
        EXPECT_EQ(fresh.preferences().CustomColour(2), 0);

        if (confirm) {
            prefs.Confirm();
            EXPECT_EQ(prefs.result(), QDialog::Accepted);
            EXPECT_EQ(fresh.preferences().CustomColour(2), RgbValue(9, 9, 9));
            EXPECT_EQ(stored("VLMCustomColors2"), QString::number(RgbValue(9, 9, 9)));
            EXPECT_EQ(stored("PreviewHightlightDeleted"), QString::number(RgbValue(10, 20, 30)));
        } else {
            prefs.findChild<QPushButton*>("cmdCancel")->click();
            EXPECT_EQ(fresh.preferences().CustomColour(2), 0);
            EXPECT_TRUE(nothingStored());
            // Nor does a later OK of another screen bring them back.
            frmPrefs again(fresh);
            again.Confirm();
            EXPECT_EQ(stored("VLMCustomColors2"), "0");
            temp.Open()->clear();
        }
    }
}

// A failed check of a field on the General tab shows that tab, wherever the
// operator was, with the focus in the field.
TEST_F(FrmPrefsTest, AFailedCheckShowsTheTabOfTheFieldInError) {
    const QString plain = dir.filePath("plain.txt");
    QFile(plain).open(QIODevice::WriteOnly);
    struct Case {
        const char* field;
        QString text;
        std::optional<MessageAnswer> answer;
        QString message;
    };
    const std::vector<Case> cases{
        {"fpDslrScan", dir.filePath("missing"), MessageAnswer::No,
         "Directory " + dir.filePath("missing") + " does not exist.  Create it?"},
        {"fpBinaryMarcRecs", plain, std::nullopt, "Invalid directory specified!"},
        {"fpExtAppLogViewer", dir.filePath("no-viewer"), std::nullopt,
         "The specified viewer for job log and result files was not found."},
        {"fpMatchIdTag", "93", std::nullopt,
         "Three digit field required for Default Tag for Writing Matched Ids!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        frmPrefs prefs(state);
        prefs.show();
        prefs.findChild<PathInput*>(c.field)->SetText(c.text);
        auto* tabs = prefs.findChild<QTabWidget*>();
        tabs->setCurrentIndex(1);
        if (c.answer)
            platform.AnswerNext(*c.answer);
        platform.Clear();
        prefs.Confirm();

        ASSERT_EQ(platform.Texts(), QStringList{c.message});
        EXPECT_EQ(tabs->currentIndex(), 0);
        EXPECT_TRUE(prefs.findChild<PathInput*>(c.field)->Edit()->isVisible());
        EXPECT_EQ(prefs.focusWidget(), prefs.findChild<PathInput*>(c.field)->Edit());
        EXPECT_NE(prefs.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(nothingStored());
}

// When the list of encodings cannot show the stored choice (no character
// sets were loaded, or fewer than the index), OK keeps it; a choice the
// operator makes is stored.
TEST_F(FrmPrefsTest, AnEncodingTheListCannotShowKeepsTheStoredChoice) {
    struct Case {
        const char* what;
        bool loaded; // the scripted server has two character sets
        QString stored;
        int picked; // -1: left as shown
        QString kept;
        QString shown;
    };
    const std::vector<Case> cases{
        {"no character sets", false, "1", -1, "1", ""},
        {"an index past the end", true, "5", -1, "5", ""},
        {"the default, past the end", true, "", -1, "2", ""},
        {"a choice made over it", true, "5", 1, "1", "MARC-8"},
        {"an index the list shows", true, "1", -1, "1", "MARC-8"},
        {"another choice", true, "1", 0, "0", "Unicode (UTF-8)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        temp.Open()->clear();
        if (!c.stored.isEmpty())
            temp.Open()->setValue("Preferences/CharSetIndex", c.stored);
        SessionState fresh{platform};
        fresh.setPreferences(std::make_unique<Preferences>(temp.Store()));
        if (c.loaded) {
            orvane::RequestChannel channel{transport, "tok"};
            ASSERT_TRUE(fresh.characterSets().Load(channel, platform));
        }
        frmPrefs prefs(fresh);
        auto* encodings = prefs.findChild<QComboBox*>("cboDefaultFileEncoding");
        if (c.picked >= 0)
            encodings->setCurrentIndex(c.picked);
        EXPECT_EQ(encodings->currentText(), c.shown);
        prefs.Confirm();
        EXPECT_EQ(prefs.result(), QDialog::Accepted);
        EXPECT_EQ(stored("CharSetIndex"), c.kept);
        EXPECT_EQ(fresh.preferences().CharSetIndex(), c.kept.toInt());
    }
}

TEST_F(FrmPrefsTest, AViewerThatCannotBeRunIsRefusedOnThisDesktop) {
    if (ThisDesktop() == Desktop::Windows)
        GTEST_SKIP() << "Windows runs a program by its name";
    const QString notes = dir.filePath("notes.txt");
    QFile(notes).open(QIODevice::WriteOnly);
    input("fpExtAppLogViewer").SetText(notes);
    screen().Confirm();
    EXPECT_EQ(platform.Texts(), QStringList{"The specified viewer for job log and result files is "
                                            "not a program that can be run."});
    EXPECT_EQ(screen().focusWidget(), input("fpExtAppLogViewer").Edit());
    EXPECT_TRUE(nothingStored());

    ASSERT_TRUE(QFile::setPermissions(notes, QFile::permissions(notes) | QFile::ExeOwner));
    screen().Confirm();
    EXPECT_EQ(screen().result(), QDialog::Accepted);
    EXPECT_EQ(stored("LogViewerApp"), notes);
    // The caption speaks of this desktop's default application.
    bool captioned = false;
    for (const QLabel* label : screen().findChildren<QLabel*>())
        captioned = captioned || label->text() == ViewerCaptionFor(ThisDesktop());
    EXPECT_TRUE(captioned);
}

TEST_F(FrmPrefsTest, ResetThenCancelKeepsTheStoredColour) {
    auto seed = temp.Open();
    seed->setValue("Preferences/PreviewHightlightChanged", QString::number(RgbValue(1, 2, 3)));
    seed.reset();
    SessionState fresh{platform};
    fresh.setPreferences(std::make_unique<Preferences>(temp.Store()));
    frmPrefs prefs(fresh);

    prefs.findChild<QPushButton*>("cmdPreviewReset0")->click();
    EXPECT_EQ(prefs.PreviewSample(0), RgbValue(255, 255, 119));
    prefs.findChild<QPushButton*>("cmdCancel")->click();

    EXPECT_EQ(prefs.result(), QDialog::Rejected);
    EXPECT_EQ(fresh.preferences().PreviewHighlightChanged(), RgbValue(1, 2, 3));
    EXPECT_EQ(temp.Open()->value("Preferences/PreviewHightlightChanged").toString(), "197121");
}

TEST_F(FrmPrefsTest, F1OpensThePreferencesHelp) {
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&screen(), &f1);
    ASSERT_EQ(platform.OpenedUrls().size(), 1);
    EXPECT_TRUE(platform.OpenedUrls()[0].toLocalFile().endsWith("/help/preferences.html"));
}

} // namespace
} // namespace velumar
