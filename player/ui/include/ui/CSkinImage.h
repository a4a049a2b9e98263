// One image of the skin scheme, held by the skin manager and shared (never
// owned) by the windows and elements that draw it.
#pragma once

#include <windows.h>

#include <functional>

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
  // The image comes from decode when it is first asked for (an image never
  // shown costs nothing); NULL from decode keeps the image held before. A
  // decode still waiting runs first, so each image replaces the one before.
  void SetDecoder(std::function<Gdiplus::Bitmap*()> decode);
  Gdiplus::Bitmap* GetImage() const;
  bool IsLoaded() const { return GetImage() != nullptr; }
  int GetWidth() const;
  int GetHeight() const;

  // The image as a GDI bitmap for StretchBlt. Made on first use and kept
  // until the image changes, so painting borders costs no new handle per
  // paint. NULL when empty or when the conversion fails.
  HBITMAP GetHBitmap();

 private:
  void FreeHBitmap();
  void Decode() const;

  mutable std::function<Gdiplus::Bitmap*()> m_decode;
  Gdiplus::Bitmap* m_image = nullptr;
  HBITMAP m_hbitmap = nullptr;
};
