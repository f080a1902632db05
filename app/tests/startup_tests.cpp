// The start-up path against a real embedded server in the test's own
// data folder.
#include "login_dialog.h"
#include "session_state.h"
#include "startup.h"
#include "startup_companion.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace velumar {
namespace {

// A test must never wait on the login dialog.
void forbidDialog(SessionState& state) {
    state.helper.SetDialogRunner([](orvane::LoginDialog&) {
        ADD_FAILURE() << "the login dialog was shown";
        return 0;
    });
}

bool anyVisible(const char* className) {
    for (const QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits(className) && w->isVisible())
            return true;
    return false;
}

TEST(StartUp, TheCommandLineOperatorGetsTheMainWindowWithoutADialog) {
    SessionState state;
    forbidDialog(state);

    ASSERT_TRUE(startUp(state, {"velumar", "--operator", "demo", "/nocheck"}, qApp));

    EXPECT_TRUE(state.session.IsLoggedIn());
    EXPECT_EQ(state.session.OperatorId(), "demo");
    // The first run made the embedded database in the user's data folder.
    EXPECT_TRUE(QFile::exists(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
                              "/velumar.db"));
    ASSERT_TRUE(state.mainWindow);
    EXPECT_TRUE(state.mainWindow->isVisible());
    EXPECT_EQ(state.mainWindow->windowTitle(), "Velumar");
    EXPECT_EQ(state.mainWindow->statusBar()->currentMessage(),
              "Logged in as demo on This computer (embedded)");
    EXPECT_FALSE(anyVisible("orvane::StartupCompanion"));
    EXPECT_FALSE(anyVisible("orvane::LoginDialog"));

    // The channel is open for the screens to come.
    EXPECT_EQ(state.channel.SendRequest("GETCHARSETS"), 0);
    EXPECT_GT(state.channel.CountRecords("CSID"), 0);
}

TEST(StartUp, AnOperatorTheServerRefusesEndsTheRunWithoutAWindow) {
    QTemporaryDir dir;
    SessionState state;
    forbidDialog(state);
    const QString db = dir.filePath("velumar.db");

    EXPECT_FALSE(startUp(state, {"velumar", "--operator", "nobody", "--db", db}, qApp));

    EXPECT_TRUE(QFile::exists(db));
    EXPECT_FALSE(state.session.IsLoggedIn());
    EXPECT_FALSE(state.mainWindow);
    EXPECT_FALSE(anyVisible("QMainWindow"));
    QFile log(orvane::LogWriter::defaultPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("Login of nobody on This computer (embedded) failed"));
}

} // namespace
} // namespace velumar
