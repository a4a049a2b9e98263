#include "TempoMap.h"

#include <algorithm>
#include <cmath>

namespace {

double ClampBpm(double bpm) { return std::clamp(bpm, TempoMap::kMinBpm, TempoMap::kMaxBpm); }

double MsPerQuarter(double bpm) { return 60000.0 / ClampBpm(bpm); }

constexpr double kTicksPerQuarter = 120.0;

}  // namespace

TempoMap::TempoMap(const SmfTempoEntry* entries, int count, double fallbackBpm) {
  std::vector<SmfTempoEntry> valid;
  for (int i = 0; entries != nullptr && i < count; ++i) {
    if (std::isfinite(entries[i].bpm) && entries[i].bpm > 0) valid.push_back(entries[i]);
  }
  std::stable_sort(valid.begin(), valid.end(),
                   [](const SmfTempoEntry& a, const SmfTempoEntry& b) { return a.tick < b.tick; });
  if (valid.empty()) {
    double bpm = std::isfinite(fallbackBpm) && fallbackBpm > 0 ? fallbackBpm : 120.0;
    segments_.push_back({0.0, 0.0, MsPerQuarter(bpm)});
    usesFallback_ = true;
    return;
  }
  segments_.push_back({0.0, 0.0, MsPerQuarter(valid.front().bpm)});
  for (const SmfTempoEntry& e : valid) {
    Segment& last = segments_.back();
    if (double(e.tick) == last.tick) {
      last.msPerQuarter = MsPerQuarter(e.bpm);
      continue;
    }
    double ms = last.ms + (double(e.tick) - last.tick) * last.msPerQuarter / kTicksPerQuarter;
    segments_.push_back({double(e.tick), ms, MsPerQuarter(e.bpm)});
  }
}

double TempoMap::Segment::MsAt(double t) const { return ms + (t - tick) * msPerQuarter / kTicksPerQuarter; }

double TempoMap::TickToMs(double tick) const {
  if (tick <= 0) return 0.0;
  auto after = std::upper_bound(segments_.begin(), segments_.end(), tick,
                                [](double t, const Segment& s) { return t < s.tick; });
  return (after - 1)->MsAt(tick);
}

double TempoMap::RisingTicks::TickToMs(double tick) {
  const std::vector<Segment>& segments = map_.segments_;
  if (tick <= 0) return 0.0;
  if (tick < segments[segment_].tick) return map_.TickToMs(tick);
  while (segment_ + 1 < segments.size() && !(tick < segments[segment_ + 1].tick)) ++segment_;
  return segments[segment_].MsAt(tick);
}

double TempoMap::MsToTick(double ms) const {
  if (ms <= 0) return 0.0;
  auto after = std::upper_bound(segments_.begin(), segments_.end(), ms,
                                [](double m, const Segment& s) { return m < s.ms; });
  const Segment& s = *(after - 1);
  return s.tick + (ms - s.ms) * kTicksPerQuarter / s.msPerQuarter;
}
