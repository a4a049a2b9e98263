#include "ui/CSkinWnd.h"

#include <algorithm>

#include "ui/CSkinImage.h"
#include "ui/CaptionElements.h"

namespace {
constexpr int kBorderStrip = 3;  // sizing border width
constexpr int kCornerZone = 20;  // corner sizing zone along each edge
}  // namespace

CSkinWnd::CSkinWnd()
    : m_images(std::make_unique<CSkinFrameImages>()),
      m_layout(std::make_unique<CSkinFrameLayout>()),
      m_painter(std::make_unique<CSkinFramePainter>(this)),
      m_captionButtons(std::make_unique<CSkinCaptionButtons>(this)) {}

CSkinWnd::~CSkinWnd() = default;

int CSkinWnd::Create(HWND parent, DWORD exStyle, DWORD style, UINT classStyle, HICON icon) {
  if (CBmpWnd::Create(::GetModuleHandleA(nullptr), parent, exStyle, style, m_bkBrush.Get(), classStyle,
                      icon) != 0)
    return 1;
  m_elements.SetOwner(m_hWnd);
  ::SendMessageA(m_hWnd, WM_SKIN_CREATED, 0, 0);
  ::MoveWindow(m_hWnd, m_layout->GetLeft(), m_layout->GetTop(), m_layout->GetWidth(), m_layout->GetHeight(),
               TRUE);
  m_captionButtons->Register();
  ::PostMessageA(m_hWnd, WM_SIZE, 0, 0);
  return 0;
}

void CSkinWnd::ShowWindow(bool show) {
  if (m_hWnd) ::ShowWindow(m_hWnd, show ? SW_SHOW : SW_HIDE);
}

void CSkinWnd::SetWindowRect(const RECT& rect) {
  ::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0);
  m_layout->SetPos(rect.left, rect.top);
  m_layout->SetWidth(rect.right - rect.left);
  m_layout->SetHeight(rect.bottom - rect.top);
}

void CSkinWnd::SetWindowRectSizing(const RECT& rect, int) {
  RECT r = rect;
  ::SendMessageA(m_hWnd, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&r));
  SetWindowRect(rect);
}

void CSkinWnd::SetBkColor(COLORREF colour, int) {
  HBRUSH brush = ::CreateSolidBrush(colour);
  m_bkBrush.Attach(brush);
}

int CSkinWnd::GetCaptionHeight() const {
  int h = SkinImageHeight(m_images->GetTitle());
  return h >= 16 ? h : 15;
}

int CSkinWnd::GetMinFrameWidth() const {
  const CSkinFrameImages& i = *m_images;
  int top = SkinImageWidth(i.GetTopLeft()) + SkinImageWidth(i.GetTitle()) + SkinImageWidth(i.GetTopRight());
  int bottom = SkinImageWidth(i.GetBottomLeft()) + SkinImageWidth(i.GetBottomRight());
  return std::max(top, bottom);
}

int CSkinWnd::GetMinFrameHeight() const {
  const CSkinFrameImages& i = *m_images;
  int left = SkinImageHeight(i.GetTopLeft()) + SkinImageHeight(i.GetBottomLeft());
  int right = SkinImageHeight(i.GetTopRight()) + SkinImageHeight(i.GetBottomRight());
  return std::max(left, right);
}

void CSkinWnd::SetIconImage(CSkinImage* image) { m_captionButtons->GetIcon()->SetImage(image); }

void CSkinWnd::SetCaptionStyle(int style) { m_captionButtons->SetStyle(style); }

int CSkinWnd::SetCaptionButton(CSkinImage* image, int index, bool toolTip, const char* text,
                               const char* altText) {
  return m_captionButtons->Configure(image, index, toolTip, text, altText);
}

void CSkinWnd::SetCaptionButtonState(int index, bool enabled) {
  m_captionButtons->SetButtonState(index, enabled);
  // A greyed-out button shows its disabled frame at once.
  if (CSkinElement* button = m_captionButtons->GetButton(index))
    if (m_hWnd) ::InvalidateRect(m_hWnd, &button->GetRect(), FALSE);
}

bool CSkinWnd::IsInCaption(int x, int y) const {
  return y >= 3 && y <= m_layout->GetCaptionHeight() && x >= 3 && x < m_layout->GetWidth() - 2;
}

LRESULT CSkinWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_SIZE:
      OnSize(wParam, lParam);
      return 0;
    case WM_ACTIVATE:
      OnActivate(wParam, lParam);
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_PRINTCLIENT:
      PaintBuffered(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_CLOSE:
      DestroyWindow();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_DRAWITEM:
      OnDrawItem(wParam, lParam);
      return 0;
    case WM_NCHITTEST:
      return OnNcHitTest(lParam);
    case WM_MOUSEMOVE:
      if (m_mouseSeen && wParam == m_lastMoveWParam && lParam == m_lastMoveLParam) return 0;
      m_mouseSeen = true;
      m_lastMoveWParam = wParam;
      m_lastMoveLParam = lParam;
      OnMouseMove(wParam, lParam);
      m_elements.OnMouseMove(wParam, lParam);
      if (!m_trackingLeave) {
        m_trackingLeave = true;
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        ::TrackMouseEvent(&tme);
      }
      return 0;
    case WM_LBUTTONDOWN:
      if (!m_elements.OnLButtonDown(wParam, lParam)) OnLButtonDown(lParam);
      return 0;
    case WM_LBUTTONUP:
      m_elements.OnLButtonUp(wParam, lParam);
      OnLButtonUp();
      return 0;
    case WM_LBUTTONDBLCLK:
      m_elements.OnLButtonDblClk(wParam, lParam);
      return 0;
    case WM_SIZING:
      OnSizing(wParam, reinterpret_cast<RECT*>(lParam));
      return 1;
    case WM_MOUSELEAVE:
      m_trackingLeave = false;
      m_elements.ResetStates();
      return 0;
    case WM_SYSCOMMAND:
      if (OnSysCommand(wParam)) return 0;
      return CBmpWnd::WindowProc(message, wParam, lParam);
    default:
      return CBmpWnd::WindowProc(message, wParam, lParam);
  }
}

