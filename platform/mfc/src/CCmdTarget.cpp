#include <afxwin.h>
#include <afxcmn.h>

#include "ThreadState.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap() {
  static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr, nullptr}};
  static const AFX_MSGMAP messageMap = {nullptr, &entries[0]};
  return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CCmdTarget::DispatchMsgMap(UINT nMessage, UINT nCode, UINT nID, WPARAM wParam, LPARAM lParam,
                                LRESULT* pResult) {
  for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
       pMap = pMap->pfnGetBaseMap != nullptr ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->pfn != nullptr; ++pEntry) {
      UINT nEntryMessage =
          pEntry->pnRegisteredMessage != nullptr ? *pEntry->pnRegisteredMessage : pEntry->nMessage;
      if (nEntryMessage != nMessage || pEntry->nCode != nCode || nID < pEntry->nID || nID > pEntry->nLastID)
        continue;
      LRESULT lResult = 0;
      if (pEntry->pfn(this, nID, wParam, lParam, &lResult)) {
        if (pResult != nullptr) *pResult = lResult;
        return TRUE;
      }
      // An _EX handler declined: the search goes on.
    }
  }
  return FALSE;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  return DispatchMsgMap(WM_COMMAND, static_cast<UINT>(nCode), nID, wParam, lParam, pResult);
}

void CCmdTarget::BeginWaitCursor() {
  AfxThreadState& state = AfxGetThreadState();
  HCURSOR hcurPrev = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
  if (state.nWaitCursorCount++ == 0) state.hcurWaitCursorRestore = hcurPrev;
}

void CCmdTarget::EndWaitCursor() {
  AfxThreadState& state = AfxGetThreadState();
  if (state.nWaitCursorCount == 0) return;
  if (--state.nWaitCursorCount == 0) ::SetCursor(state.hcurWaitCursorRestore);
}

void CCmdTarget::RestoreWaitCursor() {
  if (AfxGetThreadState().nWaitCursorCount > 0) ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
}

CWaitCursor::CWaitCursor() { CCmdTarget().BeginWaitCursor(); }

CWaitCursor::~CWaitCursor() { CCmdTarget().EndWaitCursor(); }

void CWaitCursor::Restore() { CCmdTarget().RestoreWaitCursor(); }
