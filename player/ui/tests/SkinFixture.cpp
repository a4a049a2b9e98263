#include "SkinFixture.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/GdiplusInclude.h"
#include "ui/GdiplusSession.h"
#include "ui/PngSnapshot.h"

namespace {

class GdiplusEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { m_session = new GdiplusSession(); }
  void TearDown() override {
    delete m_session;
    m_session = nullptr;
  }

 private:
  GdiplusSession* m_session = nullptr;
};

::testing::Environment* const g_gdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

}  // namespace

COLORREF StripColour(int id, int frame) { return RGB(id & 0xFF, 0x3F + 0x40 * frame, 0); }

COLORREF ImageColour(int id) { return RGB(id & 0xFF, 0, 0xFF); }

static COLORREF FlatColourAt(int x, int width, int id, int frames) {
  if (frames <= 1) return ImageColour(id);
  return StripColour(id, x / (width / frames));
}

void WriteFlatImage(const std::string& path, int width, int height, int id, int frames) {
  const bool png = path.size() > 4 && _stricmp(path.c_str() + path.size() - 4, ".png") == 0;
  if (png) {
    MemoryCanvas canvas(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) ::SetPixel(canvas.dc(), x, y, FlatColourAt(x, width, id, frames));
    ASSERT_TRUE(canvas.SavePng(path)) << path;
    return;
  }
  const int stride = (width * 3 + 3) & ~3;
  std::vector<BYTE> body(static_cast<size_t>(stride) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      COLORREF c = FlatColourAt(x, width, id, frames);
      BYTE* p = &body[static_cast<size_t>(y) * stride + x * 3];
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  BITMAPFILEHEADER fh = {};
  BITMAPINFOHEADER ih = {};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(ih);
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(body.size());
  ih.biSize = sizeof(ih);
  ih.biWidth = width;
  ih.biHeight = height;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biSizeImage = static_cast<DWORD>(body.size());
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f) << path;
  fwrite(&fh, sizeof(fh), 1, f);
  fwrite(&ih, sizeof(ih), 1, f);
  fwrite(body.data(), 1, body.size(), f);
  fclose(f);
}

CSkinImage* MakeFlatImage(int width, int height, int id, int frames) {
  auto* bitmap = new Gdiplus::Bitmap(width, height, PixelFormat32bppARGB);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      COLORREF c = FlatColourAt(x, width, id, frames);
      bitmap->SetPixel(x, y, Gdiplus::Color(255, GetRValue(c), GetGValue(c), GetBValue(c)));
    }
  auto* image = new CSkinImage();
  image->SetImage(bitmap);
  return image;
}

MemoryCanvas::MemoryCanvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  m_dc = ::CreateCompatibleDC(nullptr);
  m_bitmap = ::CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, &m_bits, nullptr, 0);
  m_old = ::SelectObject(m_dc, m_bitmap);
  HBRUSH brush = ::CreateSolidBrush(fill);
  RECT all = {0, 0, width, height};
  ::FillRect(m_dc, &all, brush);
  ::DeleteObject(brush);
}

MemoryCanvas::~MemoryCanvas() {
  ::SelectObject(m_dc, m_old);
  ::DeleteObject(m_bitmap);
  ::DeleteDC(m_dc);
}

COLORREF MemoryCanvas::Pixel(int x, int y) const {
  ::GdiFlush();
  const DWORD v = static_cast<const DWORD*>(m_bits)[static_cast<size_t>(y) * m_width + x];
  return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool MemoryCanvas::SavePng(const std::string& path) const {
  ::GdiFlush();
  // The encoder wants the bitmap out of the DC.
  ::SelectObject(m_dc, m_old);
  const bool ok = SaveBitmapPng(m_bitmap, path);
  ::SelectObject(m_dc, m_bitmap);
  return ok;
}

bool CaptureWindowPng(HWND hwnd, const std::string& path) {
  RECT r;
  ::GetWindowRect(hwnd, &r);
  return SaveScreenAreaPng(r, path);
}
