#include "embedded_server.h"
#include "failures/guarded_application.h"
#include "failures/unexpected_failure.h"
#include "platform/qt_platform_services.h"
#include "screens/job_screen_setup.h"
#include "screens/preview_screen_setup.h"
#include "screens/record_set_screen_setup.h"
#include "screens/rule_set_screen_setup.h"
#include "session.h"
#include "session/session_state.h"
#include "startup/command_line.h"
#include "startup/standard_startup_tasks.h"
#include "startup/startup_routine.h"
#include "startup/startup_tasks.h"

#include <QFileInfo>
#include <cstdio>

namespace {

constexpr int RefusedCommandLine = 2;

void setApplicationNames() {
    QApplication::setOrganizationName(QStringLiteral("OrvaneVLM"));
    QApplication::setApplicationName(QStringLiteral("OrvaneVLM"));
    QApplication::setApplicationDisplayName(QStringLiteral("Velumar"));
    QApplication::setApplicationVersion(QStringLiteral(VELUMAR_VERSION));
}

QString usage(const QStringList& arguments) {
    const QString program = arguments.isEmpty() ? QStringLiteral("velumar")
                                                : QFileInfo(arguments.first()).fileName();
    return velumar::UsageText(program, orvane::defaultEmbeddedDatabasePath());
}

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char** argv) {
    setApplicationNames();
    // The usage and the version need no display: answered before the application exists.
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw.push_back(QString::fromLocal8Bit(argv[i]));
    switch (velumar::ParseCommandLine(raw).action) {
    case velumar::CommandLineAction::Usage:
        print(stdout, usage(raw));
        return 0;
    case velumar::CommandLineAction::Version:
        print(stdout, velumar::VersionText(QStringLiteral(VELUMAR_VERSION)));
        return 0;
    default:
        break;
    }

    velumar::GuardedApplication app(argc, argv);
    // Qt has taken its own options out: anything left that the program does not know is refused.
    const QStringList arguments = QApplication::arguments();
    if (const auto request = velumar::ParseCommandLine(arguments);
        request.action == velumar::CommandLineAction::Refuse) {
        print(stderr, QStringLiteral("velumar: ") + request.problem + QLatin1Char('\n'));
        print(stderr, usage(arguments));
        return RefusedCommandLine;
    }

    velumar::QtPlatformServices platform;
    velumar::SessionState state(platform);
    // A failure inside a screen is reported and the run goes on.
    app.SetFailureHandler([&state](QObject* receiver, std::exception_ptr failure) {
        velumar::ReportRuntimeError(state.platform(), state.busy(),
                                    velumar::DescribeFailure(failure,
                                                             velumar::FailureSource(receiver)));
    });
    // The handler goes before the state it reports through.
    struct HandlerReset {
        velumar::GuardedApplication& app;
        ~HandlerReset() { app.SetFailureHandler({}); }
    } handlerReset{app};
    velumar::StartupTasks tasks;
    velumar::RegisterStandardStartupTasks(tasks);

    const auto outcome = velumar::RunStartup(state, tasks, arguments, &app);
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
