#pragma once
// The notice pop-up: slides out of the taskbar's edge, stays, slides back
// and frees itself (the frame window deletes itself once destroyed, so a
// pop-up destroyed with its owner at exit is freed too). A click opens the
// home page.
#include <afxwin.h>

#include <string>

#include "base/GdiHandles.h"

// Where the taskbar is, from the work area against the screen.
enum NoticeEdge : int { kEdgeBottom = 200, kEdgeTop = 201, kEdgeOther = 202, kEdgeLeft = 203 };
NoticeEdge ChooseNoticeEdge(const RECT& work, SIZE screen);
// The window's rectangle when visible rows of a width x height pop-up show.
RECT NoticeRectAt(NoticeEdge edge, const RECT& work, int width, int height, int visible);

class CNoticeWnd : public CFrameWnd {
 public:
  CNoticeWnd(const std::string& text, int width, int height, int stayMs, int stepMs, const RECT& textRect,
             HWND parent);
  ~CNoticeWnd() override;
  // Chooses the edge, creates the window and starts the slide-in.
  BOOL Show();
  int GetVisibleHeight() const { return m_visible; }

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Place();
  void Paint();

  std::string m_text;
  int m_width;
  int m_height;
  int m_stayMs;
  int m_stepMs;
  RECT m_textRect;
  HWND m_parent;
  RECT m_work = {0, 0, 0, 0};
  NoticeEdge m_edge = kEdgeOther;
  int m_visible = 0;
  bool m_hover = false;
  base::GdiFont m_font;
  base::GdiFont m_underlined;
  base::GdiBrush m_background;
  HCURSOR m_cursor = nullptr;  // a copy of its own
};

// Allocates the pop-up (null when that fails); the caller then calls Show.
CNoticeWnd* ShowNoticeWnd(const std::string& text, int width, int height, int stayMs, int stepMs, int left,
                          int top, int right, int bottom, HWND parent);
