#pragma once
// Ticks to measures and back under a song's time-signature list. The measure
// at which each signature starts is computed once per list change, so both
// directions are a binary search: a hostile file with thousands of signature
// changes must not make every query walk the list (or walk it per entry).
//
// Counting rule: each stretch between two signatures counts its whole
// measures only, so a signature that starts inside a measure starts a new
// count there. Ticks at or before the first signature are in measure 0.
#include <cstdint>
#include <vector>

#include "scrivel/SmfRecords.h"

class MeasureMap {
 public:
  // numerator x (480 / 2^power), truncated; 0 for signatures that have no
  // measure length (numerator 0, or a denominator too small for a tick).
  static uint32_t MeasureLength(uint32_t numerator, uint32_t power);

  // Entries are time-signature meta events in tick order, each with at least
  // the numerator and power bytes (data[3], data[4]) and a measure length.
  void Build(const std::vector<SmfEvent>& timeSignatures);
  bool Empty() const { return stretches_.empty(); }

  uint32_t TickToMeasure(uint32_t tick) const;
  uint32_t MeasureToTick(uint32_t measure) const;
  // The measure in which entry i starts.
  uint32_t StartMeasure(size_t i) const { return stretches_[i].startMeasure; }

 private:
  struct Stretch {
    uint32_t tick;
    uint32_t length;        // ticks per measure
    uint32_t startMeasure;  // measure count up to tick
  };
  std::vector<Stretch> stretches_;
};
