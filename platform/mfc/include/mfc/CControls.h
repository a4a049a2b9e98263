// The standard controls. Thin wrappers: each member sends its control message.
// Owner-drawn buttons, list boxes and combo boxes get WM_DRAWITEM (and its
// kin) reflected back to their own DrawItem.
#pragma once

class CStatic : public CWnd {
  DECLARE_DYNAMIC(CStatic)
 public:
  BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff) {
    return CWnd::Create("STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
  }
  HICON SetIcon(HICON hIcon) { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, (WPARAM)hIcon, 0)); }
  HICON GetIcon() const { return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, STM_GETICON, 0, 0)); }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap));
  }
  HBITMAP GetBitmap() const {
    return reinterpret_cast<HBITMAP>(::SendMessageA(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0));
  }
};

class CButton : public CWnd {
  DECLARE_DYNAMIC(CButton)
 public:
  BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
  }
  int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
  void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, nCheck, 0); }
  UINT GetState() const { return static_cast<UINT>(::SendMessageA(m_hWnd, BM_GETSTATE, 0, 0)); }
  void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, bHighlight, 0); }
  UINT GetButtonStyle() const { return static_cast<UINT>(GetStyle() & 0xFFFF); }
  void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }
  HICON SetIcon(HICON hIcon) {
    return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, (LPARAM)hIcon));
  }
  HBITMAP SetBitmap(HBITMAP hBitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap));
  }

  // For BS_OWNERDRAW buttons, called through the reflected WM_DRAWITEM.
  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class CEdit : public CWnd {
  DECLARE_DYNAMIC(CEdit)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("EDIT", NULL, dwStyle, rect, pParentWnd, nID);
  }
  void LimitText(int nChars = 0) { SendMessage(EM_LIMITTEXT, nChars, 0); }
  void SetLimitText(UINT nMax) { SendMessage(EM_SETLIMITTEXT, nMax, 0); }
  UINT GetLimitText() const { return static_cast<UINT>(::SendMessageA(m_hWnd, EM_GETLIMITTEXT, 0, 0)); }
  DWORD GetSel() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, EM_GETSEL, 0, 0)); }
  void GetSel(int& nStartChar, int& nEndChar) const {
    DWORD start = 0, end = 0;
    ::SendMessageA(m_hWnd, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    nStartChar = static_cast<int>(start);
    nEndChar = static_cast<int>(end);
  }
  void SetSel(int nStartChar, int nEndChar, BOOL bNoScroll = FALSE) {
    SendMessage(EM_SETSEL, nStartChar, nEndChar);
    if (!bNoScroll) SendMessage(EM_SCROLLCARET, 0, 0);
  }
  void ReplaceSel(LPCTSTR lpszNewText, BOOL bCanUndo = FALSE) {
    SendMessage(EM_REPLACESEL, bCanUndo, (LPARAM)lpszNewText);
  }
  int GetLineCount() const { return static_cast<int>(::SendMessageA(m_hWnd, EM_GETLINECOUNT, 0, 0)); }
  int LineIndex(int nLine = -1) const {
    return static_cast<int>(::SendMessageA(m_hWnd, EM_LINEINDEX, nLine, 0));
  }
  int LineLength(int nLine = -1) const {
    return static_cast<int>(::SendMessageA(m_hWnd, EM_LINELENGTH, nLine, 0));
  }
  void LineScroll(int nLines, int nChars = 0) { SendMessage(EM_LINESCROLL, nChars, nLines); }
  BOOL SetReadOnly(BOOL bReadOnly = TRUE) {
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, bReadOnly, 0));
  }
  BOOL GetModify() const { return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_GETMODIFY, 0, 0)); }
  void SetModify(BOOL bModified = TRUE) { SendMessage(EM_SETMODIFY, bModified, 0); }
  BOOL Undo() { return static_cast<BOOL>(SendMessage(EM_UNDO, 0, 0)); }
  void EmptyUndoBuffer() { SendMessage(EM_EMPTYUNDOBUFFER, 0, 0); }
  void Clear() { SendMessage(WM_CLEAR, 0, 0); }
  void Copy() { SendMessage(WM_COPY, 0, 0); }
  void Cut() { SendMessage(WM_CUT, 0, 0); }
  void Paste() { SendMessage(WM_PASTE, 0, 0); }
  void SetMargins(UINT nLeft, UINT nRight) {
    SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(nLeft, nRight));
  }
  void SetPasswordChar(TCHAR ch) { SendMessage(EM_SETPASSWORDCHAR, (BYTE)ch, 0); }
};

