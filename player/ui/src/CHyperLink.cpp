#include "ui/CHyperLink.h"

#include "ui/CSkinSlider.h"
#include "ui/WebPages.h"

BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
  ON_CONTROL_REFLECT_EX(STN_CLICKED, OnClicked)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_TIMER()
  ON_WM_SETCURSOR()
  ON_WM_DESTROY()
  ON_WM_CREATE()
END_MESSAGE_MAP()

namespace {
constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT_PTR kToolId = 1;
}  // namespace

CHyperLink::~CHyperLink() {
  if (m_linkCursor) ::DestroyCursor(m_linkCursor);
}

void CHyperLink::SetURL(const std::string& url) {
  m_url = url;
  if (!::IsWindow(m_hWnd)) return;
  PositionWindow();
  if (::IsWindow(m_toolTip.m_hWnd)) m_toolTip.UpdateTipText(m_url.c_str(), this, kToolId);
}

void CHyperLink::SetColours(COLORREF link, COLORREF visited, COLORREF hover) {
  m_linkColor = link;
  m_visitedColor = visited;
  m_hoverColor = hover == 0xFFFFFFFF ? ::GetSysColor(COLOR_HIGHLIGHT) : hover;
  if (::IsWindow(m_hWnd)) Invalidate(TRUE);
}

void CHyperLink::SetVisited(BOOL visited) {
  m_visited = visited;
  if (::IsWindow(m_hWnd)) Invalidate(TRUE);
}

void CHyperLink::SetLinkCursor(HCURSOR cursor) {
  if (m_linkCursor && m_linkCursor != cursor) ::DestroyCursor(m_linkCursor);
  m_linkCursor = cursor ? cursor : LoadThumbCursor();
}

void CHyperLink::SetUnderline(BOOL underline) {
  m_underline = underline;
  if (!::IsWindow(m_hWnd)) return;
  RebuildFont(TRUE);
  Invalidate(TRUE);
}

void CHyperLink::SetAutoSize(BOOL autoSize) {
  m_autoSize = autoSize;
  if (::IsWindow(m_hWnd)) PositionWindow();
}

COLORREF CHyperLink::CurrentColour() const {
  if (m_over) return m_hoverColor;
  return m_visited ? m_visitedColor : m_linkColor;
}

void CHyperLink::RebuildFont(BOOL redraw) {
  LOGFONTA lf = {};
  HFONT current = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  // A control made directly (not from a dialog) has had no WM_SETFONT.
  if (!current || ::GetObjectA(current, sizeof(lf), &lf) != sizeof(lf))
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
  lf.lfUnderline = static_cast<BYTE>(m_underline ? 1 : 0);
  // The old font goes only once the window no longer uses it.
  HGDIOBJ old = m_font.Detach();
  m_font.CreateFontIndirect(&lf);
  SetFont(&m_font, redraw);
  if (old) ::DeleteObject(old);
}

void CHyperLink::PreSubclassWindow() {
  ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(GetStyle() | SS_NOTIFY));
  MatchTextAndUrl();
  RebuildFont(TRUE);
  PositionWindow();
  if (!m_linkCursor) SetLinkCursor(nullptr);
  if (m_toolTip.Create(this)) {
    CRect client;
    GetClientRect(&client);
    m_toolTip.AddTool(this, m_url.c_str(), &client, kToolId);
  }
  SetTimer(kHoverTimer, 100);
  CStatic::PreSubclassWindow();
}

void CHyperLink::MatchTextAndUrl() {
  CString text;
  GetWindowText(text);
  if (m_url.empty()) m_url = static_cast<LPCTSTR>(text);
  if (text.IsEmpty()) SetWindowText(m_url.c_str());
}

int CHyperLink::OnCreate(LPCREATESTRUCT cs) {
  if (CStatic::OnCreate(cs) == -1) return -1;
  MatchTextAndUrl();
  RebuildFont(FALSE);
  PositionWindow();
  if (::IsWindow(m_toolTip.m_hWnd)) {
    CRect client;
    GetClientRect(&client);
    m_toolTip.SetToolRect(this, kToolId, &client);
    m_toolTip.UpdateTipText(m_url.c_str(), this, kToolId);
  }
  return 0;
}

BOOL CHyperLink::PreTranslateMessage(MSG* msg) {
  if (::IsWindow(m_toolTip.m_hWnd)) m_toolTip.RelayEvent(msg);
  return CStatic::PreTranslateMessage(msg);
}

void CHyperLink::OnTimer(UINT_PTR id) {
  if (id != kHoverTimer) {
    Default();
    return;
  }
  POINT p;
  CRect window;
  GetWindowRect(&window);
  m_over = ::GetCursorPos(&p) && window.PtInRect(p);
  RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

HBRUSH CHyperLink::CtlColor(CDC* dc, UINT) {
  dc->SetTextColor(CurrentColour());
  dc->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CHyperLink::OnSetCursor(CWnd*, UINT, UINT) {
  if (!m_linkCursor) return FALSE;
  ::SetCursor(m_linkCursor);
  return TRUE;
}

BOOL CHyperLink::OnClicked() {
  SetVisited(TRUE);
  OpenUrlInBrowser(m_url.c_str(), SW_SHOW);
  return TRUE;
}

void CHyperLink::OnDestroy() {
  KillTimer(kHoverTimer);
  CStatic::OnDestroy();
}

void CHyperLink::PositionWindow() {
  if (!::IsWindow(m_hWnd) || !m_autoSize) return;
  CRect r;
  GetWindowRect(&r);
  if (CWnd* parent = GetParent()) parent->ScreenToClient(&r);
  CString text;
  GetWindowText(text);
  CSize extent;
  {
    CClientDC dc(this);
    CFont* old = dc.SelectObject(m_font.GetSafeHandle() ? &m_font : GetFont());
    extent = dc.GetTextExtent(text);
    if (old) dc.SelectObject(old);
  }
  const DWORD style = GetStyle();
  if (style & SS_CENTERIMAGE) {
    const int dy = (r.Height() - extent.cy) / 2;
    r.top += dy;
    r.bottom -= dy;
  } else {
    r.bottom = r.top + extent.cy;
  }
  const DWORD align = style & SS_TYPEMASK;
  if (align == SS_CENTER) {
    const int dx = (r.Width() - extent.cx) / 2;
    r.left += dx;
    r.right -= dx;
  } else if (align == SS_RIGHT) {
    r.left = r.right - extent.cx;
  } else {
    r.right = r.left + extent.cx;
  }
  SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER);
}
