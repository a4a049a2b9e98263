#pragma once
// Owners for kernel handles, registry keys and critical sections: one owner
// each, closed on every way out of a scope, so an early return never leaves a
// file locked or a thread handle behind.
#include <windows.h>

namespace base {

// A kernel handle (file, thread, event, mapping). The system answers failure
// with null from some calls and INVALID_HANDLE_VALUE from others (CreateFile);
// both mean "no handle" here.
class ScopedHandle {
 public:
  ScopedHandle() = default;
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() { Close(); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;

  HANDLE Get() const { return handle_; }
  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  explicit operator bool() const { return Valid(); }
  // Closes the handle held before.
  void Attach(HANDLE handle) {
    Close();
    handle_ = handle;
  }
  HANDLE Detach() {
    HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
  }
  // False when the system reports that closing failed (a delayed write error).
  bool Close() {
    if (!Valid()) {
      handle_ = nullptr;
      return true;
    }
    BOOL ok = CloseHandle(handle_);
    handle_ = nullptr;
    return ok != FALSE;
  }

 private:
  HANDLE handle_ = nullptr;
};

// An open registry key.
class RegKey {
 public:
  RegKey() = default;
  explicit RegKey(HKEY key) : key_(key) {}
  ~RegKey() { Close(); }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  HKEY Get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }
  // For RegOpenKeyEx and RegCreateKeyEx: closes the key held before.
  HKEY* Receive() {
    Close();
    return &key_;
  }
  void Attach(HKEY key) {
    Close();
    key_ = key;
  }
  HKEY Detach() {
    HKEY key = key_;
    key_ = nullptr;
    return key;
  }
  void Close() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
  }

 private:
  HKEY key_ = nullptr;
};

// Re-entrant on its owning thread, so a callback made under the lock may call
// back into the object that holds it.
class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&section_); }
  ~CriticalSection() { DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Enter() { EnterCriticalSection(&section_); }
  void Leave() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

class ScopedLock {
 public:
  explicit ScopedLock(CriticalSection& section) : section_(section) { section_.Enter(); }
  ~ScopedLock() { section_.Leave(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  CriticalSection& section_;
};

}  // namespace base
