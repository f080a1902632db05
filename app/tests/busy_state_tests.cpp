// The busy state: the main window or one screen disabled with the wait
// pointer, nested safely, and never left on by a guard.
#include "session/busy_state.h"

#include <QGuiApplication>
#include <QWidget>
#include <gtest/gtest.h>
#include <stdexcept>

namespace velumar {
namespace {

bool waitPointerShown() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::WaitCursor;
}

TEST(BusyState, DisablesTheMainWindowWithTheWaitPointerUntilTheOutermostEnd) {
    QWidget mainWindow;
    BusyState busy;
    busy.SetMainWindow(&mainWindow);

    busy.BeginBusy();
    busy.BeginBusy();
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_TRUE(waitPointerShown());
    busy.EndBusy();
    EXPECT_FALSE(mainWindow.isEnabled());
    EXPECT_TRUE(busy.IsBusy());
    busy.EndBusy();
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // A stray end neither fails nor unbalances the next begin.
    busy.EndBusy();
    busy.BeginBusy();
    EXPECT_FALSE(mainWindow.isEnabled());
    busy.EndBusy();
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(BusyState, AGuardEndsTheBusyStateWhateverWayTheScopeIsLeft) {
    QWidget mainWindow;
    BusyState busy;
    busy.SetMainWindow(&mainWindow);
    try {
        const BusyGuard guard(busy);
        EXPECT_FALSE(mainWindow.isEnabled());
        throw std::runtime_error("the request failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_FALSE(busy.IsBusy());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(BusyState, AMainWindowThatComesWhileBusyIsDisabledAndOneThatGoesIsForgotten) {
    BusyState busy;
    busy.BeginBusy();
    auto mainWindow = std::make_unique<QWidget>();
    busy.SetMainWindow(mainWindow.get());
    EXPECT_FALSE(mainWindow->isEnabled());
    mainWindow.reset();
    busy.EndBusy(); // must not touch the window that is gone
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(BusyState, AScreenGuardDisablesOnlyItsScreenAndSurvivesTheScreenGoing) {
    QWidget mainWindow;
    BusyState busy;
    busy.SetMainWindow(&mainWindow);
    auto screen = std::make_unique<QWidget>();
    {
        const ScreenBusyGuard guard(busy, *screen);
        EXPECT_FALSE(screen->isEnabled());
        EXPECT_TRUE(mainWindow.isEnabled());
        EXPECT_TRUE(waitPointerShown());
    }
    EXPECT_TRUE(screen->isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    {
        const ScreenBusyGuard guard(busy, *screen);
        screen.reset();
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(BusyState, DestroyingTheStateGivesBackThePointer) {
    {
        BusyState busy;
        busy.BeginBusy();
        ASSERT_TRUE(waitPointerShown());
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace velumar
