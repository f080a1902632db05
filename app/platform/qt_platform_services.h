#pragma once
// The platform services on the desktop: Qt's own dialogs.

#include "platform/platform_services.h"

namespace velumar {

class QtPlatformServices final : public PlatformServices {
public:
    MessageAnswer ShowMessage(const Message& message) override;
    QString ChooseFile(const FileDialogRequest& request) override;
    QString ChooseFolder(const FolderRequest& request) override;
    std::optional<QColor> ChooseColour(ColourRequest& request) override;
    bool OpenUrl(const QUrl& url) override;
    bool StartProgram(const ProgramRequest& request) override;
};

} // namespace velumar
