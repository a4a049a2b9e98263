#include <gtest/gtest.h>

#include "PercussionMap.h"

namespace {

TEST(PercussionMap, MapsEveryDrumNote) {
  struct Row {
    int note, pitch, head;
  };
  const Row rows[] = {
      {35, 64, 3},
      {36, 65, 3},
      {37, 60, 2},
      {38, 72, 3},
      {39, 60, 2},
      {40, 72, 3},
      {41, 67, 3},
      {42, 79, 0},
      {43, 69, 3},
      {44, 62, 0},
      {45, 71, 3},
      {46, 79, 1},
      {47, 74, 3},
      {48, 76, 3},
      {49, 81, 0},
      {50, 77, 3},
      {51, 77, 0},
      {52, 86, 0},
      {53, 74, 0},
      {54, 60, 2},
      {55, 84, 0},
      {56, 76, 2},
      {57, 83, 0},
      {58, 60, 2},
      {59, 74, 0},
      // Outside the map: the side-stick head on middle C.
      {34, 60, 2},
      {60, 60, 2},
      {0, 60, 2},
      {127, 60, 2},
      {-5, 60, 2},
  };
  for (const Row& r : rows) {
    const DrumHead h = CPercussionMap::GetDrumHead(r.note, true);
    EXPECT_EQ(h.displayPitch, r.pitch) << r.note;
    EXPECT_EQ(h.headKind, r.head) << r.note;
    EXPECT_EQ(CPercussionMap::GetDrumPosition(r.note, true), r.pitch) << r.note;
  }
}

TEST(PercussionMap, OtherPartsKeepTheirPitchWithANormalHead) {
  for (int note : {0, 35, 42, 60, 127}) {
    const DrumHead h = CPercussionMap::GetDrumHead(note, false);
    EXPECT_EQ(h.displayPitch, note);
    EXPECT_EQ(h.headKind, kNormalHead);
  }
}

TEST(PercussionMap, HiHatsShareAPlaceAndDifferByHead) {
  const DrumHead closed = CPercussionMap::GetDrumHead(42, true);
  const DrumHead open = CPercussionMap::GetDrumHead(46, true);
  EXPECT_EQ(closed.displayPitch, open.displayPitch);
  EXPECT_EQ(closed.headKind, kCrossHead);
  EXPECT_EQ(open.headKind, kOpenCrossHead);
}

}  // namespace
