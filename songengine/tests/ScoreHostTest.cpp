#include <algorithm>
#include <functional>

#include <score/IScoreViewOptions.h>

#include "CScoreHost.h"
#include "CSongData.h"
#include "EngineFixture.h"
#include "ScoreFacets.h"

using testsupport::TrackBuilder;

namespace {

class ScoreHostTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    window_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    host_.reset();
    data_.reset();
    DestroyWindow(window_);
    EngineTest::TearDown();
  }
  void Create(const testsupport::Bytes& song) {
    data_.reset(new CSongData);
    ASSERT_EQ(0, data_->Load(WriteSong("song.mid", song)));
    host_.reset(new CScoreHost(data_.get()));
    host_->CreateScore(nullptr);
    FakeLogClear();
  }
  void Select(std::vector<int> tracks) {
    data_->SetTrackList(tracks.data(), static_cast<int>(tracks.size()));
  }

  HWND window_ = nullptr;
  std::unique_ptr<CSongData> data_;
  std::unique_ptr<CScoreHost> host_;
};

TEST_F(ScoreHostTest, CreateScoreMakesBufferAndViewsAndHandsTheBufferToBoth) {
  data_.reset(new CSongData);
  host_.reset(new CScoreHost(data_.get()));
  EXPECT_EQ(0, host_->CreateScore(nullptr));
  EXPECT_EQ((std::vector<std::string>{"CreateScoreBufferInstance(2)", "CreateStaffInstance(2)",
                                      "Staff.SetScoreBuffer(buffer)", "CreateJianPuInstance(2)",
                                      "JianPu.SetScoreBuffer(buffer)"}),
            Calls());
  EXPECT_EQ(host_->GetStaffView(), host_->ActiveView());
  host_.reset();
  EXPECT_EQ(nullptr, GetModuleHandleA("Score.dll"));
}

TEST_F(ScoreHostTest, ScoreTypeMovesTheWindowBetweenViews) {
  Create(MelodySong());
  host_->SetScoreWindow(window_);
  FakeLogClear();
  host_->SetScoreType(1);
  EXPECT_EQ((std::vector<std::string>{"Staff.SetWindow(null)", "JianPu.SetWindow(window)"}), Calls());
  EXPECT_EQ(host_->GetNumberedView(), host_->ActiveView());
  FakeLogClear();
  host_->SetScoreType(5);
  EXPECT_EQ((std::vector<std::string>{"JianPu.SetWindow(null)", "JianPu.SetWindow(window)"}), Calls());
  EXPECT_EQ(5, host_->GetScoreType());
}

TEST_F(ScoreHostTest, FillHandsSignaturesNotesAndLyricsToTheBuffer) {
  Create(MelodySong(6, 3));
  Select({1});
  FakeSet("score.clef", 2);
  EXPECT_EQ(0, host_->Fill(std::vector<int>{1}.data(), 1));
  const std::vector<std::string> calls = Calls();
  ASSERT_EQ(7u, calls.size());
  EXPECT_EQ("ScoreBuffer.Clear", calls[0]);
  EXPECT_EQ("ScoreBuffer.SetKeySignatures(1) 0/2", calls[1]);
  EXPECT_EQ("ScoreBuffer.SetTimeSignatures(1) 0/6/60", calls[2]);
  EXPECT_EQ("Staff.ChooseClef(60,67)", calls[3]);
  EXPECT_EQ(0u, calls[4].find("ScoreBuffer.AddTrackNotes(1,6,"));
  EXPECT_NE(std::string::npos, calls[4].find(",2) first 0:903C64"));
  EXPECT_EQ("ScoreBuffer.SetLyrics(1,3) 0:la 120:li 240:lo", calls[5]);
  EXPECT_EQ("Staff.Rebuild", calls[6]);
  // The view not shown is rebuilt at its first use.
  FakeLogClear();
  host_->StepCursor(0);
  EXPECT_EQ((std::vector<std::string>{"JianPu.Rebuild", "Staff.StepCursor(0)", "JianPu.StepCursor(0)"}),
            Calls());
}

