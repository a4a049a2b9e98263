#pragma once
// The one way untrusted song bytes are read: every read checks what remains
// before the current limit and fails instead of running past it. A failed read
// leaves the position where it was, so a caller can drop a partial event.
#include <cstddef>
#include <cstdint>

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size), limit_(size) {}

  size_t Pos() const { return pos_; }
  size_t Size() const { return size_; }
  size_t Limit() const { return limit_; }
  size_t Remaining() const { return pos_ < limit_ ? limit_ - pos_ : 0; }
  bool AtLimit() const { return pos_ >= limit_; }
  const uint8_t* Here() const { return data_ + pos_; }
  const uint8_t* At(size_t pos) const { return data_ + pos; }

  // Reads stop at limit, never past the end of the data.
  void SetLimit(size_t limit) { limit_ = limit < size_ ? limit : size_; }
  void ClearLimit() { limit_ = size_; }
  // Positions past the end are clamped to the end.
  void Seek(size_t pos) { pos_ = pos < size_ ? pos : size_; }

  bool Skip(size_t n) {
    if (n > Remaining()) return false;
    pos_ += n;
    return true;
  }
  bool ReadU8(uint8_t& v) {
    if (pos_ >= limit_) return false;
    v = data_[pos_++];
    return true;
  }
  bool ReadBe16(uint16_t& v) {
    if (Remaining() < 2) return false;
    v = static_cast<uint16_t>(data_[pos_] << 8 | data_[pos_ + 1]);
    pos_ += 2;
    return true;
  }
  bool ReadBe32(uint32_t& v) {
    if (Remaining() < 4) return false;
    v = static_cast<uint32_t>(data_[pos_]) << 24 | static_cast<uint32_t>(data_[pos_ + 1]) << 16 |
        static_cast<uint32_t>(data_[pos_ + 2]) << 8 | data_[pos_ + 3];
    pos_ += 4;
    return true;
  }
  // A variable-length quantity of any number of bytes. Files in the wild carry
  // overlong ones; the value is kept modulo 2^32 rather than shifting bits out
  // of range. byteCount receives the number of bytes it took.
  bool ReadVlq(uint32_t& value, uint32_t& byteCount) {
    size_t p = pos_;
    uint32_t v = 0;
    for (;;) {
      if (p >= limit_) return false;
      uint8_t b = data_[p++];
      v = v << 7 | (b & 0x7Fu);
      if (!(b & 0x80)) break;
    }
    byteCount = static_cast<uint32_t>(p - pos_);
    pos_ = p;
    value = v;
    return true;
  }
  // Whether the four bytes at pos (inside the data, ignoring the limit) are id.
  bool IdAt(size_t pos, const char* id) const {
    return pos <= size_ && size_ - pos >= 4 && data_[pos] == static_cast<uint8_t>(id[0]) &&
           data_[pos + 1] == static_cast<uint8_t>(id[1]) && data_[pos + 2] == static_cast<uint8_t>(id[2]) &&
           data_[pos + 3] == static_cast<uint8_t>(id[3]);
  }
  // The first position at or after from where id stands; Size() when none.
  size_t Find(const char* id, size_t from) const;

 private:
  const uint8_t* data_;
  size_t size_;
  size_t limit_;
  size_t pos_ = 0;
};
