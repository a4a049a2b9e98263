// Waiting in a test that owns windows: messages keep flowing while the test
// waits for a condition, and every wait has a deadline, so a fault fails the
// test instead of hanging it.
#pragma once

#include <windows.h>

#include <functional>

namespace testsupport {

// Dispatches the thread's messages until done() holds or timeoutMs has
// passed; answers done() at the end.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Dispatches the thread's messages for ms: for a window that settles by itself
// (layout, the first paint) and has nothing to wait on.
void PumpFor(DWORD ms);

}  // namespace testsupport
