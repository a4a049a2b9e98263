#include "app/FrameSizing.h"

#include "ui/CSkinWnd.h"
#include "ui/SnapWindows.h"

WPARAM FrameEdgeToSizingEdge(int edge) {
  switch (edge) {
    case 1:
      return WMSZ_LEFT;
    case 2:
      return WMSZ_RIGHT;
    case 4:
      return WMSZ_TOP;
    case 8:
      return WMSZ_BOTTOM;
    default:
      return 0;
  }
}

void ApplyFrameSizing(CSkinWnd* frame, int dockState, const RECT& rect, int edge) {
  if (!frame || !frame->m_hWnd) return;
  RECT proposed = rect;
  const WPARAM sizingEdge = FrameEdgeToSizingEdge(edge);
  if (sizingEdge != 0) PinDockedEdges(frame->m_hWnd, dockState, sizingEdge, &proposed);
  // The minimum size holds as it does for a drag of the border.
  frame->OnSizing(sizingEdge != 0 ? sizingEdge : WMSZ_BOTTOMRIGHT, &proposed);
  RECT current;
  ::GetWindowRect(frame->m_hWnd, &current);
  if (EqualRect(&current, &proposed)) return;
  frame->SetWindowRect(proposed);
}
