#pragma once
// The preferences' start-up task (step 11): set up the record search
// component with the operator's rights and, creating the preferences on the
// way, the operator's search settings. Fails when the component does.

namespace velumar {

class StartupTasks;

void RegisterPreferencesStartupTask(StartupTasks& tasks);

} // namespace velumar
