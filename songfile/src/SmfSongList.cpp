#include "SmfSongList.h"

#include <algorithm>
#include <cstring>

namespace {
bool SameBytes(const SmfEvent& a, const SmfEvent& b) {
  return a.length == b.length && (a.length == 0 || std::memcmp(a.data, b.data, a.length) == 0);
}
}  // namespace

void SmfSongList::Offer(const SmfEvent& event, ByteArena& arena) {
  // Events of one track arrive in tick order, so the end is the usual place.
  auto at = entries_.end();
  if (!entries_.empty() && entries_.back().tick > event.tick) {
    at = std::upper_bound(entries_.begin(), entries_.end(), event.tick,
                          [](uint32_t tick, const SmfEvent& e) { return tick < e.tick; });
  }
  if (at != entries_.begin() && SameBytes(*(at - 1), event)) return;
  if (at != entries_.end() && SameBytes(*at, event)) {
    // The later identical entry is now a repeat of this one; the earlier tick stands.
    at->tick = event.tick;
    ++version_;
    return;
  }
  SmfEvent copy = event;
  copy.data = arena.Copy(event.data, event.length);
  entries_.insert(at, copy);
  ++version_;
}

void SmfSongList::EnsureDefault(const uint8_t* bytes, uint32_t length) {
  if (!entries_.empty()) return;
  // The defaults are static constants, so no copy is needed.
  entries_.push_back(SmfEvent{0, kSmfKindMeta, length, bytes});
  ++version_;
}

void SmfSongList::Clear() {
  entries_.clear();
  ++version_;
}
