#pragma once
// Unexpected failures: what a screen or the event loop throws is reported
// through the shared run-time error report and the program goes on.

#include "common/messages.h"

#include <QString>
#include <exception>
#include <functional>

class QObject;

namespace velumar {

class BusyState;
class PlatformServices;

// The number reported for a failure that carries none of its own.
inline constexpr int UnexpectedFailureNumber = 51;
// The number reported when memory ran out.
inline constexpr int OutOfMemoryNumber = 7;

// What the report says of a thrown failure: out of memory, a system error's
// own number, or UnexpectedFailureNumber with the failure's text.
RuntimeError DescribeFailure(std::exception_ptr failure, const QString& source);

// The name a failure inside this object is reported under: its own screen's
// name ("frm..."), else its class, else "Velumar".
QString FailureSource(const QObject* object);

// Runs the action; whatever it throws is reported (the busy state left
// first) and swallowed. False when it threw.
bool RunReportingFailures(PlatformServices& platform, BusyState& busy, const QString& source,
                          const std::function<void()>& action);

} // namespace velumar
