#include "main_window/main_window_startup.h"

#include "main_window/frm_main.h"
#include "session.h"
#include "session/session_state.h"
#include "startup/startup_tasks.h"

namespace velumar {

void RegisterMainWindowStartupTasks(StartupTasks& tasks) {
    tasks.Register(StartupStep::ShowMainWindow, QStringLiteral("show the main window"),
                   [](SessionState& state) {
                       state.mainWindow().show();
                       return true;
                   });
    tasks.Register(StartupStep::OfferChangePassword, QStringLiteral("offer Change Password"),
                   [](SessionState& state) {
                       state.mainWindow().SetChangePasswordAvailable(
                           !state.session().PasswordFlag());
                       return true;
                   });
    tasks.Register(StartupStep::FitNavigation, QStringLiteral("fit the navigation"),
                   [](SessionState& state) {
                       state.mainWindow().ApplyRights(state.securityProfile());
                       return true;
                   });
}

} // namespace velumar
