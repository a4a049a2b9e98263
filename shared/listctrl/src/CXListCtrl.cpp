#include <listctrl/CXListCtrl.h>

#include <listctrl/XListMessages.h>

#include <algorithm>
#include <new>

BEGIN_MESSAGE_MAP(CXListCtrl, CListCtrl)
  ON_NOTIFY_REFLECT_EX(NM_CLICK, OnClick)
  ON_NOTIFY_REFLECT_EX(LVN_COLUMNCLICK, OnColumnClick)
  ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
  ON_WM_CREATE()
  ON_WM_DESTROY()
  ON_WM_LBUTTONDOWN()
  ON_WM_RBUTTONUP()
  ON_WM_PAINT()
  ON_WM_SYSCOLORCHANGE()
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

CXListCtrl::CXListCtrl() : m_strEmptyText("There are no items to show in this view.") { ReadColors(); }

CXListCtrl::~CXListCtrl() {
  // A window that outlives the object would reach WM_DESTROY without this class.
  if (m_hWnd && ::IsWindow(m_hWnd)) FreeAllRecords();
}

void CXListCtrl::ReadColors() {
  m_cr3DFace = ::GetSysColor(COLOR_3DFACE);
  m_cr3DHighLight = ::GetSysColor(COLOR_3DHIGHLIGHT);
  m_cr3DShadow = ::GetSysColor(COLOR_3DSHADOW);
  m_crBtnFace = ::GetSysColor(COLOR_BTNFACE);
  m_crBtnShadow = ::GetSysColor(COLOR_BTNSHADOW);
  m_crBtnText = ::GetSysColor(COLOR_BTNTEXT);
  m_crGrayText = ::GetSysColor(COLOR_GRAYTEXT);
  m_crHighLight = ::GetSysColor(COLOR_HIGHLIGHT);
  m_crHighLightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
  m_crWindow = ::GetSysColor(COLOR_WINDOW);
  m_crWindowText = ::GetSysColor(COLOR_WINDOWTEXT);
}

// ---- records

CXListCtrl::Records* CXListCtrl::GetRecords(int nItem) {
  if (nItem < 0 || nItem >= CListCtrl::GetItemCount()) return nullptr;
  return reinterpret_cast<Records*>(CListCtrl::GetItemData(nItem));
}

XListCellData* CXListCtrl::Cell(int nItem, int nSubItem) {
  // Every message costs a trip through the window procedure, and setters run
  // per row over whole lists: the item's value (null for an item that does
  // not exist) stands in for a separate count.
  if (nItem < 0 || nSubItem < 0 || nSubItem >= GetColumns()) return nullptr;
  Records* records = reinterpret_cast<Records*>(CListCtrl::GetItemData(nItem));
  if (!records || nSubItem >= static_cast<int>(records->cells.size())) return nullptr;
  return &records->cells[static_cast<size_t>(nSubItem)];
}

BOOL CXListCtrl::ValidIndices(int nItem, int nSubItem) {
  return nItem >= 0 && nItem < CListCtrl::GetItemCount() && nSubItem >= 0 && nSubItem < GetColumns();
}

CXListCtrl::Records* CXListCtrl::NewRecords() {
  Records* records = new (std::nothrow) Records;
  if (!records) return nullptr;
  try {
    XListCellData defaults;
    defaults.crText = m_crWindowText;
    defaults.crBackground = m_crWindow;
    records->cells.assign(static_cast<size_t>(std::max(GetColumns(), 0)), defaults);
  } catch (...) {
    delete records;
    return nullptr;
  }
  if (m_checkedCounts.size() < records->cells.size()) m_checkedCounts.resize(records->cells.size(), 0);
  return records;
}

void CXListCtrl::FreeAllRecords() {
  const int count = CListCtrl::GetItemCount();
  for (int i = 0; i < count; ++i) {
    Records* records = GetRecords(i);
    CListCtrl::SetItemData(i, 0);
    delete records;
  }
  std::fill(m_checkedCounts.begin(), m_checkedCounts.end(), 0);
}