// Whatever reaches the view not shown finds it rebuilt first, and once: no
// call sees a view laid out from an older buffer.
TEST_F(ScoreHostTest, TheViewNotShownIsRebuiltOnceAtItsFirstUse) {
  const RECT rect = {0, 0, 300, 200};
  struct Use {
    const char* name;
    std::function<void(CScoreHost&)> call;
    const char* reached;  // the hidden view's call that must follow the rebuild
  } uses[] = {
      {"note", [](CScoreHost& h) { h.NoteEvent(0x403C90, 0, 1); }, "JianPu.NoteEvent(403C90,0,1)"},
      {"cursor", [](CScoreHost& h) { h.StepCursor(2); }, "JianPu.StepCursor(2)"},
      {"lyric", [](CScoreHost& h) { h.MarkLyric(120, 1); }, "JianPu.MarkLyric(120,1)"},
      {"unmark", [](CScoreHost& h) { h.UnmarkLyrics(0, 1); }, "JianPu.UnmarkLyrics(0,1)"},
      {"seek", [](CScoreHost& h) { h.SeekTick(240); }, "JianPu.SeekTick(240)"},
      {"rewind", [](CScoreHost& h) { h.Rewind(); }, "JianPu.Rewind"},
      {"switch", [](CScoreHost& h) { h.SetScoreType(1); }, "JianPu.SetWindow(null)"},
      {"rect", [&](CScoreHost& h) { h.SetScoreRect(&rect); }, "JianPu.SetRect(300)"},
      {"options read",
       [](CScoreHost& h) {
         IScoreViewOptions* options = h.GetViewOptions(2);
         options->GetNoteColor(-1);
         options->Release();
       },
       "JianPu.Options.Release"},
      {"handed out", [](CScoreHost& h) { h.GetNumberedView(); }, nullptr},
  };
  for (const Use& use : uses) {
    Create(MelodySong(6, 3));
    Select({1});
    host_->Fill(std::vector<int>{1}.data(), 1);
    EXPECT_EQ(0, CountCalls("JianPu.Rebuild")) << use.name;
    FakeLogClear();
    use.call(*host_);
    use.call(*host_);
    const std::vector<std::string> calls = CallsStartingWith("JianPu.");
    ASSERT_FALSE(calls.empty()) << use.name;
    EXPECT_EQ("JianPu.Rebuild", calls.front()) << use.name;
    EXPECT_EQ(1, CountCalls("JianPu.Rebuild")) << use.name;
    if (use.reached) {
      EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), use.reached)) << use.name;
    }
  }
}

// Colours set on a song just opened reach the view not shown after its
// rebuild, in the order set, and cost no layout until then; a second fill
// before its first use keeps them waiting.
TEST_F(ScoreHostTest, OptionsSetOnTheViewNotShownWaitForItsRebuild) {
  Create(MelodySong(6, 3));
  Select({1});
  host_->Fill(std::vector<int>{1}.data(), 1);
  CScoreViewPair* pair = new CScoreViewPairImpl(host_->GetViewOptions(1), host_->GetViewOptions(2));
  FakeLogClear();
  pair->SetNoteColor(0x10, -1);
  pair->SetClefColor(0x20, 2);
  EXPECT_EQ(
      (std::vector<std::string>{"Staff.Options.SetNoteColor(16,-1)", "Staff.Options.SetClefColor(32,2)"}),
      Calls());
  host_->Fill(std::vector<int>{1}.data(), 1);
  EXPECT_EQ(0, CountCalls("JianPu.Rebuild"));
  FakeLogClear();
  host_->StepCursor(1);
  EXPECT_EQ((std::vector<std::string>{"JianPu.Rebuild", "JianPu.Options.SetNoteColor(16,-1)",
                                      "JianPu.Options.SetClefColor(32,2)", "JianPu.Options.Release",
                                      "Staff.StepCursor(1)", "JianPu.StepCursor(1)"}),
            Calls());
  // Rebuilt, the view takes settings at once, and nothing waits any more.
  FakeLogClear();
  pair->SetNoteColor(0x30, -1);
  host_->StepCursor(1);
  EXPECT_EQ(
      (std::vector<std::string>{"Staff.Options.SetNoteColor(48,-1)", "JianPu.Options.SetNoteColor(48,-1)",
                                "Staff.StepCursor(1)", "JianPu.StepCursor(1)"}),
      Calls());
  // Song after song opened and never played: the settings wait no longer than
  // the queue's bound.
  host_->Fill(std::vector<int>{1}.data(), 1);
  FakeLogClear();
  for (size_t i = 1; i < CScoreHost::kMaxQueuedOptions; ++i) pair->SetLineColor(static_cast<COLORREF>(i), -1);
  EXPECT_EQ(0, CountCalls("JianPu.Rebuild"));
  pair->SetLineColor(0x40, -1);
  EXPECT_EQ(1, CountCalls("JianPu.Rebuild"));
  EXPECT_EQ(CScoreHost::kMaxQueuedOptions, CallsStartingWith("JianPu.Options.SetLineColor").size());
  pair->Release();
}

