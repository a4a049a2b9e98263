// What the framework keeps per UI thread: windows belong to the thread that
// made them, so none of this needs a lock. One heap object per thread behind a
// TLS slot, not C++ thread_local: the runtime's thread_local teardown at thread
// exit deadlocked the heap under Wine once the thread had owned windows.
#pragma once

#include <unordered_map>
#include <vector>

class CTempMapBase;

struct AfxThreadState {
  ~AfxThreadState();

  // The temporary maps of this thread, by wrapper kind (owned).
  std::unordered_map<const void*, CTempMapBase*> tempMaps;
  std::vector<CTempMapBase*> tempMapOrder;

  // The CWinThread object running this thread, if any.
  CWinThread* pThread = nullptr;

  // CWaitCursor nesting.
  int nWaitCursorCount = 0;
  HCURSOR hcurWaitCursorRestore = nullptr;

  // HWND -> the permanent object of that window.
  std::unordered_map<HWND, CWnd*> permanentWindows;

  // Creation hook: the object waiting for its window, and the hook itself.
  CWnd* pWndInit = nullptr;
  HHOOK hHookCbt = nullptr;

  // The message being handled, for Default() and GetCurrentMessage().
  MSG lastMsg = {};

  // The tooltip control of OnToolHitTest/FilterToolTipMessage and its last hit.
  CToolTipCtrl* pToolTip = nullptr;
  HWND hWndLastHit = nullptr;
  INT_PTR nLastHit = -1;
  TOOLINFOA lastInfo = {};
};

AfxThreadState& AfxGetThreadState();
// Frees this thread's state (its temporary wrappers first); a thread that
// ends without calling it leaves a small block behind.
void AfxTermThreadState();
