#include "startup/startup_tasks.h"

namespace velumar {

void StartupTasks::Register(StartupStep step, QString name, Task task) {
    entries_.push_back({step, std::move(name), std::move(task)});
}

bool StartupTasks::Run(StartupStep step, SessionState& state) const {
    for (const auto& entry : entries_)
        if (entry.step == step && !entry.task(state))
            return false;
    return true;
}

QStringList StartupTasks::Names(StartupStep step) const {
    QStringList names;
    for (const auto& entry : entries_)
        if (entry.step == step)
            names.push_back(entry.name);
    return names;
}

} // namespace velumar
