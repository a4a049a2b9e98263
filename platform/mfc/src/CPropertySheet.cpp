#include <afxdlgs.h>

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

// ---- Pages

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate) {
  CommonConstruct(MAKEINTRESOURCE(nIDTemplate), nIDCaption);
}

CPropertyPage::CPropertyPage(LPCTSTR lpszTemplateName, UINT nIDCaption) : CDialog(lpszTemplateName) {
  CommonConstruct(lpszTemplateName, nIDCaption);
}

void CPropertyPage::CommonConstruct(LPCTSTR lpszTemplateName, UINT nIDCaption) {
  memset(&m_psp, 0, sizeof(m_psp));
  m_psp.dwSize = sizeof(m_psp);
  m_psp.dwFlags = PSP_USECALLBACK | PSP_HASHELP;
  m_psp.hInstance = AfxGetResourceHandle();
  m_psp.pszTemplate = lpszTemplateName;
  m_psp.pfnDlgProc = &AfxDlgProc;
  m_psp.lParam = reinterpret_cast<LPARAM>(this);
  m_psp.pfnCallback = &PageCallback;
  if (nIDCaption != 0 && m_strCaption.LoadString(nIDCaption)) {
    m_psp.pszTitle = m_strCaption;
    m_psp.dwFlags |= PSP_USETITLE;
  }
  m_bFirstSetActive = TRUE;
}

UINT CALLBACK CPropertyPage::PageCallback(HWND, UINT message, LPPROPSHEETPAGEA ppsp) {
  // The sheet is about to make the page's window: bind it to its object.
  if (message == PSPCB_CREATE) AfxHookWindowCreate(reinterpret_cast<CPropertyPage*>(ppsp->lParam));
  return TRUE;
}

void CPropertyPage::SetModified(BOOL bChanged) {
  HWND hWndSheet = ::GetParent(m_hWnd);
  if (hWndSheet != nullptr)
    ::SendMessageA(hWndSheet, bChanged ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CPropertyPage::CancelToClose() { ::SendMessageA(::GetParent(m_hWnd), PSM_CANCELTOCLOSE, 0, 0); }

LRESULT CPropertyPage::QuerySiblings(WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(::GetParent(m_hWnd), PSM_QUERYSIBLINGS, wParam, lParam);
}

BOOL CPropertyPage::OnSetActive() {
  // The first time, OnInitDialog has just filled the controls.
  if (m_bFirstSetActive)
    m_bFirstSetActive = FALSE;
  else
    UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }

// A page ends nothing itself: the sheet does.
void CPropertyPage::OnOK() {}

void CPropertyPage::OnCancel() {}

BOOL CPropertyPage::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
  LRESULT lResult = 0;
  switch (pNMHDR->code) {
    case PSN_SETACTIVE:
      lResult = OnSetActive() ? 0 : -1;
      break;
    case PSN_KILLACTIVE:
      lResult = OnKillActive() ? FALSE : TRUE;
      break;  // non-zero refuses
    case PSN_APPLY:
      lResult = OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
      // lParam TRUE: applied for the OK button, so the sheet is closing with OK.
      if (lResult == PSNRET_NOERROR && reinterpret_cast<PSHNOTIFY*>(lParam)->lParam) {
        if (auto* pSheet = DYNAMIC_DOWNCAST(CPropertySheet, FromHandlePermanent(::GetParent(m_hWnd))))
          pSheet->m_nCloseResult = IDOK;
      }
      break;
    case PSN_RESET:
      OnReset();
      break;
    case PSN_QUERYCANCEL:
      lResult = OnQueryCancel() ? FALSE : TRUE;
      break;
    default:
      return CDialog::OnNotify(wParam, lParam, pResult);
  }
  // The sheet may read the answer either way.
  ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, lResult);
  *pResult = lResult;
  return TRUE;
}

