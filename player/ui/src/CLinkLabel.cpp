#include "ui/CLinkLabel.h"

#include "ui/WebPages.h"

CLinkLabel::~CLinkLabel() { m_text.StopScroll(); }

int CLinkLabel::Create(HWND parent, DWORD exStyle, DWORD style) {
  const int result = CBmpWnd::Create(::GetModuleHandleA(nullptr), parent, exStyle, style, m_bkBrush,
                                     CS_HREDRAW | CS_VREDRAW, nullptr);
  if (result != 0) return result;
  // No class cursor: the label sets the hand or the arrow itself.
  ::SetClassLongPtrA(m_hWnd, GCLP_HCURSOR, 0);
  m_text.Attach(m_hWnd);
  return 0;
}

void CLinkLabel::MoveWindow(int x, int y, int cx, int cy) {
  if (m_hWnd) ::MoveWindow(m_hWnd, x, y, cx, cy, TRUE);
  m_text.SetRect(RECT{0, 0, cx, cy});
}

void CLinkLabel::CheckHover() {
  if (!m_hWnd) return;
  POINT p;
  if (!::GetCursorPos(&p) || !::ScreenToClient(m_hWnd, &p)) return;
  if (m_text.HitLink(p.x, p.y)) {
    m_text.SetHover(false);
    m_text.SetHover(true);
  }
}

LRESULT CLinkLabel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(m_hWnd, &ps);
      m_text.Draw(dc);
      ::EndPaint(m_hWnd, &ps);
      return 0;
    }
    case WM_MOUSEMOVE:
      m_text.SetHover(m_text.HitLink(x, y));
      if (!m_tracking) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        m_tracking = ::TrackMouseEvent(&tme) != FALSE;
      }
      break;
    case WM_LBUTTONDOWN:
      if (m_text.HitLink(x, y)) OpenUrlInBrowser(GetHomePageUrl().c_str(), SW_SHOW);
      break;
    case WM_MOUSELEAVE:
      m_tracking = false;
      m_text.SetHover(false);
      break;
    default:
      break;
  }
  return CBmpWnd::WindowProc(message, wParam, lParam);
}
