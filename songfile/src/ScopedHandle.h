#pragma once
// Owns a Win32 file handle and closes it on every way out of a scope, so an
// early return never leaves a song file locked.
#include <windows.h>

class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  HANDLE Get() const { return h_; }
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  void Attach(HANDLE h) {
    Close();
    h_ = h;
  }
  HANDLE Detach() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }
  // False when the system reports that closing failed (a delayed write error).
  bool Close() {
    if (!Valid()) return true;
    BOOL ok = CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

 private:
  HANDLE h_;
};
