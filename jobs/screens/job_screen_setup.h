#pragma once
// Puts the job area into the main window: the screens its navigation keys open.

namespace velumar {

class SessionState;

// Call once the main window exists, after start-up.
void SetUpJobScreens(SessionState& state);

} // namespace velumar
