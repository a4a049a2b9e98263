#pragma once
// Converts between ticks (120 per quarter note) and milliseconds of song time
// for a song whose tempo changes. Each tempo holds from its tick to the next
// one; the first one also holds before its tick, and the last one goes on
// forever, so every tick has a time.
#include <cstdint>
#include <vector>

#include <scrivel/SmfRecords.h>

class TempoMap {
 public:
  // Tempos outside this range are held to it: a song at 0.001 BPM or at a
  // million BPM is a broken file, not music.
  static constexpr double kMinBpm = 1.0;
  static constexpr double kMaxBpm = 1000.0;

  // Entries in any order (a song lists them track by track). Entries with a
  // non-finite or non-positive tempo are skipped; of several on one tick the
  // last one given wins. No entry left: fallbackBpm from the start.
  TempoMap(const SmfTempoEntry* entries, int count, double fallbackBpm);
  TempoMap() : TempoMap(nullptr, 0, 120.0) {}

  double TickToMs(double tick) const;
  // The (fractional) tick reached at ms; negative ms gives tick 0.
  double MsToTick(double ms) const;
  // TickToMs for ticks asked in rising order, as a song's events are timed:
  // the tempo in force is found by stepping on instead of by a search. A
  // tick before the last one asked is searched for again.
  class RisingTicks {
   public:
    explicit RisingTicks(const TempoMap& map) : map_(map) {}
    double TickToMs(double tick);

   private:
    const TempoMap& map_;
    size_t segment_ = 0;
  };

  double FirstBpm() const { return 60000.0 / segments_.front().msPerQuarter; }
  // True when no entry was usable and the map runs at the fallback tempo.
  bool UsesFallback() const { return usesFallback_; }

 private:
  struct Segment {
    double tick;
    double ms;
    double msPerQuarter;  // divided by 120 last, so whole beats give whole times
    double MsAt(double t) const;
  };
  std::vector<Segment> segments_;  // never empty; the first starts at tick 0
  bool usesFallback_ = false;
};
