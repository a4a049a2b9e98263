#include "ui/PngSnapshot.h"

#include <vector>

#include "ui/GdiplusInclude.h"

namespace {

bool FindPngEncoder(CLSID* clsid) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<BYTE> buffer(size);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i)
    if (wcscmp(codecs[i].MimeType, L"image/png") == 0) {
      *clsid = codecs[i].Clsid;
      return true;
    }
  return false;
}

}  // namespace

bool SaveBitmapPng(HBITMAP bitmap, const std::string& path) {
  CLSID png;
  if (!bitmap || !FindPngEncoder(&png)) return false;
  int n = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  if (n <= 0) return false;
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], n);
  Gdiplus::Bitmap image(bitmap, nullptr);
  return image.Save(wide.c_str(), &png, nullptr) == Gdiplus::Ok;
}

bool SaveScreenAreaPng(const RECT& area, const std::string& path) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return false;
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
  ::SelectObject(memory, old);
  const bool ok = SaveBitmapPng(bitmap, path);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return ok;
}
