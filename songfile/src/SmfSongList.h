#pragma once
// A song-wide list of meta events (tempos, time signatures or key signatures)
// gathered from every track, kept in tick order. Files often repeat the same
// signature at tick 0 in every track; such repeats add nothing.
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "ByteArena.h"
#include "scrivel/SmfRecords.h"

class SmfSongList {
 public:
  // The entries in tick order; call Settle after the last Offer.
  const std::vector<SmfEvent>& Entries() const { return entries_; }
  bool Empty() const { return entries_.empty(); }
  size_t Size() const { return entries_.size(); }
  // Bumped on every change, so derived tables know when to rebuild.
  uint32_t Version() const { return version_; }

  // Takes a copy (bytes copied into arena) after the entries of equal or
  // lower tick, unless it is identical to the entry in force just before it;
  // a following entry made redundant by it is dropped.
  void Offer(const SmfEvent& event, ByteArena& arena);
  // Ends a series of offers.
  void Settle();
  // The default entry at tick 0 for a query that finds the list empty.
  void EnsureDefault(const uint8_t* bytes, uint32_t length);
  void Clear();

 private:
  void Insert(const SmfEvent& event, ByteArena& arena);

  std::vector<SmfEvent> entries_;
  // Entries from tracks read after a later-starting one arrive out of order.
  // Inserting those into the middle of the vector would make a file with
  // many interleaved signatures quadratic to load, so from the first such
  // entry on the list is kept in a map until it settles.
  std::multimap<uint32_t, SmfEvent> unordered_;
  bool inMap_ = false;
  uint32_t version_ = 0;
};
