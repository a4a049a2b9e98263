#include "output/CRingBuffer.h"

#include <algorithm>
#include <cstring>

bool CRingBuffer::Init(size_t size) {
  Reset();
  size_ = 0;
  if (storage_.Init(size) == nullptr && size != 0) return false;
  size_ = size;
  return true;
}

bool CRingBuffer::Write(const void* data, size_t n) {
  if (n > FreeSpace()) return false;
  auto* bytes = static_cast<unsigned char*>(storage_.Data());
  auto* from = static_cast<const unsigned char*>(data);
  while (n > 0) {
    size_t piece = std::min(n, size_ - writeOffset_);
    std::memcpy(bytes + writeOffset_, from, piece);
    from += piece;
    n -= piece;
    fill_ += piece;
    writeOffset_ = (writeOffset_ + piece) % size_;
  }
  return true;
}

size_t CRingBuffer::Read(void* dest, size_t n) {
  auto* bytes = static_cast<const unsigned char*>(storage_.Data());
  auto* to = static_cast<unsigned char*>(dest);
  size_t copied = 0;
  for (;;) {
    size_t piece = std::min({size_ - readOffset_, fill_, n - copied});
    if (piece == 0) break;
    std::memcpy(to + copied, bytes + readOffset_, piece);
    copied += piece;
    fill_ -= piece;
    readOffset_ = (readOffset_ + piece) % size_;
  }
  return copied;
}
