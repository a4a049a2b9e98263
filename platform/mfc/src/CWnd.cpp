#include <afxwin.h>
#include <afxcmn.h>

#include <mutex>
#include <set>
#include <string>

#include "HandleMap.h"
#include "ThreadState.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {
DWORD ThreadStateSlot() {
  static const DWORD slot = ::TlsAlloc();
  return slot;
}
}  // namespace

AfxThreadState& AfxGetThreadState() {
  DWORD slot = ThreadStateSlot();
  auto* pState = static_cast<AfxThreadState*>(::TlsGetValue(slot));
  if (pState == nullptr) {
    pState = new AfxThreadState;
    ::TlsSetValue(slot, pState);
  }
  return *pState;
}

AfxThreadState::~AfxThreadState() {
  for (CTempMapBase* pMap : tempMapOrder) pMap->DeleteTemp();
  for (CTempMapBase* pMap : tempMapOrder) delete pMap;
}

void AfxTermThreadState() {
  DWORD slot = ThreadStateSlot();
  auto* pState = static_cast<AfxThreadState*>(::TlsGetValue(slot));
  if (pState == nullptr) return;
  if (pState->hHookCbt != nullptr) ::UnhookWindowsHookEx(pState->hHookCbt);
  delete pState;
  ::TlsSetValue(slot, nullptr);
}

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd()
    : m_hWnd(nullptr),
      m_pfnSuper(nullptr),
      m_bToolTipsEnabled(FALSE),
      m_bContinueModal(FALSE),
      m_nModalResult(-1) {}

CWnd::CWnd(HWND hWndInsertAfter)
    : m_hWnd(hWndInsertAfter),
      m_pfnSuper(nullptr),
      m_bToolTipsEnabled(FALSE),
      m_bContinueModal(FALSE),
      m_nModalResult(-1) {}

CWnd::~CWnd() {
  if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
  // A window that outlived DestroyWindow (another thread's) must not point at us.
  if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) Detach();
}

HWND CWnd::GetSafeHwnd() const { return this == nullptr ? nullptr : m_hWnd; }

// ---- Handle maps

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) {
  if (hWnd == nullptr) return nullptr;
  if (CWnd* pWnd = FromHandlePermanent(hWnd)) return pWnd;
  return CTempMap<CWnd, HWND>::ForThisThread().FromHandle(hWnd);
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) {
  auto& windows = AfxGetThreadState().permanentWindows;
  auto it = windows.find(hWnd);
  return it == windows.end() ? nullptr : it->second;
}

void PASCAL CWnd::DeleteTempMap() { CTempMap<CWnd, HWND>::ForThisThread().DeleteTemp(); }

BOOL CWnd::Attach(HWND hWndNew) {
  if (hWndNew == nullptr || m_hWnd != nullptr) return FALSE;
  // A temporary wrapper of this window stays valid until idle (its holder
  // may still use it); FromHandle answers with this object from now on.
  AfxGetThreadState().permanentWindows[hWndNew] = this;
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd != nullptr) {
    auto& windows = AfxGetThreadState().permanentWindows;
    auto it = windows.find(hWnd);
    if (it != windows.end() && it->second == this) windows.erase(it);
  }
  m_hWnd = nullptr;
  return hWnd;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!::IsWindow(hWnd) || FromHandlePermanent(hWnd) != nullptr || !Attach(hWnd)) return FALSE;
  PreSubclassWindow();
  WNDPROC oldProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc())));
  if (oldProc != AfxGetAfxWndProc()) m_pfnSuper = oldProc;
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), static_cast<int>(nID));
  return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
  if (m_pfnSuper != nullptr) {
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
  }
  return Detach();
}

// ---- Creation hook

namespace {

bool IsImeWindow(HWND hWnd) {
  // Wine and Windows make IME helper windows on the side; they are not ours.
  char className[32] = {};
  ::GetClassNameA(hWnd, className, sizeof(className));
  return lstrcmpiA(className, "IME") == 0 || lstrcmpiA(className, "MSCTFIME UI") == 0;
}

}  // namespace

