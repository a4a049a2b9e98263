#include <windows.h>

#include <gtest/gtest.h>

#include "score/IScoreBuffer.h"

namespace {

class ScoreDll : public ::testing::Test {
 protected:
  void SetUp() override {
    dll_ = LoadLibraryA("Score.dll");
    ASSERT_NE(dll_, nullptr);
  }
  void TearDown() override {
    if (dll_) FreeLibrary(dll_);
  }
  HMODULE dll_ = nullptr;
};

TEST_F(ScoreDll, EveryFactoryIsExportedByName) {
  for (const char* name : {"CreateStaffInstance", "CreateJianPuInstance", "CreateScoreBufferInstance"})
    EXPECT_NE(GetProcAddress(dll_, name), nullptr) << name;
}

TEST_F(ScoreDll, ViewFactoriesRefuseOtherVersions) {
  using ViewFactory = void* (*)(HWND, int);
  for (const char* name : {"CreateStaffInstance", "CreateJianPuInstance"}) {
    auto create = reinterpret_cast<ViewFactory>(GetProcAddress(dll_, name));
    ASSERT_NE(create, nullptr) << name;
    for (int version : {0, 1, 3, -1}) EXPECT_EQ(create(nullptr, version), nullptr) << name << " " << version;
  }
}

TEST_F(ScoreDll, BufferFactoryTakesOnlyVersionTwo) {
  auto create =
      reinterpret_cast<CreateScoreBufferInstanceFn>(GetProcAddress(dll_, "CreateScoreBufferInstance"));
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
