#include <windows.h>

#include <gtest/gtest.h>

#include "scrivel/Scrivel.h"

namespace {

struct Export {
  const char* name;
  WORD ordinal;
};

TEST(ScrivelExports, EachFactoryIsReachableByNameAndOrdinal) {
  HMODULE dll = LoadLibraryA("Scrivel.dll");
  ASSERT_NE(dll, nullptr);
  for (const Export& e :
       {Export{"CreateScrivel", 1}, Export{"CreateScrivel2", 2}, Export{"CreateScrivelHandler", 3}}) {
    FARPROC byName = GetProcAddress(dll, e.name);
    EXPECT_NE(byName, nullptr) << e.name;
    EXPECT_EQ(byName, GetProcAddress(dll, MAKEINTRESOURCEA(e.ordinal))) << e.name;
    auto create = reinterpret_cast<void* (*)(int)>(byName);
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create(2), nullptr) << e.name << " must refuse version 2";
  }
  FreeLibrary(dll);
}

// Voxgate's recorder and the lyric compiler load the library by name and make
// their objects through the factories they look up.
TEST(ScrivelExports, VersionOneMakesObjectsThatWork) {
  HMODULE dll = LoadLibraryA(kScrivelDll);
  ASSERT_NE(dll, nullptr);
  auto createLegacy = reinterpret_cast<CreateScrivelFn>(GetProcAddress(dll, "CreateScrivel"));
  auto createSong = reinterpret_cast<CreateScrivel2Fn>(GetProcAddress(dll, "CreateScrivel2"));
  auto createHandler = reinterpret_cast<CreateScrivelHandlerFn>(GetProcAddress(dll, "CreateScrivelHandler"));
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
  FreeLibrary(dll);
}

}  // namespace
