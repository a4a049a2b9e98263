#include <gtest/gtest.h>

#include "app/CSongValueMap.h"

namespace {

TEST(SongValueMap, PathsAreCaseSensitiveAndLookupCreatesEmptyEntries) {
  CSongValueMap* map = CSongValueMap::GetInstance();
  ASSERT_NE(map, nullptr);
  EXPECT_EQ(map, CSongValueMap::GetInstance());

  TrackSetting setting;
  setting.track = 3;
  setting.kind = 1;
  (*map)["C:\\Songs\\a.mid"].settings[3] = setting;
  (*map)["C:\\Songs\\a.mid"].colours[3].note = 0x123456;

  SongValues& other = (*map)["C:\\SONGS\\A.MID"];
  EXPECT_TRUE(other.settings.empty());
  EXPECT_TRUE(other.colours.empty());
  EXPECT_EQ(map->Songs().size(), 2u);

  const SongValues& stored = (*map)["C:\\Songs\\a.mid"];
  EXPECT_EQ(stored.settings.at(3).kind, 1);
  EXPECT_EQ(stored.colours.at(3).note, 0x123456);
  EXPECT_EQ(stored.colours.at(3).line, 0xC8C8C8);

  CSongValueMap::Release(CSongValueMap::GetInstance());
  CSongValueMap* fresh = CSongValueMap::GetInstance();
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(fresh->Songs().empty());
  CSongValueMap::Release(fresh);
}

TEST(SongValueMap, ReleaseWithoutInstanceIsHarmless) {
  CSongValueMap::Release(CSongValueMap::GetInstance());
  CSongValueMap::Release(nullptr);
  CSongValueMap* map = CSongValueMap::GetInstance();
  ASSERT_NE(map, nullptr);
  EXPECT_TRUE(map->Songs().empty());
  CSongValueMap::Release(map);
}

}  // namespace
