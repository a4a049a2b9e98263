#include "ui/CScrollText.h"

#include "ui/CSkinSlider.h"

namespace {

// The timer procedure has no object of its own; there is one label per process.
CScrollText* g_scrollText = nullptr;

HFONT MakeLabelFont(bool underline) {
  return ::CreateFontA(14, 0, 0, 0, FW_NORMAL, FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, "Arial");
}

}  // namespace

CScrollText::CScrollText()
    : m_font(MakeLabelFont(false)), m_linkFont(MakeLabelFont(true)), m_handCursor(LoadThumbCursor()) {
  g_scrollText = this;
}

CScrollText::~CScrollText() {
  StopScroll();
  if (g_scrollText == this) g_scrollText = nullptr;
  if (m_ownerWnd && m_toolId) CSkinToolTip::DelTool(m_ownerWnd, m_toolId);
  if (m_font) ::DeleteObject(m_font);
  if (m_linkFont) ::DeleteObject(m_linkFont);
  if (m_handCursor) ::DestroyCursor(m_handCursor);
}

void CScrollText::Attach(HWND hwnd) {
  m_ownerWnd = hwnd;
  m_toolTip.Create(::GetModuleHandleA(nullptr));
  m_toolId = CSkinToolTip::NextId();
  CSkinToolTip::AddTool(hwnd, "", RECT{0, 0, 1, 1}, m_toolId);
}

void CScrollText::SetRect(const RECT& rect) {
  m_textRect = rect;
  if (m_ownerWnd) CSkinToolTip::SetToolRect(m_ownerWnd, m_toolId, rect);
}

void CScrollText::Invalidate(BOOL erase) {
  if (m_ownerWnd && ::IsWindow(m_ownerWnd)) ::InvalidateRect(m_ownerWnd, &m_textRect, erase);
}

void CScrollText::SetText(const std::string& text) {
  m_text = text;
  Invalidate(TRUE);
}

void CScrollText::SetPrefix(const std::string& prefix) {
  m_prefix = prefix;
  m_linkRect = RECT{};
}

void CScrollText::SetLink(const std::string& link) {
  m_linkText = link;
  m_linkRect = RECT{};
}

void CScrollText::AddLine(const std::string& line) { m_lines.push_back(line); }

void CScrollText::ClearLines() { m_lines.clear(); }

void CScrollText::SetPeriod(UINT ms) {
  if (ms == m_periodMs) return;
  m_periodMs = ms;
  StopScroll();
  m_timerId = ::SetTimer(nullptr, 0, m_periodMs, &CScrollText::TimerProc);
}

void CScrollText::StartScroll() {
  StopScroll();
  m_timerId = ::SetTimer(nullptr, 0, m_periodMs, &CScrollText::TimerProc);
}

void CScrollText::StopScroll() {
  if (m_timerId) ::KillTimer(nullptr, m_timerId);
  m_timerId = 0;
}

void CALLBACK CScrollText::TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
  if (g_scrollText && g_scrollText->m_timerId == id) g_scrollText->OnTimer();
}

SIZE CScrollText::Measure(const std::string& text, HFONT font) const {
  SIZE size = {0, 0};
  HDC dc = ::GetDC(m_ownerWnd);
  if (!dc) return size;
  HGDIOBJ old = ::SelectObject(dc, font);
  ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(m_ownerWnd, dc);
  return size;
}

RECT CScrollText::GetLinkRect() {
  const int centre = m_textRect.left + (m_textRect.right - m_textRect.left) / 2;
  if (m_current == 1) {
    if (m_linkRect.right - m_linkRect.left == 0) {
      const SIZE whole = Measure(m_prefix + " " + m_linkText, m_font);
      const SIZE prefix = Measure(m_prefix + " ", m_font);
      m_lineX = centre - whole.cx / 2;
      m_linkRect = RECT{m_lineX + prefix.cx, m_textRect.top, m_lineX + whole.cx, m_textRect.top + prefix.cy};
    }
    return m_linkRect;
  }
  const int k = m_current - 2;
  if (k >= 0 && k < static_cast<int>(m_lines.size())) {
    const SIZE size = Measure(m_lines[k], m_font);
    const int left = centre - size.cx / 2;
    return RECT{left, m_textRect.top, left + size.cx, m_textRect.top + size.cy};
  }
  return RECT{};
}

bool CScrollText::HitLink(int x, int y) {
  const RECT r = GetLinkRect();
  return x > r.left && x < r.right && y > r.top && y < r.bottom;
}

void CScrollText::SetHover(bool on) {
  // Line 0 is no link.
  if (m_current < 1 || on == m_hover) return;
  m_hover = on;
  if (on) {
    if (m_handCursor) ::SetCursor(m_handCursor);
  } else {
    ::SetCursor(::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
  }
  Invalidate(FALSE);
}

void CScrollText::Draw(HDC dc) {
  if (!m_enabled || !dc) return;
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = ::GetTextColor(dc);
  const HGDIOBJ oldFont = ::GetCurrentObject(dc, OBJ_FONT);
  const COLORREF linkColour = m_hover ? kHoverColour : kPlainColour;
  RECT r = m_textRect;
  if (m_current == 0) {
    ::SelectObject(dc, m_font);
    ::SetTextColor(dc, kPlainColour);
    ::DrawTextA(dc, m_text.c_str(), static_cast<int>(m_text.size()), &r, DT_CENTER | DT_END_ELLIPSIS);
  } else if (m_current == 1) {
    const RECT link = GetLinkRect();
    ::SelectObject(dc, m_font);
    ::SetTextColor(dc, kPlainColour);
    ::TextOutA(dc, m_lineX, 0, m_prefix.c_str(), static_cast<int>(m_prefix.size()));
    ::SelectObject(dc, m_linkFont);
    ::SetTextColor(dc, linkColour);
    ::TextOutA(dc, link.left, 0, m_linkText.c_str(), static_cast<int>(m_linkText.size()));
  } else if (m_current - 2 < static_cast<int>(m_lines.size())) {
    const std::string& line = m_lines[m_current - 2];
    ::SelectObject(dc, m_linkFont);
    ::SetTextColor(dc, linkColour);
    ::DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &r, DT_CENTER | DT_END_ELLIPSIS);
  }
  ::SelectObject(dc, oldFont);
  ::SetTextColor(dc, oldColour);
  ::SetBkMode(dc, oldMode);
}

std::string CScrollText::GetCurrentTip() const {
  if (m_current == 0) return m_text;
  if (m_current == 1) return m_linkText;
  const int k = m_current - 2;
  return k < static_cast<int>(m_lines.size()) ? m_lines[k] : std::string();
}

void CScrollText::OnTimer() {
  if (m_hover) return;
  // ">=": the news list may have shrunk while a later line showed; waiting
  // for equality would leave the label blank for good.
  if (m_current >= static_cast<int>(m_lines.size()) + 1)
    m_current = m_text.empty() ? 1 : 0;
  else
    ++m_current;

  if (m_current == 1 && m_ownerWnd) {
    POINT p;
    if (::GetCursorPos(&p) && ::ScreenToClient(m_ownerWnd, &p) && HitLink(p.x, p.y)) {
      SetHover(false);
      SetHover(true);
    }
  }
  // A line without tip empties only this label's tool, which the tooltip
  // then never shows: deactivating the window would silence the caption
  // buttons of every frame too, since they share it.
  CSkinToolTip::UpdateTipText(m_ownerWnd, m_toolId, GetCurrentTip());
  Invalidate(TRUE);
}
