// A skinned top-level window: drawn entirely from skin images (background,
// corners, stretched borders, centred title), then its windowless elements
// (caption buttons, icon and whatever the derived window adds), then the
// derived window's content. It has no system caption or border: it moves
// itself when its caption strip is dragged, reports its edges as sizing
// borders and keeps a minimum size.
//
// Defined in CSkinWnd.cpp (messages, geometry, dragging) and
// CSkinWndPaint.cpp (painting).
#pragma once

#include <memory>

#include "ui/CBmpWnd.h"
#include "ui/CSkinCaptionButtons.h"
#include "ui/CSkinElementList.h"
#include "ui/CSkinFrame.h"
#include "base/GdiHandles.h"
#include "ui/PlayerMessages.h"

class CSkinWnd : public CBmpWnd {
 public:
  CSkinWnd();
  ~CSkinWnd() override;

  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // Width of a caption element the derived window keeps apart; 0 here.
  virtual int GetCaptionExtent() { return 0; }
  virtual void OnPaint();
  virtual void OnMouseMove(WPARAM wParam, LPARAM lParam);
  virtual void OnSize(WPARAM wParam, LPARAM lParam);
  virtual void OnLButtonDown(LPARAM lParam);
  virtual void OnLButtonUp();
  // The WM_CLOSE action: destroys the window, keeps the object.
  virtual void DestroyWindow();
  virtual void OnActivate(WPARAM wParam, LPARAM lParam);
  virtual void OnDrawItem(WPARAM wParam, LPARAM lParam) {}
  // Draws the element list; derived windows draw their content here too.
  virtual void DrawClient(Gdiplus::Graphics* graphics);
  virtual void SetWindowRectSizing(const RECT& rect, int edge);

  // The owner fills layout, images, caption style and brush first.
  int Create(HWND parent, DWORD exStyle, DWORD style, UINT classStyle, HICON icon);
  void ShowWindow(bool show);
  void SetWindowRect(const RECT& rect);
  void SetBkColor(COLORREF colour, int unused = 0);
  HBRUSH GetBkBrush() const { return m_bkBrush.Get(); }

  CSkinFrameLayout* GetLayout() { return m_layout.get(); }
  CSkinFrameImages* GetFrameImages() { return m_images.get(); }
  CSkinCaptionButtons* GetCaptionButtons() { return m_captionButtons.get(); }
  CSkinElementList* GetElementList() { return &m_elements; }
  bool IsDragging() const { return m_dragging; }

  // From the frame images: the title's height when it is at least 16, else
  // 15; the smallest width and height the corners and title fit in.
  int GetCaptionHeight() const;
  int GetMinFrameWidth() const;
  int GetMinFrameHeight() const;

  void SetIconImage(CSkinImage* image);
  void SetCaptionStyle(int style);
  int SetCaptionButton(CSkinImage* image, int index, bool toolTip, const char* text, const char* altText);
  void SetCaptionButtonState(int index, bool enabled);

  // Client point in the caption strip: 3 <= y <= caption height and
  // 3 <= x < width - 2.
  bool IsInCaption(int x, int y) const;
  // The sizing border code for a screen point (packed like WM_NCHITTEST's lParam).
  LRESULT OnNcHitTest(LPARAM lParam);
  // Keeps a rectangle being sized at or above the minimum size.
  void OnSizing(WPARAM edge, RECT* rect);

  // Maximize and restore. The frame has no system caption, so the system's
  // own maximize is no use to it: without a window manager it does not resize
  // the window, and under one the system restores only its bookkeeping while
  // the window stays full-screen. The frame therefore fills its monitor's
  // work area itself and keeps the rectangle it had, to go back to it.
  bool IsMaximized() const { return m_maximized; }
  // The rectangle the frame has when not maximized.
  RECT GetNormalRect() const;

  // Paints the whole window (background, frame, caption, client) into dc,
  // whose size is the layout's; OnPaint does this into a memory bitmap.
  void PaintTo(HDC dc);
  // What WM_PAINT shows, through the same memory bitmap, into any DC:
  // WM_PRINTCLIENT uses it to copy the window into a bitmap.
  void PaintBuffered(HDC target);

 private:
  CSkinElementList m_elements;
  WPARAM m_lastMoveWParam = 0;
  LPARAM m_lastMoveLParam = 0;
  bool m_mouseSeen = false;
  std::unique_ptr<CSkinFrameImages> m_images;
  std::unique_ptr<CSkinFrameLayout> m_layout;
  std::unique_ptr<CSkinFramePainter> m_painter;
  std::unique_ptr<CSkinCaptionButtons> m_captionButtons;
  base::GdiBrush m_bkBrush;
  POINT m_grab = {};
  bool m_dragging = false;
  bool m_trackingLeave = false;
  bool m_maximized = false;
  RECT m_normalRect = {};

  // SC_MAXIMIZE and SC_RESTORE of a frame that is not minimised; true when handled.
  bool OnSysCommand(WPARAM command);
};
