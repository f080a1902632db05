#pragma once
// The start-up routine: check the components, log the operator in, connect,
// show the main window, turn away an operator without rights, set up the
// session-wide objects, and fit the navigation to the operator's rights.
// Every way it ends before "ready" leaves no window; the run then ends with
// the outcome's exit code.

#include <QStringList>

class QCoreApplication;

namespace velumar {

class SessionState;
class StartupTasks;

// The application code the channel is opened with.
inline constexpr int ApplicationCode = 5;

// The exit code of the run is the outcome's number.
enum class StartupOutcome {
    Ready = 0,
    ComponentMismatch = 1,      // step 1, told
    LoginEnded = 2,             // step 4: refused or cancelled; the library told what it tells
    ChannelNotOpened = 3,       // step 6, likewise
    ServerProtocolMismatch = 4, // the connected server speaks another protocol, told
    ProfileLoadFailed = 5,      // step 9, told
    NotAuthorized = 6,          // step 9, told
    RecordSearchNotSetUp = 7,   // step 11, silent
    StartupTaskFailed = 8,      // another registered task could not do its work, silent
};

inline int ExitCodeOf(StartupOutcome outcome) {
    return static_cast<int>(outcome);
}

StartupOutcome RunStartup(SessionState& state, const StartupTasks& tasks,
                          const QStringList& commandLine, QCoreApplication* app);

} // namespace velumar
