#pragma once
// The start-up tasks other parts of the program register with the start-up
// routine: it runs the tasks of each step at that step's place, in the order
// they were registered.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace velumar {

class SessionState;

enum class StartupStep {
    ShowMainWindow = 7,
    CreateOrderConfigs = 10,
    SetUpRecordSearch = 11,
    OfferChangePassword = 13,
    FitNavigation = 14,
};

class StartupTasks {
public:
    // False: the run cannot go on.
    using Task = std::function<bool(SessionState&)>;

    void Register(StartupStep step, QString name, Task task);

    // The step's tasks in registration order; false as soon as one fails,
    // and the rest of the step's tasks do not run.
    bool Run(StartupStep step, SessionState& state) const;

    QStringList Names(StartupStep step) const;

private:
    struct Entry {
        StartupStep step;
        QString name;
        Task task;
    };
    std::vector<Entry> entries_;
};

} // namespace velumar
