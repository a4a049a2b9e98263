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

int CSkinImage::GetWidth() const { return m_image ? static_cast<int>(m_image->GetWidth()) : 0; }

int CSkinImage::GetHeight() const { return m_image ? static_cast<int>(m_image->GetHeight()) : 0; }

HBITMAP CSkinImage::GetHBitmap() {
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
