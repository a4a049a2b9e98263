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
  const int nItem = static_cast<int>(draw->nmcd.dwItemSpec);
  Records* records = reinterpret_cast<Records*>(draw->nmcd.lItemlParam);
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
    BeginPaintState();
    *pResult = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
    return;
  }
  if (draw->nmcd.dwDrawStage == CDDS_POSTPAINT) {
    EndPaintState();
    return;
  }
  if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
    BeginRowState(nItem);
    *pResult = CDRF_NOTIFYSUBITEMDRAW;
    return;
  }
  if (draw->nmcd.dwDrawStage != (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) return;
  CRect rect;
  const int nSubItem = draw->iSubItem;
  if (m_paint.painting && m_paint.row == nItem && nSubItem >= 0 &&
      nSubItem < static_cast<int>(m_paint.columns.size())) {
    const CRect& column = m_paint.columns[static_cast<size_t>(nSubItem)];
    rect.SetRect(m_paint.rowBounds.left + column.left, m_paint.rowBounds.top,
                 m_paint.rowBounds.left + column.right, m_paint.rowBounds.bottom);
  } else {
    GetCellRect(nItem, nSubItem, LVIR_BOUNDS, rect);
  }
  DrawCell(nItem, draw->iSubItem, CDC::FromHandle(draw->nmcd.hdc), rect, records);
  *pResult = CDRF_SKIPDEFAULT;
}

void CXListCtrl::DrawCell(int nItem, int nSubItem, CDC* pDC, CRect rect, const Records* records) {
  // A column added after the item has no record: it paints with the defaults.
  const XListCellData* cell = records && nSubItem >= 0 && nSubItem < static_cast<int>(records->cells.size())
                                  ? &records->cells[static_cast<size_t>(nSubItem)]
                                  : nullptr;
  const bool enabled = !records || records->cells.empty() || records->cells[0].bEnabled;
  COLORREF crText = cell ? cell->crText : m_crWindowText;
  COLORREF crBkgnd = cell ? cell->crBackground : (records ? m_crWindow : 0);
  if (!enabled) crText = m_crGrayText;
  m_paint.rowEnabled = enabled;
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
}

void CXListCtrl::EndPaintState() {
  m_paint.painting = false;
  m_paint.row = -1;
  if (m_paint.imageDC && m_paint.oldStrip) ::SelectObject(m_paint.imageDC->Get(), m_paint.oldStrip);
  m_paint.oldStrip = nullptr;
  m_paint.imageStrip.Reset();
  m_paint.imageDC.reset();
  m_paint.imageSlots.clear();
}

bool CXListCtrl::DrawImageFromStrip(HDC dc, HIMAGELIST list, int image, COLORREF crBkgnd, int x, int y, int w,
                                    int h) {
  const int kSlots = 16;
  const int cx = m_paint.iconCx, cy = m_paint.iconCy;
  if (!m_paint.painting || list != m_paint.images || cx <= 0 || cy <= 0) return false;
  const std::pair<int, COLORREF> key(image, crBkgnd);
  auto found = std::find(m_paint.imageSlots.begin(), m_paint.imageSlots.end(), key);
  int slot = static_cast<int>(found - m_paint.imageSlots.begin());
  if (found == m_paint.imageSlots.end()) {
    if (slot >= kSlots) return false;
    if (!m_paint.imageDC) {
      m_paint.imageDC = std::make_unique<base::ScopedMemoryDC>(dc);
      m_paint.imageStrip.Attach(::CreateCompatibleBitmap(dc, cx * kSlots, cy));
      if (!m_paint.imageDC->Get() || !m_paint.imageStrip) {
        EndPaintState();
        return false;
      }
      m_paint.oldStrip = ::SelectObject(m_paint.imageDC->Get(), m_paint.imageStrip.Get());
    }
    COLORREF oldBk = ImageList_SetBkColor(list, crBkgnd);
    ImageList_DrawEx(list, image, m_paint.imageDC->Get(), slot * cx, 0, cx, cy, CLR_DEFAULT, CLR_DEFAULT,
                     ILD_NORMAL);
    ImageList_SetBkColor(list, oldBk);
    m_paint.imageSlots.push_back(key);
  }
  return ::BitBlt(dc, x, y, w, h, m_paint.imageDC->Get(), slot * cx, 0, SRCCOPY) != FALSE;
}

