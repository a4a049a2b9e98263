#include <gtest/gtest.h>

#include <memory>

#include "LyricFixtures.h"

namespace {

using Calls = std::vector<std::string>;

// A controller with an engine and one attached recording view, fed through a
// lyric buffer as the song engine feeds it.
class LyricControllerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lyrics_ = CreateCantomereInstance(1);
    buffer_ = CreateLyricBufferInstance(1);
    ASSERT_NE(lyrics_, nullptr);
    ASSERT_NE(buffer_, nullptr);
    lyrics_->SetEngine(&engine_);
    lyrics_->AttachView(1, &view_);
  }
  void TearDown() override {
    lyrics_->DetachView(1, &view_);
    lyrics_->Release();
    buffer_->Release();
  }

  // Per song, as the engine does it: Clear, markers, lyrics, Close, SetLyrics.
  void Load(const MetaEvents& lyricEvents, const MetaEvents& markers = MetaEvents(), int track = 1) {
    buffer_->Clear();
    buffer_->AddMarkers(3, markers.data(), markers.size());
    buffer_->AddLyrics(track, lyricEvents.data(), lyricEvents.size());
    lyrics_->Close();
    lyrics_->SetLyrics(buffer_->GetLyricData());
    view_.Take();
  }

  Calls Texts() {
    Calls texts;
    for (int i = 0; i < lyrics_->GetTokenCount(1); ++i) texts.push_back(lyrics_->GetTokenText(1, i));
    return texts;
  }

  // Two lines as the lyric compiler writes them: each break sits before the
  // syllable it follows, at that syllable's tick.
  //   tokens: 0 Twin  1 kle  2 ,  3 lit  4 tle  5 .  6 star
  static MetaEvents TwoLines() {
    MetaEvents e;
    e.Lyric(0, "Twin")
        .Lyric(120, ",")
        .Lyric(120, "kle")
        .Lyric(240, "lit")
        .Lyric(360, ".")
        .Lyric(360, "tle")
        .Lyric(480, "star");
    return e;
  }

  FakeSongEngine engine_;
  RecordingLyricView view_;
  ICantomereLyrics* lyrics_ = nullptr;
  ICantomereLyricBuffer* buffer_ = nullptr;
};

TEST_F(LyricControllerTest, TokensFollowTheCompilersConventions) {
  MetaEvents e;
  e.Lyric(0, ".")    // a leading break is dropped
      .Lyric(0, "")  // an empty text is dropped
      .Lyric(10, "Twin")
      .Lyric(20, ",")
      .Lyric(20, "kle")
      .Lyric(30, "lit");
  Load(e);
  EXPECT_EQ(Texts(), (Calls{"Twin", "kle", ",", "lit"}));
  EXPECT_EQ(lyrics_->QueryToken(1, 0), 10);
  EXPECT_EQ(lyrics_->QueryToken(1, 2), 20) << "a break's index is its tick";
  EXPECT_EQ(lyrics_->QueryToken(1, 4), -1);
  EXPECT_EQ(lyrics_->GetTokenText(1, 9), "");
  EXPECT_EQ(lyrics_->GetTokenCount(2), 0);
  EXPECT_EQ(lyrics_->QueryToken(2, 0), -1);
  EXPECT_TRUE(lyrics_->IsLineBreak(","));
  EXPECT_FALSE(lyrics_->IsLineBreak("."));
  EXPECT_TRUE(lyrics_->IsParagraphBreak("."));
  EXPECT_FALSE(lyrics_->IsParagraphBreak("la"));
}

TEST_F(LyricControllerTest, EventsOfOneTickAreSungInTheReverseOfTheirTrackOrder) {
  // The compiler inserts each event in front of those at its tick. Written:
  // "a" "b" "c" (no notes for them: all at tick 0), "Hap" at 240, then,
  // inside a range mark, "," at the tick of the next word and "py" there.
  MetaEvents e;
  e.Lyric(0, "c").Lyric(0, "b").Lyric(0, "a").Lyric(240, "Hap").Lyric(360, "py").Lyric(360, ",");
  Load(e);
  EXPECT_EQ(Texts(), (Calls{"a", "b", "c", "Hap", ",", "py"}));
  EXPECT_EQ(lyrics_->GetTokenStart(1, 4), FakeSongEngine::TimeOf(240) + 120 * 5)
      << "the line ends where Hap does";
  // The sequencer reports each event of a tick, in track order.
  for (int tick : {0, 0, 0, 240, 360, 360}) lyrics_->MarkLyric(tick, 1);
  EXPECT_EQ(view_.Take(),
            (Calls{"Mark 0", "Unmark 0", "Mark 1", "Unmark 1", "Mark 2", "Unmark 2", "Mark 3", "Mark 5"}));
  lyrics_->SeekTick(300);
  EXPECT_EQ(view_.Take(), (Calls{"Unmark 3", "Unmark 5", "Seek 5"}));
}

