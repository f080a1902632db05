#pragma once
// A name as a message box shows it. A long name with no space to break at
// would stretch the box past the screen and hide its last lines (the
// question); broken into lines, every line of the box shows.

#include <QString>

namespace orvane {

// Lines of at most `width` characters, broken after the last space within
// the width, or at the width when there is none; names longer than
// `longest` characters are cut in the middle, marked by "...".
QString NameForMessage(const QString& name, qsizetype width = 60, qsizetype longest = 300);

} // namespace orvane
