#include "rule_set_messages.h"

#include "platform/platform_services.h"

namespace velumar {

void ShowRuleSetWarning(PlatformServices& platform, const QString& text) {
    platform.ShowMessage({text, {}, MessageIcon::Exclamation, MessageButtons::Ok, nullptr});
}

} // namespace velumar
