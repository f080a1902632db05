#pragma once
// Puts the rule screens into the main window: the rule sets and rule set
// groups of data change and scan rules, and the authority-load
// configurations, each opened by its navigation key.

namespace velumar {

class SessionState;

// Call once the main window exists, after start-up.
void SetUpRuleSetScreens(SessionState& state);

} // namespace velumar
