#pragma once
// No exception crosses the library's boundary: operations that allocate run
// their body through NoThrow and give a failure value when memory runs out.
#include <new>
#include <utility>

template <class R, class F>
R NoThrow(R onFailure, F&& body) noexcept {
  try {
    return std::forward<F>(body)();
  } catch (...) {
    return onFailure;
  }
}
