// What the framework keeps per UI thread: windows belong to the thread that
// made them, so none of this needs a lock.
#pragma once

#include <unordered_map>

struct AfxThreadState
{
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
