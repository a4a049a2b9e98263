#pragma once
// The kind bit, type bit and sub-type of an event, which the event filters
// match against caller masks. Classification reads only the bytes an event
// has: events added by callers may be one or two bytes long.
#include <cstdint>

#include "scrivel/SmfRecords.h"
#include "base/MidiShort.h"

struct SmfEventClass {
  uint32_t kind = 0;
  uint32_t type = 0;
  uint32_t subType = 0;  // controller number of a control change

  // Inline: the event queries classify every event of a track for each
  // question, and a large song has hundreds of thousands.
  static SmfEventClass Of(const SmfEvent& e);
  // Type bit of a channel status byte (0 for bytes below 0x80 or above 0xEF).
  static uint32_t ChannelTypeBit(uint8_t status) {
    if (status < 0x80 || status >= 0xF0) return 0;
    return 1u << ((status >> 4) - 8);
  }
  // Type bit of a meta type byte (0 for unlisted types).
  static uint32_t MetaTypeBit(uint8_t type) { return SmfMetaTypeBit(type); }

  // A zero bit always matches, so a mask can only exclude what an event has.
  bool Matches(uint32_t kindMask, uint32_t typeMask, uint32_t subTypeMask) const {
    return (kind & kindMask) == kind && (type & typeMask) == type && (subType & subTypeMask) == subType;
  }
};

inline SmfEventClass SmfEventClass::Of(const SmfEvent& e) {
  SmfEventClass c;
  if (e.length == 0 || !e.data) return c;
  if (e.kind != kSmfKindChannel && e.kind != kSmfKindSysEx && e.kind != kSmfKindMeta) return c;
  c.kind = e.kind;
  if (e.kind == kSmfKindChannel) {
    c.type = ChannelTypeBit(e.data[0]);
    if (c.type == kSmfTypeControl && e.length >= 2) c.subType = e.data[1];
  } else if (e.kind == kSmfKindMeta && e.length >= 2) {
    c.type = MetaTypeBit(e.data[1]);
  }
  return c;
}

// Note tests that need the key and velocity bytes.
inline bool IsSoundingNoteOn(const SmfEvent& e) {
  return e.length >= 3 && e.data && base::IsNoteOn(e.data[0], e.data[2]);
}
inline bool IsNoteEnd(const SmfEvent& e) {
  return e.length >= 3 && e.data && base::IsNoteOff(e.data[0], e.data[2]);
}
