// Shared helpers of the framework tests: flat-colour skin images, a memory
// canvas to probe pixels, and GDI+ for the whole run.
#pragma once

#include <windows.h>

#include <string>

#include "ui/CSkinImage.h"

// Fixture colours: strip image N, frame k -> RGB(N, 0x3F + 0x40 k, 0);
// a single image N -> RGB(N, 0, 0xFF). One GetPixel tells what was drawn.
COLORREF StripColour(int id, int frame);
COLORREF ImageColour(int id);

// Writes a 24-bit BMP (or, for a ".png" name, a PNG through GDI+) of flat
// colour: frames > 1 makes a strip of that many equal frames.
void WriteFlatImage(const std::string& path, int width, int height, int id, int frames);

// A skin image held by the test itself (not the manager), flat as above.
CSkinImage* MakeFlatImage(int width, int height, int id, int frames);

// A 32-bit DIB section selected into a memory DC.
class MemoryCanvas {
 public:
  MemoryCanvas(int width, int height, COLORREF fill = RGB(1, 2, 3));
  ~MemoryCanvas();
  HDC dc() const { return m_dc; }
  COLORREF Pixel(int x, int y) const;
  // Saves the canvas as PNG, for a person to look at.
  bool SavePng(const std::string& path) const;

 private:
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
  void* m_bits;
  int m_width, m_height;
};

// Saves a window's on-screen pixels as PNG (the window must be visible).
bool CaptureWindowPng(HWND hwnd, const std::string& path);
