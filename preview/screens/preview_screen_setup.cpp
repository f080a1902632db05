#include "screens/preview_screen_setup.h"

#include "main_window/frm_main.h"
#include "screens/frm_preview_select.h"
#include "session/session_state.h"

namespace velumar {

void SetUpPreviewScreens(SessionState& state) {
    state.mainWindow().SetScreenFactory(QStringLiteral("Preview_Select"), [&state](QWidget* area) {
        return new frmPreview_Select(state, area);
    });
}

} // namespace velumar
