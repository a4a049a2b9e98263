// The snapping parts of the player's windows. Each frame owns a
// CSnapChildWnd and the main window a CSnapMainWnd; the windows forward
// WM_WINDOWPOSCHANGING and WM_SIZING to them and return what they answer.
#pragma once

#include <windows.h>

#include "ui/CSubclassManager.h"
#include "ui/SnapObjects.h"

class CSnapChildWnd : public CSnapWnd, public ISubclassHandler {
 public:
  CSnapChildWnd() = default;
  // Takes its window out of the subclass manager.
  ~CSnapChildWnd() override;

  void SetSnapSides(int mask) override { m_snapSides = mask; }
  int GetSnapSides() override { return m_snapSides; }
  LRESULT OnSubclassMessage(HWND hwnd, UINT msg, WPARAM* wParam, LPARAM* lParam) override;

  // The frame's own window, once it exists.
  void SetWnd(HWND hwnd) { m_hwnd = hwnd; }
  void SetMainWnd(HWND hwnd) { SetWnd(hwnd); }
  HWND GetWnd() const { return m_hwnd; }

  // WM_WINDOWPOSCHANGING: 0 when the position was changed, 1 otherwise.
  LRESULT OnWindowPosChanging(WPARAM wParam, WINDOWPOS* pos);
  // WM_SIZING, before the default processing: a docked edge stays put.
  void OnSizing(WPARAM edge, RECT* rect);
  // WM_MOVING: moves are snapped through WM_WINDOWPOSCHANGING; nothing to do.
  LRESULT OnMoving(WPARAM, RECT*) { return 0; }
  // The sides the last snap attached (the SnapSide bits).
  int GetDockState() const { return m_dockState; }

 protected:
  void DoMoveBy(int dx, int dy) override;
  void DoGetRect(RECT* rect) override;

 private:
  HWND m_hwnd = nullptr;
  int m_snapSides = kSnapAllSides;
  int m_dockState = 0;
};

class CSnapMainWnd : public CSnapHost, public ISubclassHandler {
 public:
  CSnapMainWnd() = default;

  void SetSnapSides(int mask) override { m_snapSides = mask; }
  int GetSnapSides() override { return m_snapSides; }
  LRESULT OnSubclassMessage(HWND hwnd, UINT msg, WPARAM* wParam, LPARAM* lParam) override;

  // The main window; its current top-left becomes the last recorded one.
  void SetWnd(HWND hwnd);
  HWND GetWnd() const { return m_hwnd; }

  // WM_WINDOWPOSCHANGING of the main window: 0 when changed, 1 otherwise.
  LRESULT OnWindowPosChanging(HWND hwnd, WPARAM wParam, WINDOWPOS* pos);
  void OnSizing(HWND hwnd, WPARAM edge, RECT* rect);
  LRESULT OnMoving(HWND, WPARAM, RECT*) { return 0; }
  int GetDockState() const { return m_dockState; }

  // Moves the docked frames by the main window's move to (x, y).
  void FollowTo(int x, int y, bool skipLast);

 protected:
  // The system moves the main window itself.
  void DoMoveBy(int, int) override {}
  void DoGetRect(RECT* rect) override;

 private:
  HWND m_hwnd = nullptr;
  int m_lastX = 0, m_lastY = 0;
  int m_snapSides = kSnapAllSides;
  int m_dockState = 0;
};

// A sizing drag of edge may not move an edge that dockState pins; the
// rectangle then becomes the window's current one. Corner drags are free.
void PinDockedEdges(HWND hwnd, int dockState, WPARAM edge, RECT* rect);
