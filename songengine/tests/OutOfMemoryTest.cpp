// The engine's own allocations made to fail one by one: whatever runs out,
// nothing is thrown at the caller. The program links the failing operator
// new, which stays the plain one until a test arms it.
#include <string>

#include "EngineFixture.h"
#include "testsupport/FailingAllocator.h"

namespace {
class OutOfMemoryTest : public EngineTest {
 protected:
  void TearDown() override {
    testsupport::FailAllocationAfter(-1);
    EngineTest::TearDown();
  }
};

TEST_F(OutOfMemoryTest, TheFactoryGivesNullWhateverAllocationFails) {
  int made = 0;
  for (int allowed = 0; allowed < 4; ++allowed) {
    testsupport::FailAllocationAfter(allowed);
    ISongEngine* engine = nullptr;
    EXPECT_NO_THROW(engine = CreateTunewellInstance(1)) << "failing allocation " << allowed;
    testsupport::FailAllocationAfter(-1);
    if (engine) {
      ++made;
      engine->Release();
    }
  }
  // Enough allocations were allowed at the end for an engine to be made.
  EXPECT_LT(0, made);
}

TEST_F(OutOfMemoryTest, AnEventThatFindsNoMemoryIsDroppedInsideTheWindowProcedure) {
  ISongEngine* engine = CreateTunewellInstance(1);
  ASSERT_NE(nullptr, engine);
  engine->Init(nullptr);
  RecordingListener listener;
  engine->SetListener(&listener);
  testsupport::PumpPending();
  // The first event makes the score host, which finds no memory.
  ASSERT_EQ(0, FireEvent(PlayEvent{kPlayEventPosition, 3, 0, 0, 0, 0, 0}));
  testsupport::FailAllocationAfter(0);
  EXPECT_NO_THROW(testsupport::PumpPending());
  testsupport::FailAllocationAfter(-1);
  // The next one is handled as usual.
  ASSERT_EQ(0, FireEvent(PlayEvent{kPlayEventPosition, 4, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !listener.heard.empty(); }, 2000));
  EXPECT_EQ((std::vector<std::string>{"Position(4)"}), listener.heard);
  engine->Release();
}

TEST_F(OutOfMemoryTest, ASongOpensShowsAndIsDescribedOrFailsWhereverMemoryRunsOut) {
  const std::string path = WriteSong("song.mid", MelodySongWithMarkers());
  ISongEngine* engine = CreateTunewellInstance(1);
  ASSERT_NE(nullptr, engine);
  engine->Init(nullptr);
  engine->CreateScore(nullptr);
  CSongInfo* info = engine->GetSongInfo();
  ASSERT_EQ(0, info->Open(path.c_str()));
  const int track = 1;
  for (int allowed = 0; allowed < 120; ++allowed) {
    testsupport::FailAllocationAfter(allowed);
    int opened = -1;
    int shown = -1;
    const char* name = nullptr;
    EXPECT_NO_THROW(opened = engine->Open(path.c_str())) << allowed;
    EXPECT_NO_THROW(shown = engine->SetTracks(&track, 1)) << allowed;
    EXPECT_NO_THROW(name = info->GetTrackName(1)) << allowed;
    EXPECT_NO_THROW(info->GetSongLength()) << allowed;
    testsupport::FailAllocationAfter(-1);
    EXPECT_TRUE(opened == 0 || opened == 1) << allowed;
    EXPECT_TRUE(shown == 0 || shown == 1) << allowed;
    EXPECT_NE(nullptr, name) << allowed;
  }
  // With memory again, everything works as before.
  EXPECT_EQ(0, engine->Open(path.c_str()));
  EXPECT_EQ(0, engine->SetTracks(&track, 1));
  EXPECT_STREQ("Melody", info->GetTrackName(1));
  engine->Release();
}

}  // namespace
