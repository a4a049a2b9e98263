#pragma once
// Builds a whole MIDI file in memory, so chunk lengths are patched in place and
// the file on disk is written in one go (see SaveFileReplacing).
#include <cstddef>
#include <cstdint>
#include <vector>

class ByteWriter {
 public:
  const std::vector<uint8_t>& Bytes() const { return bytes_; }
  size_t Size() const { return bytes_.size(); }

  void U8(uint8_t v) { bytes_.push_back(v); }
  void Append(const uint8_t* p, size_t n) {
    if (n) bytes_.insert(bytes_.end(), p, p + n);
  }
  void Id(uint32_t chunkId) {
    for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(chunkId >> (8 * i)));
  }
  void Be16(uint16_t v) {
    U8(static_cast<uint8_t>(v >> 8));
    U8(static_cast<uint8_t>(v));
  }
  void Be32(uint32_t v) {
    Be16(static_cast<uint16_t>(v >> 16));
    Be16(static_cast<uint16_t>(v));
  }
  void PatchBe32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  }
  // Most significant group first, 0x80 on every byte but the last.
  void Vlq(uint32_t v) {
    uint8_t groups[5];
    int n = 0;
    do {
      groups[n++] = static_cast<uint8_t>(v & 0x7F);
      v >>= 7;
    } while (v);
    while (n > 1) U8(static_cast<uint8_t>(groups[--n] | 0x80));
    U8(groups[0]);
  }

  // A chunk head whose length is patched by EndChunk.
  size_t BeginChunk(uint32_t chunkId) {
    Id(chunkId);
    size_t at = bytes_.size();
    Be32(0);
    return at;
  }
  void EndChunk(size_t lengthAt) { PatchBe32(lengthAt, static_cast<uint32_t>(bytes_.size() - lengthAt - 4)); }

 private:
  std::vector<uint8_t> bytes_;
};
