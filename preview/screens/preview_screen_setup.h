#pragma once
// Puts the preview into the main window: the screen its navigation key opens.

namespace velumar {

class SessionState;

// Call once the main window exists, after start-up.
void SetUpPreviewScreens(SessionState& state);

} // namespace velumar
