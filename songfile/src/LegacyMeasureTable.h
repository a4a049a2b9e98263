#pragma once
// The legacy parser's measure view: the time-signature table of track 0 and
// the conversion of absolute ticks to measures. 4/4 is in force before the
// first signature; a signature starts a new measure count at its tick.
// Signatures without a measure length (numerator 0, power above 7) are left
// out, as they would count measures of no ticks.
#include <cstdint>
#include <vector>

#include "scrivel/SmfRecords.h"

class LegacyMeasureTable {
 public:
  struct Signature {
    uint32_t tick;
    uint8_t numerator;
    uint8_t power;
  };
  // Ticks of a measure at the given division; 0 for powers outside 0..7.
  static uint32_t MeasureLength(uint32_t numerator, uint32_t power, uint32_t division);

  // From track 0's time signatures in tick order. Without any, the table is
  // the single entry {0, 4, 2}.
  void Build(const std::vector<Signature>& signatures, uint32_t division);
  void Clear();
  const std::vector<SmfTimeSigEntry>& Entries() const { return entries_; }
  uint32_t MeasureOfTick(uint32_t tick) const;

 private:
  struct Stretch {
    uint32_t tick;
    uint32_t length;
    uint32_t measure;
  };
  std::vector<SmfTimeSigEntry> entries_;
  std::vector<Stretch> stretches_;
};
