#include "session/busy_state.h"

#include <QGuiApplication>

namespace velumar {

BusyState::~BusyState() {
    // Whatever is still pushed must not outlive the state.
    while (cursors_ > 0)
        popWaitCursor();
}

void BusyState::SetMainWindow(QWidget* window) {
    mainWindow_ = window;
    if (mainWindow_ && IsBusy())
        mainWindow_->setEnabled(false);
}

void BusyState::pushWaitCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ++cursors_;
}

void BusyState::popWaitCursor() {
    if (cursors_ == 0)
        return;
    QGuiApplication::restoreOverrideCursor();
    --cursors_;
}

void BusyState::BeginBusy() {
    if (depth_++ > 0)
        return;
    if (mainWindow_)
        mainWindow_->setEnabled(false);
    pushWaitCursor();
}

void BusyState::EndBusy() {
    if (depth_ == 0 || --depth_ > 0)
        return;
    if (mainWindow_)
        mainWindow_->setEnabled(true);
    popWaitCursor();
}

void BusyState::BeginScreenBusy(QWidget* screen) {
    if (screen)
        screen->setEnabled(false);
    pushWaitCursor();
}

void BusyState::EndScreenBusy(QWidget* screen) {
    if (screen)
        screen->setEnabled(true);
    popWaitCursor();
}

} // namespace velumar
