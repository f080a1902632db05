#pragma once
// The platform services on the desktop: Qt's own dialogs.

#include "platform/platform_services.h"

namespace velumar {

class QtPlatformServices final : public PlatformServices {
public:
    MessageAnswer ShowMessage(const Message& message) override;
};

} // namespace velumar