// ---- header

void CXListCtrl::PreSubclassWindow() {
  CListCtrl::PreSubclassWindow();
  SubclassHeaderControl();
}

int CXListCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct) {
  if (CListCtrl::OnCreate(lpCreateStruct) == -1) return -1;
  SubclassHeaderControl();
  return 0;
}

void CXListCtrl::SubclassHeaderControl() {
  if (m_bHeaderIsSubclassed) return;
  HWND header = reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER));
  if (header && m_HeaderCtrl.SubclassWindow(header)) m_bHeaderIsSubclassed = TRUE;
}

int CXListCtrl::GetColumns() { return m_bHeaderIsSubclassed ? m_HeaderCtrl.GetItemCount() : 0; }

int CXListCtrl::GetHeaderCheckedState(int nSubItem) {
  if (nSubItem < 0 || nSubItem >= GetColumns()) return -1;
  HDITEMA item = {};
  item.mask = HDI_IMAGE;
  if (!m_HeaderCtrl.GetItem(nSubItem, &item)) return -1;
  return item.iImage;
}

BOOL CXListCtrl::SetHeaderCheckedState(int nSubItem, int nCheckedState) {
  if (nSubItem < 0 || nSubItem >= GetColumns() || nCheckedState < 0 || nCheckedState > 2) return FALSE;
  HDITEMA item = {};
  item.mask = HDI_IMAGE;
  item.iImage = nCheckedState;
  return m_HeaderCtrl.SetItem(nSubItem, &item);
}

void CXListCtrl::UpdateHeaderFromCount(int nSubItem) {
  HDITEMA item = {};
  item.mask = HDI_IMAGE;
  if (!m_bHeaderIsSubclassed || !m_HeaderCtrl.GetItem(nSubItem, &item)) return;
  const int state = item.iImage;
  if (state <= 0) return;
  const int checked = nSubItem < static_cast<int>(m_checkedCounts.size())
                          ? m_checkedCounts[static_cast<size_t>(nSubItem)]
                          : 0;
  int wanted = checked == CListCtrl::GetItemCount() ? 2 : 1;
  // Setting the header item repaints the header: only when its state changes.
  if (wanted != state) SetHeaderCheckedState(nSubItem, wanted);
}

void CXListCtrl::ChangeChecked(XListCellData& cell, int nSubItem, int nNewState) {
  int& count = m_checkedCounts[static_cast<size_t>(nSubItem)];
  if (cell.nCheckedState == 1) --count;
  cell.nCheckedState = nNewState;
  if (cell.nCheckedState == 1) ++count;
}

int CXListCtrl::CountCheckedItems(int nSubItem) {
  if (nSubItem < 0 || nSubItem >= GetColumns() || nSubItem >= static_cast<int>(m_checkedCounts.size()))
    return 0;
  return m_checkedCounts[static_cast<size_t>(nSubItem)];
}

// ---- items

int CXListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
  return InsertItemColored(nItem, lpszItem, m_crWindowText, m_crWindow);
}

int CXListCtrl::InsertItemColored(int nItem, LPCTSTR lpszItem, COLORREF crText, COLORREF crBackground) {
  if (nItem < 0 || !m_hWnd) return -1;
  int index = CListCtrl::InsertItem(nItem, lpszItem);
  if (index < 0) return index;
  Records* records = NewRecords();
  if (!records) return -1;
  if (!records->cells.empty()) {
    records->cells[0].crText = crText;
    records->cells[0].crBackground = crBackground;
    records->cells[0].nImage = -1;
  }
  CListCtrl::SetItemData(index, reinterpret_cast<DWORD_PTR>(records));
  return index;
}

