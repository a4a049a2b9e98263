#pragma once
// A song-wide list of meta events (tempos, time signatures or key signatures)
// gathered from every track, kept in tick order. Files often repeat the same
// signature at tick 0 in every track; such repeats add nothing, but they can
// only be told apart once every track has been read: an entry equal to the
// one before it in one track may restore a change another track made between
// them.
#include <cstddef>
#include <cstdint>
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

  // Takes a copy (bytes copied into arena); it follows the entries of equal
  // or lower tick offered before it.
  void Offer(const SmfEvent& event, ByteArena& arena);
  // Ends a series of offers: sorts by tick (offer order kept among equal
  // ticks), keeps only the last of the entries sharing a tick, as that one
  // is in force, and then drops an entry identical to the one before it.
  void Settle();
  // The default entry at tick 0 for a query that finds the list empty.
  void EnsureDefault(const uint8_t* bytes, uint32_t length);
  void Clear();

 private:
  std::vector<SmfEvent> entries_;
  // An entry earlier than one offered before it (a later track, or a track
  // whose ticks went backwards) means the list must be sorted when it settles.
  bool unordered_ = false;
  uint32_t version_ = 0;
};
