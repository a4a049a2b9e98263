#include "MetaEvent.h"

bool ReadMetaPayload(const SmfEvent& event, uint8_t type, MetaPayload* out) {
  const uint8_t* bytes = event.data;
  if (bytes == nullptr || event.length < 3 || bytes[0] != 0xFF || bytes[1] != type) {
    return false;
  }
  uint32_t declared = 0;
  uint32_t at = 2;
  for (int i = 0;; ++i) {
    if (i == 4 || at >= event.length) {
      return false;   // a length longer than a MIDI file allows, or cut off
    }
    uint8_t b = bytes[at++];
    declared = declared << 7 | (b & 0x7F);
    if ((b & 0x80) == 0) {
      break;
    }
  }
  if (declared > event.length - at) {
    return false;
  }
  out->data = bytes + at;
  out->length = declared;
  return true;
}
