#include "ui/CSkinImage.h"

#include "base/GdiHandles.h"
#include "ui/GdiplusInclude.h"

CSkinImage::~CSkinImage() {
  FreeHBitmap();
  delete m_image;
}

void CSkinImage::SetImage(Gdiplus::Bitmap* image) {
  if (!image) return;
  FreeHBitmap();
  delete m_image;
  m_image = image;
}

void CSkinImage::SetDecoder(std::function<Gdiplus::Bitmap*()> decode) {
  Decode();
  std::lock_guard<std::mutex> hold(m_decodeLock);
  m_decode = std::move(decode);
  m_decodePending.store(static_cast<bool>(m_decode), std::memory_order_release);
}

void CSkinImage::Decode() const {
  if (!m_decodePending.load(std::memory_order_acquire)) return;
  std::lock_guard<std::mutex> hold(m_decodeLock);
  if (!m_decode) return;
  const std::function<Gdiplus::Bitmap*()> decode = std::move(m_decode);
  m_decode = nullptr;
  if (Gdiplus::Bitmap* image = decode()) const_cast<CSkinImage*>(this)->SetImage(image);
  m_decodePending.store(false, std::memory_order_release);
}

Gdiplus::Bitmap* CSkinImage::GetImage() const {
  Decode();
  return m_image;
}

int CSkinImage::GetWidth() const {
  Gdiplus::Bitmap* image = GetImage();
  return image ? static_cast<int>(image->GetWidth()) : 0;
}

int CSkinImage::GetHeight() const {
  Gdiplus::Bitmap* image = GetImage();
  return image ? static_cast<int>(image->GetHeight()) : 0;
}

HBITMAP CSkinImage::GetHBitmap() {
  Decode();
  if (!m_hbitmap && m_image) {
    HBITMAP bmp = nullptr;
    if (m_image->GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &bmp) == Gdiplus::Ok && bmp) {
      m_hbitmap = bmp;
      base::GdiNoteCreated();
    }
  }
  return m_hbitmap;
}

void CSkinImage::FreeHBitmap() {
  if (m_hbitmap) {
    ::DeleteObject(m_hbitmap);
    base::GdiNoteDeleted();
    m_hbitmap = nullptr;
  }
}
