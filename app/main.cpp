#include "platform/qt_platform_services.h"
#include "screens/job_screen_setup.h"
#include "screens/preview_screen_setup.h"
#include "screens/record_set_screen_setup.h"
#include "screens/rule_set_screen_setup.h"
#include "session.h"
#include "session/session_state.h"
#include "startup/standard_startup_tasks.h"
#include "startup/startup_routine.h"
#include "startup/startup_tasks.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("OrvaneVLM"));
    QApplication::setApplicationName(QStringLiteral("OrvaneVLM"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velumar"));
    QApplication::setApplicationVersion(QStringLiteral(VELUMAR_VERSION));

    velumar::QtPlatformServices platform;
    velumar::SessionState state(platform);
    velumar::StartupTasks tasks;
    velumar::RegisterStandardStartupTasks(tasks);

    const auto outcome = velumar::RunStartup(state, tasks, QApplication::arguments(), &app);
    if (outcome != velumar::StartupOutcome::Ready)
        return velumar::ExitCodeOf(outcome);
    qInfo("Velumar is ready: %s on %s", qUtf8Printable(state.session().OperatorId()),
          qUtf8Printable(state.session().ServerName()));
    // The main window knows no function area; each puts its screens in.
    velumar::SetUpRecordSetScreens(state);
    velumar::SetUpPreviewScreens(state);
    velumar::SetUpJobScreens(state);
    velumar::SetUpRuleSetScreens(state);
    // Closing the main window ends the run; nothing is sent to the server at the end.
    return QApplication::exec();
}
