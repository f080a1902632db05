// The main window after a start-up against a scripted server: the
// navigation and the Functions menu for several right profiles, opening
// functions, the status bar, help, and the close guard.
#include "general_helper.h"
#include "login_dialog.h"
#include "main_window/frm_main.h"
#include "main_window/function_screen.h"
#include "main_window/navigation_bar.h"
#include "main_window/placeholder_screen.h"
#include "preferences/frm_prefs.h"
#include "preferences/preferences.h"
#include "qt_printers.h"
#include "testing/scripted_server.h"
#include "scripted_transport.h"
#include "session.h"
#include "session/session_state.h"
#include "startup/standard_startup_tasks.h"
#include "startup/startup_routine.h"
#include "startup/startup_tasks.h"
#include "temp_settings.h"
#include "testing/recording_platform_services.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

namespace velumar {
namespace {

// A screen whose edit the test starts and ends.
class EditingScreen final : public FunctionScreen {
public:
    explicit EditingScreen(QWidget* parent) : FunctionScreen("frmRules_View", 30100, parent) {}
    bool EditInProgress() const override { return editing; }
    void RedrawRuleHighlighting() override { ++redraws; }
    bool editing = false;
    int redraws = 0;
};

class MainWindowTest : public ::testing::Test {
protected:
    frmMain& start(const QStringList& held = testing::securityCodes()) {
        state.setPreferences(std::make_unique<Preferences>(settings.Store()));
        state.session().SetTransportFactory([this](const QString&) { return transport; });
        state.helper().SetDialogRunner([](orvane::LoginDialog&) { return int(QDialog::Rejected); });
        testing::scriptHealthyServer(*transport, held);
        StartupTasks tasks;
        RegisterStandardStartupTasks(tasks);
        EXPECT_EQ(RunStartup(state, tasks, {"velumar", "--operator", "jsmith"}, qApp),
                  StartupOutcome::Ready);
        return state.mainWindow();
    }

    frmMain& window() { return state.mainWindow(); }
    QStringList items(const char* group) {
        return window().NavigationBarWidget().ItemCaptions(group);
    }
    bool menuShown(const char* name) {
        const QAction* entry = window().findChild<QAction*>(name);
        EXPECT_NE(entry, nullptr) << name;
        return entry && entry->isVisible();
    }