// ---- The sheet

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet() { CommonConstruct(nullptr, 0); }

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) {
  m_strCaption.LoadString(nIDCaption);
  CommonConstruct(pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage) {
  m_strCaption = pszCaption;
  CommonConstruct(pParentWnd, iSelectPage);
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage) {
  memset(&m_psh, 0, sizeof(m_psh));
  m_psh.dwSize = sizeof(m_psh);
  m_psh.dwFlags = PSH_PROPSHEETPAGE | PSH_HASHELP;
  m_psh.hInstance = AfxGetResourceHandle();
  m_psh.nStartPage = iSelectPage;
  m_pParentWnd = pParentWnd;
  m_bStacked = TRUE;
  m_bModeless = FALSE;
  m_nCloseResult = IDCANCEL;
}

CPropertySheet::~CPropertySheet() {
  if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
  m_pages.Add(pPage);
  if (m_hWnd == nullptr) return;
  HPROPSHEETPAGE hPage = ::CreatePropertySheetPageA(&pPage->m_psp);
  if (hPage == nullptr) AfxThrowMemoryException();
  SendMessage(PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(hPage));
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) {
  int nPage = GetPageIndex(pPage);
  if (nPage >= 0) RemovePage(nPage);
}

void CPropertySheet::RemovePage(int nPage) {
  if (nPage < 0 || nPage >= m_pages.GetSize()) return;
  if (m_hWnd != nullptr) SendMessage(PSM_REMOVEPAGE, nPage, 0);
  m_pages.RemoveAt(nPage);
}

int CPropertySheet::GetPageCount() const {
  if (m_hWnd == nullptr) return static_cast<int>(m_pages.GetSize());
  CTabCtrl* pTab = GetTabControl();
  return pTab != nullptr ? pTab->GetItemCount() : static_cast<int>(m_pages.GetSize());
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
  if (nPage < 0 || nPage >= m_pages.GetSize()) return nullptr;
  return static_cast<CPropertyPage*>(m_pages.GetAt(nPage));
}

CPropertyPage* CPropertySheet::GetActivePage() const {
  if (m_hWnd != nullptr) {
    HWND hPage = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
    return DYNAMIC_DOWNCAST(CPropertyPage, FromHandlePermanent(hPage));
  }
  return GetPage(static_cast<int>(m_psh.nStartPage));
}

int CPropertySheet::GetActiveIndex() const {
  if (m_hWnd == nullptr) return static_cast<int>(m_psh.nStartPage);
  CTabCtrl* pTab = GetTabControl();
  return pTab != nullptr ? pTab->GetCurSel() : -1;
}

BOOL CPropertySheet::SetActivePage(int nPage) {
  if (m_hWnd == nullptr) {
    m_psh.nStartPage = static_cast<UINT>(nPage);
    return TRUE;
  }
  return static_cast<BOOL>(SendMessage(PSM_SETCURSEL, nPage, 0));
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) {
  int nPage = GetPageIndex(pPage);
  return nPage >= 0 && SetActivePage(nPage);
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const {
  for (INT_PTR i = 0; i < m_pages.GetSize(); ++i) {
    if (m_pages.GetAt(i) == pPage) return static_cast<int>(i);
  }
  return -1;
}

CTabCtrl* CPropertySheet::GetTabControl() const {
  if (m_hWnd == nullptr) return nullptr;
  return static_cast<CTabCtrl*>(
      FromHandle(reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETTABCONTROL, 0, 0))));
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT nStyle) {
  if (m_hWnd != nullptr) {
    SendMessage(PSM_SETTITLEA, nStyle, reinterpret_cast<LPARAM>(lpszText));
    return;
  }
  m_strCaption = lpszText;
  m_psh.dwFlags = (m_psh.dwFlags & ~PSH_PROPTITLE) | (nStyle & PSH_PROPTITLE);
}

void CPropertySheet::EndDialog(int nEndID) {
  m_nCloseResult = nEndID;
  EndModalLoop(nEndID);
  ::PostMessageA(m_hWnd, PSM_PRESSBUTTON, nEndID == IDOK ? PSBTN_OK : PSBTN_CANCEL, 0);
}

