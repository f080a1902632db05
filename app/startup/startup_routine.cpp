#include "startup/startup_routine.h"

#include "charsets/character_set_table.h"
#include "components/component_check.h"
#include "components/component_table.h"
#include "general_helper.h"
#include "help/help_location.h"
#include "platform/platform_services.h"
#include "request_channel.h"
#include "security/security_profile.h"
#include "session.h"
#include "session/busy_state.h"
#include "session/session_state.h"
#include "startup/startup_tasks.h"
#include "startup_companion.h"

namespace velumar {

namespace {

void tellCritical(SessionState& state, const QString& text) {
    state.platform().ShowMessage({.text = text, .title = QString(), .icon = MessageIcon::Critical});
}

const char* describe(StartupOutcome outcome) {
    switch (outcome) {
    case StartupOutcome::Ready:
        return "ready";
    case StartupOutcome::ComponentMismatch:
        return "a component is not the version needed";
    case StartupOutcome::LoginEnded:
        return "no operator logged in";
    case StartupOutcome::ChannelNotOpened:
        return "the channel did not open";
    case StartupOutcome::ServerProtocolMismatch:
        return "the server speaks another protocol version";
    case StartupOutcome::ProfileLoadFailed:
        return "the security profile did not load";
    case StartupOutcome::NotAuthorized:
        return "the operator is not authorized";
    case StartupOutcome::RecordSearchNotSetUp:
        return "the record search could not be set up";
    case StartupOutcome::StartupTaskFailed:
        return "a start-up task failed";
    }
    return "?";
}

// Every early end leaves a line in the log: the operator may have been told nothing.
StartupOutcome end(SessionState& state, StartupOutcome outcome) {
    state.channel().WriteLog(QStringLiteral("Start-up ended: %1").arg(describe(outcome)));
    return outcome;
}

// Ends the run once the main window may be showing: it goes with the run.
StartupOutcome endWithMainWindow(SessionState& state, StartupOutcome outcome) {
    state.unloadMainWindow();
    return end(state, outcome);
}

} // namespace

StartupOutcome RunStartup(SessionState& state, const StartupTasks& tasks,
                          const QStringList& commandLine, QCoreApplication* app) {
    const bool checkComponents = !SkipsComponentCheck(commandLine);

    // 1. Components, before anything else.
    RegisterComponents();
    if (checkComponents) {
        const QString mismatch = LocalComponentMismatchText(state.components());
        if (!mismatch.isEmpty()) {
            tellCritical(state, mismatch);
            return end(state, StartupOutcome::ComponentMismatch);
        }
    }

    // 2. The help, before anything is shown.
    state.setHelpFile(HelpFileLocation());

    // 3, 4. The session and the login; the library tells the operator what it must.
    orvane::Session& session = state.session();
    session.Initialise(commandLine, app);
    if (state.helper().Login(session, orvane::GeneralHelper::StartupLogin) != 0)
        return end(state, StartupOutcome::LoginEnded);
    state.setStage(SessionStage::LoggedIn);

    // 5.
    state.setSupportWebText(session.SupportWebText());

    // 6. Connect, then make sure the server speaks this program's protocol.
    orvane::RequestChannel& channel = state.channel();
    orvane::StartupCompanion companion;
    companion.SetSession(session);
    if (!channel.Open(ApplicationCode, session, &companion)) {
        companion.Dismiss();
        return end(state, StartupOutcome::ChannelNotOpened);
    }
    state.setStage(SessionStage::Connected);
    state.components().SetInstalled(QString::fromLatin1(ComponentTable::ServerProtocol),
                                    channel.GetField(QStringLiteral("PV")));
    if (checkComponents) {
        const QString mismatch =
            ServerProtocolMismatchText(state.components(), session.ServerName());
        if (!mismatch.isEmpty()) {
            companion.Dismiss();
            tellCritical(state, mismatch);
            return end(state, StartupOutcome::ServerProtocolMismatch);
        }
    }

    // 7.
    if (!tasks.Run(StartupStep::ShowMainWindow, state)) {
        companion.Dismiss();
        return endWithMainWindow(state, StartupOutcome::StartupTaskFailed);
    }
    state.setStage(SessionStage::MainWindowShown);

    // 8.
    {
        const BusyGuard busy(state.busy());
        companion.Dismiss();
    }

    // 9. A load failure is told before a refusal: both may be set.
    const SecurityProfile& profile = state.securityProfile();
    if (profile.LoadFailed()) {
        tellCritical(state, QStringLiteral("Failed to load security profile."));
        return endWithMainWindow(state, StartupOutcome::ProfileLoadFailed);
    }
    if (profile.NotAuthorized()) {
        tellCritical(state, QStringLiteral("Operator is not authorized for Velumar functions."));
        return endWithMainWindow(state, StartupOutcome::NotAuthorized);
    }
    state.setStage(SessionStage::Authorised);

    // 10, 11.
    if (!tasks.Run(StartupStep::CreateOrderConfigs, state))
        return endWithMainWindow(state, StartupOutcome::StartupTaskFailed);
    if (!tasks.Run(StartupStep::SetUpRecordSearch, state))
        return endWithMainWindow(state, StartupOutcome::RecordSearchNotSetUp);

    // 12. A failure is told and start-up goes on with an empty table.
    state.characterSets().Load(channel, state.platform());

    // 13, 14.
    if (!tasks.Run(StartupStep::OfferChangePassword, state) ||
        !tasks.Run(StartupStep::FitNavigation, state))
        return endWithMainWindow(state, StartupOutcome::StartupTaskFailed);
    state.busy().EndBusy();

    state.setStage(SessionStage::Ready);
    channel.WriteLog(
        QStringLiteral("Ready: %1 on %2").arg(session.OperatorId(), session.ServerName()));
    return StartupOutcome::Ready;
}

} // namespace velumar
