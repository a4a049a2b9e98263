#include "output/CMemBlock.h"

#include <cstdlib>

void* CMemBlock::Init(size_t n) {
  Free();
  return ResizeMemBlock(n);
}

void* CMemBlock::ResizeMemBlock(size_t n) {
  size_t capacity = n;
  if (n == 0) {
    if (m_mode == kGrowOnly) {
      m_size = 0;
      return m_data;
    }
  } else if (m_mode != kExact) {
    capacity = m_capacity == 0 ? 1 : m_capacity;
    while (capacity < n) capacity *= 2;
    if (m_mode == kDoubling) {
      while (capacity / 2 > n) capacity /= 2;
    }
  }
  if (capacity != m_capacity) {
    if (capacity == 0) {
      std::free(m_data);
      m_data = nullptr;
    } else {
      void* grown = std::realloc(m_data, capacity);
      if (grown == nullptr) {
        Free();
        return nullptr;
      }
      m_data = grown;
    }
    m_capacity = capacity;
  }
  m_size = n;
  return m_data;
}

void CMemBlock::Free() {
  std::free(m_data);
  m_data = nullptr;
  m_capacity = 0;
  m_size = 0;
}
