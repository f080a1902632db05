#pragma once
// The field order configurations' start-up task (step 10): create the list,
// which loads itself from the server once.

namespace velumar {

class StartupTasks;

void RegisterOrderConfigsStartupTask(StartupTasks& tasks);

} // namespace velumar
