#include "ui/CColorButton.h"

#include <afxdlgs.h>

#include <memory>

BEGIN_MESSAGE_MAP(CColorButton, CButton)
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

void CColorButton::SetColor(COLORREF color) {
  m_color = color;
  if (::IsWindow(m_hWnd)) Invalidate(FALSE);
}

void CColorButton::SetDarkFrame(BOOL dark) {
  m_darkFrame = dark;
  if (::IsWindow(m_hWnd)) Invalidate(FALSE);
}

void CColorButton::PreSubclassWindow() {
  ModifyStyle(0, BS_OWNERDRAW);
  CButton::PreSubclassWindow();
}

BOOL CColorButton::OnClicked() {
  if (m_pickOnClick) PickColor();
  return FALSE;
}

bool CColorButton::PickColor() {
  auto dialog = std::make_unique<CColorDialog>(0, 0, nullptr);
  if (m_customColors) dialog->m_cc.lpCustColors = m_customColors;
  dialog->m_cc.Flags |= CC_RGBINIT | CC_FULLOPEN;
  dialog->m_cc.rgbResult = m_color;
  if (dialog->DoModal() != IDOK || dialog->GetColor() == m_color) return false;
  SetColor(dialog->GetColor());
  if (m_sink) m_sink->OnColorChanged(1);
  return true;
}

void CColorButton::DrawItem(LPDRAWITEMSTRUCT dis) {
  HDC dc = dis->hDC;
  CRect r = dis->rcItem;

  // The face around the swatch. Each clip exclusion holds for one step only
  // (left in place it would clip the swatch away).
  CRect inner = r;
  inner.DeflateRect(2, 2);
  int saved = ::SaveDC(dc);
  ::ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
  ::RestoreDC(dc, saved);

  if (dis->itemState & ODS_FOCUS) {
    const COLORREF oldBk = ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    ::DrawFocusRect(dc, &r);
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::DrawFocusRect(dc, &r);
    ::SetBkColor(dc, oldBk);
  }

  r.DeflateRect(2, 2);
  HPEN pen = ::CreatePen(PS_SOLID, 1, ::GetSysColor(m_darkFrame ? COLOR_3DDKSHADOW : COLOR_BTNFACE));
  HGDIOBJ oldPen = ::SelectObject(dc, pen);
  ::MoveToEx(dc, r.left, r.top, nullptr);
  ::LineTo(dc, r.right - 1, r.top);
  ::LineTo(dc, r.right - 1, r.bottom - 1);
  ::LineTo(dc, r.left, r.bottom - 1);
  ::LineTo(dc, r.left, r.top);
  ::SelectObject(dc, oldPen);
  ::DeleteObject(pen);

  r.DeflateRect(1, 1);
  inner = r;
  inner.DeflateRect(2, 2);
  UINT state = DFCS_BUTTONPUSH;
  if (dis->itemState & ODS_SELECTED) state |= DFCS_PUSHED;
  if (dis->itemState & ODS_DISABLED) state |= DFCS_INACTIVE;
  saved = ::SaveDC(dc);
  ::ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  ::DrawFrameControl(dc, &r, DFC_BUTTON, state);
  ::RestoreDC(dc, saved);

  r.DeflateRect(2, 2);
  HBRUSH swatch = ::CreateSolidBrush(m_color);
  ::FillRect(dc, &r, swatch);
  ::DeleteObject(swatch);

  const bool disabled = !::IsWindowEnabled(m_hWnd);
  if (disabled) {
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left + ((r.left + y) & 1); x < r.right; x += 2) ::SetPixelV(dc, x, y, face);
  }

  CString text;
  GetWindowText(text);
  if (text.IsEmpty()) return;
  CRect textRect = r;
  if (dis->itemState & ODS_SELECTED) {
    textRect.right += 2;
    textRect.bottom += 2;
  }
  const int oldMode = ::SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColour = ::GetTextColor(dc);
  HGDIOBJ font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  HGDIOBJ oldFont = ::SelectObject(dc, font ? font : ::GetStockObject(DEFAULT_GUI_FONT));
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
  if (dis->itemState & ODS_DISABLED) {
    CRect shadow = textRect;
    shadow.OffsetRect(1, 1);
    ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
    ::DrawTextA(dc, text, text.GetLength(), &shadow, format);
    ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
  } else {
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
  }
  ::DrawTextA(dc, text, text.GetLength(), &textRect, format);
  ::SelectObject(dc, oldFont);
  ::SetTextColor(dc, oldColour);
  ::SetBkMode(dc, oldMode);
}
