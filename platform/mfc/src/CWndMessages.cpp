#include <afxwin.h>
#include <afxcmn.h>

#include "ThreadState.h"

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

// Reports a C++ exception stopped at the window procedure: it must not unwind
// through the system's code, and the window carries on.
void ReportStoppedException(UINT message, CException* e) {
  char text[256] = "unknown exception";
  if (e != nullptr) e->GetErrorMessage(text, sizeof(text));
  char line[320];
  snprintf(line, sizeof(line), "Exception stopped at the window procedure (message 0x%04X): %s\n", message,
           text);
  ::OutputDebugStringA(line);
}

bool IsCtlColorMessage(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

// The child a parent's message is about, for reflection.
HWND ChildOfMessage(HWND hWndParent, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWITEM: {
      auto* pDis = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
      return pDis->CtlType == ODT_MENU ? nullptr : pDis->hwndItem;
    }
    case WM_MEASUREITEM: {
      auto* pMis = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
      return pMis->CtlType == ODT_MENU ? nullptr : ::GetDlgItem(hWndParent, static_cast<int>(pMis->CtlID));
    }
    case WM_COMPAREITEM:
      return reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem;
    case WM_DELETEITEM:
      return reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CHARTOITEM:
    case WM_VKEYTOITEM:
      return reinterpret_cast<HWND>(lParam);
    default:
      return IsCtlColorMessage(message) ? reinterpret_cast<HWND>(lParam) : nullptr;
  }
}

}  // namespace

WNDPROC AFXAPI AfxGetAfxWndProc() { return &AfxWndProc; }

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (pWnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);

  AfxThreadState& state = AfxGetThreadState();
  MSG previous = state.lastMsg;
  state.lastMsg.hwnd = hWnd;
  state.lastMsg.message = message;
  state.lastMsg.wParam = wParam;
  state.lastMsg.lParam = lParam;

  LRESULT lResult = 0;
  try {
    lResult = pWnd->WindowProc(message, wParam, lParam);
  } catch (CException* e) {
    ReportStoppedException(message, e);
    e->Delete();
  } catch (...) {
    ReportStoppedException(message, nullptr);
  }

  if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd) {
    // The window is gone: give the procedure back, let go, and let a
    // heap-allocated window delete itself.
    if (pWnd->m_pfnSuper != nullptr &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC)) == &AfxWndProc)
      ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
    pWnd->m_pfnSuper = nullptr;
    pWnd->Detach();
    try {
      pWnd->PostNcDestroy();
    } catch (CException* e) {
      ReportStoppedException(message, e);
      e->Delete();
    } catch (...) {
      ReportStoppedException(message, nullptr);
    }
  }
  state.lastMsg = previous;
  return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT lResult = 0;
  if (!OnWndMsg(message, wParam, lParam, &lResult)) lResult = DefWindowProc(message, wParam, lParam);
  return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
  const MSG& msg = AfxGetThreadState().lastMsg;
  return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

const MSG* PASCAL CWnd::GetCurrentMessage() {
  MSG& msg = AfxGetThreadState().lastMsg;
  msg.time = ::GetMessageTime();
  DWORD pos = ::GetMessagePos();
  msg.pt.x = static_cast<short>(LOWORD(pos));
  msg.pt.y = static_cast<short>(HIWORD(pos));
  return &msg;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  LRESULT lResult = 0;
  switch (message) {
    case WM_COMMAND:
      if (!OnCommand(wParam, lParam)) return FALSE;
      *pResult = 1;
      return TRUE;
    case WM_NOTIFY: {
      auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
      if (pNMHDR == nullptr || !OnNotify(wParam, lParam, &lResult)) return FALSE;
      *pResult = lResult;
      return TRUE;
    }
    default:
      break;
  }

  // Owner-draw, scroll and colour messages go to the child's object first.
  if (HWND hWndChild = ChildOfMessage(m_hWnd, message, wParam, lParam)) {
    if (CWnd* pChild = FromHandlePermanent(hWndChild)) {
      if (pChild->OnChildNotify(message, wParam, lParam, &lResult)) {
        *pResult = lResult;
        return TRUE;
      }
    }
  }

  if (IsCtlColorMessage(message)) {
    AFX_CTLCOLOR ctl = {reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam),
                        message - WM_CTLCOLORMSGBOX};
    return DispatchMsgMap(WM_CTLCOLOR, 0, 0, wParam, reinterpret_cast<LPARAM>(&ctl), pResult);
  }
  return DispatchMsgMap(message, 0, 0, wParam, lParam, pResult);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
  int nCode = HIWORD(wParam);
  if (hWndCtrl == nullptr) {
    if (nCode == 1) nCode = 0;  // an accelerator is the same command as its menu item
  } else if (CWnd* pChild = FromHandlePermanent(hWndCtrl)) {
    LRESULT lResult = 0;
    if (pChild->OnChildNotify(WM_COMMAND, wParam, lParam, &lResult)) return TRUE;
  }
  LRESULT lResult = 0;
  return OnCmdMsg(nID, nCode, wParam, lParam, &lResult);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
  HWND hWndCtrl = pNMHDR->hwndFrom;
  // The sender's control ID, as the framework always matched it; a tooltip's is 0.
  UINT nID =
      hWndCtrl != nullptr ? static_cast<UINT>(::GetDlgCtrlID(hWndCtrl)) : static_cast<UINT>(pNMHDR->idFrom);
  if (CWnd* pChild = FromHandlePermanent(hWndCtrl)) {
    if (pChild != this && pChild->OnChildNotify(WM_NOTIFY, wParam, lParam, pResult)) return TRUE;
  }
  return DispatchMsgMap(WM_NOTIFY, pNMHDR->code, nID, wParam, lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  switch (message) {
    case WM_COMMAND:
      return DispatchMsgMap(WM_REFLECT_BASE + WM_COMMAND, HIWORD(wParam), 0, wParam, lParam, pResult);
    case WM_NOTIFY:
      return DispatchMsgMap(WM_REFLECT_BASE + WM_NOTIFY, reinterpret_cast<NMHDR*>(lParam)->code, 0, wParam,
                            lParam, pResult);
    default:
      break;
  }
  if (IsCtlColorMessage(message)) {
    AFX_CTLCOLOR ctl = {m_hWnd, reinterpret_cast<HDC>(wParam), message - WM_CTLCOLORMSGBOX};
    return DispatchMsgMap(WM_REFLECT_BASE + WM_CTLCOLOR, 0, 0, wParam, reinterpret_cast<LPARAM>(&ctl),
                          pResult);
  }
  return DispatchMsgMap(WM_REFLECT_BASE + message, 0, 0, wParam, lParam, pResult);
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
  CWnd* pChild = FromHandlePermanent(hWndChild);
  if (pChild == nullptr) return FALSE;
  const MSG& msg = AfxGetThreadState().lastMsg;
  LRESULT lResult = 0;
  return pChild->OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult != nullptr ? pResult : &lResult);
}

BOOL CWnd::PreTranslateMessage(MSG* pMsg) {
  if (m_bToolTipsEnabled) FilterToolTipMessage(pMsg);
  return FALSE;
}

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
  for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
    if (CWnd* pWnd = FromHandlePermanent(hWnd)) {
      if (pWnd->PreTranslateMessage(pMsg)) return TRUE;
    }
    if (hWnd == hWndStop) break;
  }
  return FALSE;
}
