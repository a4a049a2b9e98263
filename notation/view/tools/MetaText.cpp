#include "MetaText.h"

std::string MetaEventText(const uint8_t* data, size_t length) {
  if (!data || length < 3 || data[0] != 0xFF) return std::string();
  // A lyric of 128 bytes or more has a two-byte length: the text does not
  // always start at byte 3.
  size_t pos = 2;
  uint32_t size = 0;
  for (int n = 0;; ++n) {
    if (pos >= length || n == 4) return std::string();
    const uint8_t b = data[pos++];
    size = size << 7 | (b & 0x7F);
    if (!(b & 0x80)) break;
  }
  const size_t available = length - pos;
  return std::string(reinterpret_cast<const char*>(data) + pos, size < available ? size : available);
}
