// One image of the skin scheme, held by the skin manager and shared (never
// owned) by the windows and elements that draw it.
#pragma once

#include <windows.h>

namespace Gdiplus {
class Bitmap;
}

class CSkinImage {
 public:
  CSkinImage() = default;
  ~CSkinImage();
  CSkinImage(const CSkinImage&) = delete;
  CSkinImage& operator=(const CSkinImage&) = delete;

  // Takes ownership; the previous image is deleted. NULL is ignored.
  void SetImage(Gdiplus::Bitmap* image);
  Gdiplus::Bitmap* GetImage() const { return m_image; }
  bool IsLoaded() const { return m_image != nullptr; }
  int GetWidth() const;
  int GetHeight() const;

  // The image as a GDI bitmap for StretchBlt. Made on first use and kept
  // until the image changes, so painting borders costs no new handle per
  // paint. NULL when empty or when the conversion fails.
  HBITMAP GetHBitmap();

 private:
  void FreeHBitmap();

  Gdiplus::Bitmap* m_image = nullptr;
  HBITMAP m_hbitmap = nullptr;
};
