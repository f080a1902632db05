// The whole start-up against the embedded server on a database of the
// test's own: the demo operator gets a usable main window; an operator the
// server does not authorise, or does not know, is turned away.
#include "charsets/character_set_table.h"
#include "components/component_table.h"
#include "core/server_core.h"
#include "embedded_server.h"
#include "general_helper.h"
#include "log_writer.h"
#include "login_dialog.h"
#include "main_window/frm_main.h"
#include "qt_printers.h"
#include "record_search.h"
#include "security/security_profile.h"
#include "session.h"
#include "session/order_configs.h"
#include "session/session_state.h"
#include "startup/standard_startup_tasks.h"
#include "startup/startup_routine.h"
#include "startup/startup_tasks.h"
#include "store/database.h"
#include "testing/recording_platform_services.h"

#include <QApplication>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velumar {
namespace {

QStringList visibleWindows() {
    QStringList names;
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            names.push_back(QString::fromLatin1(w->metaObject()->className()));
    return names;
}

class StartupEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        RegisterStandardStartupTasks(tasks);
        // A test must never wait on the login dialog.
        state.helper().SetDialogRunner([](orvane::LoginDialog&) {
            ADD_FAILURE() << "the login dialog was shown";
            return 0;
        });
    }

    StartupOutcome run(const QString& operatorId, const QStringList& extra = {"/nocheck"}) {
        return RunStartup(state, tasks,
                          QStringList{"velumar", "--db", db, "--operator", operatorId} + extra,
                          qApp);
    }

    QTemporaryDir dir;
    QString db = dir.filePath("velumar.db");
    RecordingPlatformServices platform;
    SessionState state{platform};
    StartupTasks tasks;
};

TEST_F(StartupEndToEnd, TheDemoOperatorReachesReadyWithTheMainWindowUsable) {
    ASSERT_EQ(run("demo"), StartupOutcome::Ready);

    EXPECT_TRUE(QFile::exists(db));
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_EQ(state.stage(), SessionStage::Ready);
    EXPECT_EQ(state.session().OperatorId(), "demo");
    ASSERT_TRUE(state.hasMainWindow());
    EXPECT_TRUE(state.mainWindow().isVisible());
    EXPECT_TRUE(state.mainWindow().isEnabled());
    EXPECT_EQ(state.mainWindow().StatusPanel1(), "Logged in as demo on This computer (embedded)");
    EXPECT_EQ(visibleWindows(), QStringList{"velumar::frmMain"});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // The demo operator holds every right.
    const SecurityProfile& profile = state.securityProfile();
    EXPECT_FALSE(profile.LoadFailed());
    EXPECT_FALSE(profile.NotAuthorized());
    EXPECT_TRUE(profile.SearchRight().toBool());
    EXPECT_TRUE(profile.RecordSetAddAny());
    EXPECT_TRUE(profile.AuthorityLoad());
    EXPECT_FALSE(profile.OwningLibraries().isEmpty());
    EXPECT_EQ(
        state.mainWindow().NavigationGroups(),
        (QStringList{"Record Sets", "Rules", "Preview", "Job Management", "Authority Loading"}));
    EXPECT_FALSE(state.characterSets().IsEmpty());
    EXPECT_EQ(state.characterSets().Entries()[0].Code, "A");
    EXPECT_FALSE(state.orderConfigs().Items().isEmpty());
    EXPECT_TRUE(state.recordSearch().AddBibliographic());
}

TEST_F(StartupEndToEnd, TheEmbeddedServerSpeaksTheProtocolThisProgramNeeds) {
    EXPECT_EQ(run("demo", {}), StartupOutcome::Ready);
    EXPECT_EQ(platform.Texts(), QStringList());
    EXPECT_EQ(state.components().Find("server protocol")->Installed, "1");
}

TEST_F(StartupEndToEnd, AnOperatorWithoutRightsIsTurnedAwayWithNoWindowLeft) {
    {
        auto core = orvane::openEmbeddedServer(db);
        core->store().db().exec("INSERT INTO operators (operator_id, name, password_hash) "
                                "VALUES ('clerk', 'Clerk Without Rights', 'unused')");
    }

    const StartupOutcome outcome = run("clerk");

    EXPECT_EQ(outcome, StartupOutcome::NotAuthorized);
    EXPECT_NE(ExitCodeOf(outcome), 0);
    ASSERT_EQ(platform.Messages().size(), 1u);
    EXPECT_EQ(platform.Messages()[0].text, "Operator is not authorized for Velumar functions.");
    EXPECT_EQ(platform.Messages()[0].icon, MessageIcon::Critical);
    EXPECT_EQ(platform.Messages()[0].buttons, MessageButtons::Ok);
    EXPECT_FALSE(state.hasMainWindow());
    EXPECT_EQ(visibleWindows(), QStringList());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(StartupEndToEnd, AnOperatorTheServerDoesNotKnowEndsTheRunSilently) {
    const StartupOutcome outcome = run("nobody");

    EXPECT_EQ(outcome, StartupOutcome::LoginEnded);
    EXPECT_NE(ExitCodeOf(outcome), 0);
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_FALSE(state.session().IsLoggedIn());
    EXPECT_EQ(visibleWindows(), QStringList());
    QFile log(orvane::LogWriter::defaultPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Login of nobody on This computer (embedded) failed"));
}

} // namespace
} // namespace velumar
