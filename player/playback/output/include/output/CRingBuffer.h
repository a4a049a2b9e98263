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
  size_t FreeSpace() const { return m_size - m_fill; }
  size_t Fill() const { return m_fill; }
  size_t Size() const { return m_size; }
  void Reset() { m_readOffset = m_writeOffset = m_fill = 0; }

 private:
  CMemBlock m_storage;
  size_t m_readOffset = 0;
  size_t m_writeOffset = 0;
  size_t m_fill = 0;
  size_t m_size = 0;
};
