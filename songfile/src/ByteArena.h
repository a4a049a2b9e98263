#pragma once
// Event bytes of a song. A note event holds three bytes; a heap block of its
// own would cost ten times that, so a song keeps all its bytes in a few large
// blocks that never move (pointers handed to callers stay valid) and are freed
// together when the song is reset.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class ByteArena {
 public:
  ByteArena() = default;
  ByteArena(const ByteArena&) = delete;
  ByteArena& operator=(const ByteArena&) = delete;

  uint8_t* Allocate(size_t n) {
    if (n > left_) return AllocateSlow(n);
    uint8_t* p = next_;
    next_ += n;
    left_ -= n;
    return p;
  }
  // A copy of n bytes; null for n = 0.
  const uint8_t* Copy(const uint8_t* src, size_t n);
  void Clear();
  // Bytes held in blocks, used or not.
  size_t Reserved() const { return reserved_; }

 private:
  uint8_t* AllocateSlow(size_t n);

  std::vector<std::unique_ptr<uint8_t[]>> blocks_;
  uint8_t* next_ = nullptr;
  size_t left_ = 0;
  size_t reserved_ = 0;
};
