// Pixel sizes the score model needs for measure widths, by size level 0..3.
#pragma once

struct MeasureSizes {
  static int Level(int level) { return level < 0 ? 0 : (level > 3 ? 3 : level); }

  // Pixels per grid unit, plain and when a note of the measure needs an accidental.
  static constexpr int kStaffUnit[4] = {16, 18, 20, 26};
  static constexpr int kStaffUnitAccidental[4] = {22, 24, 26, 32};
  static constexpr int kJianPuUnit[4] = {16, 18, 20, 22};
  static constexpr int kJianPuUnitAccidental[4] = {22, 24, 26, 28};

  // Signature extras at the start of a measure.
  static constexpr int kKeyStep[4] = {7, 8, 8, 11};     // per sign of a key change
  static constexpr int kTimeWidth[4] = {14, 18, 20, 22};  // a time-signature change
  static constexpr int kLineGap[4] = {6, 8, 10, 12};

  // A syllable never widens a grid unit beyond this many times the plain
  // width: syllables closer than that are pushed apart when drawn instead.
  static constexpr int kLyricWideningLimit = 4;
  static constexpr int kLyricGap = 6;  // pixels kept free after a syllable
};
