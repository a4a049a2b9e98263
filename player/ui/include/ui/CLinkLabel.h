// The main window's rotating news label (see CScrollText): a child window
// that paints the current line and opens the vendor's page when its link is
// clicked.
#pragma once

#include "ui/CBmpWnd.h"
#include "ui/CScrollText.h"

class CLinkLabel : public CBmpWnd {
 public:
  CLinkLabel() = default;
  ~CLinkLabel() override;

  // The brush the window class gets; set before Create.
  void SetBkBrush(HBRUSH brush) { m_bkBrush = brush; }
  // 0 on success, 1 on failure (as CBmpWnd::Create).
  int Create(HWND parent, DWORD exStyle, DWORD style);
  void MoveWindow(int x, int y, int cx, int cy);
  // Re-applies the hand cursor when the pointer rests on the link (after
  // another window had the cursor).
  void CheckHover();

  CScrollText& GetScrollText() { return m_text; }
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  CScrollText m_text;
  HBRUSH m_bkBrush = nullptr;
  bool m_tracking = false;
};
