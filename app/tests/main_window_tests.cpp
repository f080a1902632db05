// The main window after a start-up against a scripted server: the
// navigation and the Functions menu for several right profiles, opening
// functions, the status bar, help, and the close guard.
#include "general_helper.h"
#include "help/help_topics.h"
#include "help/help_window.h"
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
#include "session/busy_state.h"
#include "session/session_state.h"
#include "startup/standard_startup_tasks.h"
#include "startup/startup_routine.h"
#include "startup/startup_tasks.h"
#include "temp_settings.h"
#include "testing/recording_platform_services.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

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

// A screen whose activation fails as often as the test says.
class FailingScreen final : public FunctionScreen {
public:
    explicit FailingScreen(QWidget* parent) : FunctionScreen("frmPreview_Select", 40100, parent) {}
    void Activate() override {
        ++activations;
        if (failures > 0) {
            --failures;
            throw std::runtime_error("no rule set group chosen");
        }
    }
    int failures = 1;
    int activations = 0;
};

// Draws a window into the screenshot folder, when there is one.
void shoot(QWidget& window, const QString& name) {
    const QString folder = qEnvironmentVariable("VELUMAR_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QCoreApplication::processEvents();
    window.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

// The pointer resting on a navigation item, as a hover.
void hover(NavigationBar& bar, const QString& key) {
    for (auto* list : bar.findChildren<QListWidget*>())
        for (int row = 0; row < list->count(); ++row)
            if (list->item(row)->data(Qt::UserRole).toString() == key) {
                const QPointF at = list->visualItemRect(list->item(row)).center();
                QHoverEvent enter(QEvent::HoverEnter, at, at, QPointF(-1, -1));
                QCoreApplication::sendEvent(list->viewport(), &enter);
                QHoverEvent move(QEvent::HoverMove, at, at, at);
                QCoreApplication::sendEvent(list->viewport(), &move);
                QMouseEvent mouse(QEvent::MouseMove, at, list->viewport()->mapToGlobal(at),
                                  Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                QCoreApplication::sendEvent(list->viewport(), &mouse);
            }
}

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

TEST_F(MainWindowTest, TheBarFollowsTheScreenInFrontHoweverItWasOpened) {
    start();
    NavigationBar& bar = window().NavigationBarWidget();
    window().findChild<QAction*>("mnuFunctionsJobManagementViewQueue")->trigger();
    EXPECT_EQ(bar.CurrentGroupCaption(), "Job Management");
    EXPECT_EQ(bar.HighlightedItem(), "JobManagement_Scheduled");

    bar.ActivateItem("RecordSets_View");
    EXPECT_EQ(bar.CurrentGroupCaption(), "Record Sets");
    EXPECT_EQ(bar.HighlightedItem(), "RecordSets_View");
    EXPECT_EQ(window().StatusPanel1(), "Record Sets:  View/Edit");

    window().findChild<QAction*>("mnuFunctionsAuthLoadMatch")->trigger();
    EXPECT_EQ(bar.CurrentGroupCaption(), "Authority Loading");
    EXPECT_EQ(bar.HighlightedItem(), "RuleGeneration_AuthLoadMatchRuleSets");

    // Back to an open screen from the menu: the bar moves with it.
    window().findChild<QAction*>("mnuFunctionsJobManagementViewQueue")->trigger();
    EXPECT_EQ(bar.CurrentGroupCaption(), "Job Management");
    EXPECT_EQ(bar.HighlightedItem(), "JobManagement_Scheduled");
    EXPECT_EQ(window().StatusPanel1(), "Job Management:  View Job Queue");

    // A screen that closes hands the bar and the status to the one now in front.
    window().Screen("JobManagement_Scheduled")->close();
    EXPECT_EQ(window().FrontScreen(), window().Screen("RuleGeneration_AuthLoadMatchRuleSets"));
    EXPECT_EQ(bar.CurrentGroupCaption(), "Authority Loading");
    EXPECT_EQ(bar.HighlightedItem(), "RuleGeneration_AuthLoadMatchRuleSets");
    EXPECT_EQ(window().StatusPanel1(), "Authority Loading:  Auth Load Match Rule Set Groups");

    hover(bar, "RuleGeneration_AuthLoadMatchRuleSets");
    shoot(window(), "main-window-selected-hovered");

    window().Screen("RuleGeneration_AuthLoadMatchRuleSets")->close();
    window().Screen("RecordSets_View")->close();
    EXPECT_EQ(bar.HighlightedItem(), "");
    EXPECT_TRUE(window().StatusPanel1().startsWith("Logged in as jsmith on "));
}

TEST_F(MainWindowTest, TheSearchHandOverLeavesTheBarOnTheScreenInFront) {
    start();
    window().SetRecordSetSearch([] {});
    window().OpenFunction("Preview_Select", "Preview", "Select Criteria");
    window().NavigationBarWidget().ActivateItem("RecordSets_Search");
    EXPECT_EQ(window().NavigationBarWidget().HighlightedItem(), "Preview_Select");
    EXPECT_EQ(window().NavigationBarWidget().CurrentGroupCaption(), "Preview");
    EXPECT_EQ(window().StatusPanel1(), "Preview:  Select Criteria");
}

TEST_F(MainWindowTest, AScreenThatFailsIsReportedAndTheProgramGoesOn) {
    start();
    FailingScreen* screen = nullptr;
    window().SetScreenFactory("Preview_Select", [&](QWidget* area) {
        screen = new FailingScreen(area);
        return screen;
    });
    int searches = 0;
    window().SetRecordSetSearch([&] {
        ++searches;
        state.busy().BeginBusy();
        throw std::runtime_error("search index gone");
    });

    window().OpenFunction("Preview_Select", "Preview", "Select Criteria");
    window().OpenFunction("RecordSets_Search", "Record Sets", "Search");

    ASSERT_EQ(platform.Messages().size(), 2u);
    EXPECT_EQ(platform.Messages()[0].text,
              "Error # 51 was generated by frmPreview_Select.\r\nno rule set group chosen");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Critical);
    EXPECT_EQ(platform.Messages()[1].text,
              "Error # 51 was generated by RecordSets_Search.\r\nsearch index gone");
    EXPECT_EQ(searches, 1);
    // The main window is the operator's again, and the screen is still there to use.
    EXPECT_FALSE(state.busy().IsBusy());
    EXPECT_TRUE(window().isEnabled());
    EXPECT_EQ(window().FrontScreen(), screen);
    EXPECT_EQ(window().StatusPanel1(), "Preview:  Select Criteria");
    window().OpenFunction("Preview_Select", "Preview", "Select Criteria");
    EXPECT_EQ(screen->activations, 2);
    EXPECT_EQ(platform.Messages().size(), 2u);
}

// What the middle of a field looks like on screen.
QColor fieldColour(QWidget& field) {
    QCoreApplication::processEvents();
    const QImage image = field.grab().toImage();
    return image.pixelColor(image.width() - 6, image.height() / 2);
}

TEST_F(MainWindowTest, ReadOnlyFieldsLookReadOnlyOnEveryScreen) {
    start();
    QLineEdit* editable = nullptr;
    QLineEdit* readOnly = nullptr;
    window().SetScreenFactory("Preview_Select", [&](QWidget* area) {
        auto* screen = new FailingScreen(area);
        screen->failures = 0;
        editable = new QLineEdit(screen);
        readOnly = new QLineEdit(screen);
        readOnly->setReadOnly(true);
        editable->setGeometry(10, 40, 120, 24);
        readOnly->setGeometry(10, 70, 120, 24);
        return screen;
    });
    window().OpenFunction("Preview_Select", "Preview", "Select Criteria");
    const QPalette palette = window().palette();
    ASSERT_NE(palette.color(QPalette::Base), palette.color(QPalette::Window));
    EXPECT_EQ(fieldColour(*editable), palette.color(QPalette::Base));
    EXPECT_EQ(fieldColour(*readOnly), palette.color(QPalette::Window));
    shoot(window(), "main-window-read-only-field");

    // A field that becomes editable (an edit starts) looks it, and back.
    readOnly->setReadOnly(false);
    EXPECT_EQ(fieldColour(*readOnly), palette.color(QPalette::Base));
    readOnly->setReadOnly(true);
    EXPECT_EQ(fieldColour(*readOnly), palette.color(QPalette::Window));
}

// Rows of a screen's body, and the parts of a row laid out inside it, keep
// apart: buttons side by side do not touch.
class LaidOutScreen final : public FunctionScreen {
public:
    LaidOutScreen() : FunctionScreen("frmRecordSets_Specific", 20200, nullptr) {}
    using FunctionScreen::Body;
    using FunctionScreen::BodySpacing;
};

TEST(FunctionScreenLayout, RowsAndThePartsOfARowAreSpaced) {
    LaidOutScreen screen;
    auto* label = new QLabel(QStringLiteral("Record type:"));
    auto* type = new QComboBox;
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(type);
    row->addStretch();
    auto* save = new QPushButton(QStringLiteral("&Save"));
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    screen.Body()->addLayout(row);
    screen.Body()->addLayout(buttons);
    screen.Body()->addStretch();
    screen.resize(600, 300);
    screen.show();
    QCoreApplication::processEvents();
    EXPECT_GE(type->x() - (label->x() + label->width()), LaidOutScreen::BodySpacing);
    EXPECT_GE(cancel->x() - (save->x() + save->width()), LaidOutScreen::BodySpacing);
    EXPECT_GE(save->y() - (type->y() + type->height()), LaidOutScreen::BodySpacing);
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

TEST_F(MainWindowTest, HelpShowsTheIndexAndF1TheHelpOfTheScreenInFrontInsideVelumar) {
    start();
    window().findChild<QAction*>("mnuHelpTopics")->trigger();
    HelpWindow* help = window().HelpWindowWidget();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->CurrentPage().toLocalFile().endsWith("/help/index.html"));
    EXPECT_EQ(help->CurrentTitle(), "Velumar Help");

    window().ShowContextHelp();
    EXPECT_TRUE(help->CurrentPage().toLocalFile().endsWith("/help/main-window.html"));

    window().SetScreenFactory("RuleGeneration_RuleDocuments",
                              [](QWidget* area) { return new EditingScreen(area); });
    window().OpenFunction("RuleGeneration_RuleDocuments", "Rules", "Data Change Rule Sets");
    window().ShowContextHelp();
    EXPECT_TRUE(help->CurrentPage().toLocalFile().endsWith("/help/rule-sets.html"));
    shoot(*help, "help-window-rule-sets");
    // One help window for the run, and nothing handed to the desktop.
    EXPECT_EQ(window().HelpWindowWidget(), help);
    EXPECT_TRUE(platform.OpenedUrls().isEmpty());
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(MainWindowTest, EveryJobSubmissionScreenHasAHelpPageOfItsOwn) {
    start();
    const std::pair<const char*, const char*> screens[] = {
        {"JobManagement_SubmitScan", "jobs-submit-scan.html"},
        {"JobManagement_SubmitChange", "jobs-submit-data-change.html"},
        {"JobManagement_SubmitIndex", "jobs-submit-index.html"},
        {"JobManagement_SubmitMatch", "jobs-submit-match.html"},
        {"JobManagement_SubmitAuthLoadMatch", "jobs-submit-auth-load.html#match"},
        {"JobManagement_SubmitAuthLoadMerge", "jobs-submit-auth-load.html#merge"},
        {"JobManagement_SubmitAuthDbLoad", "jobs-submit-auth-load.html#database-load"},
        {"JobManagement_SubmitAuthLoadReconcile", "jobs-submit-auth-load.html#reconcile"},
    };
    for (const auto& [key, page] : screens) {
        window().OpenFunction(key, "Job Management", key);
        window().ShowContextHelp();
        const HelpWindow* help = window().HelpWindowWidget();
        ASSERT_NE(help, nullptr);
        const QUrl shown = help->CurrentPage();
        const QString file = shown.fileName() +
                             (shown.hasFragment() ? "#" + shown.fragment() : QString());
        EXPECT_EQ(file, page) << key;
        shoot(*window().HelpWindowWidget(), QStringLiteral("help-") + key);
        // The section a context names is in its page.
        if (shown.hasFragment()) {
            QFile html(shown.toLocalFile());
            ASSERT_TRUE(html.open(QIODevice::ReadOnly));
            EXPECT_TRUE(html.readAll().contains("id=\"" + shown.fragment().toUtf8() + "\""))
                << key;
        }
    }
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(MainWindowTest, HelpSaysWhatIsMissingAndWebLinksWithoutABrowserAreTold) {
    RecordingPlatformServices desktop;
    HelpWindow help(desktop);
    const QUrl missing = QUrl::fromLocalFile("/nowhere/help/index.html");
    EXPECT_FALSE(help.ShowPage(missing));
    EXPECT_FALSE(help.isVisible());
    ASSERT_EQ(desktop.Messages().size(), 1u);
    EXPECT_EQ(desktop.Messages()[0].text,
              "The help page \"index.html\" could not be found.\r\nVelumar's help pages belong "
              "in the folder \"/nowhere/help\".");
    EXPECT_EQ(desktop.Messages()[0].icon, MessageIcon::Exclamation);

    // A link between pages stays in the window; a web link goes to the desktop.
    ASSERT_TRUE(help.ShowPage(HelpIndexUrl()));
    help.FollowLink(QUrl("jobs-queue.html"));
    EXPECT_TRUE(help.CurrentPage().toLocalFile().endsWith("/help/jobs-queue.html"));
    help.FollowLink(QUrl("https://library.example.edu/velumar"));
    ASSERT_EQ(desktop.OpenedUrls().size(), 1);
    EXPECT_EQ(desktop.OpenedUrls()[0], QUrl("https://library.example.edu/velumar"));
    EXPECT_EQ(desktop.Messages().size(), 1u);
    desktop.SetOpenSucceeds(false);
    help.FollowLink(QUrl("https://library.example.edu/velumar"));
    ASSERT_EQ(desktop.Messages().size(), 2u);
    EXPECT_EQ(desktop.Messages()[1].text, "No web browser could be started to open "
                                          "\"https://library.example.edu/velumar\".");
}

struct WebMenuCase {
    QString supportText;
    bool offered;
};

TEST_F(MainWindowTest, TheWebEntriesAppearOnlyForARealSupportAddress) {
    const WebMenuCase cases[] = {
        {"", false},
        {"call the desk", false},
        {"https://help.example.org/velumar/support", false},
        {"http://support.example/", false},
        {"https://intranet.test/help", false},
        {"https://library.uni.edu/velumar/support", true},
    };
    for (const WebMenuCase& c : cases) {
        RecordingPlatformServices desktop;
        SessionState session(desktop);
        session.setPreferences(std::make_unique<Preferences>(settings.Store()));
        session.setSupportWebText(c.supportText);
        frmMain main(session);
        const QAction* web = main.findChild<QAction*>("mnuHelpWebSite");
        ASSERT_NE(web, nullptr);
        EXPECT_EQ(web->isVisible(), c.offered) << c.supportText.toStdString();
        if (!c.offered)
            continue;
        desktop.SetOpenSucceeds(false);
        main.OpenWebSite(0);
        main.OpenWebSite(1);
        EXPECT_EQ(desktop.OpenedUrls(), (QList<QUrl>{QUrl("https://library.uni.edu/"),
                                                     QUrl("https://library.uni.edu/velumar/support")}));
        // No browser: said, not silently dropped.
        EXPECT_EQ(desktop.Messages().size(), 2u);
    }
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
