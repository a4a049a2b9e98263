#include <gtest/gtest.h>

#include "MusicFont.h"
#include "PartStack.h"
#include "ScorePainter.h"
#include "StaffPainter.h"
#include "testsupport/TempDir.h"

namespace {

TEST(PartStack, CenteredStacksOnceFromTheMiddleOrTheTop) {
  const std::vector<PartHeight> parts{{78, 1}, {146, 2}};
  std::vector<PartPlacement> out;
  EXPECT_TRUE(CCenteredPartStack().Arrange({0, 100, 500, 400}, parts, &out));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].rect.top, 100 + (300 - 224) / 2);
  EXPECT_EQ(out[1].rect.top, out[0].rect.bottom);
  EXPECT_EQ(out[1].rect.bottom - out[1].rect.top, 146);
  EXPECT_EQ(out[1].tag, 2);
  out.clear();
  // Taller than the rectangle: from its top, every part still placed.
  EXPECT_TRUE(CCenteredPartStack().Arrange({0, 10, 500, 60}, parts, &out));
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].rect.top, 10);
}

TEST(PartStack, RepeatedPlacesNothingWhenItCannot) {
  std::vector<PartPlacement> out;
  EXPECT_FALSE(CRepeatedPartStack().Arrange({0, 0, 500, 100}, {{78, 1}, {60, 2}}, &out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(CRepeatedPartStack().Arrange({0, 0, 500, 100}, {{0, 1}}, &out));  // no height at all
  EXPECT_FALSE(CRepeatedPartStack().Arrange({0, 0, 500, 100}, {}, &out));
  EXPECT_TRUE(out.empty());
  EXPECT_TRUE(CRepeatedPartStack().Arrange({0, 0, 500, 320}, {{78, 1}, {78, 2}}, &out));
  EXPECT_EQ(out.size(), 4u);
  EXPECT_EQ(out[2].rect.top, 156);
}

// The music font is found beside the library whatever the current folder.
TEST(MusicFont, AddedFromAnyCurrentFolder) {
  testsupport::TempDir elsewhere;
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(elsewhere.Path().c_str()));
  {
    CStaffPainter painter;
    EXPECT_TRUE(painter.MusicFontAdded());
    EXPECT_TRUE(CMusicFont::IsAdded());
  }
  EXPECT_FALSE(CMusicFont::IsAdded());  // removed with the last painter
  SetCurrentDirectoryA(previous);
}

}  // namespace
