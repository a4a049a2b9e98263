// Waiting without windows: a test thread that watches another thread or
// another program looks at a condition every few milliseconds until it holds
// or the deadline passes, so a fault fails the test instead of hanging it. A
// thread that owns windows waits with PumpUntil (MessagePump.h) instead, so
// that its messages keep flowing.
#pragma once

#include <windows.h>

#include <functional>

namespace testsupport {

// Looks at done() every stepMs until it holds or timeoutMs has passed;
// answers done() at the end. A longer step spaces out looks that cost much
// (a screen grab) or that a test compares one with the next.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs, DWORD stepMs = 5);

}  // namespace testsupport
