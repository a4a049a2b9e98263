// Note value classes of lengths in ticks.
#pragma once

struct ScoreNote;

class CNoteValues {
 public:
  // 30, 60, 90, 120, 180, 240, 360, 480, 720 set the class and dot; any other
  // length leaves the note unchanged and returns false.
  static bool ClassifyLength(ScoreNote& note, int length);
  // Triplet members: 20, 40, 80, 160; no dot.
  static bool ClassifyTripletLength(ScoreNote& note, int length);
};