bool CSkinWnd::OnSysCommand(WPARAM command) {
  if (!m_hWnd || ::IsIconic(m_hWnd)) return false;
  switch (command & 0xFFF0) {
    case SC_MAXIMIZE: {
      MONITORINFO monitor = {};
      monitor.cbSize = sizeof(monitor);
      if (!::GetMonitorInfoA(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor)) return false;
      // A second maximize keeps the rectangle of the first.
      if (!m_maximized && !::GetWindowRect(m_hWnd, &m_normalRect)) return false;
      m_maximized = true;
      const RECT& work = monitor.rcWork;
      ::SetWindowPos(m_hWnd, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
    }
    case SC_RESTORE: {
      if (!m_maximized) return false;
      m_maximized = false;
      const RECT& rect = m_normalRect;
      ::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      return true;
    }
    default:
      return false;
  }
}

RECT CSkinWnd::GetNormalRect() const {
  RECT rect = m_normalRect;
  if (!m_maximized && m_hWnd) ::GetWindowRect(m_hWnd, &rect);
  return rect;
}

LRESULT CSkinWnd::OnNcHitTest(LPARAM lParam) {
  POINT pt = PointFromLParam(lParam);
  ::ScreenToClient(m_hWnd, &pt);
  const int x = pt.x, y = pt.y, W = m_layout->GetWidth(), H = m_layout->GetHeight();
  if (x >= 0 && x < kBorderStrip) {
    if (y >= 0 && y <= kCornerZone) return HTTOPLEFT;
    return (y < H - kCornerZone || y > H) ? HTLEFT : HTBOTTOMLEFT;
  }
  if (x >= W - 2 && x <= W) {
    if (y >= 0 && y <= kCornerZone) return HTTOPRIGHT;
    return (y < H - kCornerZone || y > H) ? HTRIGHT : HTBOTTOMRIGHT;
  }
  if (y >= 0 && y < kBorderStrip) {
    if (x >= 0 && x <= kCornerZone) return HTTOPLEFT;
    return (x < W - kCornerZone || x > W) ? HTTOP : HTTOPRIGHT;
  }
  if (y < H - 2 || y > H) return HTCLIENT;
  if (x >= 0 && x <= kCornerZone) return HTBOTTOMLEFT;
  return (x < W - kCornerZone || x > W) ? HTBOTTOM : HTBOTTOMRIGHT;
}

void CSkinWnd::OnSizing(WPARAM edge, RECT* rect) {
  if (!rect) return;
  if (rect->right - rect->left < m_layout->GetMinWidth()) {
    if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT)
      rect->left = m_layout->GetLeft();
    else
      rect->right = rect->left + m_layout->GetMinWidth();
  }
  if (rect->bottom - rect->top < m_layout->GetMinHeight()) {
    if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT)
      rect->top = m_layout->GetTop();
    else
      rect->bottom = rect->top + m_layout->GetMinHeight();
  }
}

void CSkinWnd::OnSize(WPARAM, LPARAM) {
  if (!m_hWnd) return;
  RECT r;
  ::GetWindowRect(m_hWnd, &r);
  bool changed = false;
  if (r.right - r.left < m_layout->GetMinWidth()) {
    r.left = m_layout->GetLeft();
    r.right = r.left + m_layout->GetMinWidth();
    changed = true;
  }
  if (r.bottom - r.top < m_layout->GetMinHeight()) {
    r.top = m_layout->GetTop();
    r.bottom = r.top + m_layout->GetMinHeight();
    changed = true;
  }
  if (changed) ::SetWindowPos(m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
  m_layout->SetPos(r.left, r.top);
  m_layout->SetWidth(r.right - r.left);
  m_layout->SetHeight(r.bottom - r.top);
  m_captionButtons->Layout();
}

void CSkinWnd::OnLButtonDown(LPARAM lParam) {
  m_grab = PointFromLParam(lParam);
  m_dragging = IsInCaption(m_grab.x, m_grab.y);
  ::SetCapture(m_hWnd);
}

void CSkinWnd::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!(wParam & MK_LBUTTON) || !m_dragging) return;
  POINT pt = PointFromLParam(lParam);
  RECT r;
  ::GetWindowRect(m_hWnd, &r);
  const int left = r.left + (pt.x - m_grab.x), top = r.top + (pt.y - m_grab.y);
  m_layout->SetPos(left, top);
  ::MoveWindow(m_hWnd, left, top, m_layout->GetWidth(), m_layout->GetHeight(), TRUE);
}

void CSkinWnd::OnLButtonUp() {
  m_dragging = false;
  ::ReleaseCapture();
}

void CSkinWnd::DestroyWindow() { DestroyOwnWindow(); }

void CSkinWnd::OnActivate(WPARAM wParam, LPARAM) {
  m_layout->SetActive(LOWORD(wParam) != WA_INACTIVE);
  RECT caption = {0, 0, m_layout->GetWidth(), m_layout->GetCaptionHeight()};
  if (m_hWnd) ::InvalidateRect(m_hWnd, &caption, FALSE);
}