TEST_F(ScoreHostTest, ATimeSignatureStartsAtItsMeasuresTick) {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).TimeSig(0, 4, 2).TimeSig(960, 3, 3).KeySig(0, -1, 0).EndOfTrack();
  TrackBuilder notes;
  notes.Event(0, {0x90, 60, 100}).Event(1200, {0x80, 60, 0}).EndOfTrack();
  Create(testsupport::Cat({testsupport::Header(1, 2, 120), tempo.Chunk(), notes.Chunk()}));
  host_->Fill(std::vector<int>{1}.data(), 1);
  EXPECT_EQ(1, CountCalls("ScoreBuffer.SetTimeSignatures(2) 0/4/120 960/3/60"));
  const std::vector<std::string> keys = CallsStartingWith("ScoreBuffer.SetKeySignatures");
  ASSERT_EQ(1u, keys.size());
  EXPECT_NE(std::string::npos, keys[0].find(" 960/-1")) << "one flat, sign-extended from its byte";
}

TEST_F(ScoreHostTest, ATrackWithoutNotesEndsTheFillAfterTheTracksBeforeIt) {
  Create(SongWithoutNotes());
  EXPECT_EQ(1, host_->Fill(std::vector<int>{1, 2}.data(), 2));
  EXPECT_EQ(1u, CallsStartingWith("ScoreBuffer.AddTrackNotes(1,").size());
  EXPECT_TRUE(CallsStartingWith("ScoreBuffer.AddTrackNotes(2,").empty());
  EXPECT_EQ(1, CountCalls("Staff.Rebuild"));
  host_->Rewind();  // the first use of the view not shown
  EXPECT_EQ(1, CountCalls("JianPu.Rebuild"));
}

TEST_F(ScoreHostTest, LongLyricsLoseNoTextToTheirLengthBytes) {
  const std::string longText(200, 'a');
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).EndOfTrack();
  TrackBuilder melody;
  melody.Text(0, 0x05, longText).Event(0, {0x90, 60, 100}).Event(120, {0x80, 60, 0}).EndOfTrack();
  Create(testsupport::Cat({testsupport::Header(1, 2, 120), tempo.Chunk(), melody.Chunk()}));
  host_->Fill(std::vector<int>{1}.data(), 1);
  EXPECT_EQ(1, CountCalls("ScoreBuffer.SetLyrics(1,1) 0:" + longText));
}

// An accompaniment with a port meta event and no lyrics, chosen after the
// melody: the port event is no lyric and leaves the melody's lyrics standing.
TEST_F(ScoreHostTest, OnlyLyricEventsReachTheScoreAsLyrics) {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).EndOfTrack();
  TrackBuilder melody;
  melody.Text(0, 0x05, "la").Event(0, {0x90, 60, 100}).Event(120, {0x80, 60, 0}).EndOfTrack();
  TrackBuilder accompaniment;
  accompaniment.Meta(0, 0x21, {0x00}).Event(0, {0x91, 48, 90}).Event(240, {0x81, 48, 0}).EndOfTrack();
  Create(testsupport::Cat(
      {testsupport::Header(1, 3, 120), tempo.Chunk(), melody.Chunk(), accompaniment.Chunk()}));
  EXPECT_EQ(0, host_->Fill(std::vector<int>{1, 2}.data(), 2));
  EXPECT_EQ((std::vector<std::string>{"ScoreBuffer.SetLyrics(1,1) 0:la"}),
            CallsStartingWith("ScoreBuffer.SetLyrics"));
}