int CXListCtrl::InsertItemFromStruct(const LVITEMA* pItem) {
  if (!pItem || pItem->iItem < 0 || pItem->iSubItem != 0 || !m_hWnd) return -1;
  LVITEMA item = *pItem;
  item.mask &= ~LVIF_PARAM;  // the item's own value holds the records
  int index = CListCtrl::InsertItem(&item);
  if (index < 0) return -1;
  Records* records = NewRecords();
  if (!records) return -1;
  if (!records->cells.empty() && (pItem->mask & LVIF_IMAGE)) records->cells[0].nImage = pItem->iImage;
  CListCtrl::SetItemData(index, reinterpret_cast<DWORD_PTR>(records));
  return index;
}

int CXListCtrl::SetItem(const LVITEMA* pItem) {
  if (!pItem) return 0;
  if (pItem->iItem < 0) return -1;
  XListCellData* cell = Cell(pItem->iItem, pItem->iSubItem);
  if (!cell) return 0;
  LVITEMA item = *pItem;
  item.mask &= ~LVIF_PARAM;
  if (!CListCtrl::SetItem(&item)) return 0;
  if (pItem->mask & LVIF_IMAGE) cell->nImage = pItem->iImage;
  RepaintCell(pItem->iItem, pItem->iSubItem);
  return 1;
}

BOOL CXListCtrl::SetItemImage(int nItem, int nSubItem, int nImage) {
  XListCellData* cell = Cell(nItem, nSubItem);
  if (!cell) return FALSE;
  cell->nImage = nImage;
  RepaintCell(nItem, nSubItem);
  return TRUE;
}

BOOL CXListCtrl::SetSubItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
  if (!ValidIndices(nItem, nSubItem)) return FALSE;
  BOOL ok = CListCtrl::SetItemText(nItem, nSubItem, lpszText);
  UpdateSubItem(nItem, nSubItem);
  return ok;
}

BOOL CXListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText, COLORREF crText,
                             COLORREF crBackground) {
  XListCellData* cell = Cell(nItem, nSubItem);
  if (!cell) return FALSE;
  BOOL ok = TRUE;
  if (lpszText) ok = CListCtrl::SetItemText(nItem, nSubItem, lpszText);
  cell->crText = crText == static_cast<COLORREF>(-1) ? m_crWindowText : crText;
  cell->crBackground = crBackground == static_cast<COLORREF>(-1) ? m_crWindow : crBackground;
  RepaintCell(nItem, nSubItem);
  return ok;
}

CString CXListCtrl::GetItemText(int nItem, int nSubItem) {
  if (!ValidIndices(nItem, nSubItem)) return CString();
  return CListCtrl::GetItemText(nItem, nSubItem);
}

BOOL CXListCtrl::DeleteItem(int nItem) {
  Records* records = GetRecords(nItem);
  if (nItem < 0 || nItem >= CListCtrl::GetItemCount()) return FALSE;
  // Detached first: a failed deletion leaves the item without records rather
  // than with freed ones.
  CListCtrl::SetItemData(nItem, 0);
  BOOL ok = CListCtrl::DeleteItem(nItem);
  if (records) {
    for (size_t c = 0; c < records->cells.size(); ++c) {
      if (records->cells[c].nCheckedState == 1) --m_checkedCounts[c];
    }
    delete records;
  }
  return ok;
}

BOOL CXListCtrl::DeleteAllItems() {
  FreeAllRecords();
  return CListCtrl::DeleteAllItems();
}

BOOL CXListCtrl::SetProgress(int nItem, int nSubItem, BOOL bShowProgressText, LPCTSTR lpszProgressText) {
  XListCellData* cell = Cell(nItem, nSubItem);
  if (!cell) return FALSE;
  cell->bShowProgress = 1;
  cell->nProgressPercent = 0;
  cell->bShowProgressMessage = bShowProgressText ? 1 : 0;
  cell->strProgressText = lpszProgressText ? lpszProgressText : "";
  RepaintCell(nItem, nSubItem);
  return TRUE;
}

void CXListCtrl::UpdateProgress(int nItem, int nSubItem, int nPercent) {
  XListCellData* cell = Cell(nItem, nSubItem);
  if (!cell) return;
  // A wrong size from a server can give more than 100; the bar stays inside its cell.
  cell->nProgressPercent = std::min(std::max(nPercent, 0), 100);
  RepaintCell(nItem, nSubItem);
}

