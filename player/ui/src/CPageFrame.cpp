#include "ui/CPageFrame.h"

// ---- CPageFrame

CRect CPageFrame::ClientRect() {
  CRect r;
  CWnd* wnd = GetWnd();
  if (wnd && ::IsWindow(wnd->m_hWnd)) wnd->GetClientRect(&r);
  return r;
}

void CPageFrame::InvalidateArea(const CRect& rect) {
  CWnd* wnd = GetWnd();
  if (wnd && ::IsWindow(wnd->m_hWnd)) wnd->InvalidateRect(&rect, TRUE);
}

void CPageFrame::EnableCaption(BOOL on) {
  m_captionOn = on;
  InvalidateArea(CaptionRect());
}

void CPageFrame::SetCaptionHeight(int height) {
  m_captionHeight = height;
  InvalidateArea(CaptionRect());
}

void CPageFrame::SetCaption(LPCTSTR text, HICON icon) {
  m_caption = text;
  m_captionIcon = icon;
  InvalidateArea(CaptionRect());
}

void CPageFrame::SetMessageText(LPCTSTR text) {
  m_messageText = text;
  InvalidateArea(MessageRect());
}

void CPageFrame::SetMessageFormat(DWORD flags) {
  m_messageFormat = flags;
  InvalidateArea(MessageRect());
}

void CPageFrame::GetCaption(CString& text, HICON* icon) const {
  text = m_caption;
  if (icon) *icon = m_captionIcon;
}

void CPageFrame::PaintFrame(CDC* dc) {
  if (m_captionOn) PaintCaption(dc, CaptionRect(), m_caption, m_captionIcon);
  PaintMessage(dc, MessageRect(), m_messageText, m_messageFormat);
}

CRect CPageFrame::MessageRect() {
  CRect r = ClientRect();
  if (m_captionOn) r.top += m_captionHeight;
  return r;
}

CRect CPageFrame::CaptionRect() {
  CRect r = ClientRect();
  r.bottom = m_captionOn ? r.top + m_captionHeight : r.top;
  return r;
}

void CPageFrame::PaintMessage(CDC* dc, CRect rect, LPCTSTR text, DWORD flags) {
  HDC hdc = dc->GetSafeHdc();
  HGDIOBJ oldFont = ::SelectObject(hdc, ::GetStockObject(DEFAULT_GUI_FONT));
  const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
  ::DrawTextA(hdc, text, -1, &rect, flags);
  ::SetBkMode(hdc, oldMode);
  ::SelectObject(hdc, oldFont);
}

void CPageFrame::PaintCaption(CDC*, CRect, LPCTSTR, HICON) {}

// ---- CPageFrameWnd

BEGIN_MESSAGE_MAP(CPageFrameWnd, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CPageFrameWnd::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  LPCTSTR className = AfxRegisterWndClass(CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(nullptr, IDC_ARROW),
                                          ::GetSysColorBrush(COLOR_BTNFACE), nullptr);
  return CWnd::Create(className, "Page Frame", style, rect, parent, id);
}

void CPageFrameWnd::SetCaption(LPCTSTR text, HICON icon) {
  CPageFrame::SetCaption(text, icon);
  // The previous copy goes whatever happens next.
  m_captionImages.DeleteImageList();
  if (!icon) return;
  ICONINFO info = {};
  if (!::GetIconInfo(icon, &info)) return;
  BITMAP bm = {};
  const bool sized = ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm) != 0;
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  if (!sized) return;
  const int height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;  // a mask-only icon stacks two halves
  if (!m_captionImages.Create(bm.bmWidth, height, ILC_COLOR32 | ILC_MASK, 0, 1)) return;
  if (m_captionImages.Add(icon) < 0) m_captionImages.DeleteImageList();
}

int CPageFrameWnd::GetCaptionImageCount() const {
  return m_captionImages.GetSafeHandle() ? m_captionImages.GetImageCount() : 0;
}

CRect CPageFrameWnd::MessageRect() {
  CRect r = ClientRect();
  if (m_captionOn) r.top += m_captionHeight + 1;
  return r;
}

CRect CPageFrameWnd::CaptionRect() { return CPageFrame::CaptionRect(); }

void CPageFrameWnd::OnPaint() {
  CPaintDC dc(this);
  PaintFrame(&dc);
}

BOOL CPageFrameWnd::OnEraseBkgnd(CDC* dc) { return CWnd::OnEraseBkgnd(dc); }

void FillHorizontalGradient(CDC* dc, const CRect& rect, COLORREF from, COLORREF to) {
  HDC hdc = dc->GetSafeHdc();
  const int width = rect.right - rect.left;
  if (width <= 0) return;
  double value[3] = {static_cast<double>(GetRValue(from)), static_cast<double>(GetGValue(from)),
                     static_cast<double>(GetBValue(from))};
  const double step[3] = {(GetRValue(to) - value[0]) / width, (GetGValue(to) - value[1]) / width,
                          (GetBValue(to) - value[2]) / width};
  for (int x = rect.left; x <= rect.right; ++x) {
    const COLORREF colour = RGB(static_cast<int>(value[0]) & 0xFF, static_cast<int>(value[1]) & 0xFF,
                                static_cast<int>(value[2]) & 0xFF);
    // One pen per column, freed at once: a caption is hundreds of columns.
    HPEN pen = ::CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ old = ::SelectObject(hdc, pen);
    ::MoveToEx(hdc, x, rect.top, nullptr);
    ::LineTo(hdc, x, rect.bottom);
    ::SelectObject(hdc, old);
    ::DeleteObject(pen);
    for (int c = 0; c < 3; ++c) value[c] += step[c];
  }
}

void CPageFrameWnd::PaintCaption(CDC* dc, CRect rect, LPCTSTR text, HICON icon) {
  HDC hdc = dc->GetSafeHdc();
  const COLORREF left = ::GetSysColor(COLOR_ACTIVECAPTION);
  const COLORREF right = ::GetPixel(hdc, rect.right - 1, rect.top);
  FillHorizontalGradient(dc, rect, left, right);

  if (icon && GetCaptionImageCount() == 1) {
    IMAGEINFO info = {};
    m_captionImages.GetImageInfo(0, &info);
    const int w = info.rcImage.right - info.rcImage.left, h = info.rcImage.bottom - info.rcImage.top;
    const int y = (rect.top + rect.bottom) / 2 - h / 2;
    m_captionImages.Draw(dc, 0, CPoint(3, y), ILD_TRANSPARENT);
    rect.left += w + 3;
  }
  rect.left += 2;
  const COLORREF oldColour = ::SetTextColor(hdc, ::GetSysColor(COLOR_CAPTIONTEXT));
  const int oldMode = ::SetBkMode(hdc, TRANSPARENT);
  HGDIOBJ oldFont = ::SelectObject(hdc, ::GetStockObject(SYSTEM_FONT));
  ::DrawTextA(hdc, text, -1, &rect, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  ::SelectObject(hdc, oldFont);
  ::SetBkMode(hdc, oldMode);
  ::SetTextColor(hdc, oldColour);
}
