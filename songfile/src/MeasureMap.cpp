#include "MeasureMap.h"

#include <algorithm>
#include <cmath>

uint32_t MeasureMap::MeasureLength(uint32_t numerator, uint32_t power) {
  return static_cast<uint32_t>(numerator * std::ldexp(480.0, -static_cast<int>(power)));
}

void MeasureMap::Build(const std::vector<SmfEvent>& timeSignatures) {
  stretches_.clear();
  stretches_.reserve(timeSignatures.size());
  uint64_t measure = 0;
  for (const SmfEvent& e : timeSignatures) {
    uint32_t length = MeasureLength(e.data[3], e.data[4]);
    if (!stretches_.empty()) {
      const Stretch& prev = stretches_.back();
      measure += (e.tick - prev.tick) / prev.length;
    }
    // Measures are 16-bit at the interface; keep the running sum from wrapping
    // in between so the order of stretches stays monotonic.
    stretches_.push_back(
        Stretch{e.tick, length ? length : 1, static_cast<uint32_t>(std::min<uint64_t>(measure, UINT32_MAX))});
  }
}

uint32_t MeasureMap::TickToMeasure(uint32_t tick) const {
  if (tick == 0 || stretches_.empty()) return 0;
  // The last signature that starts strictly before tick is in force.
  auto after = std::lower_bound(stretches_.begin(), stretches_.end(), tick,
                                [](const Stretch& s, uint32_t t) { return s.tick < t; });
  if (after == stretches_.begin()) return 0;
  const Stretch& s = *(after - 1);
  uint64_t m = s.startMeasure + static_cast<uint64_t>(tick - s.tick) / s.length;
  return static_cast<uint32_t>(std::min<uint64_t>(m, UINT32_MAX));
}

uint32_t MeasureMap::MeasureToTick(uint32_t measure) const {
  if (measure == 0 || stretches_.empty()) return 0;
  // The signature in force is the last one that starts in an earlier measure.
  auto after = std::lower_bound(stretches_.begin(), stretches_.end(), measure,
                                [](const Stretch& s, uint32_t m) { return s.startMeasure < m; });
  const Stretch& s = *(after - 1);  // the first stretch starts in measure 0 < measure
  uint64_t tick = s.tick + static_cast<uint64_t>(s.length) * (measure - s.startMeasure);
  return static_cast<uint32_t>(std::min<uint64_t>(tick, UINT32_MAX));
}
