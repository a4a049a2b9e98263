// Common controls: thin wrappers that send the control messages. Create
// registers the common control classes first.
#pragma once

void AFXAPI AfxInitCommonControls();

#define AFX_CTRL_MSG(type, msg, w, l) ((type)::SendMessageA(m_hWnd, msg, (WPARAM)(w), (LPARAM)(l)))

// Creation through a common control class, shared by the wrappers below.
class CCommonCtrl : public CWnd {
 public:
  BOOL CreateControl(LPCTSTR lpszClass, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                     DWORD dwExStyle = 0) {
    AfxInitCommonControls();
    return CWnd::CreateEx(dwExStyle, lpszClass, NULL, dwStyle | WS_CHILD, rect, pParentWnd, nID);
  }
};

class CProgressCtrl : public CCommonCtrl {
  DECLARE_DYNAMIC(CProgressCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(PROGRESS_CLASSA, dwStyle, rect, pParentWnd, nID);
  }
  void SetRange(short nLower, short nUpper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(nLower, nUpper)); }
  void SetRange32(int nLower, int nUpper) { SendMessage(PBM_SETRANGE32, nLower, nUpper); }
  void GetRange(int& nLower, int& nUpper) const {
    PBRANGE range = {};
    ::SendMessageA(m_hWnd, PBM_GETRANGE, TRUE, (LPARAM)&range);
    nLower = range.iLow;
    nUpper = range.iHigh;
  }
  int GetPos() const { return AFX_CTRL_MSG(int, PBM_GETPOS, 0, 0); }
  int SetPos(int nPos) { return AFX_CTRL_MSG(int, PBM_SETPOS, nPos, 0); }
  int OffsetPos(int nPos) { return AFX_CTRL_MSG(int, PBM_DELTAPOS, nPos, 0); }
  int SetStep(int nStep) { return AFX_CTRL_MSG(int, PBM_SETSTEP, nStep, 0); }
  int StepIt() { return AFX_CTRL_MSG(int, PBM_STEPIT, 0, 0); }
};

class CSliderCtrl : public CCommonCtrl {
  DECLARE_DYNAMIC(CSliderCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(TRACKBAR_CLASSA, dwStyle, rect, pParentWnd, nID);
  }
  int GetRangeMin() const { return AFX_CTRL_MSG(int, TBM_GETRANGEMIN, 0, 0); }
  int GetRangeMax() const { return AFX_CTRL_MSG(int, TBM_GETRANGEMAX, 0, 0); }
  void GetRange(int& nMin, int& nMax) const {
    nMin = GetRangeMin();
    nMax = GetRangeMax();
  }
  void SetRangeMin(int nMin, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMIN, bRedraw, nMin); }
  void SetRangeMax(int nMax, BOOL bRedraw = FALSE) { SendMessage(TBM_SETRANGEMAX, bRedraw, nMax); }
  void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE) {
    SetRangeMin(nMin, FALSE);
    SetRangeMax(nMax, bRedraw);
  }
  int GetPos() const { return AFX_CTRL_MSG(int, TBM_GETPOS, 0, 0); }
  void SetPos(int nPos) { SendMessage(TBM_SETPOS, TRUE, nPos); }
  int GetLineSize() const { return AFX_CTRL_MSG(int, TBM_GETLINESIZE, 0, 0); }
  int SetLineSize(int nSize) { return AFX_CTRL_MSG(int, TBM_SETLINESIZE, 0, nSize); }
  int GetPageSize() const { return AFX_CTRL_MSG(int, TBM_GETPAGESIZE, 0, 0); }
  int SetPageSize(int nSize) { return AFX_CTRL_MSG(int, TBM_SETPAGESIZE, 0, nSize); }
  void SetTicFreq(int nFreq) { SendMessage(TBM_SETTICFREQ, nFreq, 0); }
  void ClearTics(BOOL bRedraw = FALSE) { SendMessage(TBM_CLEARTICS, bRedraw, 0); }
};