LRESULT CALLBACK AfxCbtFilterHook(int nCode, WPARAM wParam, LPARAM lParam) {
  AfxThreadState& state = AfxGetThreadState();
  if (nCode == HCBT_CREATEWND && state.pWndInit != nullptr) {
    HWND hWnd = reinterpret_cast<HWND>(wParam);
    if (!IsImeWindow(hWnd)) {
      CWnd* pWnd = state.pWndInit;
      state.pWndInit = nullptr;
      // One window per arming: pages of a property sheet arm the hook
      // from a callback and nobody else would take it down.
      HHOOK hHook = state.hHookCbt;
      state.hHookCbt = nullptr;
      ::UnhookWindowsHookEx(hHook);
      pWnd->Attach(hWnd);
      pWnd->PreSubclassWindow();
      WNDPROC oldProc = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
      if (oldProc != &AfxWndProc) pWnd->m_pfnSuper = oldProc;
    }
  }
  return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void AFXAPI AfxHookWindowCreate(CWnd* pWnd) {
  AfxThreadState& state = AfxGetThreadState();
  if (state.hHookCbt == nullptr)
    state.hHookCbt = ::SetWindowsHookExA(WH_CBT, &AfxCbtFilterHook, nullptr, ::GetCurrentThreadId());
  state.pWndInit = pWnd;
}

BOOL AFXAPI AfxUnhookWindowCreate() {
  AfxThreadState& state = AfxGetThreadState();
  if (state.hHookCbt != nullptr) {
    ::UnhookWindowsHookEx(state.hHookCbt);
    state.hHookCbt = nullptr;
  }
  BOOL bound = state.pWndInit == nullptr;
  state.pWndInit = nullptr;
  return bound;
}

// ---- Creation and destruction

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                  rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x,
                    int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  if (m_hWnd != nullptr) return FALSE;
  CREATESTRUCTA cs = {};
  cs.dwExStyle = dwExStyle;
  cs.lpszClass = lpszClassName;
  cs.lpszName = lpszWindowName;
  cs.style = static_cast<LONG>(dwStyle);
  cs.x = x;
  cs.y = y;
  cs.cx = nWidth;
  cs.cy = nHeight;
  cs.hwndParent = hWndParent;
  cs.hMenu = nIDorHMenu;
  cs.hInstance = AfxGetInstanceHandle();
  cs.lpCreateParams = lpParam;
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style), cs.x,
                                cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  AfxUnhookWindowCreate();
  if (hWnd == nullptr) return FALSE;
  if (m_hWnd != hWnd) {
    // The hook missed it (another thread's class procedure?): bind it late.
    SubclassWindow(hWnd);
  }
  return TRUE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (cs.lpszClass == nullptr) {
    // A plain child or pop-up of our own class.
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
  }
  return TRUE;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

BOOL CWnd::DestroyWindow() {
  HWND hWnd = m_hWnd;
  if (hWnd == nullptr) return FALSE;
  bool permanent = FromHandlePermanent(hWnd) == this;
  BOOL result = ::DestroyWindow(hWnd);
  // A window only attached, never subclassed, gets no WM_NCDESTROY through us.
  if (permanent && m_hWnd == hWnd && !::IsWindow(hWnd)) Detach();
  return result;
}

// ---- Helpers

