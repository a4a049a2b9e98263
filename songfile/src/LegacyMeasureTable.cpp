#include "LegacyMeasureTable.h"

#include <algorithm>

uint32_t LegacyMeasureTable::MeasureLength(uint32_t numerator, uint32_t power, uint32_t division) {
  switch (power) {
    case 0:
      return numerator * division * 4;
    case 1:
      return numerator * division * 2;
    case 2:
      return numerator * division;
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
      return numerator * (division >> (power - 2));
    default:
      return 0;
  }
}

void LegacyMeasureTable::Clear() {
  entries_.clear();
  stretches_.clear();
}

void LegacyMeasureTable::Build(const std::vector<Signature>& signatures, uint32_t division) {
  Clear();
  stretches_.push_back(Stretch{0, MeasureLength(4, 2, division), 0});
  for (const Signature& s : signatures) {
    const uint32_t length = MeasureLength(s.numerator, s.power, division);
    if (length == 0) continue;
    const uint32_t measure = MeasureOfTick(s.tick);
    entries_.push_back(SmfTimeSigEntry{static_cast<uint16_t>(measure), s.numerator, s.power});
    if (s.tick == stretches_.back().tick) {
      stretches_.back().length = length;
    } else {
      stretches_.push_back(Stretch{s.tick, length, measure});
    }
  }
  if (entries_.empty()) entries_.push_back(SmfTimeSigEntry{0, 4, 2});
}

uint32_t LegacyMeasureTable::MeasureOfTick(uint32_t tick) const {
  if (stretches_.empty()) return 0;
  auto after = std::upper_bound(stretches_.begin(), stretches_.end(), tick,
                                [](uint32_t t, const Stretch& s) { return t < s.tick; });
  const Stretch& s = *(after - 1);  // the first stretch starts at tick 0
  const uint64_t m = s.measure + static_cast<uint64_t>(tick - s.tick) / s.length;
  return static_cast<uint32_t>(std::min<uint64_t>(m, UINT32_MAX));
}