class CHeaderCtrl : public CCommonCtrl {
  DECLARE_DYNAMIC(CHeaderCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(WC_HEADERA, dwStyle, rect, pParentWnd, nID);
  }
  int GetItemCount() const { return AFX_CTRL_MSG(int, HDM_GETITEMCOUNT, 0, 0); }
  BOOL GetItem(int nPos, HDITEMA* pHeaderItem) const {
    return AFX_CTRL_MSG(BOOL, HDM_GETITEMA, nPos, pHeaderItem);
  }
  BOOL SetItem(int nPos, HDITEMA* pHeaderItem) { return AFX_CTRL_MSG(BOOL, HDM_SETITEMA, nPos, pHeaderItem); }
  int InsertItem(int nPos, HDITEMA* phdi) { return AFX_CTRL_MSG(int, HDM_INSERTITEMA, nPos, phdi); }
  BOOL DeleteItem(int nPos) { return AFX_CTRL_MSG(BOOL, HDM_DELETEITEM, nPos, 0); }
  BOOL GetItemRect(int nIndex, LPRECT lpRect) const {
    return AFX_CTRL_MSG(BOOL, HDM_GETITEMRECT, nIndex, lpRect);
  }
  int OrderToIndex(int nOrder) const { return AFX_CTRL_MSG(int, HDM_ORDERTOINDEX, nOrder, 0); }
  BOOL GetOrderArray(LPINT piArray, int iCount) const {
    return AFX_CTRL_MSG(BOOL, HDM_GETORDERARRAY, iCount, piArray);
  }
  CImageList* GetImageList() const {
    return CImageList::FromHandle(AFX_CTRL_MSG(HIMAGELIST, HDM_GETIMAGELIST, 0, 0));
  }
  CImageList* SetImageList(CImageList* pImageList) {
    return CImageList::FromHandle(
        AFX_CTRL_MSG(HIMAGELIST, HDM_SETIMAGELIST, 0, pImageList ? pImageList->m_hImageList : NULL));
  }
  BOOL Layout(HDLAYOUT* pHeaderLayout) { return AFX_CTRL_MSG(BOOL, HDM_LAYOUT, 0, pHeaderLayout); }
};

class CListCtrl : public CCommonCtrl {
  DECLARE_DYNAMIC(CListCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(WC_LISTVIEWA, dwStyle, rect, pParentWnd, nID);
  }

