#include "rule_set_screen_setup.h"

#include "frm_rule_set_groups_auth_load_match.h"
#include "frm_rule_set_groups_auth_load_merge.h"
#include "main_window/frm_main.h"
#include "rule_document_screen.h"
#include "rule_screen_kind.h"
#include "rule_set_group_screen.h"
#include "session/session_state.h"

namespace velumar {

namespace {

template <typename Screen> void addScreen(SessionState& state, const RuleScreenKind& kind) {
    state.mainWindow().SetScreenFactory(
        QString::fromLatin1(kind.key),
        [&state, &kind](QWidget* workArea) { return new Screen(state, kind, workArea); });
}

// The authority-load match and merge screens know their own kind.
template <typename Screen> void addOwnScreen(SessionState& state, const RuleScreenKind& kind) {
    state.mainWindow().SetScreenFactory(QString::fromLatin1(kind.key), [&state](QWidget* workArea) {
        return new Screen(state, workArea);
    });
}

} // namespace

void SetUpRuleSetScreens(SessionState& state) {
    namespace kinds = rule_screen_kinds;
    addScreen<RuleDocumentScreen>(state, kinds::DataChangeRuleSets);
    addScreen<RuleDocumentScreen>(state, kinds::ScanRuleSets);
    addScreen<RuleSetGroupScreen>(state, kinds::DataChangeGroups);
    addScreen<RuleSetGroupScreen>(state, kinds::ScanGroups);
    addScreen<RuleSetGroupScreen>(state, kinds::LoadReconcileConfigurations);
    addOwnScreen<frmRuleSetGroups_AuthLoadMatch>(state, kinds::LoadMatchConfigurations);
    addOwnScreen<frmRuleSetGroups_AuthLoadMerge>(state, kinds::LoadMergeConfigurations);
}

} // namespace velumar
