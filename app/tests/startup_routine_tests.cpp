// The start-up routine against a scripted server: its steps and their order,
// the tasks registered for its steps, what the record search component is
// given, and every way it ends early with what the operator is told.
#include "charsets/character_set_table.h"
#include "components/component_table.h"
#include "general_helper.h"
#include "login_dialog.h"
#include "main_window/frm_main.h"
#include "qt_printers.h"
#include "record_search.h"
#include "request_channel.h"
#include "testing/scripted_server.h"
#include "scripted_transport.h"
#include "security/security_profile.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/order_configs.h"
#include "session/session_state.h"
#include "startup/standard_startup_tasks.h"
#include "startup/startup_routine.h"
#include "startup/startup_tasks.h"
#include "testing/recording_platform_services.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>
#include <memory>

namespace velumar {
namespace {

using orvane::wire::Answer;
using orvane::wire::Fields;
using Codes = std::vector<std::string>;
using Transport = orvane::testing::ScriptedTransport;

QStringList visibleWindows() {
    QStringList names;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            names.push_back(QString::fromLatin1(w->metaObject()->className()));
    return names;
}

ShownMessage critical(const QString& text) {
    return {"", text, MessageIcon::Critical, MessageButtons::Ok, MessageAnswer::Ok};
}

class FailingRecordSearch final : public orvane::RecordSearch {
public:
    bool Initialise(orvane::Channel&, orvane::Session&, int, int) override { return false; }
};

class StartupRoutine : public ::testing::Test {
protected:
    void SetUp() override {
        state.session().SetTransportFactory([this](const QString&) { return transport; });
        state.helper().SetDialogRunner([this](orvane::LoginDialog&) {
            ++dialogsShown;
            return int(QDialog::Rejected);
        });
        testing::scriptHealthyServer(*transport);
        RegisterStandardStartupTasks(tasks);
    }

    void TearDown() override {
        QSettings settings("OrvaneVLM", "OrvaneVLM");
        settings.remove("Preferences");
    }

    StartupOutcome run(const QStringList& extra = {}) {
        return RunStartup(state, tasks, QStringList{"velumar", "--operator", "jsmith"} + extra,
                          qApp);
    }

    void expectEndedWithoutAWindow() {
        EXPECT_FALSE(state.hasMainWindow());
        EXPECT_EQ(visibleWindows(), QStringList());
        EXPECT_FALSE(state.busy().IsBusy());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }

