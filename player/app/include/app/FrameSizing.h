// The one rule for sizing a docked frame (the main window, the play-list
// window, the score frame): an edge that touches what it is docked to stays
// put, however the new rectangle was proposed.
#pragma once

#include <windows.h>

class CSkinWnd;

// The frame's edge code (1 left, 2 right, 4 top, 8 bottom) as the system's
// WMSZ_ code; 0 for anything else.
WPARAM FrameEdgeToSizingEdge(int edge);

// Applies rect to frame unless it moves an edge that dockState (the snapping
// part's SnapSide bits) pins; a refused rectangle leaves the frame as it is.
void ApplyFrameSizing(CSkinWnd* frame, int dockState, const RECT& rect, int edge);
