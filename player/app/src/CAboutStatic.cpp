#include "app/CAboutStatic.h"

#include <shlwapi.h>

#include <algorithm>

#include "app/PlayerStrings.h"
#include "base/Guarded.h"
#include "ui/GdiplusInclude.h"
#include "ui/GdiplusSession.h"
#include "ui/CProfileHelper.h"

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerMs = 40;
constexpr int kCreditsX = 187;
// The credits are cut off above the hint: canvas rows 0 to this less y.
constexpr int kCreditsBottom = 190;

// The default text; the dialog replaces it before the box shows.
const char kDefaultCredits[] =
    "\tMelodara\n\n\rDeveloped by\nThe Melodara team\n\n\rWeb site\nhttp://www.melodara.example";

HFONT MakeFont(int height, int weight) {
  return ::CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, PROOF_QUALITY, 6, "Arial");
}

}  // namespace

CAboutStatic::CAboutStatic() : m_text(kDefaultCredits) {}

CAboutStatic::~CAboutStatic() = default;

void CAboutStatic::PreSubclassWindow() {
  CStatic::PreSubclassWindow();
  RECT r;
  ::GetClientRect(m_hWnd, &r);
  m_client = {r.right - r.left, r.bottom - r.top};
  HDC screen = ::GetDC(m_hWnd);
  m_canvas = std::make_unique<base::ScopedMemoryDC>(screen);
  m_picture = std::make_unique<base::ScopedMemoryDC>(screen);
  m_buffer = std::make_unique<base::ScopedMemoryDC>(screen);
  m_canvasBitmap.Attach(::CreateCompatibleBitmap(screen, kCanvasWidth, kCanvasHeight));
  m_bufferBitmap.Attach(
      ::CreateCompatibleBitmap(screen, std::max<LONG>(m_client.cx, 1), std::max<LONG>(m_client.cy, 1)));
  ::ReleaseDC(m_hWnd, screen);
  m_canvasSelect = std::make_unique<base::ScopedSelect>(m_canvas->Get(), m_canvasBitmap.Get());
  m_bufferSelect = std::make_unique<base::ScopedSelect>(m_buffer->Get(), m_bufferBitmap.Get());
  DrawCredits();
  LoadPicture();
  m_y = m_client.cy;
  m_hintFont.Attach(MakeFont(14, FW_NORMAL));
  SetTimer(kTimerId, kTimerMs, nullptr);
}

void CAboutStatic::DrawCredits() {
  HDC dc = m_canvas->Get();
  RECT all = {0, 0, kCanvasWidth, kCanvasHeight};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  base::GdiFont title(MakeFont(20, FW_BOLD));
  base::GdiFont heading(MakeFont(14, FW_BOLD));
  base::GdiFont body(MakeFont(14, FW_NORMAL));
  int top = 0;
  size_t start = 0;
  while (start <= m_text.size() && top < kCanvasHeight) {
    size_t end = m_text.find('\n', start);
    if (end == std::string::npos) end = m_text.size();
    std::string line = m_text.substr(start, end - start);
    HFONT font = body.Get();
    COLORREF colour = RGB(0, 0, 0);
    if (!line.empty() && line[0] == '\t') {
      font = title.Get();
      colour = RGB(0x10, 0x8C, 0xE7);
      line.erase(0, 1);
    } else if (!line.empty() && line[0] == '\r') {
      font = heading.Get();
      line.erase(0, 1);
    }
    base::ScopedSelect select(dc, font);
    base::ScopedTextStyle style(dc, colour);
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(dc, &tm);
    RECT r = {0, top, kCanvasWidth, top + tm.tmHeight};
    ::DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &r, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX);
    top += tm.tmHeight;
    start = end + 1;
  }
}

void CAboutStatic::LoadPicture() {
  char folder[MAX_PATH] = {};
  GetAppFolder(folder, MAX_PATH);
  char path[MAX_PATH] = {};
  if (!::PathCombineA(path, folder, "res\\AboutImg.png")) return;
  wchar_t wide[MAX_PATH] = {};
  if (!::MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH)) return;
  GdiplusSession session;
  if (!session.IsStarted()) return;
  std::unique_ptr<Gdiplus::Bitmap> image(Gdiplus::Bitmap::FromFile(wide));
  HBITMAP bitmap = nullptr;
  if (!image || image->GetLastStatus() != Gdiplus::Ok ||
      image->GetHBITMAP(Gdiplus::Color(255, 255, 255), &bitmap) != Gdiplus::Ok || bitmap == nullptr)
    return;
  m_pictureBitmap.Attach(bitmap);
  m_pictureSelect = std::make_unique<base::ScopedSelect>(m_picture->Get(), m_pictureBitmap.Get());
  m_hasPicture = true;
}

void CAboutStatic::Tick() {
  if (!m_buffer) return;
  HDC buffer = m_buffer->Get();
  RECT all = {0, 0, m_client.cx, m_client.cy};
  ::FillRect(buffer, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  if (m_hasPicture) ::BitBlt(buffer, 0, 0, m_client.cx, m_client.cy, m_picture->Get(), 0, 0, SRCCOPY);
  // Never a negative height: once y passes the cut the credits draw nothing.
  const int rows = std::clamp(kCreditsBottom - m_y, 0, kCanvasHeight);
  if (rows > 0) ::BitBlt(buffer, kCreditsX, m_y, kCanvasWidth, rows, m_canvas->Get(), 0, 0, SRCAND);
  if (--m_y < -kCanvasHeight) m_y = m_client.cy;
  {
    base::ScopedSelect select(buffer, m_hintFont.Get());
    base::ScopedTextStyle style(buffer, RGB(255, 255, 255));
    const std::string hint = LoadPlayerString(136);
    ::TextOutA(buffer, 10, m_client.cy - 20, hint.c_str(), static_cast<int>(hint.size()));
  }
  HDC dc = ::GetDC(m_hWnd);
  ::BitBlt(dc, 0, 0, m_client.cx, m_client.cy, buffer, 0, 0, SRCCOPY);
  ::ReleaseDC(m_hWnd, dc);
}

LRESULT CAboutStatic::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return base::Guarded(
      [&]() -> LRESULT {
        if (message == WM_TIMER && wParam == kTimerId) Tick();
        if (message == WM_PAINT) {
          ::ValidateRect(m_hWnd, nullptr);
          return 0;
        }
        return CStatic::WindowProc(message, wParam, lParam);
      },
      LRESULT(0));
}
