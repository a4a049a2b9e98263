// Pixel sizes of the staff notation by size level 0..3. Every table has four
// rows; callers pass a level the painter has already checked.
#pragma once

struct StaffSizes {
  static constexpr int kLevels = 4;
  static int Level(int level) { return level < 0 ? 0 : (level > 3 ? 3 : level); }

  // @name Staff and part
  static constexpr int kLineGap[4] = {6, 8, 10, 12};
  static constexpr int kOneStaffHeight[4] = {78, 104, 130, 156};
  static constexpr int kTwoStaffHeight[4] = {146, 194, 242, 286};

  // @name Line header
  static constexpr int kKeyStep[4] = {7, 8, 8, 11};
  static constexpr int kTimeWidth[4] = {14, 18, 20, 22};
  static constexpr int kClefWidth[4] = {38, 40, 42, 50};

  // @name Notes
  static constexpr int kStemLength[4] = {16, 23, 28, 34};
  static constexpr int kHeadWidth[4] = {7, 9, 11, 13};
  static constexpr int kLedgerWidth[4] = {15, 17, 19, 21};  // 4 px either side of the head
  static constexpr int kDotDiameter[4] = {4, 4, 5, 6};
  static constexpr int kDotRaise[4] = {1, 1, 2, 2};
  static constexpr int kFlagLength[4] = {12, 16, 19, 23};

  // @name Beams and tuplets
  static constexpr int kBeamThickness[4] = {3, 4, 5, 5};
  static constexpr int kBeamOffsetUp[4] = {-2, 1, 0, 0};
  static constexpr int kBeamOffsetDown[4] = {3, 2, 3, 4};
  static constexpr int kSecondaryBeamGap[4] = {5, 6, 7, 8};
  static constexpr int kBeamStub[4] = {8, 10, 12, 14};

  // @name Rests
  static constexpr int kWholeRestWidth[4] = {8, 10, 12, 14};
  static constexpr int kWholeRestHeight[4] = {3, 4, 5, 6};
  static constexpr int kQuarterRestY[4] = {-35, -44, -40,
                                           -60};  // cell top for a substitute font, as the clefs
  static constexpr int kQuarterRestDotX[4] = {9, 10, 11, 14};
  static constexpr int kQuarterRestDotY[4] = {-4, -5, -7, -8};

  // @name Music-font symbols
  static constexpr int kClefFontHeight[4] = {-26, -30, -40, -48};
  static constexpr int kCClefFontHeight[4] = {-26, -32, -40, -49};
  static constexpr int kSymbolFontHeight[4] = {-25, -32, -21, -42};
  static constexpr int kSignatureFontHeight[4] = {-14, -17, -25, -26};
  static constexpr int kOctaveFontHeight[4] = {-10, -12, -14, -16};
  // Cell tops of the clefs and the quarter rest from the reference line. Our
  // music font is placed by its baseline on the symbol's own line instead
  // (CMusicFont::DrawSymbol); these hold for a substitute font.
  static constexpr int kTrebleClefY[4] = {-42, -50, -52, -78};
  static constexpr int kBassClefY[4] = {-46, -60, -65, -91};
  static constexpr int kCClefY[4] = {-31, -38, -40, -59};
  static constexpr int kTrebleOctaveX[4] = {7, 7, 7, 14};
  static constexpr int kTrebleOctaveY[4] = {-50, -60, -60, -90};
  static constexpr int kBassOctaveX[4] = {5, 5, 5, 10};
  static constexpr int kBassOctaveY[4] = {-18, -24, -40, -35};
  static constexpr int kSignatureTopY[4] = {-1, 0, 1, -2};
};
