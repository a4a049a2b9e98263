#include "output/CMemBlock.h"

#include <cstdlib>

void* CMemBlock::Init(size_t n) {
  Free();
  return ResizeMemBlock(n);
}

void* CMemBlock::ResizeMemBlock(size_t n) {
  size_t capacity = n;
  if (n == 0) {
    if (mode_ == kGrowOnly) {
      size_ = 0;
      return data_;
    }
  } else if (mode_ != kExact) {
    capacity = capacity_ == 0 ? 1 : capacity_;
    while (capacity < n) capacity *= 2;
    if (mode_ == kDoubling) {
      while (capacity / 2 > n) capacity /= 2;
    }
  }
  if (capacity != capacity_) {
    if (capacity == 0) {
      std::free(data_);
      data_ = nullptr;
    } else {
      void* grown = std::realloc(data_, capacity);
      if (grown == nullptr) {
        Free();
        return nullptr;
      }
      data_ = grown;
    }
    capacity_ = capacity;
  }
  size_ = n;
  return data_;
}

void CMemBlock::Free() {
  std::free(data_);
  data_ = nullptr;
  capacity_ = 0;
  size_ = 0;
}
