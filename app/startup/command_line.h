#pragma once
// What the program's command line asks for before anything is shown:
// run, print the usage or the version, or refuse an option it does not know.
// Qt's own options are taken out by QApplication before the check that
// refuses; the usage and the version are answered before it exists, so they
// need no display.

#include <QString>
#include <QStringList>

namespace velumar {

enum class CommandLineAction { Run, Usage, Version, Refuse };

struct CommandLineRequest {
    CommandLineAction action = CommandLineAction::Run;
    QString problem; // Refuse: what was wrong, in one line
};

// The first entry is the program itself. "--help" and "--version" win over
// anything else on the line.
CommandLineRequest ParseCommandLine(const QStringList& arguments);

// The usage, ending with a line break; names the embedded database's default place.
QString UsageText(const QString& programName, const QString& defaultDatabasePath);
// "Velumar VERSION", ending with a line break.
QString VersionText(const QString& version);

} // namespace velumar
