#pragma once
// Every start-up task of the program, each registered by the part it
// belongs to: the main window, the field order configurations, the preferences.

namespace velumar {

class StartupTasks;

void RegisterStandardStartupTasks(StartupTasks& tasks);

} // namespace velumar
