// The high-resolution clock the benchmark programs time with.
#pragma once

#include <windows.h>

namespace testsupport {

inline double NowSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

inline double NowMs() { return NowSeconds() * 1000.0; }

}  // namespace testsupport