class CListBox : public CWnd {
  DECLARE_DYNAMIC(CListBox)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("LISTBOX", NULL, dwStyle, rect, pParentWnd, nID);
  }
  int GetCount() const { return Msg(LB_GETCOUNT); }
  int GetCurSel() const { return Msg(LB_GETCURSEL); }
  int SetCurSel(int nSelect) { return Msg(LB_SETCURSEL, nSelect); }
  int GetTopIndex() const { return Msg(LB_GETTOPINDEX); }
  int SetTopIndex(int nIndex) { return Msg(LB_SETTOPINDEX, nIndex); }
  int GetItemHeight(int nIndex) const { return Msg(LB_GETITEMHEIGHT, nIndex); }
  int SetItemHeight(int nIndex, UINT cyItemHeight) {
    return Msg(LB_SETITEMHEIGHT, nIndex, MAKELONG(cyItemHeight, 0));
  }
  int GetItemRect(int nIndex, LPRECT lpRect) const { return Msg(LB_GETITEMRECT, nIndex, (LPARAM)lpRect); }
  int GetSel(int nIndex) const { return Msg(LB_GETSEL, nIndex); }
  int SetSel(int nIndex, BOOL bSelect = TRUE) { return Msg(LB_SETSEL, bSelect, nIndex); }
  int GetSelCount() const { return Msg(LB_GETSELCOUNT); }
  int GetSelItems(int nMaxItems, LPINT rgIndex) const {
    return Msg(LB_GETSELITEMS, nMaxItems, (LPARAM)rgIndex);
  }
  DWORD_PTR GetItemData(int nIndex) const {
    return (DWORD_PTR)::SendMessageA(m_hWnd, LB_GETITEMDATA, nIndex, 0);
  }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return Msg(LB_SETITEMDATA, nIndex, (LPARAM)dwItemData);
  }
  int GetText(int nIndex, LPTSTR lpszBuffer) const { return Msg(LB_GETTEXT, nIndex, (LPARAM)lpszBuffer); }
  void GetText(int nIndex, CString& rString) const;
  int GetTextLen(int nIndex) const { return Msg(LB_GETTEXTLEN, nIndex); }
  int AddString(LPCTSTR lpszItem) { return Msg(LB_ADDSTRING, 0, (LPARAM)lpszItem); }
  int InsertString(int nIndex, LPCTSTR lpszItem) { return Msg(LB_INSERTSTRING, nIndex, (LPARAM)lpszItem); }
  int DeleteString(UINT nIndex) { return Msg(LB_DELETESTRING, nIndex); }
  void ResetContent() { Msg(LB_RESETCONTENT); }
  int FindString(int nStartAfter, LPCTSTR lpszItem) const {
    return Msg(LB_FINDSTRING, nStartAfter, (LPARAM)lpszItem);
  }
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    return Msg(LB_FINDSTRINGEXACT, nIndexStart, (LPARAM)lpszFind);
  }
  int SelectString(int nStartAfter, LPCTSTR lpszItem) {
    return Msg(LB_SELECTSTRING, nStartAfter, (LPARAM)lpszItem);
  }
  // The item nearest the client point; bOutside says it lies outside every item.
  UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const {
    DWORD dw = static_cast<DWORD>(::SendMessageA(m_hWnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y)));
    bOutside = HIWORD(dw);
    return LOWORD(dw);
  }

  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {}
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {}
  virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct) { return 0; }
  virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  int Msg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return static_cast<int>(::SendMessageA(m_hWnd, message, wParam, lParam));
  }
};

