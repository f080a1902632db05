#pragma once
// The busy state shown while the program waits on the server: the main
// window (or one screen) disabled and the wait pointer shown. Prefer the
// guards, so that no path leaves a window disabled; Begin and End nest, and
// an End without a Begin does nothing.

#include <QPointer>
#include <QWidget>

namespace velumar {

class BusyState {
public:
    BusyState() = default;
    ~BusyState();
    BusyState(const BusyState&) = delete;
    BusyState& operator=(const BusyState&) = delete;

    // The window BeginBusy disables; none until the main window exists.
    void SetMainWindow(QWidget* window);

    void BeginBusy();
    void EndBusy();
    bool IsBusy() const { return depth_ > 0; }

    // One screen disabled, with the wait pointer. A screen already gone
    // (null) only gets its wait pointer back.
    void BeginScreenBusy(QWidget* screen);
    void EndScreenBusy(QWidget* screen);

private:
    void pushWaitCursor();
    void popWaitCursor();

    QPointer<QWidget> mainWindow_;
    int depth_ = 0;
    int cursors_ = 0; // wait pointers this state has pushed and not yet popped
};

// BeginBusy for its lifetime.
class BusyGuard {
public:
    explicit BusyGuard(BusyState& state) : state_(state) { state_.BeginBusy(); }
    ~BusyGuard() { state_.EndBusy(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    BusyState& state_;
};

// BeginScreenBusy for its lifetime; harmless when the screen goes first.
class ScreenBusyGuard {
public:
    ScreenBusyGuard(BusyState& state, QWidget& screen) : state_(state), screen_(&screen) {
        state_.BeginScreenBusy(&screen);
    }
    ~ScreenBusyGuard() { state_.EndScreenBusy(screen_); }
    ScreenBusyGuard(const ScreenBusyGuard&) = delete;
    ScreenBusyGuard& operator=(const ScreenBusyGuard&) = delete;

private:
    BusyState& state_;
    QPointer<QWidget> screen_;
};

} // namespace velumar
