#include "testsupport/MessagePump.h"

namespace testsupport {

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, const MessageFilter& filter) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    PumpPending(filter);
    if (done()) return true;
    if (::GetTickCount() - start >= timeoutMs) return done();
    // Wakes for the next message, or soon enough to look at done() again.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

void PumpFor(DWORD ms, const MessageFilter& filter) {
  PumpUntil([] { return false; }, ms, filter);
}

void PumpPending(const MessageFilter& filter) {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (filter && filter(&msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

}  // namespace testsupport
