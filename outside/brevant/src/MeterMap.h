#pragma once
// The bar and beat grid of a song from its time signatures. A beat is
// 480 >> power ticks (a quarter note 120, an eighth 60: 6/8 has six beats of
// 60 ticks). The player reports a cursor step at every quarter of a beat and
// a beat event at every beat, so the grid is walked in quarter-beat steps.
#include <cstdint>
#include <vector>

#include <scrivel/SmfRecords.h>

struct GridPoint {
  uint32_t tick;
  int bar;    // 0-based
  int step;   // 0 at the bar line, then one per quarter beat: 0 .. 4 * beats - 1
  int beats;  // beats per bar
  // Whole beats fall on every fourth step.
  bool IsBeat() const { return step % 4 == 0; }
  int Beat() const { return step / 4; }
};

class MeterMap {
 public:
  // Entries as the song file library lists them: the measure in which each
  // signature starts. The measure is turned into a tick with the bar lengths
  // of the signatures before it. Entries with numerator 0 or a beat shorter
  // than one tick are skipped; before the first entry (or without any) 4/4
  // holds.
  MeterMap(const SmfTimeSigEntry* entries, int count);
  MeterMap() : MeterMap(nullptr, 0) {}

  // The first grid point at or after tick.
  GridPoint FirstAtOrAfter(uint32_t tick) const;
  GridPoint Next(const GridPoint& point) const;

 private:
  struct Segment {
    int firstBar;
    uint64_t startTick;
    int numerator;
    uint32_t beatTicks;
    uint64_t BarTicks() const { return uint64_t(numerator) * beatTicks; }
  };
  const Segment& SegmentOfBar(int bar) const;
  GridPoint Point(const Segment& s, int bar, int step) const;

  std::vector<Segment> segments_;  // never empty; the first starts at bar 0
};
