#include "testsupport/FailingAllocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Allocations still allowed before one fails; -1 = never fail.
std::atomic<long> g_allowance{-1};
std::atomic<bool> g_failed{false};
std::atomic<bool> g_fromThenOn{false};

}  // namespace

namespace testsupport {

void FailAllocationAfter(long allowance, AllocationFailure failure) {
  g_allowance = -1;
  if (allowance < 0) return;
  g_failed = false;
  g_fromThenOn = failure == AllocationFailure::kFromThenOn;
  g_allowance = allowance;
}

bool AllocationFailed() { return g_failed.load(); }

}  // namespace testsupport

void* operator new(std::size_t size) {
  long left = g_allowance.load();
  while (left >= 0) {
    if (left == 0) {
      if (g_fromThenOn) {
        g_failed = true;
        throw std::bad_alloc();
      }
      if (g_allowance.compare_exchange_weak(left, -1)) {
        g_failed = true;
        throw std::bad_alloc();
      }
      continue;
    }
    if (g_allowance.compare_exchange_weak(left, left - 1)) break;
  }
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
// The blocks come from malloc above, whatever the compiler sees.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
#pragma GCC diagnostic pop
