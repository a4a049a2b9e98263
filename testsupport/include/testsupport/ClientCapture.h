// Reading back what a window shows: its client area as 32-bit pixels, for
// tests that check colours and ink rather than calls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace testsupport {

struct ClientCapture {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first; empty when nothing could be read
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  static COLORREF ToColorRef(uint32_t pixel) {
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }
};

// As the window's own DC holds it (a window of this program).
ClientCapture CaptureClientFromWindow(HWND hwnd);
// As the screen shows it: works for another program's window too, and sees
// whatever covers it.
ClientCapture CaptureClientFromScreen(HWND hwnd);

}  // namespace testsupport