  // Columns
  int InsertColumn(int nCol, const LVCOLUMNA* pColumn) {
    return AFX_CTRL_MSG(int, LVM_INSERTCOLUMNA, nCol, pColumn);
  }
  int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                   int nSubItem = -1);
  BOOL DeleteColumn(int nCol) { return AFX_CTRL_MSG(BOOL, LVM_DELETECOLUMN, nCol, 0); }
  BOOL GetColumn(int nCol, LVCOLUMNA* pColumn) const {
    return AFX_CTRL_MSG(BOOL, LVM_GETCOLUMNA, nCol, pColumn);
  }
  BOOL SetColumn(int nCol, const LVCOLUMNA* pColumn) {
    return AFX_CTRL_MSG(BOOL, LVM_SETCOLUMNA, nCol, pColumn);
  }
  int GetColumnWidth(int nCol) const { return AFX_CTRL_MSG(int, LVM_GETCOLUMNWIDTH, nCol, 0); }
  BOOL SetColumnWidth(int nCol, int cx) {
    return AFX_CTRL_MSG(BOOL, LVM_SETCOLUMNWIDTH, nCol, MAKELPARAM(cx, 0));
  }
  CHeaderCtrl* GetHeaderCtrl() const {
    return static_cast<CHeaderCtrl*>(FromHandle(AFX_CTRL_MSG(HWND, LVM_GETHEADER, 0, 0)));
  }

  // Items
  int GetItemCount() const { return AFX_CTRL_MSG(int, LVM_GETITEMCOUNT, 0, 0); }
  int InsertItem(const LVITEMA* pItem) { return AFX_CTRL_MSG(int, LVM_INSERTITEMA, 0, pItem); }
  int InsertItem(int nItem, LPCTSTR lpszItem) { return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0); }
  int InsertItem(int nItem, LPCTSTR lpszItem, int nImage) {
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
  }
  int InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                 LPARAM lParam);
  BOOL DeleteItem(int nItem) { return AFX_CTRL_MSG(BOOL, LVM_DELETEITEM, nItem, 0); }
  BOOL DeleteAllItems() { return AFX_CTRL_MSG(BOOL, LVM_DELETEALLITEMS, 0, 0); }
  BOOL GetItem(LVITEMA* pItem) const { return AFX_CTRL_MSG(BOOL, LVM_GETITEMA, 0, pItem); }
  BOOL SetItem(const LVITEMA* pItem) { return AFX_CTRL_MSG(BOOL, LVM_SETITEMA, 0, pItem); }
  BOOL SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage, UINT nState,
               UINT nStateMask, LPARAM lParam);
  BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
  CString GetItemText(int nItem, int nSubItem) const;
  int GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const;
  BOOL SetItemData(int nItem, DWORD_PTR dwData);
  DWORD_PTR GetItemData(int nItem) const;
  UINT GetItemState(int nItem, UINT nMask) const {
    return AFX_CTRL_MSG(UINT, LVM_GETITEMSTATE, nItem, nMask);
  }
  BOOL SetItemState(int nItem, UINT nState, UINT nMask);
  BOOL SetItemState(int nItem, LVITEMA* pItem) { return AFX_CTRL_MSG(BOOL, LVM_SETITEMSTATE, nItem, pItem); }
  int GetNextItem(int nItem, int nFlags) const {
    return AFX_CTRL_MSG(int, LVM_GETNEXTITEM, nItem, MAKELPARAM(nFlags, 0));
  }
  UINT GetSelectedCount() const { return AFX_CTRL_MSG(UINT, LVM_GETSELECTEDCOUNT, 0, 0); }
  // Positions count from 1, so NULL can end the walk.
  POSITION GetFirstSelectedItemPosition() const {
    return reinterpret_cast<POSITION>(static_cast<INT_PTR>(GetNextItem(-1, LVNI_SELECTED) + 1));
  }
  int GetNextSelectedItem(POSITION& pos) const {
    int nItem = static_cast<int>(reinterpret_cast<INT_PTR>(pos)) - 1;
    pos = reinterpret_cast<POSITION>(static_cast<INT_PTR>(GetNextItem(nItem, LVNI_SELECTED) + 1));
    return nItem;
  }
  BOOL EnsureVisible(int nItem, BOOL bPartialOK) {
    return AFX_CTRL_MSG(BOOL, LVM_ENSUREVISIBLE, nItem, bPartialOK);
  }
  BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const {
    lpRect->left = static_cast<LONG>(nCode);
    return AFX_CTRL_MSG(BOOL, LVM_GETITEMRECT, nItem, lpRect);
  }
  BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const {
    ref.top = iSubItem;
    ref.left = nArea;
    return AFX_CTRL_MSG(BOOL, LVM_GETSUBITEMRECT, iItem, static_cast<LPRECT>(&ref));
  }
  int HitTest(LVHITTESTINFO* pHitTestInfo) const { return AFX_CTRL_MSG(int, LVM_HITTEST, 0, pHitTestInfo); }
  int HitTest(CPoint pt, UINT* pFlags = NULL) const {
    LVHITTESTINFO hti = {};
    hti.pt = pt;
    int nItem = HitTest(&hti);
    if (pFlags != NULL) *pFlags = hti.flags;
    return nItem;
  }
  int SubItemHitTest(LVHITTESTINFO* pInfo) { return AFX_CTRL_MSG(int, LVM_SUBITEMHITTEST, 0, pInfo); }
  int GetTopIndex() const { return AFX_CTRL_MSG(int, LVM_GETTOPINDEX, 0, 0); }
  int GetCountPerPage() const { return AFX_CTRL_MSG(int, LVM_GETCOUNTPERPAGE, 0, 0); }
  BOOL Scroll(CSize size) { return AFX_CTRL_MSG(BOOL, LVM_SCROLL, size.cx, size.cy); }
  BOOL RedrawItems(int nFirst, int nLast) { return AFX_CTRL_MSG(BOOL, LVM_REDRAWITEMS, nFirst, nLast); }
  BOOL Update(int nItem) { return AFX_CTRL_MSG(BOOL, LVM_UPDATE, nItem, 0); }

  // Looks
  COLORREF GetBkColor() const { return AFX_CTRL_MSG(COLORREF, LVM_GETBKCOLOR, 0, 0); }
  BOOL SetBkColor(COLORREF cr) { return AFX_CTRL_MSG(BOOL, LVM_SETBKCOLOR, 0, cr); }
  COLORREF GetTextColor() const { return AFX_CTRL_MSG(COLORREF, LVM_GETTEXTCOLOR, 0, 0); }
  BOOL SetTextColor(COLORREF cr) { return AFX_CTRL_MSG(BOOL, LVM_SETTEXTCOLOR, 0, cr); }
  COLORREF GetTextBkColor() const { return AFX_CTRL_MSG(COLORREF, LVM_GETTEXTBKCOLOR, 0, 0); }
  BOOL SetTextBkColor(COLORREF cr) { return AFX_CTRL_MSG(BOOL, LVM_SETTEXTBKCOLOR, 0, cr); }
  DWORD GetExtendedStyle() const { return AFX_CTRL_MSG(DWORD, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); }
  DWORD SetExtendedStyle(DWORD dwNewStyle) {
    return AFX_CTRL_MSG(DWORD, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, dwNewStyle);
  }
  CImageList* GetImageList(int nImageList) const {
    return CImageList::FromHandle(AFX_CTRL_MSG(HIMAGELIST, LVM_GETIMAGELIST, nImageList, 0));
  }
  CImageList* SetImageList(CImageList* pImageList, int nImageListType) {
    return CImageList::FromHandle(AFX_CTRL_MSG(HIMAGELIST, LVM_SETIMAGELIST, nImageListType,
                                               pImageList ? pImageList->m_hImageList : NULL));
  }
  CEdit* GetEditControl() const {
    return static_cast<CEdit*>(FromHandle(AFX_CTRL_MSG(HWND, LVM_GETEDITCONTROL, 0, 0)));
  }
};

