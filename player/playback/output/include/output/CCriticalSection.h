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
    m_section.Enter();
    return ++m_count;
  }
  int Leave() {
    int count = --m_count;
    m_section.Leave();
    return count;
  }
  int Count() const { return m_count; }

 private:
  base::CriticalSection m_section;
  int m_count = 0;
};

class CScopedLock {
 public:
  explicit CScopedLock(CCriticalSection* lock) : m_lock(lock) { m_lock->Enter(); }
  ~CScopedLock() { m_lock->Leave(); }
  CScopedLock(const CScopedLock&) = delete;
  CScopedLock& operator=(const CScopedLock&) = delete;

 private:
  CCriticalSection* m_lock;
};
