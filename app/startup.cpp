#include "startup.h"

#include "session_state.h"
#include "startup_companion.h"

namespace velumar {

bool startUp(SessionState& state, const QStringList& commandLine, QCoreApplication* app) {
    state.session.Initialise(commandLine, app);
    if (state.helper.Login(state.session, orvane::GeneralHelper::StartupLogin) != 0)
        return false;

    orvane::StartupCompanion companion;
    companion.SetSession(state.session);
    if (!state.channel.Open(ApplicationCode, state.session, &companion)) {
        companion.Dismiss();
        return false;
    }

    state.mainWindow = std::make_unique<PlaceholderWindow>(state.session);
    state.mainWindow->show();
    companion.Dismiss();
    return true;
}

} // namespace velumar
