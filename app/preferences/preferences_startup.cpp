#include "preferences/preferences_startup.h"

#include "preferences/preferences.h"
#include "record_search.h"
#include "request_channel.h"
#include "security/security_profile.h"
#include "session/session_state.h"
#include "startup/startup_tasks.h"

namespace velumar {

namespace {

constexpr int Bibliographic = 1;
constexpr int Holdings = 2;
constexpr int Authority = 3;

bool setUpRecordSearch(SessionState& state) {
    orvane::RecordSearch& search = state.recordSearch();
    if (!search.Initialise(state.channel(), state.session(), 0, 0))
        return false;
    const SecurityProfile& profile = state.securityProfile();
    search.SetSearchRight(profile.SearchRight());
    search.SetAddAuthority(profile.RecordSetAdd(Authority));
    search.SetAddBibliographic(profile.RecordSetAdd(Bibliographic));
    search.SetAddHoldings(profile.RecordSetAdd(Holdings));
    search.SetUpdateAuthority(profile.RecordSetUpdate(Authority));
    search.SetUpdateBibliographic(profile.RecordSetUpdate(Bibliographic));
    search.SetUpdateHoldings(profile.RecordSetUpdate(Holdings));
    search.SetMaximumHits(0);
    search.SetMultipleSelection(true);
    const Preferences& preferences = state.preferences();
    search.SetAutoTruncation(preferences.AutoTruncate());
    search.SetRetainSearch(preferences.RetainSearch());
    // The search window takes the operator's font from its first opening.
    search.SetFontName(preferences.FontName());
    return true;
}

} // namespace

void RegisterPreferencesStartupTask(StartupTasks& tasks) {
    tasks.Register(StartupStep::SetUpRecordSearch, QStringLiteral("set up the record search"),
                   setUpRecordSearch);
}

} // namespace velumar
