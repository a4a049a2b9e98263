#include <brevant/Brevant.h>
#include <cantomere/Cantomere.h>

#include "CModuleLoader.h"
#include "CSongData.h"
#include "EngineFixture.h"

using testsupport::TrackBuilder;

namespace {

class SongDataTest : public EngineTest {
 protected:
  void TearDown() override {
    data_.reset();
    EngineTest::TearDown();
  }
  void Load(const testsupport::Bytes& song) {
    data_.reset(new CSongData);
    ASSERT_EQ(0, data_->Load(WriteSong("song.mid", song)));
    FakeLogClear();
  }
  std::unique_ptr<CSongData> data_;
};

TEST(DrumKitProgramTest, KitsMapToTheirPlaceAfterTheProgramsAndOthersToTheStandardKit) {
  struct Row {
    int program, expected;
  } rows[] = {{0, 128}, {8, 129}, {25, 132}, {56, 136}, {1, 128}, {127, 128}, {-5, 128}};
  for (const Row& row : rows) EXPECT_EQ(row.expected, DrumKitProgram(row.program)) << row.program;
}

TEST_F(SongDataTest, TrackListKeepsOrderAndCapacity) {
  Load(MelodySong());
  const int tracks[] = {2, 1, 2};
  EXPECT_EQ(0, data_->SetTrackList(tracks, 3));
  unsigned count = 0;
  data_->GetTracks(nullptr, &count);
  EXPECT_EQ(3u, count);
  int out[3] = {-1, -1, -1};
  count = 2;
  data_->GetTracks(out, &count);
  EXPECT_EQ(2u, count);
  EXPECT_EQ((std::vector<int>{2, 1, -1}), std::vector<int>(out, out + 3));
  EXPECT_EQ(1, data_->SetTrackList(nullptr, 2));
  data_->GetTracks(nullptr, &count);
  EXPECT_EQ(0u, count);
}

TEST_F(SongDataTest, SelectedTracksGetTheirInstrumentsAndDrumKits) {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).EndOfTrack();
  TrackBuilder piano;
  piano.Event(0, {0xC0, 13}).Event(0, {0x90, 60, 90}).Event(120, {0x80, 60, 0}).EndOfTrack();
  TrackBuilder drums;
  drums.Event(0, {0xC9, 25}).Event(0, {0x99, 36, 90}).Event(120, {0x89, 36, 0}).EndOfTrack();
  Load(testsupport::Cat({testsupport::Header(1, 3, 120), tempo.Chunk(), piano.Chunk(), drums.Chunk()}));
  const int tracks[] = {1, 2};
  data_->SetTrackList(tracks, 2);
  ASSERT_EQ(2u, data_->Selection().size());
  EXPECT_EQ(13, data_->Selection()[0].instrument);
  EXPECT_EQ(132, data_->Selection()[1].instrument);
}

TEST_F(SongDataTest, NoteListsEndWithAMarkerAndATrackWithoutNotesHasNone) {
  Load(SongWithoutNotes());
  int measures = 0;
  const NotePair* notes = nullptr;
  unsigned count = 0;
  data_->GetTrackNotes(&measures, &notes, &count, 1);
  ASSERT_NE(nullptr, notes);
  ASSERT_EQ(2u, count);
  EXPECT_EQ(0x503291, notes[0].message);
  EXPECT_EQ(0, notes[0].tick);
  EXPECT_EQ(240, notes[1].tick);
  EXPECT_EQ(-1, notes[2].message);
  EXPECT_EQ(-1, notes[2].tick);
  EXPECT_GE(measures, 1);
  data_->GetTrackNotes(&measures, &notes, &count, 2);
  EXPECT_EQ(nullptr, notes);
  EXPECT_EQ(2u, count) << "the previous list's count stays";
}

TEST_F(SongDataTest, SongsWithoutMarkersOrLyricsStillHandTheLyricsOver) {
  Load(SongWithoutNotes());
  data_->FeedPlayer(ModuleLoader().GetBrevant());
  data_->FeedLyrics(ModuleLoader().GetCantomere());
  EXPECT_TRUE(CallsStartingWith("SongBuffer.AddMarkers").empty());
  EXPECT_TRUE(CallsStartingWith("LyricBuffer.AddMarkers").empty());
  EXPECT_TRUE(CallsStartingWith("LyricBuffer.AddLyrics").empty());
  EXPECT_EQ(1, CountCalls("Cantomere.SetLyrics(0)"));
  EXPECT_EQ(-1, data_->GetFirstLyricIndex());
}

// Meta events of types without a filter bit (a port, a program name) pass
// the song's type masks; the sequencer and the lyric controller must not get
// them as lyrics or markers.
TEST_F(SongDataTest, OnlyLyricAndMarkerEventsAreFedAsSuch) {
  const testsupport::Bytes song = MelodySong();
  TrackBuilder accompaniment;
  accompaniment.Meta(0, 0x21, {0x00}).Text(0, 0x08, "Strings").Event(0, {0x92, 48, 90}).EndOfTrack();
  TrackBuilder control;
  control.Meta(0, 0x21, {0x01}).Meta(960, 0x80, {'C', 'L', 'S', 'T'}).EndOfTrack();
  const testsupport::Bytes body(song.begin() + 14, song.end());
  Load(
      testsupport::Cat({testsupport::Header(1, 5, 480), body, accompaniment.Chunk(), control.Chunk("MCtl")}));
  data_->FeedPlayer(ModuleLoader().GetBrevant());
  data_->FeedLyrics(ModuleLoader().GetCantomere());
  EXPECT_EQ((std::vector<std::string>{"SongBuffer.AddLyrics(1,3)"}),
            CallsStartingWith("SongBuffer.AddLyrics"));
  EXPECT_EQ((std::vector<std::string>{"LyricBuffer.AddLyrics(1,3)"}),
            CallsStartingWith("LyricBuffer.AddLyrics"));
  EXPECT_EQ((std::vector<std::string>{"SongBuffer.AddMarkers(4,1)"}),
            CallsStartingWith("SongBuffer.AddMarkers"));
  EXPECT_EQ((std::vector<std::string>{"LyricBuffer.AddMarkers(4,1)"}),
            CallsStartingWith("LyricBuffer.AddMarkers"));
}

