// Custom draw of CXListCtrl's cells and its empty-list text.
#include <listctrl/CXListCtrl.h>

#include <base/GdiHandles.h>

#include "PenScope.h"

#include <algorithm>

namespace {

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
}

}  // namespace

void CXListCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult) {
  NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(pNMHDR);
  *pResult = CDRF_DODEFAULT;
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
    *pResult = CDRF_NOTIFYITEMDRAW;
    return;
  }
  if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    *pResult = CDRF_NOTIFYSUBITEMDRAW;
    return;
  }
  if (draw->nmcd.dwDrawStage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) return;

  const int nItem = static_cast<int>(draw->nmcd.dwItemSpec);
  const int nSubItem = draw->iSubItem;
  Records* records = reinterpret_cast<Records*>(draw->nmcd.lItemlParam);
  // A column added after the item has no record: it paints with the defaults.
  const XListCellData* cell = records && nSubItem >= 0 && nSubItem < static_cast<int>(records->cells.size())
                                  ? &records->cells[nSubItem]
                                  : nullptr;
  const bool enabled = !records || records->cells.empty() || records->cells[0].bEnabled;
  COLORREF crText = cell ? cell->crText : m_crWindowText;
  COLORREF crBkgnd = cell ? cell->crBackground : (records ? m_crWindow : 0);
  if (!enabled) crText = m_crGrayText;
  draw->clrText = crText;
  draw->clrTextBk = crBkgnd;

  CDC* pDC = CDC::FromHandle(draw->nmcd.hdc);
  CRect rect;
  GetCellRect(nItem, nSubItem, LVIR_BOUNDS, rect);
  if (cell && cell->bShowProgress) {
    DrawProgress(nItem, nSubItem, pDC, crText, crBkgnd, rect, cell);
  } else if (cell && cell->bCombo && DrawComboCell(nItem, nSubItem, pDC, rect, *cell, crText, crBkgnd)) {
    // drawn by the combo editing
  } else if (cell && cell->nCheckedState != -1) {
    DrawCheckbox(nItem, nSubItem, pDC, crText, crBkgnd, rect, cell);
  } else {
    rect.left += DrawImage(nItem, nSubItem, pDC, crText, crBkgnd, rect, cell);
    DrawCellText(nItem, nSubItem, pDC, crText, crBkgnd, rect, cell);
  }
  *pResult = CDRF_SKIPDEFAULT;
}

void CXListCtrl::GetDrawColors(int nItem, int nSubItem, COLORREF& crText, COLORREF& crBkgnd) {
  const DWORD style = GetStyle();
  const DWORD exStyle = GetExtendedStyle();
  if (!(CListCtrl::GetItemState(nItem, LVIS_SELECTED) & LVIS_SELECTED)) return;
  if (!(exStyle & LVS_EX_FULLROWSELECT) && nSubItem != 0) return;
  if (::GetFocus() == m_hWnd) {
    crText = m_crHighLightText;
    crBkgnd = m_crHighLight;
  } else if (style & LVS_SHOWSELALWAYS) {
    crText = m_crWindowText;
    crBkgnd = m_crBtnFace;
  }
}

