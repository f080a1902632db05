#include "job_file_display.h"

#include "files/file_system.h"
#include "main_window/frm_main.h"
#include "platform/platform_services.h"
#include "preferences/preferences.h"
#include "session/session_state.h"

#include <QFile>
#include <QUrl>

namespace velumar {

JobFileDisplay::JobFileDisplay(SessionState& state) : state_(state) {}

JobFileDisplay::~JobFileDisplay() {
    for (const QString& path : tempFiles_)
        QFile::remove(path);
}

void JobFileDisplay::ShowText(const QString& text, const QString& path) {
    FileSystem files(state_.platform());
    const bool temporary = path.trimmed().isEmpty();
    const QString target = temporary ? files.CreateTempFile(QStringLiteral("txt")) : path;
    if (target.isEmpty() || !files.WriteContentsToFile(target, text)) {
        files.DisplayFileOpenError(target);
        if (temporary && !target.isEmpty())
            QFile::remove(target);
        return;
    }
    if (!temporary)
        return;
    tempFiles_.push_back(target);
    DisplayFile(target);
}

void JobFileDisplay::DisplayFile(const QString& path) {
    PlatformServices& platform = state_.platform();
    const QString viewer = state_.preferences().LogViewerApp().trimmed();
    const bool shown = viewer.isEmpty() ? platform.OpenUrl(QUrl::fromLocalFile(path))
                                        : platform.StartProgram({viewer, {path}});
    if (shown)
        return;
    Message message;
    message.text = QStringLiteral("Could not display file.");
    message.icon = MessageIcon::Exclamation;
    message.parent = state_.hasMainWindow() ? &state_.mainWindow() : nullptr;
    platform.ShowMessage(message);
}

bool JobFileDisplay::SaveOctets(const QString& octets, const QString& path) {
    FileSystem files(state_.platform());
    if (files.WriteBytesToFile(path, octets.toLatin1()))
        return true;
    files.DisplayFileOpenError(path);
    return false;
}

} // namespace velumar
