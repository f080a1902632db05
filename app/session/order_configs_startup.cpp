#include "session/order_configs_startup.h"

#include "session/session_state.h"
#include "startup/startup_tasks.h"

namespace velumar {

void RegisterOrderConfigsStartupTask(StartupTasks& tasks) {
    tasks.Register(StartupStep::CreateOrderConfigs,
                   QStringLiteral("load the field order configurations"), [](SessionState& state) {
                       state.orderConfigs();
                       return true;
                   });
}

} // namespace velumar