CWnd* CWnd::GetTopLevelParent() const {
  HWND hWnd = m_hWnd;
  while (hWnd != nullptr && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  return FromHandle(hWnd);
}

CWnd* PASCAL CWnd::GetSafeOwner(CWnd* pParent, HWND* pWndTop) {
  HWND hWnd = pParent->GetSafeHwnd();
  if (hWnd == nullptr) {
    hWnd = ::GetActiveWindow();
    if (hWnd == nullptr || ::GetWindowThreadProcessId(hWnd, nullptr) != ::GetCurrentThreadId()) {
      CWinApp* pApp = AfxGetApp();
      hWnd = pApp != nullptr ? pApp->m_pMainWnd->GetSafeHwnd() : nullptr;
    }
  }
  // The top level window that owns it all.
  while (hWnd != nullptr && (::GetWindowLongPtrA(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  HWND hWndTop = hWnd;
  if (pWndTop != nullptr) *pWndTop = hWndTop;
  return FromHandle(hWnd);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
  HWND hWndCenter = pAlternateOwner->GetSafeHwnd();
  DWORD style = GetStyle();
  if (hWndCenter == nullptr)
    hWndCenter = (style & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
  RECT rcDlg;
  ::GetWindowRect(m_hWnd, &rcDlg);
  RECT rcArea;
  RECT rcCenter;
  if (style & WS_CHILD) {
    ::GetClientRect(::GetParent(m_hWnd), &rcArea);
    ::GetClientRect(hWndCenter, &rcCenter);
    ::MapWindowPoints(hWndCenter, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&rcCenter), 2);
  } else {
    HMONITOR hMonitor =
        ::MonitorFromWindow(hWndCenter != nullptr ? hWndCenter : m_hWnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoA(hMonitor, &mi);
    rcArea = mi.rcWork;
    if (hWndCenter != nullptr && ::IsWindowVisible(hWndCenter) && !::IsIconic(hWndCenter))
      ::GetWindowRect(hWndCenter, &rcCenter);
    else
      rcCenter = rcArea;
  }
  int width = rcDlg.right - rcDlg.left;
  int height = rcDlg.bottom - rcDlg.top;
  int left = (rcCenter.left + rcCenter.right) / 2 - width / 2;
  int top = (rcCenter.top + rcCenter.bottom) / 2 - height / 2;
  // Keep it inside the work area.
  if (left + width > rcArea.right) left = rcArea.right - width;
  if (left < rcArea.left) left = rcArea.left;
  if (top + height > rcArea.bottom) top = rcArea.bottom - height;
  if (top < rcArea.top) top = rcArea.top;
  ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// nIndex GWL_STYLE or GWL_EXSTYLE; nFlags non-zero asks SetWindowPos to apply it (SWP_FRAMECHANGED).
BOOL ModifyStyleBits(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, nIndex));
  DWORD newStyle = (style & ~dwRemove) | dwAdd;
  if (style == newStyle) return FALSE;
  ::SetWindowLongPtrA(hWnd, nIndex, static_cast<LONG_PTR>(newStyle));
  if (nFlags != 0)
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
  return TRUE;
}

}  // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleBits(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
  return ModifyStyleBits(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::GetWindowText(CString& rString) const {
  int nLen = ::GetWindowTextLengthA(m_hWnd);
  ::GetWindowTextA(m_hWnd, rString.GetBuffer(nLen), nLen + 1);
  rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  rString.Empty();
  HWND hWnd = ::GetDlgItem(m_hWnd, nID);
  if (hWnd != nullptr) {
    int nLen = ::GetWindowTextLengthA(hWnd);
    ::GetWindowTextA(hWnd, rString.GetBuffer(nLen), nLen + 1);
    rString.ReleaseBuffer();
  }
  return rString.GetLength();
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep) {
  for (HWND hWndChild = ::GetTopWindow(m_hWnd); hWndChild != nullptr;
       hWndChild = ::GetWindow(hWndChild, GW_HWNDNEXT)) {
    ::SendMessageA(hWndChild, message, wParam, lParam);
    if (bDeep && ::GetTopWindow(hWndChild) != nullptr) {
      CWnd child;
      child.m_hWnd = hWndChild;
      child.SendMessageToDescendants(message, wParam, lParam, bDeep);
      child.m_hWnd = nullptr;
    }
  }
}

int CWnd::ReleaseDC(CDC* pDC) {
  HDC hDC = pDC->GetSafeHdc();
  if (hDC == nullptr) return 0;
  // The temporary wrapper made by GetDC must not outlive the DC it borrowed.
  CTempMap<CDC, HDC>& temps = CTempMap<CDC, HDC>::ForThisThread();
  if (temps.Lookup(hDC) == pDC) {
    temps.Remove(hDC);
    pDC->Detach();
    delete pDC;
  }
  return ::ReleaseDC(m_hWnd, hDC);
}

CMenu* CWnd::GetMenu() const { return CMenu::FromHandle(::GetMenu(m_hWnd)); }

BOOL CWnd::SetMenu(CMenu* pMenu) { return ::SetMenu(m_hWnd, pMenu->GetSafeHmenu()); }

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const { return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert)); }

// ---- Window classes

BOOL AFXAPI AfxRegisterClass(WNDCLASSA* lpWndClass) {
  WNDCLASSA existing;
  if (::GetClassInfoA(lpWndClass->hInstance, lpWndClass->lpszClassName, &existing)) return TRUE;
  return ::RegisterClassA(lpWndClass) != 0;
}

LPCTSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  // The name spells out the attributes, so equal requests share one class.
  // The set keeps each name alive for the process; UI threads share it.
  static std::set<std::string> names;
  static std::mutex namesLock;
  std::lock_guard<std::mutex> lock(namesLock);
  char name[128];
  snprintf(name, sizeof(name), "Afx:%p:%x:%p:%p:%p", static_cast<void*>(AfxGetInstanceHandle()), nClassStyle,
           static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
  auto inserted = names.insert(name);
  LPCTSTR lpszName = inserted.first->c_str();
  WNDCLASSA wc = {};
  wc.style = nClassStyle;
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = AfxGetInstanceHandle();
  wc.hIcon = hIcon;
  wc.hCursor = hCursor;
  wc.hbrBackground = hbrBackground;
  wc.lpszClassName = lpszName;
  if (!AfxRegisterClass(&wc)) AfxThrowResourceException();
  return lpszName;
}