void CXListCtrl::DeleteProgress(int nItem, int nSubItem) {
  XListCellData* cell = Cell(nItem, nSubItem);
  if (!cell) return;
  cell->bShowProgress = 0;
  cell->nProgressPercent = 0;
  RepaintCell(nItem, nSubItem);
}

BOOL CXListCtrl::SetCheckbox(int nItem, int nSubItem, int nCheckedState) {
  XListCellData* cell = Cell(nItem, nSubItem);
  if (!cell || nCheckedState < -1 || nCheckedState > 1) return FALSE;
  const int before = cell->nCheckedState;
  ChangeChecked(*cell, nSubItem, nCheckedState);
  if (before == nCheckedState) return TRUE;
  RepaintCell(nItem, nSubItem);
  UpdateHeaderFromCount(nSubItem);
  return TRUE;
}

int CXListCtrl::GetCheckbox(int nItem, int nSubItem) {
  XListCellData* cell = Cell(nItem, nSubItem);
  return cell ? cell->nCheckedState : -1;
}

BOOL CXListCtrl::SetEnabled(int nItem, BOOL bEnable) {
  XListCellData* cell = Cell(nItem, 0);
  if (!cell) return FALSE;
  cell->bEnabled = bEnable ? 1 : 0;
  CRect rect;
  CListCtrl::GetItemRect(nItem, &rect, LVIR_BOUNDS);
  InvalidateRect(&rect);
  UpdateWindow();
  return TRUE;
}

BOOL CXListCtrl::GetEnabled(int nItem) {
  XListCellData* cell = Cell(nItem, 0);
  return cell ? cell->bEnabled : FALSE;
}

BOOL CXListCtrl::SetBold(int nItem, int nSubItem, BOOL bBold) {
  XListCellData* cell = Cell(nItem, nSubItem);
  if (!cell) return FALSE;
  cell->bBold = bBold ? 1 : 0;
  RepaintCell(nItem, nSubItem);
  return TRUE;
}

BOOL CXListCtrl::GetBold(int nItem, int nSubItem) {
  XListCellData* cell = Cell(nItem, nSubItem);
  return cell ? cell->bBold : FALSE;
}

BOOL CXListCtrl::SetComboList(int nItem, int nSubItem, BOOL bEnableCombo, CStringArray* psa,
                              int nComboListHeight, int nInitialComboSel) {
  XListCellData* cell = Cell(nItem, nSubItem);
  if (!cell || !psa) return FALSE;
  cell->bCombo = bEnableCombo ? 1 : 0;
  if (bEnableCombo) {
    cell->psa = psa;
    cell->nComboListHeight = nComboListHeight;
    if (nInitialComboSel < 0 || nInitialComboSel >= psa->GetSize()) nInitialComboSel = 0;
    cell->nInitialComboSel = nInitialComboSel;
    if (psa->GetSize() > 0) CListCtrl::SetItemText(nItem, nSubItem, psa->GetAt(nInitialComboSel));
  }
  RepaintCell(nItem, nSubItem);
  return TRUE;
}

BOOL CXListCtrl::SetItemToolTipText(int nItem, int nSubItem, LPCTSTR lpszToolTipText) {
  XListCellData* cell = Cell(nItem, nSubItem);
  if (!cell) return FALSE;
  cell->strToolTip = lpszToolTipText ? lpszToolTipText : "";
  return TRUE;
}

CString CXListCtrl::GetItemToolTipText(int nItem, int nSubItem) {
  XListCellData* cell = Cell(nItem, nSubItem);
  return cell ? cell->strToolTip : CString();
}

void CXListCtrl::DeleteAllToolTips() {
  const int count = CListCtrl::GetItemCount();
  for (int i = 0; i < count; ++i) {
    if (Records* records = GetRecords(i)) {
      for (XListCellData& cell : records->cells) cell.strToolTip.Empty();
    }
  }
}

