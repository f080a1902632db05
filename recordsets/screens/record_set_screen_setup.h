#pragma once
// Puts the record set area into the main window: the screens its navigation
// keys open, and the refresh that follows the catalogue search.

namespace velumar {

class SessionState;

// Call once the main window exists, after start-up.
void SetUpRecordSetScreens(SessionState& state);

} // namespace velumar
