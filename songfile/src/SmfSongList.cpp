#include "SmfSongList.h"

#include <algorithm>
#include <cstring>

namespace {
bool SameBytes(const SmfEvent& a, const SmfEvent& b) {
  return a.length == b.length && (a.length == 0 || std::memcmp(a.data, b.data, a.length) == 0);
}
}  // namespace

void SmfSongList::Offer(const SmfEvent& event, ByteArena& arena) {
  ++version_;
  if (!entries_.empty() && event.tick < entries_.back().tick) unordered_ = true;
  SmfEvent copy = event;
  copy.data = arena.Copy(event.data, event.length);
  entries_.push_back(copy);
}

void SmfSongList::Settle() {
  if (unordered_) {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const SmfEvent& a, const SmfEvent& b) { return a.tick < b.tick; });
    unordered_ = false;
  }
  size_t kept = 0;
  for (size_t i = 0; i < entries_.size(); ++i) {
    const SmfEvent& e = entries_[i];
    if (i + 1 < entries_.size() && entries_[i + 1].tick == e.tick) continue;  // a later one at this tick wins
    if (kept > 0 && SameBytes(entries_[kept - 1], e)) continue;
    entries_[kept++] = e;
  }
  entries_.resize(kept);
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
  unordered_ = false;
  ++version_;
}
