#pragma once
// A 32-bit bitmap to draw the lyric view into, and the colour tests its
// pixels are counted with.
#include <windows.h>

#include <algorithm>

// A 32-bit top-down bitmap to draw into.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = ::CreateCompatibleDC(nullptr);
    bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  // Pixels in [left, right) x [top, bottom) that pass the test.
  template <class F>
  int Count(int left, int top, int right, int bottom, F test) const {
    ::GdiFlush();
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
      for (int x = std::max(left, 0); x < std::min(right, width_); ++x) {
        const DWORD p = bits_[y * width_ + x];
        if (test((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF)) ++n;
      }
    return n;
  }

 private:
  int width_, height_;
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  DWORD* bits_ = nullptr;
};

inline bool IsRed(int r, int g, int b) { return r > 200 && g < 60 && b < 60; }
inline bool IsGreen(int r, int g, int b) { return g > 200 && r < 60 && b < 60; }
inline bool IsReddish(int r, int g, int b) { return r > 150 && g < 80 && b < 80; }
