// The play cursor of a page controller: a one-pixel column drawn by
// inverting, so drawing it twice at one place removes it.
#pragma once

#include <windows.h>

class CPlayCursor {
 public:
  void Reset() { *this = CPlayCursor(); }
  void SetExtent(int top, int bottom) { top_ = top, bottom_ = bottom; }
  int Top() const { return top_; }
  int Bottom() const { return bottom_; }
  int X() const { return x_; }
  // Moves to x and, with a window, invalidates the old and the new column
  // (both: a cursor moving left must be erased where it was).
  void MoveTo(HWND window, int x) {
    const int from = x_;
    x_ = x;
    if (!window) return;
    RECT r{from < x ? from : x, top_, (from > x ? from : x) + 1, bottom_};
    InvalidateRect(window, &r, FALSE);
  }
  void SetX(int x) { x_ = x; }
  // The measure whose bar line the cursor's x is kept relative to, so that
  // it follows the measure when the page scrolls.
  void SetPosition(int measure, int relativeX) { anchorMeasure_ = measure, relativeX_ = relativeX; }
  int AnchorMeasure() const { return anchorMeasure_; }
  int RelativeX() const { return relativeX_; }
  // Measure starts passed (the playing measure is one less); decides
  // whether the cursor is on the page.
  int Measure() const { return measure_; }
  void SetMeasure(int measure) { measure_ = measure; }
  void DrawCursor(HDC dc) const {
    if (bottom_ > top_) PatBlt(dc, x_, top_, 1, bottom_ - top_, DSTINVERT);
  }

 private:
  int top_ = 0;
  int bottom_ = 0;
  int x_ = 0;
  int measure_ = 0;
  int anchorMeasure_ = -1;
  int relativeX_ = 0;
};
