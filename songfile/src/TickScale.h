#pragma once
// File ticks to the song's 120 per quarter note.
#include <algorithm>
#include <cstdint>

#include "scrivel/SmfRecords.h"

// Ticks per quarter of a header division. A time-code division (top bit set:
// minus frames per second, ticks per frame) becomes the ticks of a quarter at
// the default 120 beats per minute. 0 when the division has no ticks at all.
inline uint32_t TicksPerQuarter(uint16_t division) {
  if (!(division & 0x8000)) return division;
  const uint32_t framesPerSecond = static_cast<uint32_t>(-static_cast<int8_t>(division >> 8));
  return framesPerSecond * (division & 0xFFu) / 2;
}

// raw x 120 / ticksPerQuarter, raised by 1 when the remainder is 60 or more.
// The threshold is 60 whatever the division, as songs stored so far were read
// with it. The product is 64-bit: raw x 120 passes 2^32 from raw 35,791,395.
inline uint32_t RescaleTick(uint32_t raw, uint32_t ticksPerQuarter) {
  if (ticksPerQuarter == kSmfTicksPerQuarter) return raw;
  const uint64_t product = static_cast<uint64_t>(raw) * kSmfTicksPerQuarter;
  const uint64_t tick = product / ticksPerQuarter + (product % ticksPerQuarter >= 60 ? 1 : 0);
  return static_cast<uint32_t>(std::min<uint64_t>(tick, UINT32_MAX));
}
