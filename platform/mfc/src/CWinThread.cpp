#include <afxwin.h>

#include <process.h>

#include <afxcmn.h>

#include "ThreadState.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread() : CWinThread(nullptr, nullptr) {}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pMainWnd(nullptr),
      m_hThread(nullptr),
      m_nThreadID(0),
      m_bAutoDelete(TRUE),
      m_msgCur(),
      m_pfnThreadProc(pfnThreadProc),
      m_pThreadParams(pParam),
      m_ptCursorLast({-1, -1}),
      m_nMsgLast(0) {}

CWinThread::~CWinThread() {
  if (m_hThread != nullptr) ::CloseHandle(m_hThread);
  // Not through AfxGetThreadState: the object may die on another thread.
}

unsigned __stdcall CWinThread::ThreadEntry(void* pParam) {
  CWinThread* pThread = static_cast<CWinThread*>(pParam);
  AfxGetThreadState().pThread = pThread;
  UINT nResult = 0;
  // No exception leaves a thread: it ends the thread with a failure code instead.
  try {
    if (pThread->m_pfnThreadProc != nullptr) {
      nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
    } else if (pThread->InitInstance()) {
      nResult = static_cast<UINT>(pThread->Run());
    } else {
      nResult = static_cast<UINT>(pThread->ExitInstance());
    }
  } catch (CException* e) {
    e->Delete();
    nResult = static_cast<UINT>(-1);
  } catch (...) {
    nResult = static_cast<UINT>(-1);
  }
  AfxTermThreadState();
  pThread->Delete();
  return nResult;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  // Start suspended so m_hThread is set before the thread can delete the object.
  unsigned threadId = 0;
  uintptr_t handle = _beginthreadex(lpSecurityAttrs, nStackSize, &ThreadEntry, this,
                                    dwCreateFlags | CREATE_SUSPENDED, &threadId);
  if (handle == 0) return FALSE;
  m_hThread = reinterpret_cast<HANDLE>(handle);
  m_nThreadID = threadId;
  if (!(dwCreateFlags & CREATE_SUSPENDED)) ::ResumeThread(m_hThread);
  return TRUE;
}

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

void CWinThread::Delete() {
  if (m_bAutoDelete) delete this;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
  CWnd* pMainWnd = GetMainWnd();
  if (CWnd::WalkPreTranslateTree(pMainWnd->GetSafeHwnd(), pMsg)) return TRUE;
  // A modeless window outside the main window still gets the main window's say.
  if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr && pMsg->hwnd != nullptr &&
      ::GetAncestor(pMsg->hwnd, GA_ROOT) != pMainWnd->m_hWnd &&
      CWnd::FromHandlePermanent(pMainWnd->m_hWnd) == pMainWnd)
    return pMainWnd->PreTranslateMessage(pMsg);
  return FALSE;
}

BOOL CWinThread::PumpMessage() {
  if (!::GetMessageA(&m_msgCur, nullptr, 0, 0)) return FALSE;
  if (!PreTranslateMessage(&m_msgCur)) {
    ::TranslateMessage(&m_msgCur);
    ::DispatchMessageA(&m_msgCur);
  }
  return TRUE;
}

BOOL CWinThread::OnIdle(LONG lCount) {
  if (lCount <= 0) return TRUE;
  AfxDeleteTempMaps();
  return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg) {
  // A mouse that did not move and the caret's blink timer do not count as activity.
  if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
    if (m_ptCursorLast.x == pMsg->pt.x && m_ptCursorLast.y == pMsg->pt.y && pMsg->message == m_nMsgLast)
      return FALSE;
    m_ptCursorLast = pMsg->pt;
    m_nMsgLast = pMsg->message;
    return TRUE;
  }
  return pMsg->message != WM_PAINT && pMsg->message != 0x0118 /* WM_SYSTIMER */;
}

int CWinThread::Run() {
  BOOL bIdle = TRUE;
  LONG lIdleCount = 0;
  for (;;) {
    while (bIdle && !::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(lIdleCount++)) bIdle = FALSE;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(&m_msgCur)) {
        bIdle = TRUE;
        lIdleCount = 0;
      }
    } while (::PeekMessageA(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
  }
}

CWinThread* AFXAPI AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                                  DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
  if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
    delete pThread;
    return nullptr;
  }
  pThread->SetThreadPriority(nPriority);
  if (!(dwCreateFlags & CREATE_SUSPENDED)) pThread->ResumeThread();
  return pThread;
}

CWinThread* AFXAPI AfxGetThread() {
  if (CWinThread* pThread = AfxGetThreadState().pThread) return pThread;
  // The program's main thread runs the application object.
  CWinApp* pApp = AfxGetApp();
  return pApp != nullptr && pApp->m_nThreadID == ::GetCurrentThreadId() ? pApp : nullptr;
}

BOOL AFXAPI AfxPumpMessage() {
  if (CWinThread* pThread = AfxGetThread()) return pThread->PumpMessage();
  MSG msg;
  if (!::GetMessageA(&msg, nullptr, 0, 0)) return FALSE;
  if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
  return TRUE;
}
