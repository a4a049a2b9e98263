// Reading a meta event as the song file library hands it out: FF, the type
// byte, a variable-length size, then the data. The size takes two bytes from
// 128 on, so the data does not always start at byte 3.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "SmfRecords.h"

struct SmfMetaPayload {
  uint8_t type = 0;
  const uint8_t* data = nullptr;
  uint32_t length = 0;    // the data bytes the event holds
  uint32_t declared = 0;  // the size its header gives, which may be more
};

// False for anything but a meta event whose size header is complete and at
// most four bytes long, as in any MIDI file.
inline bool SmfReadMetaEvent(const uint8_t* bytes, size_t length, SmfMetaPayload* out) {
  if (bytes == nullptr || length < 3 || bytes[0] != 0xFF) return false;
  uint32_t declared = 0;
  size_t at = 2;
  for (int i = 0;; ++i) {
    if (i == 4 || at >= length) return false;
    const uint8_t b = bytes[at++];
    declared = declared << 7 | (b & 0x7F);
    if ((b & 0x80) == 0) break;
  }
  const size_t available = length - at;
  out->type = bytes[1];
  out->data = bytes + at;
  out->declared = declared;
  out->length = static_cast<uint32_t>(declared < available ? declared : available);
  return true;
}

// The whole payload of a well-formed meta event of the given type; false when
// the event is another one or claims more data than it holds.
inline bool SmfReadMetaPayload(const SmfEvent& event, uint8_t type, SmfMetaPayload* out) {
  return SmfReadMetaEvent(event.data, event.length, out) && out->type == type && out->declared == out->length;
}

// The text of a meta event, cut to the bytes it holds; empty when it is none.
inline std::string SmfMetaText(const uint8_t* bytes, size_t length) {
  SmfMetaPayload payload;
  if (!SmfReadMetaEvent(bytes, length, &payload)) return std::string();
  return std::string(reinterpret_cast<const char*>(payload.data), payload.length);
}
