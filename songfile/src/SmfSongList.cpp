#include "SmfSongList.h"

#include <cstring>
#include <iterator>

namespace {
bool SameBytes(const SmfEvent& a, const SmfEvent& b) {
  return a.length == b.length && (a.length == 0 || std::memcmp(a.data, b.data, a.length) == 0);
}
}  // namespace

void SmfSongList::Offer(const SmfEvent& event, ByteArena& arena) {
  ++version_;
  if (!inMap_) {
    // Events of one track arrive in tick order, so the end is the usual place.
    if (entries_.empty() || entries_.back().tick <= event.tick) {
      if (!entries_.empty() && SameBytes(entries_.back(), event)) return;
      SmfEvent copy = event;
      copy.data = arena.Copy(event.data, event.length);
      entries_.push_back(copy);
      return;
    }
    for (const SmfEvent& e : entries_) unordered_.emplace_hint(unordered_.end(), e.tick, e);
    entries_.clear();
    inMap_ = true;
  }
  Insert(event, arena);
}

void SmfSongList::Insert(const SmfEvent& event, ByteArena& arena) {
  // After the entries of equal tick, as a multimap inserts.
  auto at = unordered_.upper_bound(event.tick);
  if (at != unordered_.begin() && SameBytes(std::prev(at)->second, event)) return;
  if (at != unordered_.end() && SameBytes(at->second, event)) {
    // The later identical entry is now a repeat of this one; the earlier tick stands.
    SmfEvent moved = at->second;
    moved.tick = event.tick;
    unordered_.erase(at);
    unordered_.emplace(event.tick, moved);
    return;
  }
  SmfEvent copy = event;
  copy.data = arena.Copy(event.data, event.length);
  unordered_.emplace_hint(at, event.tick, copy);
}

void SmfSongList::Settle() {
  if (!inMap_) return;
  entries_.reserve(unordered_.size());
  for (const auto& [tick, e] : unordered_) entries_.push_back(e);
  unordered_.clear();
  inMap_ = false;
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
  unordered_.clear();
  inMap_ = false;
  ++version_;
}