    testing::TempSettings settings;
    std::shared_ptr<orvane::testing::ScriptedTransport> transport =
        std::make_shared<orvane::testing::ScriptedTransport>();
    RecordingPlatformServices platform;
    SessionState state{platform};
};

TEST_F(MainWindowTest, IsAFixedFrameWithTheFirstGroupOpen) {
    frmMain& main = start();
    EXPECT_EQ(main.windowTitle(), "Velumar");
    EXPECT_EQ(main.size(), QSize(750, 550));
    EXPECT_EQ(main.minimumSize(), QSize(750, 550));
    EXPECT_EQ(main.maximumSize(), QSize(750, 550));
    EXPECT_FALSE(main.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(main.NavigationBarWidget().CurrentGroupCaption(), "Record Sets");
}

TEST_F(MainWindowTest, EveryRightShowsAllButTheEntriesThatAreNeverKept) {
    start();
    EXPECT_EQ(window().NavigationGroups(), (QStringList{"Record Sets", "Rules", "Preview",
                                                        "Job Management", "Authority Loading"}));
    EXPECT_EQ(
        items("JobManagement"),
        (QStringList{"Submit Scan Job", "Submit Data Change Job", "Submit Index Records Job",
                     "Submit Match Job", "Submit Auth Load Match Job", "Submit Auth Load Merge Job",
                     "View Job Queue", "View Running/Completed"}));
    EXPECT_EQ(items("AuthLoad"),
              (QStringList{"Load Match Configuration", "Load Merge Configuration"}));
    EXPECT_FALSE(menuShown("mnuFunctionsJobManagementSubmitAuthDbLoad"));
    EXPECT_FALSE(menuShown("mnuFunctionsJobManagementSubmitAuthLoadReconcile"));
    EXPECT_FALSE(menuShown("mnuFunctionsAuthLoadReconcile"));
    EXPECT_TRUE(menuShown("mnuFunctionsAuthLoadMatch"));
    EXPECT_TRUE(menuShown("mnuFileChangePassword"));
}

TEST_F(MainWindowTest, ViewOnlyRecordSetRightsShowViewEditAlone) {
    start({"RSMV"});
    EXPECT_EQ(window().NavigationGroups(), (QStringList{"Record Sets", "Job Management"}));
    EXPECT_EQ(items("RecordSets"), QStringList{"View/Edit"});
    EXPECT_TRUE(menuShown("mnuFunctionsRecordSetsView"));
    EXPECT_FALSE(menuShown("mnuFunctionsRecordSetsSearch"));
    EXPECT_FALSE(menuShown("mnuFunctionsRecordSetsSpecificRecords"));
    EXPECT_FALSE(menuShown("mnuFunctionsRules"));
    EXPECT_FALSE(menuShown("mnuFunctionsPreview"));
    // Only the job functions anyone may use.
    EXPECT_EQ(items("JobManagement"), (QStringList{"View Job Queue", "View Running/Completed"}));
    EXPECT_FALSE(menuShown("mnuFunctionsJobManagementSubmitMatch"));
}

TEST_F(MainWindowTest, WithoutAuthorityLoadingNeitherTheGroupNorItsJobsAppear) {
    start({"RSBA", "DCRV", "SJB", "RSBP"});
    EXPECT_EQ(window().NavigationGroups(),
              (QStringList{"Record Sets", "Rules", "Preview", "Job Management"}));
    EXPECT_FALSE(menuShown("mnuFunctionsAuthLoad"));
    EXPECT_EQ(items("RecordSets"), (QStringList{"Search", "Specific Records"}));
    EXPECT_EQ(items("RuleGeneration"),
              (QStringList{"Data Change Rule Sets", "Data Change Rule Set Groups"}));
    EXPECT_EQ(items("JobManagement"), (QStringList{"Submit Scan Job", "Submit Match Job",
                                                   "View Job Queue", "View Running/Completed"}));
    EXPECT_FALSE(window().NavigationBarWidget().HasItem("JobManagement_SubmitAuthLoadMatch"));
    EXPECT_FALSE(menuShown("mnuFunctionsJobManagementSubmitAuthLoadMerge"));
}

TEST_F(MainWindowTest, AuthorityLoadingAloneLeavesTheReconcileEntriesOut) {
    start({"ALA"});
    EXPECT_EQ(window().NavigationGroups(), (QStringList{"Job Management", "Authority Loading"}));
    EXPECT_EQ(items("AuthLoad"),
              (QStringList{"Load Match Configuration", "Load Merge Configuration"}));
    EXPECT_EQ(items("JobManagement"),
              (QStringList{"Submit Auth Load Match Job", "Submit Auth Load Merge Job",
                           "View Job Queue", "View Running/Completed"}));
    EXPECT_TRUE(menuShown("mnuFunctionsAuthLoad"));
    EXPECT_FALSE(menuShown("mnuFunctionsAuthLoadReconcile"));
}

TEST_F(MainWindowTest, ABarClickOpensTheScreenWithItsTitleAndStatus) {
    start();
    window().NavigationBarWidget().ActivateItem("JobManagement_Scheduled");

    FunctionScreen* screen = window().Screen("JobManagement_Scheduled");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->objectName(), "frmJobManagement_Scheduled");
    EXPECT_NE(qobject_cast<PlaceholderScreen*>(screen), nullptr);
    EXPECT_TRUE(screen->isVisible());
    EXPECT_EQ(screen->FormIdLabel()->text(), " Job Management - View Job Queue");
    EXPECT_EQ(screen->geometry(), window().WorkArea()->rect());
    EXPECT_EQ(window().FrontScreen(), screen);
    EXPECT_EQ(window().StatusPanel1(), "Job Management:  View Job Queue");
    EXPECT_EQ(window().NavigationBarWidget().CurrentGroupCaption(), "Job Management");
}

TEST_F(MainWindowTest, TheMenuPassesItsOwnCaptionsAndSelectsTheGroup) {
    start();
    window().findChild<QAction*>("mnuFunctionsAuthLoadMatch")->trigger();
    FunctionScreen* screen = window().Screen("RuleGeneration_AuthLoadMatchRuleSets");
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->FormIdLabel()->text(),
              " Authority Loading - Auth Load Match Rule Set Groups");
    EXPECT_EQ(window().StatusPanel1(), "Authority Loading:  Auth Load Match Rule Set Groups");
    EXPECT_EQ(window().NavigationBarWidget().CurrentGroupCaption(), "Authority Loading");
}

TEST_F(MainWindowTest, OpeningAnOpenScreenOnlyBringsItToTheFront) {
    start();
    window().OpenFunction("RecordSets_View", "Record Sets", "View/Edit");
    FunctionScreen* first = window().Screen("RecordSets_View");
    first->move(5, 7);
    window().OpenFunction("JobManagement_Running", "Job Management", "View Running/Completed");
    EXPECT_EQ(window().FrontScreen(), window().Screen("JobManagement_Running"));

    window().OpenFunction("RecordSets_View", "Record Sets", "Another caption");

    EXPECT_EQ(window().Screen("RecordSets_View"), first);
    EXPECT_EQ(window().FrontScreen(), first);
    EXPECT_EQ(first->pos(), QPoint(5, 7));
    EXPECT_EQ(first->FormIdLabel()->text(), " Record Sets - View/Edit");
    EXPECT_EQ(window().WorkArea()->findChildren<FunctionScreen*>().size(), 2);
}

TEST_F(MainWindowTest, SearchHandsOverWithoutAScreenAndUnknownKeysDoNothing) {
    start();
    int searches = 0;
    window().SetRecordSetSearch([&] { ++searches; });
    window().NavigationBarWidget().ActivateItem("RecordSets_Search");
    window().findChild<QAction*>("mnuFunctionsRecordSetsSearch")->trigger();
    window().OpenFunction("NoSuchKey", "Record Sets", "Nothing");

    EXPECT_EQ(searches, 2);
    EXPECT_TRUE(window().WorkArea()->findChildren<FunctionScreen*>().isEmpty());
    EXPECT_EQ(window().FrontScreen(), nullptr);
}

TEST_F(MainWindowTest, StatusTextsDoubleAmpersandsAndPassingMessagesClearAfterFiveSeconds) {
    start();
    window().OpenFunction("JobManagement_Scheduled", "Job Management", "Queue & Schedule");
    EXPECT_EQ(window().StatusPanel1(), "Job Management:  Queue && Schedule");

    window().ShowStatusMessage("Record set saved");
    EXPECT_EQ(window().StatusPanel2(), "Record set saved");
    auto* timer = window().findChild<QTimer*>("statusTimer");
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(timer->isSingleShot());
    EXPECT_EQ(timer->interval(), 5000);
    // Run the wait out at once rather than waiting five seconds.
    timer->start(0);
    QElapsedTimer waited;
    waited.start();
    while (!window().StatusPanel2().isEmpty() && waited.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(window().StatusPanel2(), "");
}

TEST_F(MainWindowTest, HelpOpensTheIndexAndF1TheHelpOfTheScreenInFront) {
    start();
    window().findChild<QAction*>("mnuHelpTopics")->trigger();
    window().ShowContextHelp();
    ASSERT_EQ(platform.OpenedUrls().size(), 2);
    EXPECT_TRUE(platform.OpenedUrls()[0].toLocalFile().endsWith("/help/index.html"));
    EXPECT_TRUE(platform.OpenedUrls()[1].toLocalFile().endsWith("/help/main-window.html"));

    window().SetScreenFactory("RuleGeneration_RuleDocuments",
                              [](QWidget* area) { return new EditingScreen(area); });
    window().OpenFunction("RuleGeneration_RuleDocuments", "Rules", "Data Change Rule Sets");
    window().ShowContextHelp();
    ASSERT_EQ(platform.OpenedUrls().size(), 3);
    EXPECT_TRUE(platform.OpenedUrls()[2].toLocalFile().endsWith("/help/rule-sets.html"));
    // A screen without a page of its own gets the first page.
    window().OpenFunction("JobManagement_SubmitAuthDbLoad", "Job Management",
                          "Submit Auth DB Load Job");
    window().ShowContextHelp();
    ASSERT_EQ(platform.OpenedUrls().size(), 4);
    EXPECT_TRUE(platform.OpenedUrls()[3].toLocalFile().endsWith("/help/index.html"));
}

TEST_F(MainWindowTest, WithoutWarnOnCloseTheWindowClosesWithoutAQuestion) {
    start();
    EXPECT_TRUE(window().close());
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(MainWindowTest, WarnOnCloseAsksAndCancelKeepsTheProgramRunning) {
    start();
    state.preferences().SetWarnOnCloseValue(1);
    platform.AnswerNext(MessageAnswer::Cancel);
    EXPECT_FALSE(window().close());
    EXPECT_TRUE(window().isVisible());
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text, "You are about to close the Velumar module.");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Information);
    EXPECT_EQ(platform.Messages()[0].buttons, MessageButtons::OkCancel);

    platform.AnswerNext(MessageAnswer::Ok);
    EXPECT_TRUE(window().close());
}

TEST_F(MainWindowTest, FileExitClosesWithoutTheQuestion) {
    start();
    state.preferences().SetWarnOnCloseValue(1);
    window().findChild<QAction*>("mnuFileExit")->trigger();
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(MainWindowTest, AnEditInProgressStopsTheCloseAndComesToTheFront) {
    start();
    EditingScreen* editor = nullptr;
    window().SetScreenFactory("RuleGeneration_RuleDocuments", [&](QWidget* area) {
        editor = new EditingScreen(area);
        return editor;
    });
    window().OpenFunction("RuleGeneration_RuleDocuments", "Rules", "Data Change Rule Sets");
    window().OpenFunction("Preview_Select", "Preview", "Select Criteria");
    editor->editing = true;

    window().findChild<QAction*>("mnuFileExit")->trigger();

    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().FrontScreen(), editor);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text,
              "There is data currently being edited!\r\nPlease save or cancel the open work area.");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Exclamation);

    editor->editing = false;
    EXPECT_TRUE(window().close());
}

TEST_F(MainWindowTest, ChangePasswordIsOfferedOnlyWhenThePasswordIsOurs) {
    transport->queue("LOGIN", {0, {{"TK", "tok"}, {"PF", true}, {"SW", ""}}});
    start();
    EXPECT_FALSE(menuShown("mnuFileChangePassword"));
}

TEST_F(MainWindowTest, ConfirmedPreferencesRedrawTheLoadedRuleScreens) {
    start();
    EditingScreen* rules = nullptr;
    window().SetScreenFactory("RuleGeneration_RuleDocuments", [&](QWidget* area) {
        rules = new EditingScreen(area);
        return rules;
    });
    window().OpenFunction("RuleGeneration_RuleDocuments", "Rules", "Data Change Rule Sets");
    QString shown;
    window().SetDialogRunner([&](QDialog& dialog) {
        shown = dialog.windowTitle();
        dynamic_cast<frmPrefs&>(dialog).Confirm();
        return dialog.result();
    });
    window().findChild<QAction*>("mnuOptionsSessionPreferences")->trigger();
    EXPECT_EQ(shown, "Session Defaults and Preferences");
    EXPECT_EQ(rules->redraws, 1);
}

} // namespace
} // namespace velumar
