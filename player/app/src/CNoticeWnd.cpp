#include "app/CNoticeWnd.h"

#include <new>

#include "base/Guarded.h"
#include "ui/CSkinSlider.h"
#include "ui/WebPages.h"

namespace {
enum : UINT_PTR { kGrowTimer = 100, kShrinkTimer = 101, kStayTimer = 102 };
constexpr COLORREF kHoverColour = 0x0068FF;
constexpr COLORREF kTextColour = 0x804000;

HFONT MakeNoticeFont(bool underline) {
  LOGFONTA lf = {};
  HDC dc = ::GetDC(nullptr);
  lf.lfHeight = -::MulDiv(98, ::GetDeviceCaps(dc, LOGPIXELSY), 720);  // 9.8 points
  ::ReleaseDC(nullptr, dc);
  lf.lfWeight = FW_BOLD;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lstrcpynA(lf.lfFaceName, "Arial", LF_FACESIZE);
  return ::CreateFontIndirectA(&lf);
}
}  // namespace

NoticeEdge ChooseNoticeEdge(const RECT& work, SIZE screen) {
  if (work.right - work.left == screen.cx && work.bottom < screen.cy) return kEdgeBottom;
  if (work.left == 0 && work.top > 0) return kEdgeTop;
  if (work.left > 0 && work.top == 0) return kEdgeLeft;
  return kEdgeOther;
}

RECT NoticeRectAt(NoticeEdge edge, const RECT& work, int width, int height, int visible) {
  switch (edge) {
    case kEdgeTop:
      return {work.right - width, work.top, work.right - 10, work.top + visible};
    case kEdgeLeft:
      return {work.left + 10, work.bottom - visible - 5, work.left + 10 + width, work.bottom - 5};
    default:
      return {work.right - width, work.bottom - visible - 5, work.right - 10, work.bottom - 5};
  }
}

CNoticeWnd::CNoticeWnd(const std::string& text, int width, int height, int stayMs, int stepMs,
                       const RECT& textRect, HWND parent)
    : m_text(text),
      m_width(width),
      m_height(height),
      m_stayMs(stayMs),
      m_stepMs(stepMs),
      m_textRect(textRect),
      m_parent(parent) {}

CNoticeWnd::~CNoticeWnd() {
  if (m_cursor) ::DestroyCursor(m_cursor);
}

BOOL CNoticeWnd::Show() {
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &m_work, 0);
  m_edge = ChooseNoticeEdge(m_work, {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
  m_font.Attach(MakeNoticeFont(false));
  m_underlined.Attach(MakeNoticeFont(true));
  m_background.Attach(::CreateSolidBrush(0xCCCCCC));
  m_cursor = LoadThumbCursor();
  if (!Create(nullptr, "", 0xCF0000, CRect(0, 0, 0, 0), CWnd::FromHandle(m_parent))) {
    delete this;  // never created: PostNcDestroy will not run
    return FALSE;
  }
  ModifyStyle(WS_CAPTION, 0, SWP_FRAMECHANGED);
  m_visible = 0;
  SetTimer(kGrowTimer, m_stepMs, nullptr);
  return TRUE;
}

void CNoticeWnd::Place() {
  const RECT r = NoticeRectAt(m_edge, m_work, m_width, m_height, m_visible);
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CNoticeWnd::Paint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  base::ScopedMemoryDC memory(dc);
  base::GdiBitmap bitmap(::CreateCompatibleBitmap(dc, m_width, m_height));
  {
    base::ScopedSelect selectBitmap(memory.Get(), bitmap.Get());
    RECT all = {0, 0, m_width, m_height};
    ::FillRect(memory.Get(), &all, m_background.Get());
    base::ScopedSelect selectFont(memory.Get(), m_hover ? m_underlined.Get() : m_font.Get());
    base::ScopedTextStyle style(memory.Get(), m_hover ? kHoverColour : kTextColour);
    RECT text = m_textRect;
    ::DrawTextA(memory.Get(), m_text.c_str(), static_cast<int>(m_text.size()), &text,
                DT_WORDBREAK | DT_END_ELLIPSIS | DT_NOPREFIX);
    ::BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
  }
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CNoticeWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return base::Guarded(
      [&]() -> LRESULT {
        switch (message) {
          case WM_TIMER:
            if (wParam == kGrowTimer) {
              if (++m_visible <= m_height) {
                Place();
              } else {
                KillTimer(kGrowTimer);
                SetTimer(kStayTimer, m_stayMs, nullptr);
              }
              return 0;
            }
            if (wParam == kStayTimer) {
              KillTimer(kStayTimer);
              m_visible = m_height;
              SetTimer(kShrinkTimer, m_stepMs, nullptr);
              return 0;
            }
            if (wParam == kShrinkTimer) {
              if (--m_visible > 0) {
                Place();
              } else {
                KillTimer(kShrinkTimer);
                // Destroying ends with PostNcDestroy deleting the object.
                DestroyWindow();
              }
              return 0;
            }
            break;
          case WM_ERASEBKGND:
            return 1;
          case WM_PAINT:
            Paint();
            return 0;
          case WM_MOUSEMOVE: {
            TRACKMOUSEEVENT track = {sizeof(track), TME_HOVER | TME_LEAVE, m_hWnd, 1};
            ::TrackMouseEvent(&track);
            break;
          }
          case WM_MOUSEHOVER:
          case WM_MOUSELEAVE:
            m_hover = message == WM_MOUSEHOVER;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            return 0;
          case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
              ::SetCursor(m_cursor);
              return TRUE;
            }
            break;
          case WM_LBUTTONDOWN:
            OpenWebPage(SW_SHOWNORMAL);
            return 0;
          default:
            break;
        }
        return CFrameWnd::WindowProc(message, wParam, lParam);
      },
      LRESULT(0));
}

CNoticeWnd* ShowNoticeWnd(const std::string& text, int width, int height, int stayMs, int stepMs, int left,
                          int top, int right, int bottom, HWND parent) {
  const RECT textRect = {left, top, right, bottom};
  return new (std::nothrow) CNoticeWnd(text, width, height, stayMs, stepMs, textRect, parent);
}
