#include <windows.h>

#include <gtest/gtest.h>

#include "base/Library.h"
#include "score/IScoreBuffer.h"

namespace {

class ScoreDll : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dll_.Load("Score.dll")); }
  void TearDown() override { dll_.Free(); }
  base::Library dll_;
};

TEST_F(ScoreDll, EveryFactoryIsExportedByName) {
  for (const char* name : {"CreateStaffInstance", "CreateJianPuInstance", "CreateScoreBufferInstance"})
    EXPECT_NE(dll_.Find<FARPROC>(name), nullptr) << name;
}

TEST_F(ScoreDll, ViewFactoriesRefuseOtherVersions) {
  using ViewFactory = void* (*)(HWND, int);
  for (const char* name : {"CreateStaffInstance", "CreateJianPuInstance"}) {
    auto create = dll_.Find<ViewFactory>(name);
    ASSERT_NE(create, nullptr) << name;
    for (int version : {0, 1, 3, -1}) EXPECT_EQ(create(nullptr, version), nullptr) << name << " " << version;
  }
}

TEST_F(ScoreDll, BufferFactoryTakesOnlyVersionTwo) {
  auto create = dll_.Find<CreateScoreBufferInstanceFn>("CreateScoreBufferInstance");
  ASSERT_NE(create, nullptr);
  for (int version : {0, 1, 3, -1}) EXPECT_EQ(create(version), nullptr) << version;

  IScoreBuffer* buffer = create(2);
  ASSERT_NE(buffer, nullptr);
  ScoreTimeSig sig = {0, 3, 120};
  EXPECT_EQ(buffer->SetTimeSignatures(&sig, 1), 0);
  ScoreNoteEvent events[] = {{0, 0x90, 60, 100, 0}, {120, 0x80, 60, 0, 0}, {-1, 0, 0, 0, 0}};
  EXPECT_EQ(buffer->AddTrackNotes(1, events, 3, 2, 0), 0);
  const ScoreData* data = buffer->GetData();
  ASSERT_EQ(data->tracks.size(), 1u);
  ASSERT_NE(data->tracks[0].bars[0].firstNote, nullptr);
  EXPECT_EQ(data->tracks[0].bars[0].firstNote->length, 120);
  buffer->Release();
}

}  // namespace