TEST_F(ScoreHostTest, StaffKindsGoToSelectedTracksOnly) {
  Create(MelodySong());
  Select({1, 2});
  host_->SetStaffKind(2, -1);
  host_->SetStaffKind(1, 5);
  host_->SetStaffKind(7, 1);
  host_->SetStaffKind(-1, 1);
  EXPECT_EQ((std::vector<std::string>{"Staff.SetTrackStaffKind(2,1)", "Staff.SetTrackStaffKind(2,2)"}),
            Calls());
  int kind = -1;
  EXPECT_EQ(0, host_->GetTrackStaffKind(&kind, 1));
  EXPECT_EQ(2, kind);
  EXPECT_EQ(0, host_->GetTrackStaffKind(&kind, 9));
  EXPECT_EQ(0, kind);
}

TEST_F(ScoreHostTest, RectAndPaintGoToTheRightViews) {
  Create(MelodySong());
  RECT rect = {0, 0, 640, 480};
  EXPECT_EQ(0, host_->SetScoreRect(&rect));
  EXPECT_EQ(0, host_->DrawScore(nullptr));
  EXPECT_EQ((std::vector<std::string>{"Staff.SetSizeLevel(0)", "Staff.SetRect(640)", "JianPu.SetSizeLevel(0)",
                                      "JianPu.SetRect(640)", "Staff.Paint"}),
            Calls());
}

TEST_F(ScoreHostTest, WithoutScoreEveryOperationGivesItsNoViewValue) {
  LibrariesAside aside({"Score"});
  ASSERT_TRUE(aside.AllMoved());
  data_.reset(new CSongData);
  host_.reset(new CScoreHost(data_.get()));
  EXPECT_EQ(0, host_->CreateScore(window_));
  RECT rect = {0, 0, 10, 10};
  EXPECT_EQ(1, host_->DrawScore(nullptr));
  EXPECT_EQ(1, host_->SetScoreRect(&rect));
  EXPECT_EQ(nullptr, host_->SetScoreWindow(window_));
  EXPECT_EQ(1, host_->Fill(std::vector<int>{1}.data(), 1));
  EXPECT_EQ(1, host_->NoteEvent(0x90, 0, 1));
  EXPECT_EQ(-1, host_->GetLastMeasure());
  EXPECT_EQ(-1, host_->TickFromPoint(1, 1));
  EXPECT_EQ(nullptr, host_->GetViewOptions(0));
}

TEST_F(ScoreHostTest, TheFacetAnswersForAHostThatComesAndGoes) {
  // The facet reads the field the engine keeps its host in, as the engine's does.
  ASSERT_EQ(nullptr, host_);
  CScoreFacetImpl facet(&host_);
  EXPECT_EQ(1, facet.SetScoreType(1));
  EXPECT_EQ(0, facet.GetScoreType());
  EXPECT_EQ(-1, facet.GetLastMeasure());
  EXPECT_EQ(0, facet.ScrollBy(1));
  EXPECT_EQ(1, facet.ScrollTo(1));
  Create(MelodySong());
  EXPECT_EQ(0, facet.SetScoreType(1));
  EXPECT_EQ(1, facet.GetScoreType());
  EXPECT_EQ(7, facet.TickFromPoint(3, 4));
  EXPECT_EQ(0, facet.ScrollBy(2));
  EXPECT_EQ(1, CountCalls("JianPu.ScrollTo(2,1)"));
}

TEST_F(ScoreHostTest, ThePairSetsBothViewsAndReadsTheStaffView) {
  Create(MelodySong());
  FakeSet("Staff.options", 11);
  FakeSet("JianPu.options", 22);
  CScoreViewPair* pair = new CScoreViewPairImpl(host_->GetViewOptions(1), host_->GetViewOptions(2));
  pair->SetNoteColor(0x123456, -1);
  pair->SetLyricFont(nullptr, 3);
  EXPECT_EQ(11u, pair->GetNoteColor(-1));
  EXPECT_EQ(nullptr, pair->GetLyricFont(3));
  pair->Release();
  EXPECT_EQ((std::vector<std::string>{"Staff.Options.SetNoteColor(1193046,-1)",
                                      "JianPu.Options.SetNoteColor(1193046,-1)", "Staff.Options.Release",
                                      "JianPu.Options.Release"}),
            Calls());
  CScoreViewPair* empty = new CScoreViewPairImpl(nullptr, nullptr);
  empty->SetClefColor(1, 1);
  EXPECT_EQ(0u, empty->GetClefColor(1));
  empty->Release();
}

}  // namespace
