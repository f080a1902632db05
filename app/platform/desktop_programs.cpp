#include "platform/desktop_programs.h"

#include <QFileInfo>

namespace velumar {

Desktop ThisDesktop() {
#ifdef Q_OS_WIN
    return Desktop::Windows;
#else
    return Desktop::Other;
#endif
}

ProgramChoice ProgramChoiceFor(Desktop desktop) {
    if (desktop == Desktop::Windows)
        return {QStringLiteral("Programs (*.exe)|*.exe"), QStringLiteral("exe"), false};
    return {QStringLiteral("Programs (*)|*"), QString(), true};
}

QString ViewerCaptionFor(Desktop desktop) {
    if (desktop == Desktop::Windows)
        return QStringLiteral("Viewer for Job Log and Result files - leave empty to use default "
                              "Windows application for *.txt files");
    return QStringLiteral("Viewer for Job Log and Result files - leave empty to use the "
                          "desktop's default application for *.txt files");
}

bool IsRunnableProgram(const QString& path, Desktop desktop) {
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    // Windows runs a program by its name; elsewhere the executable bit decides.
    return desktop == Desktop::Windows || info.isExecutable();
}

} // namespace velumar
