#include "ViewBitmap.h"

#include "PngFile.h"

CViewBitmap::CViewBitmap(int width, int height) : width_(width), height_(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  dc_ = CreateCompatibleDC(nullptr);
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<uint32_t*>(bits);
  if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
}

CViewBitmap::~CViewBitmap() {
  if (dc_ && old_) SelectObject(dc_, old_);
  if (bitmap_) DeleteObject(bitmap_);
  if (dc_) DeleteDC(dc_);
}

void CViewBitmap::Fill(COLORREF color) {
  if (!Valid()) return;
  GdiFlush();
  const uint32_t bgrx = GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
  for (int i = 0; i < width_ * height_; ++i) bits_[i] = bgrx;
}

COLORREF CViewBitmap::At(int x, int y) const {
  if (!Valid() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  GdiFlush();
  const uint32_t p = bits_[static_cast<size_t>(y) * width_ + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int CViewBitmap::Count(const RECT& r, COLORREF color) const {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (x >= 0 && y >= 0 && x < width_ && y < height_ && At(x, y) == color) ++n;
  return n;
}

int CViewBitmap::Ink(const RECT& r, COLORREF background) const {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (x >= 0 && y >= 0 && x < width_ && y < height_ && At(x, y) != background) ++n;
  return n;
}

bool CViewBitmap::SavePng(const std::string& path) const {
  if (!Valid()) return false;
  GdiFlush();
  return WritePng(path, bits_, width_, height_);
}
