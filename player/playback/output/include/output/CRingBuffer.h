#pragma once
// A byte ring over a fixed-size block: the queue between a writer and the
// device. Not thread-safe; its owner locks around it.
#include <cstddef>

#include "output/CMemBlock.h"

class CRingBuffer {
 public:
  // False when the storage cannot be allocated (the ring then holds 0 bytes).
  bool Init(size_t size);
  // All or nothing: false and nothing copied when n exceeds the free space.
  bool Write(const void* data, size_t n);
  // Copies up to n bytes; returns how many.
  size_t Read(void* dest, size_t n);
  size_t FreeSpace() const { return size_ - fill_; }
  size_t Fill() const { return fill_; }
  size_t Size() const { return size_; }
  void Reset() { readOffset_ = writeOffset_ = fill_ = 0; }

 private:
  CMemBlock storage_;
  size_t readOffset_ = 0;
  size_t writeOffset_ = 0;
  size_t fill_ = 0;
  size_t size_ = 0;
};