BOOL CPropertySheet::CreateSheet(HWND hWndOwner, DWORD dwStyle, DWORD dwExStyle) {
  // The page structures must stay put while the sheet lives.
  m_pageStructs.clear();
  for (INT_PTR i = 0; i < m_pages.GetSize(); ++i)
    m_pageStructs.push_back(static_cast<CPropertyPage*>(m_pages.GetAt(i))->m_psp);
  m_psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS;
  m_psh.hwndParent = hWndOwner;
  m_psh.pszCaption = m_strCaption;
  m_psh.nPages = static_cast<UINT>(m_pageStructs.size());
  m_psh.ppsp = m_pageStructs.empty() ? nullptr : m_pageStructs.data();
  if (m_psh.nStartPage >= m_psh.nPages) m_psh.nStartPage = 0;
  m_nCloseResult = IDCANCEL;

  AfxInitCommonControls();
  AfxHookWindowCreate(this);
  HWND hWnd = reinterpret_cast<HWND>(::PropertySheetA(&m_psh));
  AfxUnhookWindowCreate();
  if (hWnd == nullptr || hWnd == reinterpret_cast<HWND>(-1)) return FALSE;
  if (m_hWnd == nullptr) SubclassWindow(hWnd);
  if (dwStyle != (DWORD)-1) ModifyStyle(0xFFFFFFFF, dwStyle);
  if (dwExStyle != 0) ModifyStyleEx(0, dwExStyle);
  return m_hWnd != nullptr;
}

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD dwStyle, DWORD dwExStyle) {
  m_bModeless = TRUE;
  if (pParentWnd != nullptr) m_pParentWnd = pParentWnd;
  return CreateSheet(AfxHwndOf(m_pParentWnd), dwStyle, dwExStyle);
}

INT_PTR CPropertySheet::DoModal() {
  m_bModeless = FALSE;
  HWND hWndTop = nullptr;
  HWND hWndOwner = AfxHwndOf(GetSafeOwner(m_pParentWnd, &hWndTop));
  BOOL bEnableOwner = FALSE;
  if (hWndOwner != nullptr && hWndOwner != ::GetDesktopWindow() && ::IsWindowEnabled(hWndOwner)) {
    ::EnableWindow(hWndOwner, FALSE);
    bEnableOwner = TRUE;
  }
  INT_PTR nResult = -1;
  if (CreateSheet(hWndOwner, (DWORD)-1, 0)) {
    m_nModalResult = IDCANCEL;
    RunModalLoop(0);
    // The system knows how the sheet was closed (positive: OK); our own
    // record (the OK button, PSN_APPLY for OK, EndDialog) is the fallback.
    LRESULT lResult = m_hWnd != nullptr ? SendMessage(PSM_GETRESULT, 0, 0) : -1;
    nResult = lResult > 0 ? IDOK : lResult == 0 ? IDCANCEL : m_nCloseResult;
  }
  if (bEnableOwner) ::EnableWindow(hWndOwner, TRUE);
  if (hWndOwner != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndOwner);
  if (m_hWnd != nullptr) DestroyWindow();
  return nResult;
}

BOOL CPropertySheet::ContinueModal() {
  // A modeless sheet has no current page once OK or Cancel closed it.
  return CWnd::ContinueModal() && m_hWnd != nullptr &&
         ::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) != 0;
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
  // Remember how the sheet is being closed; the system does the closing.
  if (HIWORD(wParam) == BN_CLICKED && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
    m_nCloseResult = LOWORD(wParam);
  return CWnd::OnCommand(wParam, lParam);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* pMsg) {
  if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
  // The sheet (and any handler in its map) decides about dialog keys: Tab,
  // Ctrl+Tab between pages, Enter, Escape.
  return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(pMsg)));
}

LRESULT CPropertySheet::HandleInitDialog(WPARAM, LPARAM) { return OnInitDialog(); }

BOOL CPropertySheet::OnInitDialog() {
  BOOL bResult = static_cast<BOOL>(Default());
  if (!m_bStacked) {
    if (CTabCtrl* pTab = GetTabControl()) pTab->ModifyStyle(TCS_MULTILINE, TCS_SINGLELINE);
  }
  return bResult;
}
