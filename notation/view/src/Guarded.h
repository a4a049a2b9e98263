// No exception leaves the library: an entry point that ran out of memory
// returns its "failed" value and leaves the view as far as it got.
#pragma once

template <typename F, typename R>
R Guarded(F f, R failed) {
  try {
    return f();
  } catch (...) {
    return failed;
  }
}

template <typename F>
void Guarded(F f) {
  try {
    f();
  } catch (...) {}
}
