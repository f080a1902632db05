#include "screens/job_screen_setup.h"

#include "main_window/frm_main.h"
#include "screens/frm_job_management_running.h"
#include "screens/frm_job_management_scheduled.h"
#include "session/session_state.h"
#include "submit/frm_job_management_submit_auth_db_load.h"
#include "submit/frm_job_management_submit_auth_load_match.h"
#include "submit/frm_job_management_submit_auth_load_merge.h"
#include "submit/frm_job_management_submit_auth_load_reconcile.h"
#include "submit/frm_job_management_submit_change.h"
#include "submit/frm_job_management_submit_index.h"
#include "submit/frm_job_management_submit_match.h"
#include "submit/frm_job_management_submit_scan.h"

namespace velumar {

namespace {

// The screen of a navigation key, made in the main window's work area on first use.
template <typename Screen> void offer(SessionState& state, const char* key) {
    state.mainWindow().SetScreenFactory(QString::fromLatin1(key), [&state](QWidget* workArea) {
        return new Screen(state, workArea);
    });
}

} // namespace

void SetUpJobScreens(SessionState& state) {
    offer<frmJobManagement_Running>(state, "JobManagement_Running");
    offer<frmJobManagement_Scheduled>(state, "JobManagement_Scheduled");
    offer<frmJobManagement_SubmitScan>(state, "JobManagement_SubmitScan");
    offer<frmJobManagement_SubmitChange>(state, "JobManagement_SubmitChange");
    offer<frmJobManagement_SubmitIndex>(state, "JobManagement_SubmitIndex");
    offer<frmJobManagement_SubmitMatch>(state, "JobManagement_SubmitMatch");
    offer<frmJobManagement_SubmitAuthLoadMatch>(state, "JobManagement_SubmitAuthLoadMatch");
    offer<frmJobManagement_SubmitAuthLoadMerge>(state, "JobManagement_SubmitAuthLoadMerge");
    offer<frmJobManagement_SubmitAuthDbLoad>(state, "JobManagement_SubmitAuthDbLoad");
    offer<frmJobManagement_SubmitAuthLoadReconcile>(state, "JobManagement_SubmitAuthLoadReconcile");
}

} // namespace velumar
