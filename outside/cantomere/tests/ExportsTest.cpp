#include <windows.h>

#include <gtest/gtest.h>

#include <base/Library.h>
#include <cantomere/Cantomere.h>

namespace {

TEST(CantomereExports, FactoriesByNameGiveObjectsForVersionOneOnly) {
  base::Library dll(kCantomereLibrary);
  ASSERT_TRUE(dll);
  auto createLyrics = dll.Find<CreateCantomereInstanceFn>(kCreateCantomereInstanceName);
  auto createBuffer = dll.Find<CreateLyricBufferInstanceFn>(kCreateLyricBufferInstanceName);
  ASSERT_NE(createLyrics, nullptr);
  ASSERT_NE(createBuffer, nullptr);
  for (int version : {0, 2, -1}) {
    EXPECT_EQ(createLyrics(version), nullptr) << version;
    EXPECT_EQ(createBuffer(version), nullptr) << version;
  }
  ICantomereLyrics* lyrics = createLyrics(1);
  ICantomereLyricBuffer* buffer = createBuffer(1);
  ICantomereLyricBuffer* second = createBuffer(1);
  ASSERT_NE(lyrics, nullptr);
  ASSERT_NE(buffer, nullptr);
  EXPECT_NE(buffer, second) << "each call makes a buffer of its own";
  lyrics->Release();
  buffer->Release();
  second->Release();
}

}  // namespace
