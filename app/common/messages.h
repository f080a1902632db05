#pragma once
// The standard questions and warnings every screen shares, shown through
// the platform services so that tests can answer them.

#include <QString>

namespace velumar {

class BusyState;
class PlatformServices;

// "Delete <kind>": true only when the operator answers Yes; No is the
// default button. A long name is broken into lines so the question shows.
bool ConfirmDelete(PlatformServices& platform, const QString& kind, const QString& name);

// Told when the operator leaves a screen with an edit in progress.
void ShowEditingWarning(PlatformServices& platform);

// An unexpected failure inside a screen, reported instead of propagated.
struct RuntimeError {
    int number = 0;
    QString source;
    QString description;
    bool outOfMemory = false;
};

// Leaves the busy state first: the operator must be able to act on the message.
void ReportRuntimeError(PlatformServices& platform, BusyState& busy, const RuntimeError& error);

} // namespace velumar
