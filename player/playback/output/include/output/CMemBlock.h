#pragma once
// A growable block of bytes, the storage of the ring buffer and the pointer array.
#include <cstddef>

class CMemBlock {
 public:
  enum GrowMode {
    kExact = 0,     // capacity follows the size exactly
    kDoubling = 1,  // powers of two, halved again when the size drops
    kGrowOnly = 2,  // powers of two, never shrinks and keeps its memory at size 0
  };

  explicit CMemBlock(GrowMode mode = kExact) : m_mode(mode) {}
  ~CMemBlock() { Free(); }
  CMemBlock(const CMemBlock&) = delete;
  CMemBlock& operator=(const CMemBlock&) = delete;

  // Empties the block, then sizes it to n bytes. Returns the data, or null
  // when n > 0 could not be allocated.
  void* Init(size_t n);
  // Keeps the first min(old size, n) bytes. When memory runs out the block is
  // left empty (size and capacity 0) and null is returned, so no caller writes
  // through a null pointer believing it has n bytes.
  void* ResizeMemBlock(size_t n);
  void Free();

  void* Data() const { return m_data; }
  size_t Size() const { return m_size; }
  size_t Capacity() const { return m_capacity; }

 private:
  void* m_data = nullptr;
  size_t m_capacity = 0;
  size_t m_size = 0;
  GrowMode m_mode;
};
