#include <windows.h>

#include <gtest/gtest.h>

#include "base/Library.h"
#include "scrivel/Scrivel.h"

namespace {

struct Export {
  const char* name;
  WORD ordinal;
};

TEST(ScrivelExports, EachFactoryIsReachableByNameAndOrdinal) {
  base::Library dll("Scrivel.dll");
  ASSERT_TRUE(dll);
  using Factory = void* (*)(int);
  for (const Export& e :
       {Export{"CreateScrivel", 1}, Export{"CreateScrivel2", 2}, Export{"CreateScrivelHandler", 3}}) {
    auto create = dll.Find<Factory>(e.name);
    EXPECT_NE(create, nullptr) << e.name;
    EXPECT_EQ(create, dll.Find<Factory>(MAKEINTRESOURCEA(e.ordinal))) << e.name;
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create(2), nullptr) << e.name << " must refuse version 2";
  }
}

// Voxgate's recorder and the lyric compiler load the library by name and make
// their objects through the factories they look up.
TEST(ScrivelExports, VersionOneMakesObjectsThatWork) {
  base::Library dll(kScrivelDll);
  ASSERT_TRUE(dll);
  auto createLegacy = dll.Find<CreateScrivelFn>("CreateScrivel");
  auto createSong = dll.Find<CreateScrivel2Fn>("CreateScrivel2");
  auto createHandler = dll.Find<CreateScrivelHandlerFn>("CreateScrivelHandler");
  ASSERT_TRUE(createLegacy && createSong && createHandler);

  ISmfParser* legacy = createLegacy(1);
  ASSERT_NE(legacy, nullptr);
  EXPECT_EQ(legacy->AddTrack(), 0);
  EXPECT_EQ(legacy->GetTrackCount(), 1);
  legacy->Release();

  ISmfParser2* song = createSong(1);
  ASSERT_NE(song, nullptr);
  EXPECT_EQ(song->GetFormat(), 1);
  EXPECT_EQ(song->GetTrackCount(), 0);
  EXPECT_EQ(song->GetDrumTrack(), -1);
  EXPECT_EQ(song->AddTrack(kSmfChunkMCtl), 0);
  EXPECT_EQ(song->GetTrackChunkId(0), kSmfChunkMCtl);
  song->Release();

  ISmfParserHandler* handler = createHandler(1);
  ASSERT_NE(handler, nullptr);
  EXPECT_EQ(handler->Open(nullptr), 0);
  handler->Release();
}

}  // namespace
