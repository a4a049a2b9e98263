// Note value classes of lengths in ticks, and the lengths themselves.
#pragma once

#include "score/ScoreRecords.h"

// Note lengths in the model's ticks.
constexpr int kQuarterTicks = kScoreTicksPerQuarter;
constexpr int kHalfTicks = 2 * kQuarterTicks;
constexpr int kWholeTicks = 4 * kQuarterTicks;
constexpr int kEighthTicks = kQuarterTicks / 2;
constexpr int kSixteenthTicks = kQuarterTicks / 4;
constexpr int kDottedEighthTicks = kEighthTicks + kSixteenthTicks;
constexpr int kDottedQuarterTicks = kQuarterTicks + kEighthTicks;
// Triplet members: three in the time of two.
constexpr int kQuarterTripletTicks = kHalfTicks / 3;
constexpr int kEighthTripletTicks = kQuarterTicks / 3;
constexpr int kSixteenthTripletTicks = kEighthTicks / 3;

struct ScoreNote;

class CNoteValues {
 public:
  // 30, 60, 90, 120, 180, 240, 360, 480, 720 set the class and dot; any other
  // length leaves the note unchanged and returns false.
  static bool ClassifyLength(ScoreNote& note, int length);
  // Triplet members: 20, 40, 80, 160; no dot.
  static bool ClassifyTripletLength(ScoreNote& note, int length);
};
