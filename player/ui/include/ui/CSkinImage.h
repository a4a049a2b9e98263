// One image of the skin scheme, held by the skin manager and shared (never
// owned) by the windows and elements that draw it.
//
// Threads: the user-interface thread makes, sets and draws images; the skin
// manager's decoding thread may run a waiting decode at the same time. The
// decode runs once under the image's own lock, so whichever thread asks
// second waits for the first one's result; everything else is for the
// user-interface thread alone.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>

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
  // True while a decode set by SetDecoder has not run yet.
  bool IsDecodeWaiting() const { return m_decodePending.load(std::memory_order_acquire); }
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

  mutable std::mutex m_decodeLock;  // guards m_decode and the image it sets
  mutable std::function<Gdiplus::Bitmap*()> m_decode;
  // Set while a decode waits, so an image already decoded costs no lock.
  mutable std::atomic<bool> m_decodePending{false};
  Gdiplus::Bitmap* m_image = nullptr;
  HBITMAP m_hbitmap = nullptr;
};