class CTreeCtrl : public CCommonCtrl {
  DECLARE_DYNAMIC(CTreeCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(WC_TREEVIEWA, dwStyle, rect, pParentWnd, nID);
  }
  BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(WC_TREEVIEWA, dwStyle, rect, pParentWnd, nID, dwExStyle);
  }
  using CWnd::CreateEx;

  HTREEITEM InsertItem(LPTVINSERTSTRUCTA lpInsertStruct) {
    return AFX_CTRL_MSG(HTREEITEM, TVM_INSERTITEMA, 0, lpInsertStruct);
  }
  HTREEITEM InsertItem(LPCTSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
  HTREEITEM InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT,
                       HTREEITEM hInsertAfter = TVI_LAST);
  BOOL DeleteItem(HTREEITEM hItem) { return AFX_CTRL_MSG(BOOL, TVM_DELETEITEM, 0, hItem); }
  BOOL DeleteAllItems() { return AFX_CTRL_MSG(BOOL, TVM_DELETEITEM, 0, TVI_ROOT); }
  UINT GetCount() const { return AFX_CTRL_MSG(UINT, TVM_GETCOUNT, 0, 0); }

  HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const {
    return AFX_CTRL_MSG(HTREEITEM, TVM_GETNEXTITEM, nCode, hItem);
  }
  HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
  HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
  HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
  HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
  HTREEITEM GetRootItem() const { return GetNextItem(NULL, TVGN_ROOT); }
  HTREEITEM GetSelectedItem() const { return GetNextItem(NULL, TVGN_CARET); }
  HTREEITEM GetFirstVisibleItem() const { return GetNextItem(NULL, TVGN_FIRSTVISIBLE); }
  HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
  BOOL ItemHasChildren(HTREEITEM hItem) const;

  BOOL GetItem(TVITEMA* pItem) const { return AFX_CTRL_MSG(BOOL, TVM_GETITEMA, 0, pItem); }
  BOOL SetItem(TVITEMA* pItem) { return AFX_CTRL_MSG(BOOL, TVM_SETITEMA, 0, pItem); }
  CString GetItemText(HTREEITEM hItem) const;
  BOOL SetItemText(HTREEITEM hItem, LPCTSTR lpszItem);
  DWORD_PTR GetItemData(HTREEITEM hItem) const;
  BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
  BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
  BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage);
  UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const {
    return AFX_CTRL_MSG(UINT, TVM_GETITEMSTATE, hItem, nStateMask);
  }
  BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
  BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const {
    *reinterpret_cast<HTREEITEM*>(lpRect) = hItem;
    return AFX_CTRL_MSG(BOOL, TVM_GETITEMRECT, bTextOnly, lpRect);
  }

  BOOL SelectItem(HTREEITEM hItem) { return AFX_CTRL_MSG(BOOL, TVM_SELECTITEM, TVGN_CARET, hItem); }
  BOOL Select(HTREEITEM hItem, UINT nCode) { return AFX_CTRL_MSG(BOOL, TVM_SELECTITEM, nCode, hItem); }
  BOOL Expand(HTREEITEM hItem, UINT nCode) { return AFX_CTRL_MSG(BOOL, TVM_EXPAND, nCode, hItem); }
  BOOL EnsureVisible(HTREEITEM hItem) { return AFX_CTRL_MSG(BOOL, TVM_ENSUREVISIBLE, 0, hItem); }
  HTREEITEM HitTest(CPoint pt, UINT* pFlags = NULL) const;
  CImageList* GetImageList(int nImageList) const {
    return CImageList::FromHandle(AFX_CTRL_MSG(HIMAGELIST, TVM_GETIMAGELIST, nImageList, 0));
  }
  CImageList* SetImageList(CImageList* pImageList, int nImageListType) {
    return CImageList::FromHandle(AFX_CTRL_MSG(HIMAGELIST, TVM_SETIMAGELIST, nImageListType,
                                               pImageList ? pImageList->m_hImageList : NULL));
  }
  UINT GetIndent() const { return AFX_CTRL_MSG(UINT, TVM_GETINDENT, 0, 0); }
  void SetIndent(UINT nIndent) { SendMessage(TVM_SETINDENT, nIndent, 0); }
};