    std::shared_ptr<Transport> transport = std::make_shared<Transport>();
    RecordingPlatformServices platform;
    SessionState state{platform};
    StartupTasks tasks;
    int dialogsShown = 0;
};

TEST_F(StartupRoutine, ReachesReadyWithItsRequestsInOrderAndTheMainWindowUsable) {
    EXPECT_EQ(run(), StartupOutcome::Ready);

    EXPECT_EQ(transport->codes(), (Codes{"LOGIN", "OPEN", "GET_VLM_SECURITY", "PKGCHK",
                                         "OWNINGLIBRARIES", "GETMARCFIELDORDER", "GETCHARSETS"}));
    EXPECT_EQ(transport->sent("OPEN")[0].fields, (Fields{{"AC", 5}}));
    EXPECT_EQ(transport->sent()[1].token, "tok"); // OPEN goes under the session's token
    EXPECT_TRUE(transport->sent("GETMARCFIELDORDER")[0].fields.empty());
    EXPECT_TRUE(transport->sent("GETCHARSETS")[0].fields.empty());
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_EQ(dialogsShown, 0);

    EXPECT_EQ(state.stage(), SessionStage::Ready);
    ASSERT_TRUE(state.hasMainWindow());
    EXPECT_TRUE(state.mainWindow().isVisible());
    EXPECT_TRUE(state.mainWindow().isEnabled());
    EXPECT_EQ(visibleWindows(), QStringList{"velumar::frmMain"});
    EXPECT_FALSE(state.busy().IsBusy());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    EXPECT_EQ(state.supportWebText(), testing::SupportWebText);
    EXPECT_EQ(state.helpFile(), QCoreApplication::applicationDirPath() + "/help/index.html");
    EXPECT_TRUE(QFile::exists(state.helpFile()));
    EXPECT_EQ(state.characterSets().Entries(),
              (QList<CharacterSet>{{"A", "Unicode (UTF-8)"}, {"M8", "MARC-8"}}));
    EXPECT_EQ(state.orderConfigs().Items(),
              (QList<OrderConfig>{{4, "Standard"}, {9, "Tag order"}}));
    EXPECT_EQ(state.components().Find("server protocol")->Installed, "1");
    EXPECT_EQ(ExitCodeOf(StartupOutcome::Ready), 0);
}

TEST_F(StartupRoutine, RunsEachStepsTasksAtItsPlaceAfterTheProgramsOwn) {
    // What a task sees: its step, the last request sent, and what exists by then.
    QStringList seen;
    auto probe = [this, &seen](const char* step) {
        return [this, &seen, step](SessionState& s) {
            QStringList now{step, QString::fromStdString(transport->codes().back())};
            if (s.hasMainWindow() && s.mainWindow().isVisible())
                now << "window";
            if (s.hasSecurityProfile())
                now << "profile";
            if (s.hasPreferences())
                now << "preferences";
            now << QString::number(s.characterSets().Count());
            seen << now.join(' ');
            return true;
        };
    };
    // Registered in an order unlike the steps'.
    tasks.Register(StartupStep::FitNavigation, "probe", probe("14"));
    tasks.Register(StartupStep::OfferChangePassword, "probe", probe("13"));
    tasks.Register(StartupStep::SetUpRecordSearch, "probe", probe("11"));
    tasks.Register(StartupStep::CreateOrderConfigs, "probe", probe("10"));
    tasks.Register(StartupStep::ShowMainWindow, "probe", probe("7"));

    ASSERT_EQ(run(), StartupOutcome::Ready);

    EXPECT_EQ(seen, (QStringList{"7 OPEN window 0", "10 GETMARCFIELDORDER window profile 0",
                                 "11 GETMARCFIELDORDER window profile preferences 0",
                                 "13 GETCHARSETS window profile preferences 2",
                                 "14 GETCHARSETS window profile preferences 2"}));
}

// Each call on the search as "operation=value".
QStringList searchCalls(const orvane::RecordSearch& search) {
    QStringList out;
    for (const auto& call : search.History())
        out << call.operation + "=" +
                   (call.value.typeId() == QMetaType::QVariantList
                        ? call.value.toStringList().join(',')
                        : call.value.toString());
    return out;
}

TEST_F(StartupRoutine, GivesTheRecordSearchItsRightsThenTheFixedSettingsThenThePreferences) {
    transport->respond("GET_VLM_SECURITY", [](const auto&) {
        return testing::securityAnswer({"AV", "RSAA", "RSMA", "RSBU"});
    });
    QSettings settings("OrvaneVLM", "OrvaneVLM");
    settings.setValue("Preferences/AutoTruncation", "True");
    settings.setValue("Preferences/RetainSearch", "False");
    settings.setValue("Preferences/FontName", "Courier New");
    settings.sync();

    ASSERT_EQ(run(), StartupOutcome::Ready);

    EXPECT_EQ(searchCalls(state.recordSearch()),
              (QStringList{"Initialise=0,0", "SearchRight=true", "AddAuthority=true",
                           "AddBibliographic=false", "AddHoldings=true", "UpdateAuthority=false",
                           "UpdateBibliographic=true", "UpdateHoldings=false", "MaximumHits=0",
                           "MultipleSelection=true", "AutoTruncation=true", "RetainSearch=false",
                           "FontName=Courier New"}));
    EXPECT_EQ(state.recordSearch().BoundChannel(), &state.channel());
    EXPECT_EQ(state.recordSearch().BoundSession(), &state.session());
}

TEST_F(StartupRoutine, TheSearchTakesTheOperatorsOtherRightsAndPreferencesAsTheyAre) {
    transport->respond("GET_VLM_SECURITY", [](const auto&) {
        return testing::securityAnswer({"RSBA", "RSAU", "RSMU"});
    });
    QSettings settings("OrvaneVLM", "OrvaneVLM");
    settings.setValue("Preferences/RetainSearch", "True");
    settings.sync();

    ASSERT_EQ(run(), StartupOutcome::Ready);

    EXPECT_EQ(searchCalls(state.recordSearch()),
              (QStringList{"Initialise=0,0", "SearchRight=false", "AddAuthority=false",
                           "AddBibliographic=true", "AddHoldings=false", "UpdateAuthority=true",
                           "UpdateBibliographic=false", "UpdateHoldings=true", "MaximumHits=0",
                           "MultipleSelection=true", "AutoTruncation=false", "RetainSearch=true",
                           "FontName="}));
}

TEST_F(StartupRoutine, ChangePasswordIsHiddenWhenThePasswordIsManagedElsewhere) {
    transport->queue("LOGIN", Answer{0, {{"TK", "tok"}, {"PF", true}, {"SW", ""}}});
    ASSERT_EQ(run(), StartupOutcome::Ready);
    EXPECT_FALSE(state.mainWindow().ChangePasswordAction()->isVisible());
}

TEST_F(StartupRoutine, TheNavigationKeepsOnlyTheGroupsTheOperatorMayUse) {
    transport->respond("GET_VLM_SECURITY", [](const auto&) {
        return testing::securityAnswer({"RSBV", "SRV"});
    });
    ASSERT_EQ(run(), StartupOutcome::Ready);
    EXPECT_EQ(state.mainWindow().NavigationGroups(),
              (QStringList{"Record Sets", "Rules", "Job Management"}));
}

TEST_F(StartupRoutine, ALoginRefusedEndsSilently) {
    transport->queue("LOGIN", Answer{6, {}});

    const StartupOutcome outcome = run();

    EXPECT_EQ(outcome, StartupOutcome::LoginEnded);
    EXPECT_NE(ExitCodeOf(outcome), 0);
    EXPECT_EQ(transport->codes(), Codes{"LOGIN"});
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_EQ(state.stage(), SessionStage::NotStarted);
    expectEndedWithoutAWindow();
}

TEST_F(StartupRoutine, ALoginCancelledEndsSilently) {
    const StartupOutcome outcome = RunStartup(state, tasks, {"velumar"}, qApp);

    EXPECT_EQ(outcome, StartupOutcome::LoginEnded);
    EXPECT_EQ(dialogsShown, 1);
    EXPECT_TRUE(transport->codes().empty());
    EXPECT_TRUE(platform.Messages().empty());
    expectEndedWithoutAWindow();
}

TEST_F(StartupRoutine, AChannelNotOpenedEndsSilently) {
    transport->queue("OPEN", Answer{8, {}});
    transport->queueFailure("OPEN", 9001);

    for (int attempt = 0; attempt < 2; ++attempt) {
        SessionState fresh(platform);
        fresh.session().SetTransportFactory([this](const QString&) { return transport; });
        const StartupOutcome outcome =
            RunStartup(fresh, tasks, {"velumar", "--operator", "jsmith"}, qApp);
        EXPECT_EQ(outcome, StartupOutcome::ChannelNotOpened) << attempt;
        EXPECT_NE(ExitCodeOf(outcome), 0);
        EXPECT_EQ(fresh.stage(), SessionStage::LoggedIn);
        EXPECT_FALSE(fresh.hasMainWindow());
    }
    EXPECT_EQ(transport->codes(), (Codes{"LOGIN", "OPEN", "LOGIN", "OPEN"}));
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_EQ(visibleWindows(), QStringList());
}

TEST_F(StartupRoutine, AFailedProfileLoadIsToldAndTheMainWindowGoes) {
    transport->queue("OWNINGLIBRARIES", Answer{99, {}});

    const StartupOutcome outcome = run();

    EXPECT_EQ(outcome, StartupOutcome::ProfileLoadFailed);
    EXPECT_NE(ExitCodeOf(outcome), 0);
    EXPECT_EQ(platform.Messages(),
              std::vector<ShownMessage>{critical("Failed to load security profile.")});
    EXPECT_EQ(transport->codes(),
              (Codes{"LOGIN", "OPEN", "GET_VLM_SECURITY", "PKGCHK", "OWNINGLIBRARIES"}));
    EXPECT_EQ(state.stage(), SessionStage::MainWindowShown);
    expectEndedWithoutAWindow();
}

TEST_F(StartupRoutine, AnOperatorNotAuthorizedIsTurnedAway) {
    transport->queue("GET_VLM_SECURITY", Answer{6, {}});

    const StartupOutcome outcome = run();

    EXPECT_EQ(outcome, StartupOutcome::NotAuthorized);
    EXPECT_NE(ExitCodeOf(outcome), 0);
    EXPECT_EQ(platform.Messages(), std::vector<ShownMessage>{critical(
                                       "Operator is not authorized for Velumar functions.")});
    EXPECT_EQ(transport->codes(),
              (Codes{"LOGIN", "OPEN", "GET_VLM_SECURITY", "PKGCHK", "OWNINGLIBRARIES"}));
    expectEndedWithoutAWindow();
}

TEST_F(StartupRoutine, WhenBothFlagsAreSetTheLoadFailureIsTold) {
    transport->queue("GET_VLM_SECURITY", Answer{6, {}});
    transport->queue("PKGCHK", Answer{99, {}});

    EXPECT_EQ(run(), StartupOutcome::ProfileLoadFailed);

    EXPECT_EQ(platform.Messages(),
              std::vector<ShownMessage>{critical("Failed to load security profile.")});
    expectEndedWithoutAWindow();
}

TEST_F(StartupRoutine, ARecordSearchThatCannotBeSetUpEndsSilently) {
    state.setRecordSearch(std::make_unique<FailingRecordSearch>());

    const StartupOutcome outcome = run();

    EXPECT_EQ(outcome, StartupOutcome::RecordSearchNotSetUp);
    EXPECT_NE(ExitCodeOf(outcome), 0);
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_EQ(transport->codes().back(), "GETMARCFIELDORDER");
    EXPECT_TRUE(state.recordSearch().History().isEmpty());
    expectEndedWithoutAWindow();
}

// A task of any step that cannot do its work (the field order
// configurations, the change password entry, the navigation, or the main
// window itself) ends the run with its own outcome: silent, no window, the
// later steps not run.
TEST_F(StartupRoutine, AFailedTaskOfAnyStepEndsTheRunWithoutAWindow) {
    struct Case {
        StartupStep step;
        const char* lastRequest;
    };
    const std::vector<Case> cases{{StartupStep::ShowMainWindow, "OPEN"},
                                  {StartupStep::CreateOrderConfigs, "GETMARCFIELDORDER"},
                                  {StartupStep::OfferChangePassword, "GETCHARSETS"},
                                  {StartupStep::FitNavigation, "GETCHARSETS"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.step));
        auto script = std::make_shared<Transport>();
        testing::scriptHealthyServer(*script);
        RecordingPlatformServices shown;
        SessionState fresh{shown};
        fresh.session().SetTransportFactory([script](const QString&) { return script; });
        StartupTasks steps;
        RegisterStandardStartupTasks(steps);
        QList<int> ran;
        for (const StartupStep later :
             {StartupStep::ShowMainWindow, StartupStep::CreateOrderConfigs,
              StartupStep::SetUpRecordSearch, StartupStep::OfferChangePassword,
              StartupStep::FitNavigation})
            if (later > c.step)
                steps.Register(later, "later", [&ran, later](SessionState&) {
                    ran.push_back(static_cast<int>(later));
                    return true;
                });
        steps.Register(c.step, "cannot", [](SessionState&) { return false; });

        const StartupOutcome outcome =
            RunStartup(fresh, steps, QStringList{"velumar", "--operator", "jsmith"}, qApp);

        EXPECT_EQ(outcome, StartupOutcome::StartupTaskFailed);
        EXPECT_EQ(ExitCodeOf(outcome), 8);
        EXPECT_NE(fresh.stage(), SessionStage::Ready);
        EXPECT_TRUE(ran.isEmpty()) << ran.size();
        EXPECT_TRUE(shown.Messages().empty());
        EXPECT_EQ(script->codes().back(), c.lastRequest);
        EXPECT_FALSE(fresh.hasMainWindow());
        EXPECT_EQ(visibleWindows(), QStringList());
        EXPECT_FALSE(fresh.busy().IsBusy());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST_F(StartupRoutine, CharacterSetsNotLoadedAreToldAndStartUpGoesOnWithAnEmptyTable) {
    transport->queue("GETCHARSETS", Answer{99, {}});

    EXPECT_EQ(run(), StartupOutcome::Ready);

    const ShownMessage told{"Get Character Sets",
                            "An error occurred while attempting to retrieve the character sets.",
                            MessageIcon::Exclamation, MessageButtons::Ok, MessageAnswer::Ok};
    EXPECT_EQ(platform.Messages(), std::vector<ShownMessage>{told});
    EXPECT_TRUE(state.characterSets().IsEmpty());
    EXPECT_TRUE(state.mainWindow().isVisible());
    EXPECT_TRUE(state.mainWindow().isEnabled());
}

TEST_F(StartupRoutine, AComponentOfTheWrongVersionIsToldBeforeAnythingElse) {
    state.components().SetInstalled("orvane library", "0.0.1");

    const StartupOutcome outcome = run();

    EXPECT_EQ(outcome, StartupOutcome::ComponentMismatch);
    EXPECT_NE(ExitCodeOf(outcome), 0);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Critical);
    EXPECT_TRUE(platform.Messages()[0].text.contains("orvane library: version 0.0.1, version " +
                                                     QString(VELUMAR_VERSION) + " needed"));
    EXPECT_TRUE(transport->sent().empty());
    EXPECT_TRUE(state.helpFile().isEmpty());
    expectEndedWithoutAWindow();
}

TEST_F(StartupRoutine, AServerOfAnotherProtocolIsToldOnceAndEndsTheRun) {
    transport->queue("OPEN", Answer{0, {{"AC", 5}, {"PV", "2"}}});

    const StartupOutcome outcome = run();

    EXPECT_EQ(outcome, StartupOutcome::ServerProtocolMismatch);
    EXPECT_NE(ExitCodeOf(outcome), 0);
    EXPECT_EQ(platform.Messages(),
              std::vector<ShownMessage>{critical(
                  "Velumar cannot work with the server This computer (embedded).\n\n"
                  "The server speaks protocol version 2; this Velumar needs protocol version 1. "
                  "Please use the Velumar that goes with this server.")});
    EXPECT_EQ(transport->codes(), (Codes{"LOGIN", "OPEN"}));
    expectEndedWithoutAWindow();
}

TEST_F(StartupRoutine, AServerThatDoesNotSayItsProtocolIsAMismatch) {
    transport->queue("OPEN", Answer{0, {{"AC", 5}}});

    EXPECT_EQ(run(), StartupOutcome::ServerProtocolMismatch);

    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_TRUE(platform.Messages()[0].text.contains(
        "The server does not say which protocol version it speaks"));
}

TEST_F(StartupRoutine, NoCheckInAnyCaseSkipsBothChecks) {
    state.components().SetInstalled("orvane library", "0.0.1");
    transport->queue("OPEN", Answer{0, {{"AC", 5}, {"PV", "2"}}});

    EXPECT_EQ(run({"/NoCheck"}), StartupOutcome::Ready);

    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_EQ(state.components().Find("server protocol")->Installed, "2");
}

} // namespace
} // namespace velumar