TEST_F(SongDataTest, MarkersComeOnlyFromControlTracks) {
  Load(MelodySongWithMarkers());
  data_->FeedPlayer(ModuleLoader().GetBrevant());
  data_->FeedLyrics(ModuleLoader().GetCantomere());
  EXPECT_EQ((std::vector<std::string>{"SongBuffer.AddMarkers(3,1)"}),
            CallsStartingWith("SongBuffer.AddMarkers"));
  EXPECT_EQ((std::vector<std::string>{"LyricBuffer.AddMarkers(3,1)"}),
            CallsStartingWith("LyricBuffer.AddMarkers"));
}

TEST_F(SongDataTest, BuffersAreMadeOnceAndFilledAgainPerSong) {
  Load(MelodySong());
  for (int i = 0; i < 2; ++i) {
    data_->FeedPlayer(ModuleLoader().GetBrevant());
    data_->FeedLyrics(ModuleLoader().GetCantomere());
  }
  EXPECT_EQ(1, CountCalls("CreateSongBuffer(1)"));
  EXPECT_EQ(1, CountCalls("CreateLyricBufferInstance(1)"));
  EXPECT_EQ(2, CountCalls("SongBuffer.Clear"));
  EXPECT_EQ(2, CountCalls("Brevant.SetSongBuffer(buffer)"));
}

// Feeding both at once asks the song for markers and lyrics once; the
// sequencer, the controller and each buffer must see the very calls that
// feeding them one after the other makes.
TEST_F(SongDataTest, FeedingBothAtOnceMakesTheCallsOfFeedingEachInTurn) {
  struct Row {
    const char* what;
    testsupport::Bytes song;
  } rows[] = {
      {"no notes, no lyrics", SongWithoutNotes()},
      {"a melody with lyrics", MelodySong()},
      {"markers on a control track", MelodySongWithMarkers()},
  };
  auto callsOf = [](const std::string& prefix) { return CallsStartingWith(prefix); };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Load(row.song);
    data_->FeedPlayer(ModuleLoader().GetBrevant());
    data_->FeedLyrics(ModuleLoader().GetCantomere());
    const std::vector<std::string> prefixes = {"Brevant.", "SongBuffer.", "LyricBuffer.", "Cantomere."};
    std::vector<std::vector<std::string>> inTurn;
    for (const std::string& prefix : prefixes) inTurn.push_back(callsOf(prefix));
    EXPECT_FALSE(inTurn[1].empty());
    const int firstLyric = data_->GetFirstLyricIndex();
    Load(row.song);
    data_->Feed(ModuleLoader().GetBrevant(), ModuleLoader().GetCantomere());
    for (size_t i = 0; i < prefixes.size(); ++i) EXPECT_EQ(inTurn[i], callsOf(prefixes[i])) << prefixes[i];
    EXPECT_EQ(firstLyric, data_->GetFirstLyricIndex());
  }
}

TEST_F(SongDataTest, FeedingBothWithoutASequencerStillHandsTheLyricsOver) {
  Load(MelodySong());
  data_->FeedLyrics(ModuleLoader().GetCantomere());
  const std::vector<std::string> alone = CallsStartingWith("Cantomere.");
  ASSERT_FALSE(alone.empty());
  Load(MelodySong());
  data_->Feed(nullptr, ModuleLoader().GetCantomere());
  EXPECT_EQ(alone, CallsStartingWith("Cantomere."));
  EXPECT_TRUE(CallsStartingWith("SongBuffer.").empty());
}

TEST_F(SongDataTest, AnImpossibleTempoReachesTheSequencerAsOneItCanPlay) {
  // 0 microseconds per quarter: an infinite tempo.
  TrackBuilder tempo;
  tempo.Tempo(0, 0).EndOfTrack();
  TrackBuilder notes;
  notes.Event(0, {0x90, 60, 100}).Event(120, {0x80, 60, 0}).EndOfTrack();
  Load(testsupport::Cat({testsupport::Header(1, 2, 120), tempo.Chunk(), notes.Chunk()}));
  data_->FeedPlayer(ModuleLoader().GetBrevant());
  std::vector<std::string> tempos = CallsStartingWith("Brevant.SetTempo");
  ASSERT_EQ(1u, tempos.size());
  const int bpm = std::stoi(tempos[0].substr(std::string("Brevant.SetTempo(").size()));
  EXPECT_GE(bpm, 1);
  EXPECT_LE(bpm, 1000);
}

TEST_F(SongDataTest, WithoutTheOutsideLibrariesFeedingDoesNothing) {
  Load(MelodySong());
  LibrariesAside aside({"Brevant", "Cantomere"});
  ASSERT_TRUE(aside.AllMoved());
  data_->FeedPlayer(ModuleLoader().GetBrevant());
  data_->FeedLyrics(ModuleLoader().GetCantomere());
  data_->Feed(ModuleLoader().GetBrevant(), ModuleLoader().GetCantomere());
  EXPECT_EQ(-1, data_->GetFirstLyricIndex());
  EXPECT_EQ(nullptr, data_->GetSongBuffer());
  EXPECT_TRUE(Calls().empty());
}

}  // namespace