DWORD_PTR CXListCtrl::GetItemData(int nItem) {
  XListCellData* cell = Cell(nItem, 0);
  return cell ? cell->dwItemData : 0;
}

BOOL CXListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
  XListCellData* cell = Cell(nItem, 0);
  if (!cell) return FALSE;
  cell->dwItemData = dwData;
  return TRUE;
}

int CXListCtrl::SetCurSel(int nItem) {
  return CListCtrl::SetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

int CXListCtrl::GetCurSel() { return CListCtrl::GetNextItem(-1, LVNI_SELECTED); }

BOOL CXListCtrl::GetCellRect(int nItem, int nSubItem, int nArea, CRect& rect) {
  if (!ValidIndices(nItem, nSubItem)) return FALSE;
  BOOL ok = CListCtrl::GetSubItemRect(nItem, nSubItem, nArea, rect);
  // Column 0's bounds span the whole row; its cell ends where column 1 begins.
  if (nSubItem == 0 && GetColumns() > 1) {
    CRect next;
    if (CListCtrl::GetSubItemRect(nItem, 1, LVIR_BOUNDS, next)) rect.right = next.left;
  }
  return ok;
}

void CXListCtrl::UpdateSubItem(int nItem, int nSubItem) {
  if (!ValidIndices(nItem, nSubItem)) return;
  RepaintCell(nItem, nSubItem);
}

bool CXListCtrl::IsRowOnScreen(int nItem) {
  CRect row, client;
  if (!CListCtrl::GetItemRect(nItem, &row, LVIR_BOUNDS)) return false;
  GetClientRect(&client);
  return row.bottom > client.top && row.top < client.bottom;
}

void CXListCtrl::RepaintColumn(int nSubItem) {
  const int top = CListCtrl::GetTopIndex();
  const int count = CListCtrl::GetItemCount();
  if (top < 0 || top >= count) return;
  const int last = std::min(count - 1, top + CListCtrl::GetCountPerPage());
  CRect first, bottom;
  if (!GetCellRect(top, nSubItem, LVIR_BOUNDS, first) || !GetCellRect(last, nSubItem, LVIR_BOUNDS, bottom))
    return;
  first.bottom = bottom.bottom;
  InvalidateRect(&first);
  UpdateWindow();
}

void CXListCtrl::RepaintCell(int nItem, int nSubItem) {
  // A row off screen is painted when it scrolls in: changing it costs no paint.
  if (!IsRowOnScreen(nItem)) return;
  CRect rect;
  GetCellRect(nItem, nSubItem, LVIR_BOUNDS, rect);
  InvalidateRect(&rect);
  UpdateWindow();
}

// ---- messages

BOOL CXListCtrl::OnClick(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  return FALSE;
}

BOOL CXListCtrl::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  int nSubItem = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem;
  int state = GetHeaderCheckedState(nSubItem);
  if (state != 1 && state != 2) return FALSE;
  SetHeaderCheckedState(nSubItem, state == 1 ? 2 : 1);
  m_HeaderCtrl.UpdateWindow();
  const int count = CListCtrl::GetItemCount();
  bool changed = false;
  for (int i = 0; i < count; ++i) {
    Records* records = reinterpret_cast<Records*>(CListCtrl::GetItemData(i));
    if (!records || nSubItem >= static_cast<int>(records->cells.size())) continue;
    XListCellData& cell = records->cells[static_cast<size_t>(nSubItem)];
    if (cell.nCheckedState == -1) continue;
    changed = true;
    ChangeChecked(cell, nSubItem, state == 1 ? 1 : 0);
  }
  // The whole column at once: one paint for the rows on screen, not one per row.
  if (changed) RepaintColumn(nSubItem);
  return FALSE;
}

void CXListCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
  const int count = CListCtrl::GetItemCount();
  int nItem = -1;
  CRect rect;
  // Only the rows on screen can hold a point of the client area: a click costs
  // the same in a list of any length.
  const int first = std::max(CListCtrl::GetTopIndex(), 0);
  const int last = std::min(count, first + CListCtrl::GetCountPerPage() + 2);
  for (int i = first; i < last; ++i) {
    if (CListCtrl::GetItemRect(i, &rect, LVIR_BOUNDS) && rect.PtInRect(point)) {
      nItem = i;
      break;
    }
  }
  if (nItem >= 0) {
    Records* records = GetRecords(nItem);
    if (!records || records->cells.empty() || !records->cells[0].bEnabled) return;
    const int columns = std::min(GetColumns(), static_cast<int>(records->cells.size()));
    int clicked = -1;
    bool toggled = false;
    for (int c = 0; c < columns; ++c) {
      if (!GetCellRect(nItem, c, LVIR_BOUNDS, rect) || !rect.PtInRect(point)) continue;
      clicked = c;
      XListCellData& cell = records->cells[static_cast<size_t>(c)];
      if (cell.nCheckedState == 0 || cell.nCheckedState == 1) {
        toggled = true;
        ChangeChecked(cell, c, cell.nCheckedState ? 0 : 1);
        RepaintCell(nItem, c);
        CWnd* target = GetParent() ? GetParent() : GetOwner();
        if (target && ::IsWindow(target->m_hWnd))
          target->SendMessage(WM_XLISTCTRL_CHECKBOX_CLICKED, nItem, c);
        UpdateHeaderFromCount(c);
      }
      break;
    }
    if (!toggled) OnCellClicked(nItem, clicked, point);
  } else {
    OnCellClicked(-1, -1, point);
  }
  CListCtrl::OnLButtonDown(nFlags, point);
  if (m_bPostCommandOnClick && GetParent()) {
    GetParent()->PostMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(m_hWnd));
  }
}

void CXListCtrl::OnRButtonUp(UINT nFlags, CPoint point) {
  if (!m_bSwallowRButtonUp) CListCtrl::OnRButtonUp(nFlags, point);
}

void CXListCtrl::OnSysColorChange() {
  CListCtrl::OnSysColorChange();
  ReadColors();
}

void CXListCtrl::OnDestroy() {
  EndPaintState();
  FreeAllRecords();
  CListCtrl::OnDestroy();
}

INT_PTR CXListCtrl::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const {
  LVHITTESTINFO hit = {};
  hit.pt = point;
  int nItem = static_cast<int>(::SendMessageA(m_hWnd, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (nItem < 0 || !(hit.flags & LVHT_ONITEMLABEL)) return -1;
  INT_PTR id = static_cast<INT_PTR>(nItem) * 1000 + hit.iSubItem + 1;
  if (pTI) {
    pTI->hwnd = m_hWnd;
    pTI->uId = static_cast<UINT_PTR>(id);
    pTI->lpszText = LPSTR_TEXTCALLBACK;
    ::GetClientRect(m_hWnd, &pTI->rect);
  }
  return id;
}

BOOL CXListCtrl::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult) {
  *pResult = 0;
  if (pNMHDR->idFrom == 0) return TRUE;  // the tool tip asking for its own window
  const MSG* msg = GetCurrentMessage();
  CPoint point = msg ? CPoint(msg->pt) : CPoint(static_cast<int>(::GetMessagePos()));
  ScreenToClient(&point);
  LVHITTESTINFO hit = {};
  hit.pt = point;
  int nItem = static_cast<int>(SendMessage(LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (nItem < 0 || !(hit.flags & LVHT_ONITEMLABEL)) return FALSE;
  XListCellData* cell = Cell(nItem, hit.iSubItem);
  if (!cell || cell->strToolTip.IsEmpty()) return FALSE;
  if (pNMHDR->code == TTN_NEEDTEXTA) {
    NMTTDISPINFOA* info = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    lstrcpynA(info->szText, cell->strToolTip, 80);
  } else {
    NMTTDISPINFOW* info = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
    char text[80];
    lstrcpynA(text, cell->strToolTip, 80);
    ::MultiByteToWideChar(CP_ACP, 0, text, -1, info->szText, 80);
  }
  return FALSE;
}
