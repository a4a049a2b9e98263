// Pixel sizes of numbered notation by size level 0..3. Level 3 has no
// numbered sizes of its own: a part height of 0 would leave the digits no
// room, so it takes level 2's heights, while its fonts have height 0 (the
// font mapper's default size).
#pragma once

struct JianPuSizes {
  static int Level(int level) { return level < 0 ? 0 : (level > 3 ? 3 : level); }

  // @name Parts
  static constexpr int kFirstPartHeight[4] = {80, 126, 152, 152};
  static constexpr int kPartHeight[4] = {60, 76, 102, 102};

  // @name Line header
  static constexpr int kKeyStep[4] = {7, 8, 8, 9};
  static constexpr int kTimeWidth[4] = {14, 18, 20, 22};
  static constexpr int kLineGap[4] = {6, 8, 10, 12};

  // @name Fonts
  static constexpr int kDigitFontHeight[4] = {-12, -17, -25, 0};
  static constexpr int kKeyFontHeight[4] = {-14, -19, -21, 0};
  static constexpr int kItalicFontHeight[4] = {-10, -12, -14, 0};
  static constexpr int kSymbolFontHeight[4] = {-20, -20, -22, 0};

  // @name Marks
  static constexpr int kSharpShift[4] = {7, 8, 9, 9};  // sharp's left edge from the digit
  static constexpr int kArcThreshold = 12;             // narrower arcs have control points on their ends
};
