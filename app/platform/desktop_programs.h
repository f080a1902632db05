#pragma once
// What a program is on the desktop the client runs on: on Windows a file
// named ".exe"; elsewhere any file with the executable bit, whatever its
// name. The texts written for Windows stay on Windows.

#include <QString>

namespace velumar {

enum class Desktop { Windows, Other };

Desktop ThisDesktop();

// How the program browse dialog offers programs.
struct ProgramChoice {
    QString filter;
    QString defaultExtension; // empty: a typed name is taken as it is
    bool programsOnly = false; // list only files the desktop can run
};
ProgramChoice ProgramChoiceFor(Desktop desktop);

// The caption over the log viewer input of the preferences.
QString ViewerCaptionFor(Desktop desktop);

// An existing file that the desktop can start as a program.
bool IsRunnableProgram(const QString& path, Desktop desktop);

} // namespace velumar
