#pragma once
// A replacement for the program's operator new that can be made to fail, for
// the tests that run memory out at every allocation of an entry point in turn.
// Only a program that links the melodara_failing_allocator object library has
// it; it allocates normally until armed.

namespace testsupport {

enum class AllocationFailure {
  kOnce,        // the one allocation fails, later ones succeed
  kFromThenOn,  // every allocation from that one on fails until disarmed
};

// Lets the next `allowance` allocations through and fails the one after with
// std::bad_alloc, whichever thread makes it; a negative allowance disarms it
// and keeps what AllocationFailed says.
void FailAllocationAfter(long allowance, AllocationFailure failure = AllocationFailure::kOnce);

// Whether an allocation failed since the allocator was last armed.
bool AllocationFailed();

}  // namespace testsupport
