// The karaoke lyric view: windowless; lays the tokens out in lines (a line
// wider than the view broken into rows) under the song-information header,
// draws them double-buffered into the pane's window, wipes the syllable being
// sung and scrolls the sung line up to where the first line stands under the
// header, or higher when the view is too short to show the line after it
// there.
//
// Threads: UI thread only. The timer is a window timer of a hidden message
// window, so its ticks arrive through the message loop; tests call
// OnWndMessage(WM_TIMER, kTimerId) themselves.
//
// Defined in CLyricView.cpp (layout, scrolling, timer) and CLyricViewDraw.cpp
// (drawing).
#pragma once

#include "base/CMsgWnd.h"

#include <memory>

#include "lyrics/CLyricViewBase.h"

class CLyricView : public CLyricViewBase, public IMsgWndSink {
 public:
  enum { kTimerId = 100, kTimerPeriodMs = 50, kHeaderGap = 10, kDotSize = 8, kDotPitch = 11 };

  CLyricView();

  // ILyricView
  void SeekToToken(int index) override;
  void SetCountIn(int count) override;
  void SetRect(const RECT* rect) override;
  void Draw(HDC dc) override;
  int HitTest(int x, int y) override;
  void SetColor(int index, COLORREF color) override;
  COLORREF GetColor(int index) override;
  SIZE* GetContentSize(SIZE* size) override;
  void Scroll(int dx, int dy, int mode) override;
  void SetAlign(int align) override;
  void SetKaraoke(bool on) override { m_karaoke = on; }
  bool IsKaraoke() override { return m_karaoke; }
  void Layout(bool keepPosition) override;
  void OnTokenCurrent(int index) override;
  void InvalidateTokenLine(int index) override;
  void JumpToToken(int index) override;

  // IMsgWndSink: the timer.
  int OnWndMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // State, for the window and tests
  int GetScrollX() const { return m_scrollX; }
  int GetScrollY() const { return m_scrollY; }
  int GetHeaderHeight() const { return m_headerHeight; }
  int GetHeaderWidth() const { return m_headerWidth; }
  int GetAlign() const { return m_align; }
  int GetCountIn() const { return m_countIn; }
  const std::vector<LyricLine>& GetLines() const { return m_lines; }
  int LineOfToken(int index) const;
  bool IsTimerRunning() const { return m_timerId != 0; }
  int GetWipePos() const { return m_wipePos; }
  int GetWipeEnd() const { return m_wipeEnd; }
  int GetWipeStep() const { return m_wipeStep; }
  int GetWipeToken() const { return m_wipeToken; }
  int GetScrollSpeed() const { return m_scrollSpeed; }
  int GetPendingScroll() const { return m_pendingScroll; }
  int HorizontalOffset(int v) const;
  // Told of every rectangle the view invalidates in its window (tests check
  // that a wipe step repaints one syllable and erases nothing).
  typedef void (*InvalidateObserver)(void* context, const RECT& rect, bool erase);
  void SetInvalidateObserver(InvalidateObserver observer, void* context) {
    m_observer = observer;
    m_observerContext = context;
  }

 protected:
  ~CLyricView() override;

 private:
  int ViewWidth() const { return m_rect.right - m_rect.left; }
  int ViewHeight() const { return m_rect.bottom - m_rect.top; }
  bool HasArea() const { return ViewWidth() > 0 && ViewHeight() > 0; }
  void Invalidate(const RECT& rect, bool erase);
  void InvalidateView(bool erase);
  void StartTimer();
  void StopTimer();
  void NotifyScroll();
  void MeasureHeader(HDC dc);
  // The scroll offset at which a line is read while it is sung.
  int ScrollTargetOfLine(int index);
  // After a new size: the line being sung (or the first) wholly in sight.
  void KeepLineInSight();

  // Drawing (CLyricViewDraw.cpp)
  void EnsureBackBuffer(HDC target);
  void DrawHeader(HDC dc);
  void DrawCountIn(HDC dc);
  void DrawLines(HDC dc, const RECT& clip);
  void DrawRun(HDC dc, const LyricLine& line, int first, int last, int y, bool marked);
  // Left edge in the view of a header text of the given width.
  int HeaderX(int width) const;
  // Whether a later row broken from the same line holds the line's mark.
  bool SungOnLaterRow(int index) const;

  COLORREF m_textColor = RGB(0, 255, 0);
  COLORREF m_highlightColor = RGB(255, 0, 0);
  COLORREF m_bkColor = 0;
  int m_scrollX = 0, m_scrollY = 0;
  int m_contentWidth = 0, m_contentHeight = 0;
  int m_headerWidth = 100, m_headerHeight = 100;
  int m_titleHeight = 0;
  int m_timerId = 0;
  unsigned m_tick = 0;
  int m_pendingScroll = 0;
  int m_scrollSpeed = 5;
  bool m_karaoke = true;
  // The syllable being wiped; positions are relative to its line's left edge.
  int m_wipeToken = -1;
  int m_wipeX = 0, m_wipeY = 0, m_wipeWidth = 0, m_wipeHeight = 0, m_wipeDuration = 0;
  int m_wipeEnd = 0, m_wipePos = 0, m_wipeStep = 0;
  // The back buffer, as big as the view rectangle.
  HDC m_backDC = nullptr;
  base::GdiBitmap m_backBitmap;
  HGDIOBJ m_backOld = nullptr;
  int m_align = 1;
  int m_countIn = 0;
  std::vector<LyricLine> m_lines;
  std::unique_ptr<CMsgWnd> m_msgWnd;
  InvalidateObserver m_observer = nullptr;
  void* m_observerContext = nullptr;
};

// A new view, or null when there is no memory. The caller ends it with
// Release.
ILyricView* CreateLyricView();