TEST_F(LyricControllerTest, TheLowestTrackWithSyllablesIsShownAndMarked) {
  MetaEvents high;
  high.Lyric(0, "other");
  MetaEvents low;
  low.Lyric(0, "mine");
  buffer_->Clear();
  buffer_->AddLyrics(4, high.data(), high.size());
  buffer_->AddLyrics(2, low.data(), low.size());
  lyrics_->SetLyrics(buffer_->GetLyricData());
  EXPECT_EQ(Texts(), Calls{"mine"});
  view_.Take();
  lyrics_->MarkLyric(0, 4);
  EXPECT_EQ(view_.Take(), Calls{}) << "lyrics of another track are not ours";
  lyrics_->MarkLyric(0, 2);
  EXPECT_EQ(view_.Take(), Calls{"Mark 0"});
}

TEST_F(LyricControllerTest, TimesComeFromTheEngineAndDurationsStayInBounds) {
  MetaEvents e;
  e.Lyric(0, "held")         // next syllable at 240, but the phrase ends at 200
      .Lyric(240, "quick")   // next syllable 2 ticks later: 10 ms, raised to 50
      .Lyric(242, ",")       // the line end after "long", written before it
      .Lyric(242, "long")    // next syllable 1000 ticks later: 5000 ms, cut to 2000
      .Lyric(1242, "last");  // nothing after it
  MetaEvents markers;
  markers.Marker(200, "WDOF").Marker(242, "WDOF").Marker(100, "CLST");
  Load(e, markers);
  ASSERT_EQ(Texts(), (Calls{"held", "quick", "long", ",", "last"}));
  struct Expect {
    int start, duration;
  } expected[] = {
      {FakeSongEngine::TimeOf(0), 200 * 5},    {FakeSongEngine::TimeOf(240), 50},
      {FakeSongEngine::TimeOf(242), 2000},      // the "WDOF" on its own tick ends the phrase before it
      {FakeSongEngine::TimeOf(242) + 2000, 0},  // a break starts where its syllable ends
      {FakeSongEngine::TimeOf(1242), 2000},
  };
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(lyrics_->GetTokenStart(1, i), expected[i].start) << i;
    EXPECT_EQ(lyrics_->GetTokenDuration(1, i), expected[i].duration) << i;
  }
}

TEST_F(LyricControllerTest, MarksKeepOneMarkPerLineAndLeaveSungLinesLit) {
  Load(TwoLines());
  lyrics_->MarkLyric(0, 1);
  lyrics_->MarkLyric(120, 1);
  EXPECT_EQ(view_.Take(), (Calls{"Mark 0", "Unmark 0", "Mark 1"}));
  lyrics_->MarkLyric(120, 1);  // the line break's own event, same tick: nothing left to mark
  EXPECT_EQ(view_.Take(), Calls{});
  lyrics_->MarkLyric(240, 1);  // a new line: the last mark of the sung line stays
  lyrics_->MarkLyric(360, 1);
  lyrics_->MarkLyric(480, 1);
  EXPECT_EQ(view_.Take(), (Calls{"Mark 3", "Unmark 3", "Mark 4", "Mark 6"}));
  lyrics_->MarkLyric(0, 1);  // already sung, behind the current syllable
  EXPECT_EQ(view_.Take(), Calls{});
}

TEST_F(LyricControllerTest, SeekUnmarksAllAndMovesToTheFirstSyllableAtOrAfterTheTick) {
  Load(TwoLines());
  lyrics_->MarkLyric(0, 1);
  lyrics_->MarkLyric(120, 1);
  lyrics_->MarkLyric(240, 1);
  view_.Take();
  lyrics_->SeekTick(130);
  Calls calls = view_.Take();
  std::sort(calls.begin(), calls.end() - 1);
  EXPECT_EQ(calls, (Calls{"Unmark 1", "Unmark 3", "Seek 3"}));
  lyrics_->MarkLyric(240, 1);
  EXPECT_EQ(view_.Take(), Calls{"Mark 3"}) << "marking goes on from the new place";

  lyrics_->SeekTick(0);
  lyrics_->MarkLyric(0, 1);
  EXPECT_EQ(view_.Take(), (Calls{"Unmark 3", "Seek 0", "Mark 0"})) << "a jump back sings again";
  lyrics_->SeekTick(100000);
  EXPECT_EQ(view_.Take(), (Calls{"Unmark 0", "Seek 6"})) << "past the end stays on the last syllable";
}