void CXListCtrl::BeginPaintState() {
  EndPaintState();
  m_paint.painting = true;
  m_paint.row = -1;
  m_paint.style = GetStyle();
  m_paint.exStyle = GetExtendedStyle();
  m_paint.focused = ::GetFocus() == m_hWnd;
  m_paint.images = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
  m_paint.iconCx = m_paint.iconCy = 0;
  if (m_paint.images) ImageList_GetIconSize(m_paint.images, &m_paint.iconCx, &m_paint.iconCy);
  m_paint.spacing = m_HeaderCtrl.GetSpacing();
  const int columns = GetColumns();
  m_paint.align.assign(static_cast<size_t>(std::max(columns, 0)), DT_LEFT);
  m_paint.columns.assign(static_cast<size_t>(std::max(columns, 0)), CRect());
  for (int c = 0; c < columns; ++c) {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT;
    CListCtrl::GetColumn(c, &column);
    UINT& align = m_paint.align[static_cast<size_t>(c)];
    if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) align = DT_CENTER;
    if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT) align = DT_RIGHT;
  }
}

void CXListCtrl::BeginRowState(int nItem) {
  m_paint.row = -1;
  if (!m_paint.painting || !CListCtrl::GetItemRect(nItem, &m_paint.rowBounds, LVIR_BOUNDS)) return;
  // The cells of every row sit at the same offsets from the row's left end:
  // the first row painted measures them for the rest.
  if (!m_paint.columns.empty() && m_paint.columns[0].IsRectNull()) {
    for (size_t c = 0; c < m_paint.columns.size(); ++c) {
      CRect cell;
      if (!GetCellRect(nItem, static_cast<int>(c), LVIR_BOUNDS, cell)) return;
      m_paint.columns[c].SetRect(cell.left - m_paint.rowBounds.left, 0, cell.right - m_paint.rowBounds.left,
                                 0);
    }
  }
  m_paint.rowSelected = (CListCtrl::GetItemState(nItem, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  m_paint.row = nItem;
}

void CXListCtrl::GetDrawColors(int nItem, int nSubItem, COLORREF& crText, COLORREF& crBkgnd) {
  const bool cached = m_paint.painting && m_paint.row == nItem;
  const DWORD style = cached ? m_paint.style : GetStyle();
  const DWORD exStyle = cached ? m_paint.exStyle : GetExtendedStyle();
  const bool selected =
      cached ? m_paint.rowSelected : (CListCtrl::GetItemState(nItem, LVIS_SELECTED) & LVIS_SELECTED) != 0;
  if (!selected) return;
  if (!(exStyle & LVS_EX_FULLROWSELECT) && nSubItem != 0) return;
  if (cached ? m_paint.focused : ::GetFocus() == m_hWnd) {
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
    const bool enabled =
        m_paint.painting && m_paint.row == nItem ? m_paint.rowEnabled : GetEnabled(nItem) != 0;
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
  if (!pCell || pCell->nImage == -1) return 0;
  const bool cached = m_paint.painting;
  HIMAGELIST list =
      cached ? m_paint.images : reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
  if (!list) return 0;
  int cx = m_paint.iconCx, cy = m_paint.iconCy;
  if (!cached) ImageList_GetIconSize(list, &cx, &cy);
  const int spacing = cached ? m_paint.spacing : m_HeaderCtrl.GetSpacing();
  int x = rect.left + spacing;
  int y = rect.top + (rect.Height() - cy) / 2;
  int w = std::max(0, std::min(cx, static_cast<int>(rect.right - x)));
  int h = std::min(cy, rect.Height());
  y = std::max(y, static_cast<int>(rect.top));
  // ImageList_DrawEx costs far more than a copy of its result.
  if (!DrawImageFromStrip(pDC->m_hDC, list, pCell->nImage, crBkgnd, x, y, w, h)) {
    COLORREF oldBk = ImageList_SetBkColor(list, crBkgnd);
    ImageList_DrawEx(list, pCell->nImage, pDC->m_hDC, x, y, w, h, CLR_DEFAULT, CLR_DEFAULT, ILD_NORMAL);
    ImageList_SetBkColor(list, oldBk);
  }
  return cx + spacing;
}

void CXListCtrl::DrawCellText(int nItem, int nSubItem, CDC* pDC, COLORREF crText, COLORREF crBkgnd,
                              CRect& rect, const XListCellData* pCell) {
  GetDrawColors(nItem, nSubItem, crText, crBkgnd);
  HDC dc = pDC->m_hDC;
  pDC->FillSolidRect(&rect, crBkgnd);
  CString text = CListCtrl::GetItemText(nItem, nSubItem);
  if (text.IsEmpty()) return;
  UINT align = DT_LEFT;
  if (m_paint.painting && nSubItem >= 0 && nSubItem < static_cast<int>(m_paint.align.size())) {
    align = m_paint.align[static_cast<size_t>(nSubItem)];
  } else {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT;
    CListCtrl::GetColumn(nSubItem, &column);
    if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER) align = DT_CENTER;
    if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT) align = DT_RIGHT;
  }
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
  EndPaintState();
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
