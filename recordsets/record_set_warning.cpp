#include "record_set_warning.h"

#include "platform/platform_services.h"

namespace velumar {

void ShowRecordSetWarning(PlatformServices& platform, const QString& text) {
    platform.ShowMessage({text, {}, MessageIcon::Exclamation, MessageButtons::Ok});
}

} // namespace velumar
