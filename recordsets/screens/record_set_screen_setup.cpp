#include "screens/record_set_screen_setup.h"

#include "main_window/frm_main.h"
#include "record_sets.h"
#include "screens/frm_record_sets_by_id.h"
#include "screens/frm_record_sets_view.h"
#include "session/session_state.h"

namespace velumar {

void SetUpRecordSetScreens(SessionState& state) {
    frmMain& window = state.mainWindow();
    window.SetScreenFactory(QStringLiteral("RecordSets_View"), [&state](QWidget* workArea) {
        return new frmRecordSets_View(state, workArea);
    });
    window.SetScreenFactory(QStringLiteral("RecordSets_Specific"), [&state](QWidget* workArea) {
        return new frmRecordSets_Specific(state, workArea);
    });
    // The catalogue search can fill record sets: the record set screens show it after.
    window.SetRecordSetRefresh(
        [&state] { state.manager<RecordSets>().RefreshRecordSetScreens(); });
}

} // namespace velumar