TEST_F(LyricControllerTest, RewindAndCountInReachTheView) {
  Load(TwoLines());
  lyrics_->OnCountIn(1, 3);
  lyrics_->OnCountIn(1, 0);
  lyrics_->OnCountIn(2, 5);
  EXPECT_EQ(view_.Take(), (Calls{"CountIn 3", "CountIn 0"}));
  lyrics_->MarkLyric(0, 1);
  view_.Take();
  EXPECT_EQ(lyrics_->Rewind(1), 0);
  EXPECT_EQ(view_.Take(), (Calls{"Unmark 0", "CountIn 0", "Seek 0"}));
  EXPECT_EQ(lyrics_->Rewind(3), 1);
  EXPECT_EQ(view_.Take(), Calls{});
}

TEST_F(LyricControllerTest, SetLyricsLoadsTheViewsAndCloseEmptiesThem) {
  buffer_->Clear();
  MetaEvents e = TwoLines();
  buffer_->AddLyrics(1, e.data(), e.size());
  view_.Take();
  lyrics_->SetLyrics(buffer_->GetLyricData());
  EXPECT_EQ(view_.Take(), (Calls{"Source", "Load 7", "Jump 0"}));
  EXPECT_EQ(view_.loadedTexts, (Calls{"Twin", "kle", ",", "lit", "tle", ".", "star"}));
  EXPECT_EQ(lyrics_->Close(), 0);
  EXPECT_EQ(view_.Take(), (Calls{"CountIn 0", "Load 0"}));
  EXPECT_EQ(lyrics_->GetTokenCount(1), 0);
  lyrics_->MarkLyric(0, 1);
  EXPECT_EQ(view_.Take(), Calls{}) << "nothing to mark after Close";
}

TEST_F(LyricControllerTest, LyricsAreCopiedSoTheBufferCanBeRefilledWhileTheyShow) {
  Load(TwoLines());
  buffer_->Clear();
  MetaEvents next;
  next.Lyric(0, "next");
  buffer_->AddLyrics(1, next.data(), next.size());
  EXPECT_EQ(Texts(), (Calls{"Twin", "kle", ",", "lit", "tle", ".", "star"}));
  lyrics_->SetLyrics(nullptr);
  EXPECT_EQ(lyrics_->GetTokenCount(1), 0) << "null lyrics are no lyrics";
}

TEST_F(LyricControllerTest, AttachRegistersOnceAndDetachEndsAllCalls) {
  RecordingLyricView second;
  lyrics_->AttachView(1, &second);
  lyrics_->AttachView(1, &second);
  lyrics_->AttachView(2, &second);
  EXPECT_EQ(second.Take(), (Calls{"Source", "Load 0"}));
  Load(TwoLines());
  second.Take();
  lyrics_->MarkLyric(0, 1);
  EXPECT_EQ(second.Take(), Calls{"Mark 0"});
  lyrics_->DetachView(1, &second);
  lyrics_->MarkLyric(120, 1);
  lyrics_->SeekTick(0);
  lyrics_->OnCountIn(1, 2);
  lyrics_->Rewind(1);
  lyrics_->Close();
  EXPECT_EQ(second.Take(), Calls{});
  EXPECT_FALSE(view_.Take().empty()) << "the view still attached goes on";
}

TEST_F(LyricControllerTest, AViewAttachedWhileASongPlaysJoinsItWhereItStands) {
  Load(TwoLines());
  lyrics_->OnCountIn(1, 2);
  RecordingLyricView counting;
  lyrics_->AttachView(1, &counting);
  EXPECT_EQ(counting.Take(), (Calls{"Source", "Load 7", "Jump 0", "CountIn 2"}));
  lyrics_->DetachView(1, &counting);

  lyrics_->OnCountIn(1, 0);
  for (int tick : {0, 120, 240}) lyrics_->MarkLyric(tick, 1);
  RecordingLyricView late;
  lyrics_->AttachView(1, &late);
  EXPECT_EQ(late.Take(), (Calls{"Source", "Load 7", "Jump 3", "Mark 1", "Mark 3"}))
      << "the sung line stays lit and the line being sung is in sight";
  lyrics_->MarkLyric(360, 1);
  EXPECT_EQ(late.Take(), (Calls{"Unmark 3", "Mark 4"}));
  lyrics_->DetachView(1, &late);
}

TEST(LyricControllerRelease, ViewsStillAttachedLoseTheirSource) {
  RecordingLyricView view;
  ICantomereLyrics* lyrics = CreateCantomereInstance(1);
  lyrics->AttachView(1, &view);
  view.Take();
  lyrics->Release();
  EXPECT_EQ(view.Take(), Calls{"Source null"});
  EXPECT_EQ(view.source, nullptr);
}

}  // namespace
