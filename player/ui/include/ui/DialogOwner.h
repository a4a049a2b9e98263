// The window a dialog of the player is owned by. A dialog opened from a tool
// frame (the score's or the play list's pop-up menu) must come up above that
// frame even when the frame is always visible or fills the screen: an owned
// window always stands above its owner, while the main window, the usual
// owner, may lie under the frame.
#pragma once

#include <windows.h>

// The active window of the calling thread when it is a visible, enabled
// top-level window; else fallback.
HWND DialogOwner(HWND fallback);
