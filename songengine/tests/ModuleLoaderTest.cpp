#include <brevant/Brevant.h>
#include <cantomere/Cantomere.h>
#include <scrivel/ISmfParser2.h>

#include "CModuleLoader.h"
#include "EngineFixture.h"
#include "base/ReleasePtr.h"

namespace {

// Moves a fake library aside for the length of a test and back afterwards.
class FileSwap {
 public:
  FileSwap(const std::string& from, const std::string& to) : from_(from), to_(to) {
    moved_ = MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
  }
  ~FileSwap() {
    if (moved_) MoveFileExA(to_.c_str(), from_.c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  bool Moved() const { return moved_; }

 private:
  std::string from_, to_;
  bool moved_;
};

using ModuleLoaderTest = EngineTest;

TEST_F(ModuleLoaderTest, SongBuffersAreNewEachTimeFromOneLoadedLibrary) {
  CModuleLoader loader;
  base::ReleasePtr<IBrevantSongBuffer> first(loader.NewSongBuffer());
  HMODULE loaded = GetModuleHandleA("Brevant.dll");
  base::ReleasePtr<IBrevantSongBuffer> second(loader.NewSongBuffer());
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(loaded, GetModuleHandleA("Brevant.dll"));
  EXPECT_EQ(2, CountCalls("CreateSongBuffer(1)"));
  first.reset();
  second.reset();
  loader.Unload();
}

TEST_F(ModuleLoaderTest, SharedObjectsAreMadeOnce) {
  CModuleLoader loader;
  IBrevantPlayer* player = loader.GetBrevant();
  ASSERT_NE(nullptr, player);
  EXPECT_EQ(player, loader.GetBrevant());
  EXPECT_EQ(1, CountCalls("CreateBrevant(1)"));
  ICantomereLyrics* lyrics = loader.GetCantomere();
  ASSERT_NE(nullptr, lyrics);
  EXPECT_EQ(lyrics, loader.GetCantomere());
  EXPECT_EQ(1, CountCalls("CreateCantomereInstance(1)"));
  ASSERT_NE(nullptr, loader.GetVoxgate());
  EXPECT_EQ(loader.GetVoxgate(), loader.GetVoxgate());
  EXPECT_EQ(1, CountCalls("CreateVoxgate(1)"));
  loader.Unload();
}

TEST_F(ModuleLoaderTest, UnloadReleasesOwnedObjectsFreesLibrariesAndIsIdempotent) {
  CModuleLoader loader;
  ASSERT_NE(nullptr, loader.GetBrevant());
  ASSERT_NE(nullptr, loader.GetCantomere());
  ASSERT_NE(nullptr, loader.GetVoxgate());
  loader.Unload();
  EXPECT_EQ(1, CountCalls("Brevant.Release"));
  EXPECT_EQ(1, CountCalls("Cantomere.Release"));
  EXPECT_EQ(nullptr, GetModuleHandleA("Brevant.dll"));
  EXPECT_EQ(nullptr, GetModuleHandleA("Cantomere.dll"));
  EXPECT_EQ(nullptr, GetModuleHandleA("Voxgate.dll"));
  loader.Unload();
  EXPECT_EQ(1, CountCalls("Brevant.Release"));
  // The next request loads again.
  EXPECT_NE(nullptr, loader.GetBrevant());
  EXPECT_EQ(2, CountCalls("CreateBrevant(1)"));
  loader.Unload();
}

TEST_F(ModuleLoaderTest, AMissingLibraryGivesNullAndIsTriedAgain) {
  CModuleLoader loader;
  {
    LibrariesAside aside({"Cantomere"});
    ASSERT_TRUE(aside.AllMoved());
    EXPECT_EQ(nullptr, loader.GetCantomere());
    EXPECT_EQ(nullptr, loader.NewLyricBuffer());
    EXPECT_EQ(0, CountCalls("CreateCantomereInstance(1)"));
  }
  // Back in place: the very next request finds it.
  EXPECT_NE(nullptr, loader.GetCantomere());
  loader.Unload();
}

TEST_F(ModuleLoaderTest, AFactoryReturningNullIsAskedAgainNextTime) {
  FakeSet("brevant.nullPlayer", 1);
  CModuleLoader loader;
  EXPECT_EQ(nullptr, loader.GetBrevant());
  FakeSet("brevant.nullPlayer", 0);
  EXPECT_NE(nullptr, loader.GetBrevant());
  EXPECT_EQ(2, CountCalls("CreateBrevant(1)"));
  loader.Unload();
}

TEST_F(ModuleLoaderTest, AMissingPerCallExportKeepsALiveControllersLibraryLoaded) {
  // A Cantomere.dll without the buffer factory.
  FileSwap keep("Cantomere.dll", "Cantomere.whole");
  ASSERT_TRUE(keep.Moved());
  ASSERT_TRUE(CopyFileA("CantomereNoBuffer.dll", "Cantomere.dll", FALSE));
  {
    CModuleLoader loader;
    ICantomereLyrics* lyrics = loader.GetCantomere();
    ASSERT_NE(nullptr, lyrics);
    EXPECT_EQ(nullptr, loader.NewLyricBuffer());
    // The controller's code must stay mapped: it is still in use.
    ASSERT_NE(nullptr, GetModuleHandleA("Cantomere.dll"));
    EXPECT_EQ(0, lyrics->Rewind(1));
    loader.Unload();
    EXPECT_EQ(1, CountCalls("Cantomere.Release"));

    // Without a live controller the library is let go as before.
    EXPECT_EQ(nullptr, loader.NewLyricBuffer());
    EXPECT_EQ(nullptr, GetModuleHandleA("Cantomere.dll"));
  }
  DeleteFileA("Cantomere.dll");
}

TEST_F(ModuleLoaderTest, SongParsersComeFromScrivel) {
  CModuleLoader loader;
  base::ReleasePtr<ISmfParser2> first(loader.NewSongParser());
  base::ReleasePtr<ISmfParser2> second(loader.NewSongParser());
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.get(), second.get());
  first.reset();
  second.reset();
  loader.Unload();
}

}  // namespace
