#include "startup/standard_startup_tasks.h"

#include "main_window/main_window_startup.h"
#include "preferences/preferences_startup.h"
#include "session/order_configs_startup.h"

namespace velumar {

void RegisterStandardStartupTasks(StartupTasks& tasks) {
    RegisterMainWindowStartupTasks(tasks);
    RegisterOrderConfigsStartupTask(tasks);
    RegisterPreferencesStartupTask(tasks);
}

} // namespace velumar
