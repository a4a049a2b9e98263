// Voxgate.dll as its callers see it: loaded by name, factories looked up by
// name or ordinal, and the static objects wired to the real output hook.
#include <string>

#include <gtest/gtest.h>
#include <testsupport/SmfBuilder.h>
#include <testsupport/TempDir.h>
#include <voxgate/Voxgate.h>

#include "base/Library.h"

#include "SmfFileReader.h"
#include "VoxgateFixture.h"

namespace {

class VoxgateLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.Load(kVoxgateLibrary));
    createRecorder_ = module_.Find<CreateRecordCtrlFn>(kCreateRecordCtrlName);
    createManager_ = module_.Find<CreateVoxgateFn>(kCreateVoxgateName);
    ASSERT_NE(createRecorder_, nullptr);
    ASSERT_NE(createManager_, nullptr);
  }
  void TearDown() override { module_.Free(); }

  base::Library module_;
  CreateRecordCtrlFn createRecorder_ = nullptr;
  CreateVoxgateFn createManager_ = nullptr;
};

TEST_F(VoxgateLibraryTest, FactoriesExportByNameAndOrdinal) {
  EXPECT_EQ(createRecorder_, module_.Find<CreateRecordCtrlFn>(MAKEINTRESOURCEA(1)));
  EXPECT_EQ(createManager_, module_.Find<CreateVoxgateFn>(MAKEINTRESOURCEA(2)));
}

TEST_F(VoxgateLibraryTest, OnlyVersionOneGivesTheStaticObjects) {
  IMidiRecorder* recorder = createRecorder_(1);
  IChannelManager* manager = createManager_(1);
  ASSERT_NE(recorder, nullptr);
  ASSERT_NE(manager, nullptr);
  EXPECT_EQ(createRecorder_(1), recorder) << "one object for the process";
  EXPECT_EQ(createManager_(1), manager);
  for (int version : {0, 2, -1, 100}) {
    EXPECT_EQ(createRecorder_(version), nullptr) << version;
    EXPECT_EQ(createManager_(version), nullptr) << version;
  }
}

TEST_F(VoxgateLibraryTest, DestroyWithTheFreeBitLeavesTheStaticObjectsWorking) {
  IMidiRecorder* recorder = createRecorder_(1);
  IChannelManager* manager = createManager_(1);
  recorder->Destroy(1);
  manager->Destroy(1);
  // Static storage handed to a heap free would have crashed or corrupted the
  // heap; the objects must carry on as before.
  const HMIDIOUT port = reinterpret_cast<HMIDIOUT>(0x51);
  recorder->SetMute(1);
  EXPECT_EQ(manager->AddPort(port), 1);
  CMidiChannel* voice = manager->AllocChannel(-1);
  EXPECT_NE(voice, nullptr);
  EXPECT_EQ(manager->FreeChannel(voice), 1);
  EXPECT_EQ(manager->RemovePort(port), 1);
  EXPECT_EQ(recorder->StartRecording(), 1);
  EXPECT_EQ(recorder->StopRecording(), 1);
  recorder->SetMute(0);
}

// The recorder's hook sees what the manager sends: a muted recording (no
// device here, and a fake handle must never reach midiOutShortMsg) saved and
// read back.
TEST_F(VoxgateLibraryTest, MutedRecordingThroughTheRealHookSavesAndReadsBack) {
  IMidiRecorder* recorder = createRecorder_(1);
  IChannelManager* manager = createManager_(1);
  const HMIDIOUT port = reinterpret_cast<HMIDIOUT>(0x52);
  EXPECT_EQ(recorder->SetMute(1), 0);
  manager->AddPort(port);
  CMidiChannel* voice = manager->AllocChannel(3);
  ASSERT_NE(voice, nullptr);
  manager->SetProgram(voice, 19);
  recorder->StartRecording();
  manager->SendShortMessage(voice, Msg(0x90, 67, 99));
  manager->SendShortMessage(voice, Msg(0x80, 67, 0));
  manager->SendShortMessage(voice, Msg(0x90, 69, 98));  // still held at the stop
  recorder->StopRecording();
  testsupport::TempDir dir;
  const std::string path = dir.File("live.mid");
  recorder->Save(path.c_str());
  manager->FreeChannel(voice);
  manager->RemovePort(port);
  EXPECT_EQ(recorder->SetMute(0), 1);

  if (!ScrivelCanWrite()) {
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << "a failed save writes nothing";
    GTEST_SKIP() << "Scrivel.dll makes no legacy song objects yet: the save failed cleanly";
  }
  const smfcheck::SmfFile file = smfcheck::ReadSmf(testsupport::ReadBytes(path));
  ASSERT_TRUE(file.ok) << file.error;
  ASSERT_EQ(file.tracks.size(), 2u);
  std::vector<std::vector<uint8_t>> channelEvents;
  uint32_t previous = 0;
  for (const smfcheck::TimedEvent& e : file.tracks[1]) {
    EXPECT_GE(e.tick, previous) << "ticks never run back";
    previous = e.tick;
    channelEvents.push_back(e.bytes);
  }
  const std::vector<std::vector<uint8_t>> expected{{0xC3, 19},     {0x93, 67, 99}, {0x83, 67, 0},
                                                   {0x93, 69, 98}, {0x83, 69, 0},  {0xFF, 0x2F, 0x00}};
  EXPECT_EQ(channelEvents, expected);
  ASSERT_GE(file.tracks[0].size(), 3u);
  EXPECT_EQ(file.tracks[0][0].bytes, (std::vector<uint8_t>{0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}));
}

}  // namespace