class CComboBox : public CWnd {
  DECLARE_DYNAMIC(CComboBox)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("COMBOBOX", NULL, dwStyle, rect, pParentWnd, nID);
  }
  int GetCount() const { return Msg(CB_GETCOUNT); }
  int GetCurSel() const { return Msg(CB_GETCURSEL); }
  int SetCurSel(int nSelect) { return Msg(CB_SETCURSEL, nSelect); }
  DWORD GetEditSel() const { return static_cast<DWORD>(Msg(CB_GETEDITSEL)); }
  BOOL SetEditSel(int nStartChar, int nEndChar) {
    return Msg(CB_SETEDITSEL, 0, MAKELONG(nStartChar, nEndChar));
  }
  BOOL LimitText(int nMaxChars) { return Msg(CB_LIMITTEXT, nMaxChars); }
  DWORD_PTR GetItemData(int nIndex) const {
    return (DWORD_PTR)::SendMessageA(m_hWnd, CB_GETITEMDATA, nIndex, 0);
  }
  int SetItemData(int nIndex, DWORD_PTR dwItemData) {
    return Msg(CB_SETITEMDATA, nIndex, (LPARAM)dwItemData);
  }
  int GetLBText(int nIndex, LPTSTR lpszText) const { return Msg(CB_GETLBTEXT, nIndex, (LPARAM)lpszText); }
  void GetLBText(int nIndex, CString& rString) const;
  int GetLBTextLen(int nIndex) const { return Msg(CB_GETLBTEXTLEN, nIndex); }
  int SetItemHeight(int nIndex, UINT cyItemHeight) {
    return Msg(CB_SETITEMHEIGHT, nIndex, MAKELONG(cyItemHeight, 0));
  }
  int GetItemHeight(int nIndex) const { return Msg(CB_GETITEMHEIGHT, nIndex); }
  int SetDroppedWidth(UINT nWidth) { return Msg(CB_SETDROPPEDWIDTH, nWidth); }
  void ShowDropDown(BOOL bShowIt = TRUE) { Msg(CB_SHOWDROPDOWN, bShowIt); }
  BOOL GetDroppedState() const { return Msg(CB_GETDROPPEDSTATE); }
  int AddString(LPCTSTR lpszString) { return Msg(CB_ADDSTRING, 0, (LPARAM)lpszString); }
  int InsertString(int nIndex, LPCTSTR lpszString) {
    return Msg(CB_INSERTSTRING, nIndex, (LPARAM)lpszString);
  }
  int DeleteString(UINT nIndex) { return Msg(CB_DELETESTRING, nIndex); }
  void ResetContent() { Msg(CB_RESETCONTENT); }
  int FindString(int nStartAfter, LPCTSTR lpszString) const {
    return Msg(CB_FINDSTRING, nStartAfter, (LPARAM)lpszString);
  }
  int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    return Msg(CB_FINDSTRINGEXACT, nIndexStart, (LPARAM)lpszFind);
  }
  int SelectString(int nStartAfter, LPCTSTR lpszString) {
    return Msg(CB_SELECTSTRING, nStartAfter, (LPARAM)lpszString);
  }

  virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {}
  virtual void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) {}
  virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct) { return 0; }
  virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct) {}
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

 private:
  int Msg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return static_cast<int>(::SendMessageA(m_hWnd, message, wParam, lParam));
  }
};

class CScrollBar : public CWnd {
  DECLARE_DYNAMIC(CScrollBar)
 public:
  BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create("SCROLLBAR", NULL, dwStyle, rect, pParentWnd, nID);
  }
  int GetScrollPos() const { return ::GetScrollPos(m_hWnd, SB_CTL); }
  int SetScrollPos(int nPos, BOOL bRedraw = TRUE) { return ::SetScrollPos(m_hWnd, SB_CTL, nPos, bRedraw); }
  void GetScrollRange(LPINT lpMinPos, LPINT lpMaxPos) const {
    ::GetScrollRange(m_hWnd, SB_CTL, lpMinPos, lpMaxPos);
  }
  void SetScrollRange(int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) {
    ::SetScrollRange(m_hWnd, SB_CTL, nMinPos, nMaxPos, bRedraw);
  }
  void ShowScrollBar(BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, SB_CTL, bShow); }
  BOOL EnableScrollBar(UINT nArrowFlags = ESB_ENABLE_BOTH) {
    return ::EnableScrollBar(m_hWnd, SB_CTL, nArrowFlags);
  }
  BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo, bRedraw);
    return TRUE;
  }
  BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, lpScrollInfo);
  }
  int GetScrollLimit() {
    SCROLLINFO info = {};
    GetScrollInfo(&info, SIF_RANGE | SIF_PAGE);
    int nLimit = info.nMax - (info.nPage > 0 ? static_cast<int>(info.nPage) - 1 : 0);
    return nLimit < info.nMin ? info.nMin : nLimit;
  }
};
