// A 32-bit memory bitmap with its own DC, for painting a view off screen:
// the renderer writes it as PNG, the tests probe its pixels.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class CViewBitmap {
 public:
  CViewBitmap(int width, int height);
  ~CViewBitmap();
  CViewBitmap(const CViewBitmap&) = delete;
  CViewBitmap& operator=(const CViewBitmap&) = delete;

  bool Valid() const { return dc_ && bits_; }
  HDC Dc() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Fill(COLORREF color);
  // The pixel as a COLORREF (0x00BBGGRR); black outside the bitmap.
  COLORREF At(int x, int y) const;
  // Pixels of exactly this colour inside the rectangle.
  int Count(const RECT& r, COLORREF color) const;
  // Pixels that differ from the background inside the rectangle.
  int Ink(const RECT& r, COLORREF background) const;
  const uint32_t* Bits() const { return bits_; }
  bool SavePng(const std::string& path) const;

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};
