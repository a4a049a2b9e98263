// Helpers for tests that drive real windows: every wait has a deadline.
#pragma once

#include <afxwin.h>

#include <functional>

namespace mfctest {

// Pumps this thread's messages (through the PreTranslateMessage walk) until
// done() answers true or the deadline passes; answers done().
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
  DWORD start = ::GetTickCount();
  MSG msg;
  while (!done()) {
    if (::GetTickCount() - start > timeoutMs) return false;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) continue;
      if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
      }
    }
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

// Posts WM_QUIT to this thread after the timeout, so a loop under test ends
// even when the behaviour it waits for never comes.
class QuitWatchdog {
 public:
  explicit QuitWatchdog(UINT timeoutMs) : m_id(::SetTimer(nullptr, 0, timeoutMs, &Fire)) {}
  ~QuitWatchdog() { ::KillTimer(nullptr, m_id); }
  static bool Fired() { return s_fired; }
  static void Reset() { s_fired = false; }

 private:
  static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    s_fired = true;
    ::PostQuitMessage(99);
  }
  UINT_PTR m_id;
  static inline bool s_fired = false;
};

// A top level window of our own class for children to live in.
inline CRect TestRect() { return CRect(10, 10, 310, 210); }

}  // namespace mfctest
