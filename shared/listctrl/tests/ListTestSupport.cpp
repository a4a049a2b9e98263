#include "ListTestSupport.h"

#include <listctrl/XListMessages.h>

#include <cstdio>

#include "testsupport/MessagePump.h"

namespace listtest {

const COLORREF kImageColors[4] = {RGB(200, 0, 0), RGB(0, 160, 0), RGB(0, 0, 200), RGB(200, 160, 0)};

LRESULT CParentWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_XLISTCTRL_CHECKBOX_CLICKED) {
    checkClicks.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
    return 0;
  }
  if (message == WM_COMMAND && lParam != 0) ++commands;
  if (message == WM_NOTIFY) {
    const NMCUSTOMDRAW* draw = reinterpret_cast<const NMCUSTOMDRAW*>(lParam);
    if (draw->hdr.code == NM_CUSTOMDRAW && draw->hdr.idFrom == 1001 && draw->dwDrawStage == CDDS_PREPAINT)
      ++listPaints;
  }
  return CWnd::WindowProc(message, wParam, lParam);
}

namespace {

// An image list of coloured squares; for the header, image 1 an empty box and 2 a ticked one.
HIMAGELIST MakeImages(int size, bool header) {
  HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24, 4, 0);
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  for (int i = 0; i < 4; ++i) {
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all = {0, 0, size, size};
    HBRUSH fill = ::CreateSolidBrush(header ? RGB(255, 255, 255) : kImageColors[i]);
    ::FillRect(dc, &all, fill);
    ::DeleteObject(fill);
    if (header) {
      HBRUSH frame = ::CreateSolidBrush(RGB(0, 0, 0));
      RECT box = {1, 1, size - 1, size - 1};
      ::FrameRect(dc, &box, frame);
      if (i == 2) {
        RECT tick = {4, 4, size - 4, size - 4};
        ::FillRect(dc, &tick, frame);
      }
      ::DeleteObject(frame);
    }
    ::SelectObject(dc, old);
    ImageList_Add(list, bitmap, nullptr);
    ::DeleteObject(bitmap);
  }
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
  return list;
}

}  // namespace

bool ListFixture::Create(bool visible, int width, int height, DWORD extraStyle) {
  RegisterXListMessages();
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&icc);
  CRect frame(40, 40, 40 + width, 40 + height);
  ::AdjustWindowRect(&frame, WS_POPUP | WS_BORDER, FALSE);
  if (!parent.CreateEx(0,
                       AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)),
                       "List test", WS_POPUP | WS_BORDER | (visible ? WS_VISIBLE : 0), frame, nullptr, 0)) {
    return false;
  }
  CRect client(0, 0, width, height);
  if (!list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | extraStyle, client, &parent,
                   1001)) {
    return false;
  }
  list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  images.Attach(MakeImages(16, false));
  headerImages.Attach(MakeImages(16, true));
  list.SetImageList(&images, LVSIL_SMALL);
  list.m_HeaderCtrl.SetImageList(&headerImages);
  return true;
}

void ListFixture::AddColumns() {
  list.InsertColumn(0, "Name", LVCFMT_LEFT, 140);
  list.InsertColumn(1, "Install", LVCFMT_LEFT, 120);
  list.InsertColumn(2, "Progress", LVCFMT_LEFT, 150);
  list.InsertColumn(3, "Kind", LVCFMT_RIGHT, 130);
  list.SetHeaderCheckedState(1, 1);
}

void ListFixture::AddRows(int count) {
  for (int i = 0; i < count; ++i) {
    char name[32];
    snprintf(name, sizeof(name), "Item %d", i);
    int row = list.InsertItem(i, name);
    list.SetItemText(row, 1, "", -1, -1);
    list.SetCheckbox(row, 1, i % 2);
    list.SetProgress(row, 2);
    list.UpdateProgress(row, 2, (i % 5) * 25);
    list.SetItemText(row, 3, "file", -1, -1);
    list.SetItemImage(row, 3, i % 4);
  }
}

ListFixture::~ListFixture() {
  if (list.m_hWnd) list.DestroyWindow();
  if (parent.m_hWnd) parent.DestroyWindow();
}

void Pump(DWORD ms) {
  testsupport::PumpFor(ms, [](MSG* msg) { return CWnd::WalkPreTranslateTree(nullptr, msg) != FALSE; });
}

COLORREF Capture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  uint32_t p = pixels[static_cast<size_t>(y) * width + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool Capture::SaveBmp(const std::string& path) const {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = -height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size() * 4);
  bool ok = fwrite(&file, sizeof(file), 1, f) == 1 && fwrite(&info, sizeof(info), 1, f) == 1 &&
            fwrite(pixels.data(), 4, pixels.size(), f) == pixels.size();
  return fclose(f) == 0 && ok;
}

Capture CaptureWindow(HWND hwnd) {
  Capture c;
  RECT rect;
  ::GetWindowRect(hwnd, &rect);
  c.width = rect.right - rect.left;
  c.height = rect.bottom - rect.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = c.width;
  info.bmiHeader.biHeight = -c.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  HBITMAP dib = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = ::CreateCompatibleDC(screen);
  HGDIOBJ old = ::SelectObject(dc, dib);
  // From the screen: what the window really shows, child windows included.
  ::BitBlt(dc, 0, 0, c.width, c.height, screen, rect.left, rect.top, SRCCOPY);
  ::GdiFlush();
  c.pixels.assign(static_cast<const uint32_t*>(bits),
                  static_cast<const uint32_t*>(bits) + c.width * c.height);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  ::DeleteObject(dib);
  ::ReleaseDC(nullptr, screen);
  return c;
}

}  // namespace listtest
