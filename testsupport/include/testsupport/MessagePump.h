// Waiting in a test that owns windows: messages keep flowing while the test
// waits for a condition, and every wait has a deadline, so a fault fails the
// test instead of hanging it. A thread without windows waits the same way:
// with nothing to dispatch, the pump only looks at the condition again.
#pragma once

#include <windows.h>

#include <functional>

namespace testsupport {

// Offered each message before it is dispatched; true when it took the
// message. The framework's programs pass their messages through its
// PreTranslateMessage walk this way.
using MessageFilter = std::function<bool(MSG*)>;

// Dispatches the thread's messages until done() holds or timeoutMs has
// passed; answers done() at the end.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, const MessageFilter& filter = {});

// Dispatches the thread's messages for ms: for a window that settles by itself
// (layout, the first paint) and has nothing to wait on.
void PumpFor(DWORD ms, const MessageFilter& filter = {});

// Dispatches what is queued now, without waiting for more.
void PumpPending(const MessageFilter& filter = {});

}  // namespace testsupport
