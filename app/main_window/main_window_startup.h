#pragma once
// The main window's start-up tasks: show itself (step 7), offer Change
// Password unless the password is managed elsewhere (step 13), fit the
// navigation to the operator's rights (step 14).

namespace velumar {

class StartupTasks;

void RegisterMainWindowStartupTasks(StartupTasks& tasks);

} // namespace velumar
