#include "screens/job_screen_setup.h"

#include "main_window/frm_main.h"
#include "screens/frm_job_management_running.h"
#include "screens/frm_job_management_scheduled.h"
#include "session/session_state.h"

namespace velumar {

void SetUpJobScreens(SessionState& state) {
    frmMain& window = state.mainWindow();
    window.SetScreenFactory(QStringLiteral("JobManagement_Running"), [&state](QWidget* workArea) {
        return new frmJobManagement_Running(state, workArea);
    });
    window.SetScreenFactory(QStringLiteral("JobManagement_Scheduled"), [&state](QWidget* workArea) {
        return new frmJobManagement_Scheduled(state, workArea);
    });
}

} // namespace velumar