class CTabCtrl : public CCommonCtrl {
  DECLARE_DYNAMIC(CTabCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CreateControl(WC_TABCONTROLA, dwStyle, rect, pParentWnd, nID);
  }
  int GetItemCount() const { return AFX_CTRL_MSG(int, TCM_GETITEMCOUNT, 0, 0); }
  BOOL GetItem(int nItem, TCITEMA* pTabCtrlItem) const {
    return AFX_CTRL_MSG(BOOL, TCM_GETITEMA, nItem, pTabCtrlItem);
  }
  BOOL SetItem(int nItem, TCITEMA* pTabCtrlItem) {
    return AFX_CTRL_MSG(BOOL, TCM_SETITEMA, nItem, pTabCtrlItem);
  }
  LONG InsertItem(int nItem, TCITEMA* pTabCtrlItem) {
    return AFX_CTRL_MSG(LONG, TCM_INSERTITEMA, nItem, pTabCtrlItem);
  }
  LONG InsertItem(int nItem, LPCTSTR lpszItem);
  LONG InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
  BOOL DeleteItem(int nItem) { return AFX_CTRL_MSG(BOOL, TCM_DELETEITEM, nItem, 0); }
  BOOL DeleteAllItems() { return AFX_CTRL_MSG(BOOL, TCM_DELETEALLITEMS, 0, 0); }
  BOOL GetItemRect(int nItem, LPRECT lpRect) const {
    return AFX_CTRL_MSG(BOOL, TCM_GETITEMRECT, nItem, lpRect);
  }
  int GetCurSel() const { return AFX_CTRL_MSG(int, TCM_GETCURSEL, 0, 0); }
  int SetCurSel(int nItem) { return AFX_CTRL_MSG(int, TCM_SETCURSEL, nItem, 0); }
  int GetCurFocus() const { return AFX_CTRL_MSG(int, TCM_GETCURFOCUS, 0, 0); }
  void AdjustRect(BOOL bLarger, LPRECT lpRect) { SendMessage(TCM_ADJUSTRECT, bLarger, (LPARAM)lpRect); }
  int GetRowCount() const { return AFX_CTRL_MSG(int, TCM_GETROWCOUNT, 0, 0); }
  CImageList* GetImageList() const {
    return CImageList::FromHandle(AFX_CTRL_MSG(HIMAGELIST, TCM_GETIMAGELIST, 0, 0));
  }
  CImageList* SetImageList(CImageList* pImageList) {
    return CImageList::FromHandle(
        AFX_CTRL_MSG(HIMAGELIST, TCM_SETIMAGELIST, 0, pImageList ? pImageList->m_hImageList : NULL));
  }
  int HitTest(TCHITTESTINFO* pHitTestInfo) const { return AFX_CTRL_MSG(int, TCM_HITTEST, 0, pHitTestInfo); }
};

