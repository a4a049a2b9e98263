// The tooltip path for windows whose tips depend on where the mouse is:
// PreTranslateMessage hands mouse messages to FilterToolTipMessage, which asks
// OnToolHitTest what is under the mouse and keeps one tool for it in the
// thread's tooltip control. The text comes back through TTN_NEEDTEXT into the
// window's message map.
#include <afxwin.h>
#include <afxcmn.h>

#include "ThreadState.h"

namespace {

// The thread's tooltip control, which forgets itself when its window goes.
class CThreadToolTip : public CToolTipCtrl {
 protected:
  void PostNcDestroy() override {
    AfxThreadState& state = AfxGetThreadState();
    if (state.pToolTip == this) {
      state.pToolTip = nullptr;
      state.hWndLastHit = nullptr;
      state.nLastHit = -1;
    }
    delete this;
  }
};

bool IsToolTipMessage(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      return true;
    default:
      return false;
  }
}

}  // namespace

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFOA* pTI) const {
  // By default each visible child control is a tool with its control ID.
  HWND hWndChild = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE);
  if (hWndChild == nullptr || hWndChild == m_hWnd) return -1;
  int nID = ::GetDlgCtrlID(hWndChild);
  if (nID == 0 || nID == -1) return -1;
  if (pTI != nullptr) {
    pTI->hwnd = m_hWnd;
    pTI->uId = reinterpret_cast<UINT_PTR>(hWndChild);
    pTI->uFlags |= TTF_IDISHWND;
    pTI->lpszText = LPSTR_TEXTCALLBACK;
  }
  return nID;
}

BOOL CWnd::EnableToolTips(BOOL bEnable) {
  BOOL bOld = m_bToolTipsEnabled;
  m_bToolTipsEnabled = bEnable;
  if (!bEnable) {
    AfxThreadState& state = AfxGetThreadState();
    if (state.hWndLastHit == m_hWnd) CancelToolTips();
  }
  return bOld;
}

void PASCAL CWnd::CancelToolTips(BOOL bKeys) {
  AfxThreadState& state = AfxGetThreadState();
  if (state.pToolTip != nullptr && state.nLastHit != -1) {
    state.pToolTip->SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&state.lastInfo));
    state.pToolTip->Pop();
  }
  state.hWndLastHit = nullptr;
  state.nLastHit = -1;
}

void CWnd::FilterToolTipMessage(MSG* pMsg) {
  if (!IsToolTipMessage(pMsg->message) || m_hWnd == nullptr) return;
  AfxThreadState& state = AfxGetThreadState();
  if (state.pToolTip == nullptr) {
    CThreadToolTip* pToolTip = new CThreadToolTip;
    // Owned by our top level window, so it goes away with it.
    if (!pToolTip->Create(GetTopLevelParent())) {
      delete pToolTip;
      return;
    }
    state.pToolTip = pToolTip;
    pToolTip->Activate(TRUE);
  }
  if (state.hWndLastHit != nullptr && !::IsWindow(state.hWndLastHit)) {
    state.hWndLastHit = nullptr;
    state.nLastHit = -1;
  }

  CPoint point = pMsg->pt;
  ::ScreenToClient(m_hWnd, &point);
  TOOLINFOA ti = {};
  ti.cbSize = AFX_TOOLINFO_SIZE;
  INT_PTR nHit = OnToolHitTest(point, &ti);
  if (state.hWndLastHit != m_hWnd || state.nLastHit != nHit) {
    if (state.nLastHit != -1)
      state.pToolTip->SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&state.lastInfo));
    state.hWndLastHit = nullptr;
    state.nLastHit = -1;
    if (nHit != -1) {
      if (ti.hwnd == nullptr) ti.hwnd = m_hWnd;
      if (ti.lpszText == nullptr) ti.lpszText = LPSTR_TEXTCALLBACK;
      ti.cbSize = AFX_TOOLINFO_SIZE;
      state.pToolTip->SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
      state.lastInfo = ti;
      state.hWndLastHit = m_hWnd;
      state.nLastHit = nHit;
    }
  }
  if (state.nLastHit == -1) return;
  // The tooltip hit-tests the relayed message in the tool window's coordinates.
  MSG relay = *pMsg;
  if (!(state.lastInfo.uFlags & TTF_IDISHWND) && relay.hwnd != state.lastInfo.hwnd) {
    CPoint pt = pMsg->pt;
    ::ScreenToClient(state.lastInfo.hwnd, &pt);
    relay.hwnd = state.lastInfo.hwnd;
    relay.lParam = MAKELPARAM(pt.x, pt.y);
  }
  state.pToolTip->RelayEvent(&relay);
}

// The thread's tooltip control, for tests and for windows that tune it.
CToolTipCtrl* AFXAPI AfxGetThreadToolTip() { return AfxGetThreadState().pToolTip; }
