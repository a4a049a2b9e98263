// Helpers for tests that drive real windows: every wait has a deadline.
#pragma once

#include <afxwin.h>

#include "testsupport/MessagePump.h"

namespace mfctest {

// The framework's PreTranslateMessage walk as the filter of a test's message
// pump (testsupport::PumpUntil), as a framework program's loop passes its
// messages. A quit left by an ended modal loop is dropped.
inline bool PreTranslate(MSG* msg) {
  return msg->message == WM_QUIT || CWnd::WalkPreTranslateTree(nullptr, msg) != FALSE;
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
