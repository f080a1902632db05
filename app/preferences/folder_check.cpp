#include "preferences/folder_check.h"

#include "platform/platform_services.h"

#include <QDir>
#include <QFileInfo>

namespace velumar {

namespace {

bool invalid(PlatformServices& platform) {
    Message message;
    message.text = QStringLiteral("Invalid directory specified!");
    message.icon = MessageIcon::Critical;
    platform.ShowMessage(message);
    return false;
}

} // namespace

bool CheckFolder(PlatformServices& platform, const QString& path) {
    if (path.isEmpty())
        return true;
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    // A file of that name can never become the folder.
    if (info.exists())
        return invalid(platform);
    Message question;
    question.text =
        QStringLiteral("Directory ") + path + QStringLiteral(" does not exist.  Create it?");
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNo;
    if (platform.ShowMessage(question) != MessageAnswer::Yes)
        return false;
    if (!QDir().mkpath(path))
        return invalid(platform);
    return true;
}

} // namespace velumar
