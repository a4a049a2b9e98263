#include <afxwin.h>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, HandleOK)
  ON_COMMAND(IDCANCEL, HandleCancel)
END_MESSAGE_MAP()

INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  // Called from inside the system's dialog code: nothing may unwind through it.
  try {
    CDialog* pDlg = DYNAMIC_DOWNCAST(CDialog, CWnd::FromHandlePermanent(hWnd));
    return pDlg != nullptr ? pDlg->OnInitDialog() : TRUE;
  } catch (CException* e) {
    e->Delete();
  } catch (...) {}
  ::OutputDebugStringA("Exception stopped in OnInitDialog\n");
  return TRUE;
}

CDialog::CDialog() : m_nIDHelp(0), m_lpszTemplateName(nullptr), m_pParentWnd(nullptr) {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_lpszTemplateName(MAKEINTRESOURCE(nIDTemplate)), m_pParentWnd(pParentWnd) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_nIDHelp(0), m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {}

LPCDLGTEMPLATE CDialog::LoadTemplate(HINSTANCE& hInst) const {
  hInst = AfxGetResourceHandle();
  HRSRC hResource = ::FindResourceA(hInst, m_lpszTemplateName, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
  if (hResource == nullptr) return nullptr;
  HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
  return hTemplate != nullptr ? static_cast<LPCDLGTEMPLATE>(::LockResource(hTemplate)) : nullptr;
}

BOOL CDialog::CreateFromTemplate(LPCDLGTEMPLATE lpTemplate, HINSTANCE hInst, HWND hWndParent) {
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateDialogIndirectParamA(hInst, lpTemplate, hWndParent, &AfxDlgProc, 0);
  AfxUnhookWindowCreate();
  if (hWnd == nullptr) return FALSE;
  if (m_hWnd != hWnd && m_hWnd == nullptr) SubclassWindow(hWnd);
  return m_hWnd != nullptr;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
  return Create(MAKEINTRESOURCE(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
  m_lpszTemplateName = lpszTemplateName;
  if (IS_INTRESOURCE(lpszTemplateName) && m_nIDHelp == 0)
    m_nIDHelp = LOWORD(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
  m_pParentWnd = pParentWnd;
  HINSTANCE hInst = nullptr;
  LPCDLGTEMPLATE lpTemplate = LoadTemplate(hInst);
  if (lpTemplate == nullptr) return FALSE;
  return CreateFromTemplate(lpTemplate, hInst, AfxHwndOf(pParentWnd));
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
  m_pParentWnd = pParentWnd;
  return CreateFromTemplate(lpDialogTemplate, AfxGetResourceHandle(), AfxHwndOf(pParentWnd));
}

INT_PTR CDialog::DoModal() {
  HINSTANCE hInst = nullptr;
  LPCDLGTEMPLATE lpTemplate = LoadTemplate(hInst);
  if (lpTemplate == nullptr) return -1;

  HWND hWndTop = nullptr;
  HWND hWndOwner = AfxHwndOf(CWnd::GetSafeOwner(m_pParentWnd, &hWndTop));
  BOOL bEnableOwner = FALSE;
  if (hWndOwner != nullptr && hWndOwner != ::GetDesktopWindow() && ::IsWindowEnabled(hWndOwner)) {
    ::EnableWindow(hWndOwner, FALSE);
    bEnableOwner = TRUE;
  }

  m_nModalResult = -1;
  m_bContinueModal = TRUE;
  if (CreateFromTemplate(lpTemplate, hInst, hWndOwner)) {
    // EndDialog inside OnInitDialog ends it before the loop starts.
    if (m_bContinueModal) RunModalLoop(MLF_SHOWONIDLE);
    if (m_hWnd != nullptr)
      ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  m_bContinueModal = FALSE;
  // Re-enable the owner before the dialog goes, so activation returns to it.
  if (bEnableOwner) ::EnableWindow(hWndOwner, TRUE);
  if (hWndOwner != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndOwner);
  DestroyWindow();
  return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
  if (m_bContinueModal) EndModalLoop(nResult);
  ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog() {
  if (!UpdateData(FALSE)) {
    EndDialog(-1);
    return FALSE;
  }
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  if (CWnd::PreTranslateMessage(pMsg)) return TRUE;
  // Keyboard and mouse input get the dialog keys (Tab, Enter, Escape, mnemonics).
  bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
               (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
  return input && m_hWnd != nullptr && ::IsDialogMessageA(m_hWnd, pMsg);
}

// ---- The modal loop (a CWnd member: property sheets run it too)

void CWnd::EndModalLoop(int nResult) {
  m_nModalResult = nResult;
  if (m_bContinueModal) {
    m_bContinueModal = FALSE;
    // Wake the loop if it is waiting for a message.
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
  }
}

int CWnd::RunModalLoop(DWORD dwFlags) {
  m_bContinueModal = TRUE;
  BOOL bIdle = TRUE;
  LONG lIdleCount = 0;
  BOOL bShowIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
  HWND hWndSelf = m_hWnd;
  MSG msg;
  for (;;) {
    while (bIdle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      if (bShowIdle) {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
        bShowIdle = FALSE;
      }
      if (lIdleCount++ >= 1) {
        AfxDeleteTempMaps();
        bIdle = FALSE;
      }
      if (!ContinueModal()) return m_nModalResult;
    }
    do {
      if (!::GetMessageA(&msg, nullptr, 0, 0)) {
        // WM_QUIT ends the loop and goes on to the outer one.
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        m_bContinueModal = FALSE;
        return -1;
      }
      if (!WalkPreTranslateTree(hWndSelf, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
      if (!ContinueModal() || !::IsWindow(hWndSelf)) return m_nModalResult;
      if (msg.message != WM_PAINT && msg.message != 0x0118 /* WM_SYSTIMER */ &&
          !(msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE)) {
        bIdle = TRUE;
        lIdleCount = 0;
      }
    } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}
