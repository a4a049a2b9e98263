#pragma once
// The output chain's recursive lock. Unlike base::CriticalSection it counts the
// entries of the holding thread, which the chain's tests and traces read.
#include "base/Handles.h"

class CCriticalSection {
 public:
  CCriticalSection() = default;
  CCriticalSection(const CCriticalSection&) = delete;
  CCriticalSection& operator=(const CCriticalSection&) = delete;

  // Both return the entry count after the call. The count is only meaningful
  // to the thread that holds the lock.
  int Enter() {
    section_.Enter();
    return ++count_;
  }
  int Leave() {
    int count = --count_;
    section_.Leave();
    return count;
  }
  int Count() const { return count_; }

 private:
  base::CriticalSection section_;
  int count_ = 0;
};

class CScopedLock {
 public:
  explicit CScopedLock(CCriticalSection* lock) : lock_(lock) { lock_->Enter(); }
  ~CScopedLock() { lock_->Leave(); }
  CScopedLock(const CScopedLock&) = delete;
  CScopedLock& operator=(const CScopedLock&) = delete;

 private:
  CCriticalSection* lock_;
};
