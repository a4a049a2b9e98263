#include "ByteReader.h"

#include <cstring>

size_t ByteReader::Find(const char* id, size_t from) const {
  for (size_t p = from; p + 4 <= size_; ++p) {
    const void* hit = std::memchr(data_ + p, static_cast<uint8_t>(id[0]), size_ - p - 3);
    if (!hit) break;
    p = static_cast<size_t>(static_cast<const uint8_t*>(hit) - data_);
    if (IdAt(p, id)) return p;
  }
  return size_;
}
