// CWnd: a window object bound to an HWND. A permanent object is entered in the
// thread's handle map when it is attached, created or subclassed and leaves it
// at WM_NCDESTROY or Detach; FromHandle on any other HWND gives a temporary
// wrapper freed at idle. Windows created through CreateEx and dialogs are
// caught by a CBT hook, so the object sees even WM_NCCREATE and WM_CREATE.
#pragma once

class CMenu;
class CScrollBar;
class CDataExchange;
struct CCreateContext;

class CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)
 public:
  CWnd();
  // Destroys a window this object still owns.
  ~CWnd() override;

  HWND m_hWnd;
  operator HWND() const { return m_hWnd; }
  // Answers NULL when called through a null pointer.
  HWND GetSafeHwnd() const;
  BOOL operator==(const CWnd& wnd) const { return wnd.m_hWnd == m_hWnd; }
  BOOL operator!=(const CWnd& wnd) const { return wnd.m_hWnd != m_hWnd; }

  // Insert-after values for SetWindowPos.
  static const CWnd wndTop;
  static const CWnd wndBottom;
  static const CWnd wndTopMost;
  static const CWnd wndNoTopMost;

  // ---- Handle maps (CWnd.cpp)
  static CWnd* PASCAL FromHandle(HWND hWnd);
  static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
  static void PASCAL DeleteTempMap();
  BOOL Attach(HWND hWndNew);
  HWND Detach();
  // Routes the window's messages through this object from now on.
  BOOL SubclassWindow(HWND hWnd);
  BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
  HWND UnsubclassWindow();

  // ---- Creation and destruction (CWnd.cpp)
  virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                      CWnd* pParentWnd, UINT nID, CCreateContext* pContext = NULL);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = NULL);
  BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = NULL);
  virtual BOOL DestroyWindow();
  virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
  // Called before the object's window procedure is put in place (creation,
  // SubclassWindow, DDX_Control): the place to adjust styles.
  virtual void PreSubclassWindow();
  // Called after the last message; a window that lives on the heap deletes itself here.
  virtual void PostNcDestroy();

  // ---- Message handling (CWndMessages.cpp)
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // Hands the message being handled to the original window procedure.
  LRESULT Default();
  static const MSG* PASCAL GetCurrentMessage();
  virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  // A parent offers its child's notification to the child first.
  virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
  static BOOL PASCAL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = NULL);
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Offers the message to PreTranslateMessage of its window and each parent
  // up to hWndStop; TRUE when one of them took it.
  static BOOL PASCAL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
  virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT) {}

  // ---- Tooltips for windowless parts (CWndToolTips.cpp)
  virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFOA* pTI) const;
  BOOL EnableToolTips(BOOL bEnable = TRUE);
  void FilterToolTipMessage(MSG* pMsg);
  static void PASCAL CancelToolTips(BOOL bKeys = FALSE);

  // ---- Modal loops (CDialog.cpp)
  // Pumps messages (through the PreTranslateMessage walk) until
  // EndModalLoop; with MLF_SHOWONIDLE the window is shown once the queue
  // first runs empty. Answers the result given to EndModalLoop, -1 on WM_QUIT.
  int RunModalLoop(DWORD dwFlags = 0);
  virtual BOOL ContinueModal() { return m_bContinueModal; }
  virtual void EndModalLoop(int nResult);

  // ---- Data exchange (DataExchange.cpp)
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
  virtual void DoDataExchange(CDataExchange* pDX) {}

  // ---- Relatives
  CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
  CWnd* SetParent(CWnd* pWndNewParent) { return FromHandle(::SetParent(m_hWnd, AfxHwndOf(pWndNewParent))); }
  CWnd* GetOwner() const {
    return FromHandle(::GetWindow(m_hWnd, GW_OWNER) ? ::GetWindow(m_hWnd, GW_OWNER) : ::GetParent(m_hWnd));
  }
  CWnd* GetWindow(UINT nCmd) const { return FromHandle(::GetWindow(m_hWnd, nCmd)); }
  CWnd* GetNextWindow(UINT nFlag = GW_HWNDNEXT) const { return FromHandle(::GetWindow(m_hWnd, nFlag)); }
  CWnd* GetTopWindow() const { return FromHandle(::GetTopWindow(m_hWnd)); }
  CWnd* GetTopLevelParent() const;
  CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
  void GetDlgItem(int nID, HWND* phWnd) const { *phWnd = ::GetDlgItem(m_hWnd, nID); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  int SetDlgCtrlID(int nID) { return (int)::SetWindowLongPtrA(m_hWnd, GWLP_ID, nID); }
  BOOL IsChild(const CWnd* pWnd) const { return ::IsChild(m_hWnd, AfxHwndOf(pWnd)); }
  CWnd* ChildWindowFromPoint(POINT point) const { return FromHandle(::ChildWindowFromPoint(m_hWnd, point)); }
  static CWnd* PASCAL WindowFromPoint(POINT point) { return FromHandle(::WindowFromPoint(point)); }
  static CWnd* PASCAL GetDesktopWindow() { return FromHandle(::GetDesktopWindow()); }
  static CWnd* PASCAL GetActiveWindow() { return FromHandle(::GetActiveWindow()); }
  static CWnd* PASCAL GetForegroundWindow() { return FromHandle(::GetForegroundWindow()); }
  static CWnd* PASCAL GetFocus() { return FromHandle(::GetFocus()); }
  static CWnd* PASCAL GetCapture() { return FromHandle(::GetCapture()); }
  static CWnd* PASCAL FindWindow(LPCTSTR lpszClassName, LPCTSTR lpszWindowName) {
    return FromHandle(::FindWindowA(lpszClassName, lpszWindowName));
  }
  // The window a modal box should be owned by: pParent's top level when
  // given, else the active window's (or the main window's) top level.
  static CWnd* PASCAL GetSafeOwner(CWnd* pParent = NULL, HWND* pWndTop = NULL);

  // ---- Size and position
  void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }
  void GetWindowRect(LPRECT lpRect) const { ::GetWindowRect(m_hWnd, lpRect); }
  void ClientToScreen(LPPOINT lpPoint) const { ::ClientToScreen(m_hWnd, lpPoint); }
  void ClientToScreen(LPRECT lpRect) const {
    ::MapWindowPoints(m_hWnd, NULL, reinterpret_cast<LPPOINT>(lpRect), 2);
  }
  void ScreenToClient(LPPOINT lpPoint) const { ::ScreenToClient(m_hWnd, lpPoint); }
  void ScreenToClient(LPRECT lpRect) const {
    ::MapWindowPoints(NULL, m_hWnd, reinterpret_cast<LPPOINT>(lpRect), 2);
  }
  void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const {
    ::MapWindowPoints(m_hWnd, AfxHwndOf(pwndTo), reinterpret_cast<LPPOINT>(lpRect), 2);
  }
  void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const {
    ::MapWindowPoints(m_hWnd, AfxHwndOf(pwndTo), lpPoint, nCount);
  }
  void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) {
    ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
  }
  void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top,
               bRepaint);
  }
  BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, AfxHwndOf(pWndInsertAfter), x, y, cx, cy, nFlags);
  }
  void CenterWindow(CWnd* pAlternateOwner = NULL);
  BOOL GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const { return ::GetWindowPlacement(m_hWnd, lpwndpl); }
  BOOL SetWindowPlacement(const WINDOWPLACEMENT* lpwndpl) { return ::SetWindowPlacement(m_hWnd, lpwndpl); }
  int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
  void BringWindowToTop() { ::BringWindowToTop(m_hWnd); }

  // ---- State
  BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
  BOOL IsZoomed() const { return ::IsZoomed(m_hWnd); }
  CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
  CWnd* SetActiveWindow() { return FromHandle(::SetActiveWindow(m_hWnd)); }
  BOOL SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd); }
  CWnd* SetCapture() { return FromHandle(::SetCapture(m_hWnd)); }
  BOOL FlashWindow(BOOL bInvert) { return ::FlashWindow(m_hWnd, bInvert); }
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
  DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)); }
  // nFlags non-zero also calls SetWindowPos with them (SWP_FRAMECHANGED and the like).
  BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
  void DragAcceptFiles(BOOL bAccept = TRUE) { ::DragAcceptFiles(m_hWnd, bAccept); }
  HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon, reinterpret_cast<LPARAM>(hIcon)));
  }
  HICON GetIcon(BOOL bBigIcon) const {
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_GETICON, bBigIcon, 0));
  }

  // ---- Text and font
  void SetWindowText(LPCTSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
    return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
  }
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
  void SetFont(CFont* pFont, BOOL bRedraw = TRUE) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(AfxGdiOf(pFont)), bRedraw);
  }
  CFont* GetFont() const {
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
  }

  // ---- Dialog items
  void SetDlgItemText(int nID, LPCTSTR lpszString) { ::SetDlgItemTextA(m_hWnd, nID, lpszString); }
  int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const {
    return ::GetDlgItemTextA(m_hWnd, nID, lpStr, nMaxCount);
  }
  int GetDlgItemText(int nID, CString& rString) const;
  void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE) {
    ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned);
  }
  UINT GetDlgItemInt(int nID, BOOL* lpTrans = NULL, BOOL bSigned = TRUE) const {
    return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
  }
  void CheckDlgButton(int nIDButton, UINT nCheck) { ::CheckDlgButton(m_hWnd, nIDButton, nCheck); }
  UINT IsDlgButtonChecked(int nIDButton) const { return ::IsDlgButtonChecked(m_hWnd, nIDButton); }
  void CheckRadioButton(int nIDFirst, int nIDLast, int nIDCheck) {
    ::CheckRadioButton(m_hWnd, nIDFirst, nIDLast, nIDCheck);
  }
  LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
  }
  CWnd* GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious = FALSE) const {
    return FromHandle(::GetNextDlgTabItem(m_hWnd, AfxHwndOf(pWndCtl), bPrevious));
  }
  BOOL IsDialogMessage(LPMSG lpMsg) { return ::IsDialogMessageA(m_hWnd, lpMsg); }

  // ---- Messages and timers
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::PostMessageA(m_hWnd, message, wParam, lParam);
  }
  void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0, BOOL bDeep = TRUE);
  UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = NULL) {
    return ::SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
  }
  BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
  int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = NULL, UINT nType = MB_OK) {
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
  }

  // ---- Painting
  CDC* GetDC() { return CDC::FromHandle(::GetDC(m_hWnd)); }
  CDC* GetWindowDC() { return CDC::FromHandle(::GetWindowDC(m_hWnd)); }
  int ReleaseDC(CDC* pDC);
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, NULL, bErase); }
  void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, lpRect, bErase); }
  void InvalidateRgn(CRgn* pRgn, BOOL bErase = TRUE) { ::InvalidateRgn(m_hWnd, *pRgn, bErase); }
  void ValidateRect(LPCRECT lpRect) { ::ValidateRect(m_hWnd, lpRect); }
  BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE) { return ::GetUpdateRect(m_hWnd, lpRect, bErase); }
  BOOL RedrawWindow(LPCRECT lpRectUpdate = NULL, CRgn* prgnUpdate = NULL,
                    UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
    return ::RedrawWindow(m_hWnd, lpRectUpdate, static_cast<HRGN>(AfxGdiOf(prgnUpdate)), flags);
  }
  void SetRedraw(BOOL bRedraw = TRUE) { SendMessage(WM_SETREDRAW, bRedraw, 0); }
  BOOL LockWindowUpdate() { return ::LockWindowUpdate(m_hWnd); }
  void UnlockWindowUpdate() { ::LockWindowUpdate(NULL); }
  void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = NULL, LPCRECT lpClipRect = NULL) {
    ::ScrollWindow(m_hWnd, xAmount, yAmount, lpRect, lpClipRect);
  }

  // ---- Scroll bars
  virtual CScrollBar* GetScrollBarCtrl(int nBar) const { return NULL; }
  int GetScrollPos(int nBar) const { return ::GetScrollPos(m_hWnd, nBar); }
  int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE) {
    return ::SetScrollPos(m_hWnd, nBar, nPos, bRedraw);
  }
  void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE) {
    ::SetScrollRange(m_hWnd, nBar, nMinPos, nMaxPos, bRedraw);
  }
  BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
  }
  BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE) {
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
    return TRUE;
  }
  void ShowScrollBar(UINT nBar, BOOL bShow = TRUE) { ::ShowScrollBar(m_hWnd, nBar, bShow); }

  // ---- Menus
  CMenu* GetMenu() const;
  BOOL SetMenu(CMenu* pMenu);
  void DrawMenuBar() { ::DrawMenuBar(m_hWnd); }
  CMenu* GetSystemMenu(BOOL bRevert) const;

 protected:
  WNDPROC m_pfnSuper;       // the window procedure we replaced, or NULL
  BOOL m_bToolTipsEnabled;  // EnableToolTips
  BOOL m_bContinueModal;    // RunModalLoop goes on while set
  int m_nModalResult;

  friend LRESULT CALLBACK AfxWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT CALLBACK AfxCbtFilterHook(int, WPARAM, LPARAM);

  // Default handlers: each hands the message to the original procedure.
  afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct) { return static_cast<int>(Default()); }
  afx_msg void OnDestroy() { Default(); }
  afx_msg void OnNcDestroy() { Default(); }
  afx_msg void OnClose() { Default(); }
  afx_msg void OnPaint() { Default(); }
  afx_msg void OnNcPaint() { Default(); }
  afx_msg BOOL OnEraseBkgnd(CDC* pDC) { return static_cast<BOOL>(Default()); }
  afx_msg void OnTimer(UINT_PTR nIDEvent) { Default(); }
  afx_msg void OnSize(UINT nType, int cx, int cy) { Default(); }
  afx_msg void OnSizing(UINT nSide, LPRECT lpRect) { Default(); }
  afx_msg void OnMove(int x, int y) { Default(); }
  afx_msg void OnMoving(UINT nSide, LPRECT lpRect) { Default(); }
  afx_msg void OnWindowPosChanging(WINDOWPOS* lpwndpos) { Default(); }
  afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos) { Default(); }
  afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI) { Default(); }
  afx_msg void OnShowWindow(BOOL bShow, UINT nStatus) { Default(); }
  afx_msg void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) { Default(); }
  afx_msg void OnActivateApp(BOOL bActive, DWORD dwThreadID) { Default(); }
  afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message) {
    return static_cast<int>(Default());
  }
  afx_msg void OnEnable(BOOL bEnable) { Default(); }
  afx_msg void OnSetFocus(CWnd* pOldWnd) { Default(); }
  afx_msg void OnKillFocus(CWnd* pNewWnd) { Default(); }
  afx_msg void OnCaptureChanged(CWnd* pWnd) { Default(); }
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) { return static_cast<BOOL>(Default()); }
  afx_msg void OnMouseMove(UINT nFlags, CPoint point) { Default(); }
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point) { Default(); }
  afx_msg void OnLButtonUp(UINT nFlags, CPoint point) { Default(); }
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point) { Default(); }
  afx_msg void OnRButtonDown(UINT nFlags, CPoint point) { Default(); }
  afx_msg void OnRButtonUp(UINT nFlags, CPoint point) { Default(); }
  afx_msg void OnRButtonDblClk(UINT nFlags, CPoint point) { Default(); }
  afx_msg void OnMButtonDown(UINT nFlags, CPoint point) { Default(); }
  afx_msg void OnMButtonUp(UINT nFlags, CPoint point) { Default(); }
  afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt) { return static_cast<BOOL>(Default()); }
  afx_msg LRESULT OnNcHitTest(CPoint point) { return Default(); }
  afx_msg void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp) { Default(); }
  afx_msg BOOL OnNcActivate(BOOL bActive) { return static_cast<BOOL>(Default()); }
  afx_msg void OnNcMouseMove(UINT nHitTest, CPoint point) { Default(); }
  afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point) { Default(); }
  afx_msg void OnNcLButtonUp(UINT nHitTest, CPoint point) { Default(); }
  afx_msg void OnNcLButtonDblClk(UINT nHitTest, CPoint point) { Default(); }
  afx_msg void OnNcRButtonUp(UINT nHitTest, CPoint point) { Default(); }
  afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
  afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
  afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
  afx_msg void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) { Default(); }
  afx_msg void OnSysCommand(UINT nID, LPARAM lParam) { Default(); }
  afx_msg UINT OnGetDlgCode() { return static_cast<UINT>(Default()); }
  afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) { Default(); }
  afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) { Default(); }
  afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    return reinterpret_cast<HBRUSH>(Default());
  }
  afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) { Default(); }
  afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) { Default(); }
  afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos) { Default(); }
  afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu) { Default(); }
  afx_msg void OnDropFiles(HDROP hDropInfo) { Default(); }
  afx_msg BOOL OnCopyData(CWnd* pWnd, COPYDATASTRUCT* pCopyDataStruct) {
    return static_cast<BOOL>(Default());
  }
  afx_msg void OnSysColorChange() { Default(); }
  afx_msg HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
  afx_msg BOOL OnQueryEndSession() { return static_cast<BOOL>(Default()); }
  afx_msg void OnEndSession(BOOL bEnding) { Default(); }
  afx_msg void OnCancelMode() { Default(); }
  afx_msg BOOL OnHelpInfo(HELPINFO* pHelpInfo) { return static_cast<BOOL>(Default()); }
  afx_msg void OnParentNotify(UINT message, LPARAM lParam) { Default(); }
  afx_msg void OnSettingChange(UINT uFlags, LPCTSTR lpszSection) { Default(); }

  DECLARE_MESSAGE_MAP()

 private:
  explicit CWnd(HWND hWndInsertAfter);  // the wndTop... values
};

// The window procedure of every framework window.
LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
WNDPROC AFXAPI AfxGetAfxWndProc();
// Until the next window creation on this thread, the CBT hook binds the new
// window to pWnd. AfxUnhookWindowCreate answers whether the binding happened.
void AFXAPI AfxHookWindowCreate(CWnd* pWnd);
BOOL AFXAPI AfxUnhookWindowCreate();
// Frees this thread's temporary wrappers (CWnd, CDC, GDI objects, image lists, menus).
void AFXAPI AfxDeleteTempMaps();
// How many temporary wrappers this thread holds (for leak checks).
size_t AFXAPI AfxGetTempObjectCount();
// Registers (once) a window class with these attributes and answers its name.
LPCTSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = 0, HBRUSH hbrBackground = 0,
                                   HICON hIcon = 0);
BOOL AFXAPI AfxRegisterClass(WNDCLASSA* lpWndClass);
