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
  static constexpr int kKeyStep[4] = {7, 8, 8, 11};       // per sign of a key change
  static constexpr int kTimeWidth[4] = {14, 18, 20, 22};  // a time-signature change
  static constexpr int kLineGap[4] = {6, 8, 10, 12};

  // Pixels kept free after a syllable, before the next one or the bar line.
  static constexpr int kLyricGap = 6;
  // Syllables widen a measure's note area up to this many pixels, about one
  // line of a score window: past that a measure no longer fits any line, the
  // views page it alone and cut it at the window's edge, so a hostile
  // syllable must not stretch it further. The model never learns the window's
  // width (resizing does not rebuild it), so the bound is fixed here.
  static constexpr int kLyricMeasureLimit = 1000;
};
