#include "ByteArena.h"

#include <algorithm>
#include <cstring>

namespace {
// Blocks grow with the song so a large one needs few of them, and stay small
// enough that the unused tail of the last block is a small part of the whole.
constexpr size_t kMinBlock = 16 * 1024;
constexpr size_t kMaxBlock = 1024 * 1024;
}  // namespace

const uint8_t* ByteArena::Copy(const uint8_t* src, size_t n) {
  if (n == 0) return nullptr;
  uint8_t* p = Allocate(n);
  std::memcpy(p, src, n);
  return p;
}

uint8_t* ByteArena::AllocateSlow(size_t n) {
  size_t blockSize = std::min(std::max(kMinBlock, reserved_ / 2), kMaxBlock);
  if (n > blockSize / 4) {
    // A large meta or system-exclusive event gets a block of its own, so the
    // tail of the current block stays in use for the small events after it.
    blocks_.emplace_back(new uint8_t[n]);
    reserved_ += n;
    return blocks_.back().get();
  }
  blocks_.emplace_back(new uint8_t[blockSize]);
  reserved_ += blockSize;
  next_ = blocks_.back().get() + n;
  left_ = blockSize - n;
  return blocks_.back().get();
}

void ByteArena::Clear() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  next_ = nullptr;
  left_ = 0;
  reserved_ = 0;
}
