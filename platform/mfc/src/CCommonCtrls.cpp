#include <afxwin.h>
#include <afxcmn.h>

IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

// ---- CListCtrl

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem) {
  LVCOLUMNA column = {};
  column.mask = LVCF_TEXT | LVCF_FMT;
  column.pszText = const_cast<LPSTR>(lpszColumnHeading);
  column.fmt = nFormat;
  if (nWidth != -1) {
    column.mask |= LVCF_WIDTH;
    column.cx = nWidth;
  }
  if (nSubItem != -1) {
    column.mask |= LVCF_SUBITEM;
    column.iSubItem = nSubItem;
  }
  return InsertColumn(nCol, &column);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                          LPARAM lParam) {
  LVITEMA item = {};
  item.mask = nMask;
  item.iItem = nItem;
  item.pszText = const_cast<LPSTR>(lpszItem);
  item.state = nState;
  item.stateMask = nStateMask;
  item.iImage = nImage;
  item.lParam = lParam;
  return InsertItem(&item);
}

BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage, UINT nState,
                        UINT nStateMask, LPARAM lParam) {
  LVITEMA item = {};
  item.mask = nMask;
  item.iItem = nItem;
  item.iSubItem = nSubItem;
  item.pszText = const_cast<LPSTR>(lpszItem);
  item.iImage = nImage;
  item.state = nState;
  item.stateMask = nStateMask;
  item.lParam = lParam;
  return SetItem(&item);
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
  LVITEMA item = {};
  item.iSubItem = nSubItem;
  item.pszText = const_cast<LPSTR>(lpszText);
  return AFX_CTRL_MSG(BOOL, LVM_SETITEMTEXTA, nItem, &item);
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const {
  LVITEMA item = {};
  item.iSubItem = nSubItem;
  item.pszText = lpszText;
  item.cchTextMax = nLen;
  return AFX_CTRL_MSG(int, LVM_GETITEMTEXTA, nItem, &item);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
  // The control answers how much it copied; grow until it fits.
  CString text;
  for (int nLen = 256;; nLen *= 2) {
    int nCopied = GetItemText(nItem, nSubItem, text.GetBuffer(nLen), nLen + 1);
    text.ReleaseBuffer(nCopied < 0 ? 0 : nCopied);
    if (nCopied < nLen || nLen >= (1 << 20)) return text;
  }
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
  return SetItem(nItem, 0, LVIF_PARAM, NULL, 0, 0, 0, static_cast<LPARAM>(dwData));
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
  LVITEMA item = {};
  item.mask = LVIF_PARAM;
  item.iItem = nItem;
  GetItem(&item);
  return static_cast<DWORD_PTR>(item.lParam);
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
  LVITEMA item = {};
  item.state = nState;
  item.stateMask = nMask;
  return SetItemState(nItem, &item);
}

// ---- CTreeCtrl

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = hParent;
  insert.hInsertAfter = hInsertAfter;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<LPSTR>(lpszItem);
  return InsertItem(&insert);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent,
                                HTREEITEM hInsertAfter) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = hParent;
  insert.hInsertAfter = hInsertAfter;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<LPSTR>(lpszItem);
  insert.item.iImage = nImage;
  insert.item.iSelectedImage = nSelectedImage;
  return InsertItem(&insert);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const {
  TVITEMA item = {};
  item.mask = TVIF_CHILDREN | TVIF_HANDLE;
  item.hItem = hItem;
  GetItem(&item);
  return item.cChildren != 0;
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const {
  CString text;
  for (int nLen = 256;; nLen *= 2) {
    TVITEMA item = {};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = hItem;
    item.pszText = text.GetBuffer(nLen);
    item.cchTextMax = nLen + 1;
    GetItem(&item);
    text.ReleaseBuffer();
    if (text.GetLength() < nLen || nLen >= (1 << 20)) return text;
  }
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCTSTR lpszItem) {
  TVITEMA item = {};
  item.mask = TVIF_TEXT | TVIF_HANDLE;
  item.hItem = hItem;
  item.pszText = const_cast<LPSTR>(lpszItem);
  return SetItem(&item);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const {
  TVITEMA item = {};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = hItem;
  GetItem(&item);
  return static_cast<DWORD_PTR>(item.lParam);
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData) {
  TVITEMA item = {};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = hItem;
  item.lParam = static_cast<LPARAM>(dwData);
  return SetItem(&item);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const {
  TVITEMA item = {};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  item.hItem = hItem;
  BOOL ok = GetItem(&item);
  nImage = item.iImage;
  nSelectedImage = item.iSelectedImage;
  return ok;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage) {
  TVITEMA item = {};
  item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  item.hItem = hItem;
  item.iImage = nImage;
  item.iSelectedImage = nSelectedImage;
  return SetItem(&item);
}

BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask) {
  TVITEMA item = {};
  item.mask = TVIF_STATE | TVIF_HANDLE;
  item.hItem = hItem;
  item.state = nState;
  item.stateMask = nStateMask;
  return SetItem(&item);
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const {
  TVHITTESTINFO hti = {};
  hti.pt = pt;
  HTREEITEM hItem = AFX_CTRL_MSG(HTREEITEM, TVM_HITTEST, 0, &hti);
  if (pFlags != nullptr) *pFlags = hti.flags;
  return hItem;
}

// ---- CTabCtrl

LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
  TCITEMA item = {};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<LPSTR>(lpszItem);
  return InsertItem(nItem, &item);
}

LONG CTabCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
  TCITEMA item = {};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = const_cast<LPSTR>(lpszItem);
  item.iImage = nImage;
  return InsertItem(nItem, &item);
}

// ---- CRichEditCtrl

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
  if (!AfxInitRichEdit()) return FALSE;
  return CWnd::Create(RICHEDIT_CLASSA, NULL, dwStyle, rect, pParentWnd, nID);
}

CString CRichEditCtrl::GetSelText() const {
  CHARRANGE cr = {};
  GetSel(cr);
  CString text;
  int nLen = cr.cpMax > cr.cpMin ? static_cast<int>(cr.cpMax - cr.cpMin) : 0;
  // Line ends may come back as CR LF: room for twice as many characters.
  LPSTR buffer = text.GetBuffer(nLen * 2);
  buffer[0] = '\0';
  ::SendMessageA(m_hWnd, EM_GETSELTEXT, 0, (LPARAM)buffer);
  text.ReleaseBuffer();
  return text;
}
