#include "ui/SnapWindows.h"

#include <cstdlib>

namespace {

// The proposed rectangle. A pure move (SWP_NOSIZE) carries no size, often
// 0 x 0: the window keeps its current one, and that is what must snap.
RECT RectOf(HWND hwnd, const WINDOWPOS* pos) {
  int cx = pos->cx, cy = pos->cy;
  RECT now;
  if ((pos->flags & SWP_NOSIZE) && hwnd && ::GetWindowRect(hwnd, &now)) {
    cx = now.right - now.left;
    cy = now.bottom - now.top;
  }
  return RECT{pos->x, pos->y, pos->x + cx, pos->y + cy};
}

}  // namespace

void PinDockedEdges(HWND hwnd, int dockState, WPARAM edge, RECT* rect) {
  struct Pin {
    int bit;
    WPARAM edge;
  };
  static const Pin kPins[] = {
      {kSnapBelow, WMSZ_TOP},       {kSnapAbove, WMSZ_BOTTOM},      {kSnapRightOf, WMSZ_LEFT},
      {kSnapLeftOf, WMSZ_RIGHT},    {kSnapScreenTop, WMSZ_TOP},     {kSnapScreenBottom, WMSZ_BOTTOM},
      {kSnapScreenLeft, WMSZ_LEFT}, {kSnapScreenRight, WMSZ_RIGHT},
  };
  if (!rect) return;
  for (const Pin& pin : kPins)
    if ((dockState & pin.bit) && edge == pin.edge) ::GetWindowRect(hwnd, rect);
}

// ---- CSnapChildWnd

CSnapChildWnd::~CSnapChildWnd() {
  if (CSubclassManager* manager = GetSubclassManager()) manager->Unsubclass(m_hwnd);
}

LRESULT CSnapChildWnd::OnSubclassMessage(HWND, UINT, WPARAM*, LPARAM*) { return 0; }

void CSnapChildWnd::DoMoveBy(int dx, int dy) {
  if (!m_hwnd) return;
  RECT r;
  ::GetWindowRect(m_hwnd, &r);
  ::SetWindowPos(m_hwnd, nullptr, r.left + dx, r.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING);
}

void CSnapChildWnd::DoGetRect(RECT* rect) {
  if (!m_hwnd || !::GetWindowRect(m_hwnd, rect)) *rect = RECT{0, 0, 0, 0};
}

LRESULT CSnapChildWnd::OnWindowPosChanging(WPARAM, WINDOWPOS* pos) {
  if (!pos || (pos->flags & SWP_NOMOVE)) return 1;
  RECT r = RectOf(m_hwnd, pos);
  m_dockState = Snap(&r);
  if (m_dockState == 0) return 1;
  pos->x = r.left;
  pos->y = r.top;
  if (!(pos->flags & SWP_NOSIZE)) {
    pos->cx = r.right - r.left;
    pos->cy = r.bottom - r.top;
  }
  return 0;
}

void CSnapChildWnd::OnSizing(WPARAM edge, RECT* rect) { PinDockedEdges(m_hwnd, m_dockState, edge, rect); }

// ---- CSnapMainWnd

LRESULT CSnapMainWnd::OnSubclassMessage(HWND, UINT, WPARAM*, LPARAM*) { return 1; }

void CSnapMainWnd::SetWnd(HWND hwnd) {
  m_hwnd = hwnd;
  RECT r;
  if (hwnd && ::GetWindowRect(hwnd, &r)) {
    m_lastX = r.left;
    m_lastY = r.top;
  }
}

void CSnapMainWnd::DoGetRect(RECT* rect) {
  if (!m_hwnd || !::GetWindowRect(m_hwnd, rect)) *rect = RECT{0, 0, 0, 0};
}

void CSnapMainWnd::FollowTo(int x, int y, bool skipLast) {
  const int dx = x - m_lastX, dy = y - m_lastY;
  if (skipLast)
    MoveDockedExceptLast(dx, dy);
  else
    MoveDocked(dx, dy);
  m_lastX = x;
  m_lastY = y;
}

void CSnapMainWnd::OnSizing(HWND hwnd, WPARAM edge, RECT* rect) {
  if (m_dockState != 0) PinDockedEdges(hwnd, m_dockState, edge, rect);
}

LRESULT CSnapMainWnd::OnWindowPosChanging(HWND hwnd, WPARAM, WINDOWPOS* pos) {
  if (!pos || ::IsIconic(hwnd) || (pos->flags & SWP_NOMOVE)) return 1;
  RECT r = RectOf(hwnd, pos);
  RECT group;
  GetGroupRect(&r, &group);
  const RECT saved = group;
  const int old = m_dockState;
  m_dockState = Snap(&r, &group);

  if (m_dockState == 0) {
    FollowTo(pos->x, pos->y, false);
    return 1;
  }
  // The caller's flags stay: only the position changes (replacing them would
  // drop SWP_NOSIZE and shrink a pure move to nothing).
  if ((m_dockState & kSnapScreenBits) == 0) {
    // The main window caught a frame, which stays where it is.
    pos->x = r.left;
    pos->y = r.top;
    pos->flags |= SWP_NOSENDCHANGING;
    FollowTo(pos->x, pos->y, true);
    return 0;
  }
  if (m_dockState != old) {
    // The whole group newly caught by a screen edge.
    pos->x = r.left + (group.left - saved.left);
    pos->y = r.top + (group.top - saved.top);
    pos->flags |= SWP_NOSENDCHANGING;
    FollowTo(pos->x, pos->y, false);
    return 0;
  }
  // Held at the same edges: it sticks until pulled more than the snap
  // distance away, and slides along a single edge.
  const bool vertical = (m_dockState & (kSnapScreenTop | kSnapScreenBottom)) != 0;
  const bool horizontal = (m_dockState & (kSnapScreenLeft | kSnapScreenRight)) != 0;
  const bool pulledY = std::abs(pos->y - m_lastY) > kSnapDistance;
  const bool pulledX = std::abs(pos->x - m_lastX) > kSnapDistance;
  if (vertical && horizontal) {
    if (pulledY || pulledX) {
      FollowTo(pos->x, pos->y, false);
      return 1;
    }
    pos->x = m_lastX;
    pos->y = m_lastY;
    pos->flags |= SWP_NOSENDCHANGING;
    return 0;
  }
  if (vertical) {
    if (pulledY) {
      FollowTo(pos->x, pos->y, false);
      return 1;
    }
    pos->y = m_lastY;
    pos->flags |= SWP_NOSENDCHANGING;
    MoveDocked(pos->x - m_lastX, 0);
    m_lastX = pos->x;
    return 0;
  }
  if (pulledX) {
    FollowTo(pos->x, pos->y, false);
    return 1;
  }
  pos->x = m_lastX;
  pos->flags |= SWP_NOSENDCHANGING;
  MoveDocked(0, pos->y - m_lastY);
  m_lastY = pos->y;
  return 0;
}
