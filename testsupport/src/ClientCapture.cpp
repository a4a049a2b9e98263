#include "testsupport/ClientCapture.h"

namespace testsupport {
namespace {

ClientCapture Grab(HWND hwnd, bool fromScreen) {
  ClientCapture capture;
  RECT client = {};
  if (!::GetClientRect(hwnd, &client) || client.right <= 0 || client.bottom <= 0) return capture;
  POINT origin = {0, 0};
  if (fromScreen) ::ClientToScreen(hwnd, &origin);
  HWND owner = fromScreen ? nullptr : hwnd;
  HDC source = ::GetDC(owner);
  HDC memory = ::CreateCompatibleDC(source);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, client.right, client.bottom, source, origin.x, origin.y, SRCCOPY);
    ::GdiFlush();
    const uint32_t* raw = static_cast<const uint32_t*>(bits);
    capture.width = client.right;
    capture.height = client.bottom;
    capture.pixels.reserve(static_cast<size_t>(capture.width) * capture.height);
    for (size_t i = 0; i < static_cast<size_t>(capture.width) * capture.height; ++i)
      capture.pixels.push_back(raw[i] & 0xFFFFFF);
    ::SelectObject(memory, old);
  }
  if (bitmap) ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(owner, source);
  return capture;
}

}  // namespace

ClientCapture CaptureClientFromWindow(HWND hwnd) { return Grab(hwnd, false); }
ClientCapture CaptureClientFromScreen(HWND hwnd) { return Grab(hwnd, true); }

}  // namespace testsupport
