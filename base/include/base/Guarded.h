#pragma once
// The one guard at every edge: no exception crosses a DLL export, a window
// procedure or a thread entry. Whatever the body throws (memory running out
// while a song grows, a bug deep inside) becomes the entry point's failure
// value, and the caller sees a code, never an unwinding stack it cannot catch.
#include <utility>

namespace base {

// Runs call and returns its result, or failed when it throws.
template <typename F, typename R>
R Guarded(F&& call, R failed) noexcept {
  try {
    return std::forward<F>(call)();
  } catch (...) {
    return failed;
  }
}

// For entry points with nothing to return: a failure is dropped where it happened.
template <typename F>
void Guarded(F&& call) noexcept {
  try {
    std::forward<F>(call)();
  } catch (...) {}
}

}  // namespace base
