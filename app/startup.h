#pragma once
// The start-up routine: log the operator in, connect the channel, show the
// main window.

#include <QStringList>

class QCoreApplication;

namespace velumar {

struct SessionState;

// The application code the channel is opened with.
inline constexpr int ApplicationCode = 5;

// False when the run must end: the login was refused or cancelled, or the
// channel could not be opened. Shows no message of its own.
bool startUp(SessionState& state, const QStringList& commandLine, QCoreApplication* app);

} // namespace velumar