void CXListCtrl::DrawProgress(int, int, CDC* pDC, COLORREF crText, COLORREF crBkgnd, CRect& rect,
                              const XListCellData* pCell) {
  HDC dc = pDC->m_hDC;
  CRect r = rect;
  r.bottom -= 1;
  r.left += 1;
  r.right -= 2;
  {
    PenScope pen(dc, m_crBtnShadow);
    Line(dc, r.left, r.bottom, r.right + 1, r.bottom);
    Line(dc, r.left, r.top, r.right, r.top);
    Line(dc, r.left, r.top, r.left, r.bottom);
    Line(dc, r.right, r.top, r.right, r.bottom);
  }
  pDC->FillSolidRect(CRect(r.left + 1, r.top + 1, r.right, r.bottom), RGB(0xE0, 0xE0, 0xE0));
  {
    PenScope pen(dc, RGB(0, 0, 0));
    Line(dc, r.left + 1, r.top + 1, r.right, r.top + 1);
    Line(dc, r.left + 1, r.top + 1, r.left + 1, r.bottom);
  }
  CRect bar(r.left + 2, r.top + 2, r.right, r.bottom);
  const int percent = std::min(std::max(pCell->nProgressPercent, 0), 100);
  CRect filled = bar;
  filled.right = bar.left + bar.Width() * percent / 100;
  CRect rest = bar;
  rest.left = filled.right + 1;
  if (percent > 0) pDC->FillSolidRect(&filled, m_crHighLight);
  if (!pCell->bShowProgressMessage) return;

  CString label = pCell->strProgressText;
  if (label.IsEmpty()) label.Format("%d%%", percent);
  CRect textRect = r;
  textRect.DeflateRect(1, 1);
  textRect.top += 1;
  int saved = ::SaveDC(dc);
  ::SetBkMode(dc, TRANSPARENT);
  // The label reads in the background colour over the bar and in the text colour beside it.
  if (percent > 0) {
    ::IntersectClipRect(dc, filled.left, filled.top, filled.right, filled.bottom);
    ::SetTextColor(dc, crBkgnd);
    ::DrawTextA(dc, label, label.GetLength(), &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::RestoreDC(dc, saved);
    saved = ::SaveDC(dc);
    ::SetBkMode(dc, TRANSPARENT);
  }
  if (rest.right > rest.left) {
    ::IntersectClipRect(dc, percent > 0 ? rest.left : bar.left - 1, rect.top, rect.right, rect.bottom);
    ::SetTextColor(dc, crText);
    ::DrawTextA(dc, label, label.GetLength(), &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  ::RestoreDC(dc, saved);
}

void CXListCtrl::DrawCheckbox(int nItem, int nSubItem, CDC* pDC, COLORREF crText, COLORREF crBkgnd,
                              CRect& rect, const XListCellData* pCell) {
  GetDrawColors(nItem, nSubItem, crText, crBkgnd);
  HDC dc = pDC->m_hDC;
  pDC->FillSolidRect(&rect, crBkgnd);
  CString text = CListCtrl::GetItemText(nItem, nSubItem);
  const int side = rect.Height() - 1;
  CRect box(rect.left + 9, rect.top, rect.left + 9 + side, rect.top + side);
  if (text.IsEmpty()) {
    box.left = rect.left + rect.Width() / 2 - side / 2 - 1;
    box.right = box.left + side;
  }
  pDC->FillSolidRect(&box, m_crWindow);
  box.left += 1;
  ::DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
  if (pCell->nCheckedState == 1) {
    const bool enabled = GetEnabled(nItem);
    PenScope pen(dc, enabled ? RGB(0, 0, 0) : m_crGrayText);
    int x = box.left + 9;
    int y = box.top + 3;
    for (int i = 0; i < 7; ++i) {
      Line(dc, x, y, x, y + 3);
      --x;
      y += i < 3 ? 1 : -1;
    }
  }
  if (!text.IsEmpty()) {
    CRect textRect = rect;
    textRect.left = box.right + 4;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, crText);
    ::DrawTextA(dc, text, text.GetLength(), &textRect, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
}

int CXListCtrl::DrawImage(int nItem, int nSubItem, CDC* pDC, COLORREF crText, COLORREF crBkgnd, CRect rect,
                          const XListCellData* pCell) {
  GetDrawColors(nItem, nSubItem, crText, crBkgnd);
  pDC->FillSolidRect(&rect, crBkgnd);
  HIMAGELIST list = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
  if (!list || !pCell || pCell->nImage == -1) return 0;
  int cx = 0, cy = 0;
  ImageList_GetIconSize(list, &cx, &cy);
  const int spacing = m_HeaderCtrl.GetSpacing();
  int x = rect.left + spacing;
  int y = rect.top + (rect.Height() - cy) / 2;
  int w = std::max(0, std::min(cx, static_cast<int>(rect.right - x)));
  int h = std::min(cy, rect.Height());
  COLORREF oldBk = ImageList_SetBkColor(list, crBkgnd);
  ImageList_DrawEx(list, pCell->nImage, pDC->m_hDC, x, std::max(y, static_cast<int>(rect.top)), w, h,
                   CLR_DEFAULT, CLR_DEFAULT, ILD_NORMAL);
  ImageList_SetBkColor(list, oldBk);
  return cx + spacing;
}

void CXListCtrl::DrawCellText(int nItem, int nSubItem, CDC* pDC, COLORREF crText, COLORREF crBkgnd,
                              CRect& rect, const XListCellData* pCell) {
  GetDrawColors(nItem, nSubItem, crText, crBkgnd);
  HDC dc = pDC->m_hDC;
  pDC->FillSolidRect(&rect, crBkgnd);
  CString text = CListCtrl::GetItemText(nItem, nSubItem);
  if (text.IsEmpty()) return;
  LVCOLUMNA column = {};
  column.mask = LVCF_FMT;
  CListCtrl::GetColumn(nSubItem, &column);
  UINT align = DT_LEFT;
  if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) align = DT_CENTER;
  if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT) align = DT_RIGHT;
  base::GdiFont bold;
  if (pCell && pCell->bBold) {
    LOGFONTA lf = {};
    ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof(lf), &lf);
    lf.lfWeight = FW_BOLD;
    bold.Attach(::CreateFontIndirectA(&lf));
  }
  base::ScopedSelect font(dc, bold.Get());
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, crText);
  CRect textRect = rect;
  textRect.DeflateRect(2, 0);
  ::DrawTextA(dc, text, text.GetLength(), &textRect, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void CXListCtrl::OnPaint() {
  Default();
  if (CListCtrl::GetItemCount() >= 1) return;
  CClientDC dc(this);
  DrawEmptyListText(&dc);
}

void CXListCtrl::DrawEmptyListText(CDC* pDC) {
  CRect rect;
  GetClientRect(&rect);
  if (m_bHeaderIsSubclassed && m_HeaderCtrl.GetItemCount() > 0) {
    CRect first;
    m_HeaderCtrl.GetItemRect(0, &first);
    rect.top = first.bottom;
  }
  rect.top += 10;
  HDC dc = pDC->m_hDC;
  pDC->FillSolidRect(&rect, m_crWindow);
  if (m_strEmptyText.IsEmpty()) return;
  base::ScopedSelect font(dc, ::GetStockObject(ANSI_VAR_FONT));
  ::SetTextColor(dc, m_crWindowText);
  ::SetBkColor(dc, m_crWindow);
  ::DrawTextA(dc, m_strEmptyText, m_strEmptyText.GetLength(), &rect,
              DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP);
}
