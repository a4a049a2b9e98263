// Threads, the application object and its message loop.
#pragma once

typedef UINT(AFX_CDECL* AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)
 public:
  CWinThread();
  CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
  // Closes the thread handle.
  ~CWinThread() override;

  CWnd* m_pMainWnd;
  HANDLE m_hThread;
  DWORD m_nThreadID;
  // The thread deletes its object when it ends; set FALSE before
  // ResumeThread to wait on m_hThread and delete it yourself.
  BOOL m_bAutoDelete;
  operator HANDLE() const { return m_hThread; }

  BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                    LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
  DWORD ResumeThread() { return ::ResumeThread(m_hThread); }
  DWORD SuspendThread() { return ::SuspendThread(m_hThread); }
  int GetThreadPriority() { return ::GetThreadPriority(m_hThread); }
  BOOL SetThreadPriority(int nPriority) { return ::SetThreadPriority(m_hThread, nPriority); }

  virtual CWnd* GetMainWnd() { return m_pMainWnd; }
  virtual BOOL InitInstance() { return FALSE; }
  virtual int ExitInstance();
  // The message loop: until WM_QUIT, answering ExitInstance's code.
  virtual int Run();
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  virtual BOOL PumpMessage();
  // Called while the queue is empty; the second call frees temporary wrappers.
  virtual BOOL OnIdle(LONG lCount);
  virtual BOOL IsIdleMessage(MSG* pMsg);
  virtual void Delete();

  MSG m_msgCur;

 protected:
  AFX_THREADPROC m_pfnThreadProc;
  LPVOID m_pThreadParams;

 private:
  static unsigned __stdcall ThreadEntry(void* pParam);
  POINT m_ptCursorLast;
  UINT m_nMsgLast;
};

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                  int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                                  DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
CWinThread* AFXAPI AfxGetThread();
BOOL AFXAPI AfxPumpMessage();

// What the command line asks for: the first plain parameter is the file name.
class CCommandLineInfo : public CObject {
 public:
  enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 };
  CCommandLineInfo();
  // Called for each parameter; bFlag when it started with '/' or '-' (then stripped).
  virtual void ParseParam(LPCTSTR pszParam, BOOL bFlag, BOOL bLast);

  BOOL m_bShowSplash;
  BOOL m_bRunEmbedded;
  BOOL m_bRunAutomated;
  int m_nShellCommand;
  CString m_strFileName;
};

class CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)
 public:
  explicit CWinApp(LPCTSTR lpszAppName = NULL);
  ~CWinApp() override;

  LPCTSTR m_pszAppName;
  HINSTANCE m_hInstance;
  LPTSTR m_lpCmdLine;
  int m_nCmdShow;
  LPCTSTR m_pszExeName;
  LPCTSTR m_pszProfileName;

  HICON LoadIcon(LPCTSTR lpszResourceName) const {
    return ::LoadIconA(AfxGetResourceHandle(), lpszResourceName);
  }
  HICON LoadIcon(UINT nIDResource) const { return LoadIcon(MAKEINTRESOURCE(nIDResource)); }
  HICON LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIconA(NULL, lpszIconName); }
  HCURSOR LoadCursor(LPCTSTR lpszResourceName) const {
    return ::LoadCursorA(AfxGetResourceHandle(), lpszResourceName);
  }
  HCURSOR LoadCursor(UINT nIDResource) const { return LoadCursor(MAKEINTRESOURCE(nIDResource)); }
  HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const { return ::LoadCursorA(NULL, lpszCursorName); }

  // Splits m_lpCmdLine (quotes respected) and hands each parameter to rCmdInfo.
  void ParseCommandLine(CCommandLineInfo& rCmdInfo);
  // Nothing to switch on in our builds; kept so InitInstance reads as usual.
  BOOL Enable3dControls() { return TRUE; }
  BOOL Enable3dControlsStatic() { return TRUE; }
  void BeginWaitCursor() { CCmdTarget::BeginWaitCursor(); }
  void EndWaitCursor() { CCmdTarget::EndWaitCursor(); }

  virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
  int Run() override;
  int ExitInstance() override;

  // Called by WinMain before InitInstance.
  BOOL AfxWinInit(HINSTANCE hInstance, LPSTR lpCmdLine, int nCmdShow);

 protected:
  afx_msg void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  CString m_strExeName;
};

CWinApp* AFXAPI AfxGetApp();
CWnd* AFXAPI AfxGetMainWnd();
LPCTSTR AFXAPI AfxGetAppName();
int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
// Our programs host no controls of that kind; kept so InitInstance reads as usual.
inline void AfxEnableControlContainer() {}
BOOL AFXAPI AfxInitRichEdit();
// The program's WinMain: drives the one CWinApp object.
int AFXAPI AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);

// A plain framed window (the notice pop-up's base). On the heap, it deletes itself when destroyed.
class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE(CFrameWnd)
 public:
  CFrameWnd() = default;
  BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
              const RECT& rect = rectDefault, CWnd* pParentWnd = NULL, LPCTSTR lpszMenuName = NULL,
              DWORD dwExStyle = 0, CCreateContext* pContext = NULL);
  static const CRect rectDefault;

 protected:
  BOOL PreCreateWindow(CREATESTRUCT& cs) override;
  void PostNcDestroy() override;
  DECLARE_MESSAGE_MAP()
};
