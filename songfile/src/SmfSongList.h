#pragma once
// A song-wide list of meta events (tempos, time signatures or key signatures)
// gathered from every track, kept in tick order. Files often repeat the same
// signature at tick 0 in every track; such repeats add nothing.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ByteArena.h"
#include "scrivel/SmfRecords.h"

class SmfSongList {
 public:
  const std::vector<SmfEvent>& Entries() const { return entries_; }
  bool Empty() const { return entries_.empty(); }
  size_t Size() const { return entries_.size(); }
  // Bumped on every change, so derived tables know when to rebuild.
  uint32_t Version() const { return version_; }

  // Inserts a copy (bytes copied into arena) after the entries of equal or
  // lower tick, unless it is identical to the entry in force just before it;
  // a following entry made redundant by it is dropped.
  void Offer(const SmfEvent& event, ByteArena& arena);
  // The default entry at tick 0 for a query that finds the list empty.
  void EnsureDefault(const uint8_t* bytes, uint32_t length);
  void Clear();

 private:
  std::vector<SmfEvent> entries_;
  uint32_t version_ = 0;
};