// The rich-edit control (version 2, "RichEdit20A"; AfxInitRichEdit loads it).
class CRichEditCtrl : public CWnd {
  DECLARE_DYNAMIC(CRichEditCtrl)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  long GetTextLength() const { return AFX_CTRL_MSG(long, WM_GETTEXTLENGTH, 0, 0); }
  void LimitText(long nChars = 0) { SendMessage(EM_EXLIMITTEXT, 0, nChars); }
  long GetLimitText() const { return AFX_CTRL_MSG(long, EM_GETLIMITTEXT, 0, 0); }
  DWORD GetEventMask() const { return AFX_CTRL_MSG(DWORD, EM_GETEVENTMASK, 0, 0); }
  DWORD SetEventMask(DWORD dwEventMask) { return AFX_CTRL_MSG(DWORD, EM_SETEVENTMASK, 0, dwEventMask); }
  void GetSel(CHARRANGE& cr) const { ::SendMessageA(m_hWnd, EM_EXGETSEL, 0, (LPARAM)&cr); }
  void GetSel(long& nStartChar, long& nEndChar) const {
    CHARRANGE cr = {};
    GetSel(cr);
    nStartChar = cr.cpMin;
    nEndChar = cr.cpMax;
  }
  void SetSel(CHARRANGE& cr) { SendMessage(EM_EXSETSEL, 0, (LPARAM)&cr); }
  void SetSel(long nStartChar, long nEndChar) {
    CHARRANGE cr = {nStartChar, nEndChar};
    SetSel(cr);
  }
  CString GetSelText() const;
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText);
  }
  long FindText(DWORD dwFlags, FINDTEXTEXA* pFindText) const {
    return AFX_CTRL_MSG(long, EM_FINDTEXTEX, dwFlags, pFindText);
  }
  BOOL SetDefaultCharFormat(CHARFORMATA& cf) {
    cf.cbSize = sizeof(cf);
    return AFX_CTRL_MSG(BOOL, EM_SETCHARFORMAT, SCF_DEFAULT, &cf);
  }
  BOOL SetSelectionCharFormat(CHARFORMATA& cf) {
    cf.cbSize = sizeof(cf);
    return AFX_CTRL_MSG(BOOL, EM_SETCHARFORMAT, SCF_SELECTION, &cf);
  }
  DWORD GetSelectionCharFormat(CHARFORMATA& cf) const {
    cf.cbSize = sizeof(cf);
    return AFX_CTRL_MSG(DWORD, EM_GETCHARFORMAT, SCF_SELECTION, &cf);
  }
  void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER, 0, 0); }
  BOOL Undo() { return AFX_CTRL_MSG(BOOL, EM_UNDO, 0, 0); }
  BOOL CanUndo() const { return AFX_CTRL_MSG(BOOL, EM_CANUNDO, 0, 0); }
  void SetReadOnly(BOOL bReadOnly = TRUE) { SendMessage(EM_SETREADONLY, bReadOnly, 0); }
  COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr) {
    return AFX_CTRL_MSG(COLORREF, EM_SETBKGNDCOLOR, bSysColor, cr);
  }
  int GetLineCount() const { return AFX_CTRL_MSG(int, EM_GETLINECOUNT, 0, 0); }
  int LineFromChar(long nIndex) const { return AFX_CTRL_MSG(int, EM_EXLINEFROMCHAR, 0, nIndex); }
  int LineIndex(int nLine = -1) const { return AFX_CTRL_MSG(int, EM_LINEINDEX, nLine, 0); }
  void LineScroll(int nLines, int nChars = 0) { SendMessage(EM_LINESCROLL, nChars, nLines); }
  BOOL GetModify() const { return AFX_CTRL_MSG(BOOL, EM_GETMODIFY, 0, 0); }
  void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified, 0); }
};
