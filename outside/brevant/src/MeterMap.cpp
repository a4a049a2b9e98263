#include "MeterMap.h"

#include <algorithm>
#include <climits>

MeterMap::MeterMap(const SmfTimeSigEntry* entries, int count) {
  std::vector<SmfTimeSigEntry> valid;
  for (int i = 0; entries != nullptr && i < count; ++i) {
    const SmfTimeSigEntry& e = entries[i];
    if (e.numerator != 0 && e.power < 9) valid.push_back(e);  // 480 >> 9 is no tick at all
  }
  std::stable_sort(valid.begin(), valid.end(),
                   [](const SmfTimeSigEntry& a, const SmfTimeSigEntry& b) { return a.measure < b.measure; });
  segments_.push_back({0, 0, 4, 120});
  for (const SmfTimeSigEntry& e : valid) {
    Segment& last = segments_.back();
    Segment next{int(e.measure), last.startTick + uint64_t(e.measure - last.firstBar) * last.BarTicks(),
                 int(e.numerator), 480u >> e.power};
    if (next.firstBar == last.firstBar) {
      last = next;  // the later entry for the same measure wins
    } else {
      segments_.push_back(next);
    }
  }
}

const MeterMap::Segment& MeterMap::SegmentOfBar(int bar) const {
  auto after = std::upper_bound(segments_.begin(), segments_.end(), bar,
                                [](int b, const Segment& s) { return b < s.firstBar; });
  return *(after - 1);
}

GridPoint MeterMap::Point(const Segment& s, int bar, int step) const {
  uint64_t tick = s.startTick + uint64_t(bar - s.firstBar) * s.BarTicks() + uint64_t(step) * s.beatTicks / 4;
  return {uint32_t(std::min<uint64_t>(tick, UINT32_MAX)), bar, step, s.numerator};
}

GridPoint MeterMap::FirstAtOrAfter(uint32_t tick) const {
  auto after = std::upper_bound(segments_.begin(), segments_.end(), uint64_t(tick),
                                [](uint64_t t, const Segment& s) { return t < s.startTick; });
  const Segment& s = *(after - 1);
  uint64_t into = tick - s.startTick;
  int bar = s.firstBar + int(into / s.BarTicks());
  uint64_t inBar = into % s.BarTicks();
  // The smallest step whose tick (step * beat / 4, rounded down) is not before the tick.
  int step = int((inBar * 4 + s.beatTicks - 1) / s.beatTicks);
  if (step >= 4 * s.numerator) return Point(SegmentOfBar(bar + 1), bar + 1, 0);
  return Point(s, bar, step);
}

GridPoint MeterMap::Next(const GridPoint& point) const {
  if (point.step + 1 < 4 * point.beats) return Point(SegmentOfBar(point.bar), point.bar, point.step + 1);
  return Point(SegmentOfBar(point.bar + 1), point.bar + 1, 0);
}
