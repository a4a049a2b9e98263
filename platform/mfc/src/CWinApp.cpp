#include <afxwin.h>

#include <richedit.h>

#include "base/Library.h"

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

namespace {
CWinApp* g_pApp = nullptr;
}  // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pszAppName(lpszAppName),
      m_hInstance(nullptr),
      m_lpCmdLine(nullptr),
      m_nCmdShow(SW_SHOWNORMAL),
      m_pszExeName(nullptr),
      m_pszProfileName(nullptr) {
  g_pApp = this;
  m_nThreadID = ::GetCurrentThreadId();
  m_bAutoDelete = FALSE;
}

CWinApp::~CWinApp() {
  if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::AfxWinInit(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow) {
  m_hInstance = hInstance;
  AfxSetInstanceHandle(hInstance);
  m_lpCmdLine = lpCmdLine;
  m_nCmdShow = nCmdShow;
  m_nThreadID = ::GetCurrentThreadId();
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(hInstance, path, MAX_PATH);
  CString exe(path);
  exe = exe.Mid(exe.ReverseFind('\\') + 1);
  int dot = exe.ReverseFind('.');
  if (dot > 0) exe = exe.Left(dot);
  m_strExeName = exe;
  m_pszExeName = m_strExeName;
  if (m_pszAppName == nullptr) m_pszAppName = m_pszExeName;
  return TRUE;
}

int CWinApp::Run() {
  // A program whose InitInstance left no main window would wait for ever.
  if (m_pMainWnd == nullptr) ::PostQuitMessage(0);
  return CWinThread::Run();
}

int CWinApp::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo) {
  // Split like the C runtime: blanks separate, quotes group and are removed.
  CStringArray params;
  const char* p = m_lpCmdLine != nullptr ? m_lpCmdLine : "";
  while (*p != '\0') {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0') break;
    CString param;
    bool quoted = false;
    for (; *p != '\0' && (quoted || (*p != ' ' && *p != '\t')); ++p) {
      if (*p == '"')
        quoted = !quoted;
      else
        param += *p;
    }
    params.Add(param);
  }
  for (INT_PTR i = 0; i < params.GetSize(); ++i) {
    CString param = params[i];
    BOOL bFlag = !param.IsEmpty() && (param[0] == '/' || param[0] == '-');
    if (bFlag) param = param.Mid(1);
    rCmdInfo.ParseParam(param, bFlag, i == params.GetUpperBound());
  }
}

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) {
  HWND hWndTop = nullptr;
  CWnd* pOwner = CWnd::GetSafeOwner(nullptr, &hWndTop);
  if ((nType & MB_ICONMASK) == 0) {
    switch (nType & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
        nType |= MB_ICONEXCLAMATION;
        break;
      case MB_YESNO:
      case MB_YESNOCANCEL:
        nType |= MB_ICONQUESTION;
        break;
      default:
        break;
    }
  }
  return ::MessageBoxA(pOwner->GetSafeHwnd(), lpszPrompt, m_pszAppName, nType);
}

void CWinApp::OnHelp() {
  if (CWnd* pMainWnd = GetMainWnd()) pMainWnd->WinHelp(0, HELP_FINDER);
}

CCommandLineInfo::CCommandLineInfo()
    : m_bShowSplash(TRUE), m_bRunEmbedded(FALSE), m_bRunAutomated(FALSE), m_nShellCommand(FileNew) {}

void CCommandLineInfo::ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast) {
  if (bFlag) {
    if (lstrcmpiA(pszParam, "Embedding") == 0)
      m_bRunEmbedded = TRUE;
    else if (lstrcmpiA(pszParam, "Automation") == 0)
      m_bRunAutomated = TRUE;
    return;
  }
  if (m_strFileName.IsEmpty()) {
    m_strFileName = pszParam;
    if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
  }
}

CWinApp* AFXAPI AfxGetApp() { return g_pApp; }

CWnd* AFXAPI AfxGetMainWnd() {
  CWinThread* pThread = AfxGetThread();
  return pThread != nullptr ? pThread->GetMainWnd() : nullptr;
}

LPCTSTR AFXAPI AfxGetAppName() { return g_pApp != nullptr ? g_pApp->m_pszAppName : ""; }

int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp) {
  if (g_pApp != nullptr) return g_pApp->DoMessageBox(lpszText, nType, nIDHelp);
  HWND hWndTop = nullptr;
  CWnd* pOwner = CWnd::GetSafeOwner(nullptr, &hWndTop);
  return ::MessageBoxA(pOwner->GetSafeHwnd(), lpszText, nullptr, nType);
}

int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  CString text;
  text.LoadString(nIDPrompt);
  return AfxMessageBox(text, nType, nIDHelp == (UINT)-1 ? nIDPrompt : nIDHelp);
}

BOOL AFXAPI AfxInitRichEdit() {
  // Version 2 and later live in riched20.dll; loading it registers RICHEDIT_CLASSA.
  // The 1.0 class "RichEdit" (riched32.dll) is loaded too: its selected text
  // reads back with CR LF line ends.
  // Both stay loaded for the rest of the process: a rich edit control lives on
  // code of the library that registered its class.
  static const bool loaded = [] {
    base::Library richEdit("riched20.dll");
    base::Library richEdit1("riched32.dll");
    const bool both = richEdit && richEdit1;
    richEdit.Detach();
    richEdit1.Detach();
    return both;
  }();
  return loaded;
}

int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  CWinApp* pApp = AfxGetApp();
  if (pApp == nullptr || !pApp->AfxWinInit(hInstance, lpCmdLine, nCmdShow)) return -1;
  int nReturnCode = -1;
  try {
    if (!pApp->InitInstance()) {
      if (pApp->m_pMainWnd != nullptr) pApp->m_pMainWnd->DestroyWindow();
      nReturnCode = pApp->ExitInstance();
    } else {
      nReturnCode = pApp->Run();
    }
  } catch (CException* e) {
    e->ReportError();
    e->Delete();
  }
  AfxDeleteTempMaps();
  return nReturnCode;
}
