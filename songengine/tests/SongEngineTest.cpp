#include <climits>

#include <brevant/Brevant.h>
#include <cantomere/Cantomere.h>

#include "CModuleLoader.h"
#include "CSongEngine.h"
#include "EngineFixture.h"
#include "MidiOutApi.h"
#include "base/Handles.h"

using testsupport::Bytes;
using testsupport::TrackBuilder;

namespace {

class SongEngineTest : public EngineTest {
 protected:
  void TearDown() override {
    if (engine_) engine_->Release();
    EngineTest::TearDown();
  }
  CSongEngine* MakeEngine() {
    engine_ = static_cast<CSongEngine*>(CreateTunewellInstance(1));
    return engine_;
  }
  // An engine bound and holding a song, the log cleared.
  void OpenSong(const Bytes& song) {
    ASSERT_NE(nullptr, MakeEngine());
    engine_->Init(nullptr);
    ASSERT_EQ(0, engine_->Open(WriteSong("song.mid", song).c_str()));
    FakeLogClear();
  }

  CSongEngine* engine_ = nullptr;
};

TEST_F(SongEngineTest, TheFactoryKnowsOnlyVersionOne) {
  EXPECT_EQ(nullptr, CreateTunewellInstance(0));
  EXPECT_EQ(nullptr, CreateTunewellInstance(2));
  ISongEngine* engine = CreateTunewellInstance(1);
  ASSERT_NE(nullptr, engine);
  engine->Release();
}

TEST_F(SongEngineTest, InitBindsWindowCallbackLyricsAndTimerInThatOrder) {
  MakeEngine();
  EXPECT_EQ(0, engine_->Init(nullptr));
  ASSERT_NE(nullptr, engine_->MessageWindow());
  const int callback = CallIndex("Brevant.SetEventCallback(callback)");
  const int lyrics = CallIndex("Cantomere.SetEngine(engine)");
  const int timer = CallIndex("Brevant.AddTimer");
  EXPECT_LE(0, callback);
  EXPECT_LT(callback, lyrics);
  EXPECT_LT(lyrics, timer);
  EXPECT_EQ(1, AttachedTimers());
}

TEST_F(SongEngineTest, TheWindowIsThereBeforeTheFirstEventAndNeverMadeByOne) {
  MakeEngine();
  // Before Init an event has nowhere to go, and must not make a window on
  // the sequencer's thread.
  const PlayEvent position = {kPlayEventPosition, 1, 0, 0, 0, 0, 0};
  EXPECT_EQ(1, CSongEngine::OnPlayEvent(&position, engine_, 0));
  EXPECT_EQ(nullptr, engine_->MessageWindow());
  // An event the moment the callback is set is already delivered.
  FakeSet("brevant.reportOnBind", 1);
  engine_->Init(nullptr);
  EXPECT_EQ(1, CountCalls("Brevant.ReportedOnBind(0)"));
}

TEST_F(SongEngineTest, InitWithoutTheSequencerFailsQuietly) {
  FakeSet("brevant.nullPlayer", 1);
  MakeEngine();
  EXPECT_EQ(1, engine_->Init(nullptr));
  EXPECT_EQ(0, engine_->Play(0));
  EXPECT_EQ(1, engine_->GetPlayerState(0));
  EXPECT_EQ(-1, engine_->GetTagTime(kTagClimaxStart));
}

TEST_F(SongEngineTest, ReleaseWithoutInitClosesNothingAndUnloads) {
  MakeEngine();
  engine_->Release();
  engine_ = nullptr;
  EXPECT_EQ(0, CountCalls("Voxgate.RemovePort"));
  EXPECT_EQ(nullptr, GetModuleHandleA("Brevant.dll"));
}

TEST_F(SongEngineTest, TwoEnginesShareOnePlayerAndController) {
  MakeEngine();
  ISongEngine* second = CreateTunewellInstance(1);
  engine_->Init(nullptr);
  second->Init(nullptr);
  EXPECT_EQ(engine_->GetLyrics(), second->GetLyrics());
  EXPECT_EQ(1, CountCalls("CreateBrevant(1)"));
  EXPECT_EQ(1, CountCalls("CreateCantomereInstance(1)"));
  second->Release();
}

TEST_F(SongEngineTest, ReleasingOneOfTwoEnginesLeavesTheOtherItsLibrariesAndEvents) {
  OpenSong(MelodySong());
  ISongEngine* first = engine_;
  ISongEngine* second = MakeEngine();
  second->Init(nullptr);
  RecordingListener listener;
  second->SetListener(&listener);
  ASSERT_EQ(0, second->Open(WriteSong("second.mid", MelodySongWithMarkers()).c_str()));
  FakeLogClear();

  first->Release();
  // The survivor's song buffer and sequencer still run code of the library.
  EXPECT_NE(nullptr, GetModuleHandleA("Brevant.dll"));
  EXPECT_EQ(0, CountCalls("Brevant.Release"));
  EXPECT_EQ(0, CountCalls("Cantomere.Release"));
  // The sequencer reports to the engine bound last, which still hears it.
  EXPECT_EQ(0, CountCalls("Brevant.SetEventCallback(null)"));
  EXPECT_EQ(0, CountCalls("Brevant.SetOutput(null)"));
  EXPECT_EQ(0, CountCalls("Cantomere.SetEngine(null)"));
  EXPECT_EQ(0, FireEvent(PlayEvent{kPlayEventPosition, 7, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return !listener.heard.empty(); }, 2000));
  EXPECT_EQ((std::vector<std::string>{"Position(7)"}), listener.heard);
  EXPECT_NE(-1, second->GetTagTime(kTagClimaxStart));

  // The last engine takes everything apart as a lone one does.
  FakeLogClear();
  second->Release();
  engine_ = nullptr;
  EXPECT_EQ(1, CountCalls("Brevant.SetEventCallback(null)"));
  EXPECT_EQ(1, CountCalls("Brevant.Release"));
  EXPECT_EQ(nullptr, GetModuleHandleA("Brevant.dll"));
}

TEST_F(SongEngineTest, ReleasingTheEngineTheSequencerReportsToStopsAndDetachesIt) {
  MakeEngine();
  ISongEngine* survivor = engine_;
  CSongEngine* bound = MakeEngine();
  survivor->Init(nullptr);
  bound->Init(nullptr);
  FakeLogClear();
  bound->Release();
  engine_ = static_cast<CSongEngine*>(survivor);
  // Its callback and the lyric controller's engine would otherwise point at
  // a deleted engine.
  EXPECT_EQ(1, CountCalls("Cantomere.SetEngine(null)"));
  EXPECT_EQ(1, CountCalls("Brevant.Stop"));
  EXPECT_EQ(1, CountCalls("Brevant.SetEventCallback(null)"));
  EXPECT_LT(CallIndex("Brevant.Stop"), CallIndex("Brevant.SetEventCallback(null)"));
  EXPECT_EQ(0, CountCalls("Brevant.Release"));
  EXPECT_EQ(-1, FireEvent(PlayEvent{kPlayEventPosition, 7, 0, 0, 0, 0, 0}));
}

TEST_F(SongEngineTest, DestructionStopsTheSequencerBeforeTakingAnythingApart) {
  OpenSong(MelodySong());
  engine_->Release();
  engine_ = nullptr;
  const std::vector<std::string> expected = {"Brevant.Stop", "Brevant.SetEventCallback(null)",
                                             "Brevant.SetOutput(null)", "Brevant.RemoveTimer"};
  std::vector<std::string> brevant = CallsStartingWith("Brevant.");
  ASSERT_GE(brevant.size(), expected.size());
  EXPECT_EQ(expected, std::vector<std::string>(brevant.begin(), brevant.begin() + 4));
  // Per-song buffers go before their libraries do.
  EXPECT_LT(CallIndex("SongBuffer.Release"), CallIndex("Brevant.Release"));
  EXPECT_LT(CallIndex("LyricBuffer.Release"), CallIndex("Cantomere.Release"));
}

// A MIDI mapper that opens (or refuses), whatever the machine has.
class FakeMidiDevice {
 public:
  explicit FakeMidiDevice(bool opens = true) : saved_(MidiOut()) {
    MidiOut() = {opens ? &Open : &Refuse, &Close};
  }
  ~FakeMidiDevice() { MidiOut() = saved_; }

 private:
  static MMRESULT WINAPI Open(LPHMIDIOUT handle, UINT, DWORD_PTR, DWORD_PTR, DWORD) {
    FakeLog("midiOutOpen");
    *handle = reinterpret_cast<HMIDIOUT>(static_cast<INT_PTR>(0x4D1D));
    return MMSYSERR_NOERROR;
  }
  static MMRESULT WINAPI Refuse(LPHMIDIOUT, UINT, DWORD_PTR, DWORD_PTR, DWORD) { return MMSYSERR_NODRIVER; }
  static MMRESULT WINAPI Close(HMIDIOUT) {
    FakeLog("midiOutClose");
    return MMSYSERR_NOERROR;
  }
  MidiOutApi saved_;
};

TEST_F(SongEngineTest, CloseMidiOutLetsTheSequencerGoBeforeThePort) {
  FakeMidiDevice device;
  MakeEngine();
  engine_->Init(nullptr);
  EXPECT_EQ(1, CountCalls("Voxgate.AddPort"));
  FakeLogClear();
  FakeSet("brevant.setOutputResult", 7);
  EXPECT_EQ(7, engine_->CloseMidiOut(true));
  EXPECT_EQ((std::vector<std::string>{"Brevant.SetOutput(null)", "Voxgate.RemovePort", "midiOutClose"}),
            Calls());
  FakeLogClear();
  // Nothing left to close, yet the sequencer is still told.
  EXPECT_EQ(7, engine_->CloseMidiOut(true));
  EXPECT_EQ((std::vector<std::string>{"Brevant.SetOutput(null)"}), Calls());
  FakeLogClear();
  engine_->CloseMidiOut(false);
  EXPECT_EQ((std::vector<std::string>{"midiOutOpen", "Voxgate.AddPort", "Brevant.SetOutput(manager)"}),
            Calls());
  FakeLogClear();
  // Opening an open output does nothing more than hand over the manager.
  engine_->CloseMidiOut(false);
  EXPECT_EQ((std::vector<std::string>{"Brevant.SetOutput(manager)"}), Calls());
  FakeLogClear();
  engine_->Release();
  engine_ = nullptr;
  EXPECT_LT(CallIndex("Brevant.SetOutput(null)"), CallIndex("Voxgate.RemovePort"));
  EXPECT_LT(CallIndex("Voxgate.RemovePort"), CallIndex("midiOutClose"));
}

TEST_F(SongEngineTest, AMidiMapperThatWillNotOpenLeavesVoxgateUntold) {
  FakeMidiDevice device(false);
  MakeEngine();
  engine_->Init(nullptr);
  engine_->CloseMidiOut(false);
  EXPECT_EQ(0, CountCalls("Voxgate.AddPort"));
  // The sequencer still gets the manager; it plays to no port.
  EXPECT_EQ(1, CountCalls("Brevant.SetOutput(manager)"));
  FakeLogClear();
  engine_->CloseMidiOut(true);
  EXPECT_EQ((std::vector<std::string>{"Brevant.SetOutput(null)"}), Calls());
}

TEST_F(SongEngineTest, OpenStopsLoadsAndFeedsBothBuffers) {
  MakeEngine();
  engine_->Init(nullptr);
  FakeLogClear();
  ASSERT_EQ(0, engine_->Open(WriteSong("song.mid", MelodySong()).c_str()));
  EXPECT_EQ(0, CallIndex("Brevant.Stop"));
  EXPECT_EQ(1, CountCalls("SongBuffer.AddTrackEvents(1,7)"));
  EXPECT_EQ(1, CountCalls("SongBuffer.AddTrackEvents(2,3)"));
  EXPECT_EQ(1, CountCalls("SongBuffer.AddLyrics(1,3)"));
  EXPECT_EQ(0, CountCalls("SongBuffer.AddMarkers(3,1)"));
  EXPECT_EQ(1, CountCalls("Brevant.SetTempo(120)"));
  EXPECT_LT(CallIndex("Brevant.SetTempo(120)"), CallIndex("Brevant.SetSongBuffer(buffer)"));
  EXPECT_LT(CallIndex("LyricBuffer.AddLyrics(1,3)"), CallIndex("Cantomere.Close"));
  EXPECT_LT(CallIndex("Cantomere.Close"), CallIndex("Cantomere.SetLyrics(3)"));
}

TEST_F(SongEngineTest, OpenOfAMissingOrBrokenFileFails) {
  MakeEngine();
  engine_->Init(nullptr);
  EXPECT_EQ(1, engine_->Open(dir_.File("absent.mid").c_str()));
  EXPECT_EQ(1, engine_->Open(WriteSong("bad.mid", {'M', 'T', 'h', 'x'}).c_str()));
  EXPECT_EQ(1, engine_->Open(nullptr));
  EXPECT_EQ(0, CountCalls("Brevant.SetSongBuffer(buffer)"));
  EXPECT_EQ(0, engine_->GetBeatsPerBar());
}

TEST_F(SongEngineTest, BeatsPerBarComeFromTheFirstTimeSignature) {
  MakeEngine();
  EXPECT_EQ(0, engine_->GetBeatsPerBar());
  engine_->Init(nullptr);
  ASSERT_EQ(0, engine_->Open(WriteSong("waltz.mid", MelodySong(3, 2)).c_str()));
  EXPECT_EQ(3, engine_->GetBeatsPerBar());
}

TEST_F(SongEngineTest, TagTimeIsTheOffsetPlusTheMarkersTime) {
  OpenSong(MelodySongWithMarkers());
  FakeSet("buffer.msPerTick", 2);
  // The marker lies at tick 960 of a 480-per-quarter file: tick 240 here.
  EXPECT_EQ(480, engine_->GetTagTime(kTagClimaxStart));
  engine_->SetDelayTime(300);
  EXPECT_EQ(780, engine_->GetTagTime(kTagClimaxStart));
  EXPECT_EQ(-1, engine_->GetTagTime(SmfChunkId('N', 'O', 'N', 'E')));
  EXPECT_EQ(300 + 480 * 2, engine_->GetEventTime(480));
  EXPECT_EQ(-1, engine_->GetEventTime(-1));
}

TEST_F(SongEngineTest, ADelayOnTopOfTheLatestTimeDoesNotWrapIt) {
  OpenSong(MelodySongWithMarkers());
  // The sequencer caps a song time at the largest int; the marker at tick
  // 240 lies just below it.
  FakeSet("buffer.msPerTick", INT_MAX / 240);
  engine_->SetDelayTime(5000);
  EXPECT_EQ(INT_MAX, engine_->GetTagTime(kTagClimaxStart));
  EXPECT_EQ(INT_MAX, engine_->GetEventTime(240));
  engine_->SetDelayTime(-5000);
  EXPECT_EQ(240 * (INT_MAX / 240) - 5000, engine_->GetEventTime(240));
}

TEST_F(SongEngineTest, PlayWithoutLyricsHasNoCountInEvenWithADelay) {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).EndOfTrack();
  TrackBuilder notes;
  notes.Event(0, {0x90, 60, 100}).Event(120, {0x80, 60, 0}).EndOfTrack();
  OpenSong(testsupport::Cat({testsupport::Header(1, 2, 120), tempo.Chunk(), notes.Chunk()}));
  engine_->SetDelayTime(5000);
  EXPECT_EQ(0, engine_->Play(0));
  EXPECT_EQ(0u, engine_->CountIn().Step());
  EXPECT_EQ(0u, engine_->CountIn().Total());
  EXPECT_EQ(1, CountCalls("Brevant.Play"));
  TickClock(0);
  TickClock(6000);
  testsupport::PumpPending();
  EXPECT_TRUE(CallsStartingWith("Cantomere.OnCountIn").empty());
}

TEST_F(SongEngineTest, PlayCountsInTowardsTheFirstLyric) {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).EndOfTrack();
  TrackBuilder melody;
  melody.Text(250, 0x05, "la").Event(0, {0x90, 60, 100}).Event(120, {0x80, 60, 0}).EndOfTrack();
  OpenSong(testsupport::Cat({testsupport::Header(1, 2, 120), tempo.Chunk(), melody.Chunk()}));
  FakeSet("buffer.msPerTick", 10);
  engine_->Play(0);
  EXPECT_EQ(2500u, engine_->CountIn().Total());
  for (uint32_t now : {0u, 500u, 1000u, 1500u, 2500u, 3500u}) TickClock(now);
  testsupport::PumpPending();
  EXPECT_EQ((std::vector<std::string>{"Cantomere.OnCountIn(1,2)", "Cantomere.OnCountIn(1,1)",
                                      "Cantomere.OnCountIn(1,0)"}),
            CallsStartingWith("Cantomere.OnCountIn"));
}

TEST_F(SongEngineTest, ANegativeDelayBeforeTheFirstLyricGivesNoCountIn) {
  OpenSong(MelodySong());
  engine_->SetDelayTime(-2000);
  engine_->Play(0);
  EXPECT_EQ(0u, engine_->CountIn().Step());
  EXPECT_EQ(0u, engine_->CountIn().Total());
}

TEST_F(SongEngineTest, TransportCallsPassStraightThrough) {
  OpenSong(MelodySong());
  EXPECT_EQ(0, engine_->Seek(1234));
  EXPECT_EQ(0, engine_->SetDelayTime(-50));
  EXPECT_EQ(0, engine_->SyncTime(777));
  FakeSet("brevant.state", 0);
  EXPECT_EQ(0, engine_->GetPlayerState(0));
  EXPECT_EQ(
      (std::vector<std::string>{"Brevant.Seek(1234)", "Brevant.SetDelayTime(-50)", "Brevant.SyncTime(777)"}),
      Calls());
}

TEST_F(SongEngineTest, SyncTimeNeverLoadsTheSequencer) {
  MakeEngine();
  EXPECT_EQ(1, engine_->SyncTime(100));
  EXPECT_EQ(nullptr, GetModuleHandleA("Brevant.dll"));
}

TEST_F(SongEngineTest, CloseEmptiesEverythingButKeepsTheSelection) {
  OpenSong(MelodySong());
  engine_->CreateScore(nullptr);
  const int tracks[] = {1};
  engine_->SetTracks(tracks, 1);
  FakeSet("cantomere.closeResult", 5);
  FakeLogClear();
  EXPECT_EQ(5, engine_->Close());
  EXPECT_EQ((std::vector<std::string>{"ScoreBuffer.Clear", "Staff.Rebuild", "SongBuffer.Clear",
                                      "Brevant.CloseSong", "Cantomere.Close"}),
            Calls());
  // The numbered view, not shown, is emptied at its first use.
  FakeLogClear();
  engine_->Rewind();
  EXPECT_EQ(1, CountCalls("JianPu.Rebuild"));
  unsigned count = 0;
  engine_->GetTracks(nullptr, &count);
  EXPECT_EQ(1u, count);
  EXPECT_EQ(0, engine_->GetBeatsPerBar());
}

TEST_F(SongEngineTest, RewindResetsBothViewsAndTheLyrics) {
  OpenSong(MelodySong());
  engine_->CreateScore(nullptr);
  FakeLogClear();
  EXPECT_EQ(0, engine_->Rewind());
  EXPECT_EQ((std::vector<std::string>{"Staff.Rewind", "JianPu.Rewind", "Cantomere.Rewind(1)"}), Calls());
}

TEST_F(SongEngineTest, SetTracksMarksTheSelectionAndRefillsTheScore) {
  OpenSong(MelodySong());
  engine_->CreateScore(nullptr);
  FakeLogClear();
  const int tracks[] = {2, 1};
  EXPECT_EQ(0, engine_->SetTracks(tracks, 2));
  EXPECT_EQ((std::vector<std::string>{"Brevant.SetTrackFlags(2,2)", "Brevant.SetTrackFlags(1,2)"}),
            CallsStartingWith("Brevant.SetTrackFlags"));
  EXPECT_EQ(2u, CallsStartingWith("ScoreBuffer.AddTrackNotes").size());
  int out[4] = {};
  unsigned count = 1;
  engine_->GetTracks(out, &count);
  EXPECT_EQ(2, out[0]);
  EXPECT_EQ(0, out[1]);
  EXPECT_EQ(1, engine_->SetTracks(nullptr, 3));
  engine_->GetTracks(nullptr, &count);
  EXPECT_EQ(0u, count);
}

TEST_F(SongEngineTest, WithEveryOutsideLibraryMissingTheEngineStillAnswers) {
  LibrariesAside aside({"Brevant", "Cantomere", "Voxgate", "Score"});
  ASSERT_TRUE(aside.AllMoved());
  MakeEngine();
  EXPECT_EQ(1, engine_->Init(nullptr));
  EXPECT_EQ(0, engine_->CreateScore(nullptr));
  const std::string song = WriteSong("song.mid", MelodySong());
  // The song still loads; there is nothing to feed.
  EXPECT_EQ(0, engine_->Open(song.c_str()));
  const int tracks[] = {1};
  EXPECT_EQ(0, engine_->SetTracks(tracks, 1));
  EXPECT_EQ(4, engine_->GetBeatsPerBar());
  EXPECT_EQ(0, engine_->Play(0));
  EXPECT_EQ(0, engine_->Seek(10));
  EXPECT_EQ(0, engine_->Stop(0));
  EXPECT_EQ(1, engine_->SyncTime(10));
  EXPECT_EQ(1, engine_->GetPlayerState(0));
  EXPECT_EQ(-1, engine_->GetTagTime(kTagClimaxStart));
  EXPECT_EQ(-1, engine_->GetEventTime(0));
  EXPECT_EQ(1, engine_->DrawScore(nullptr));
  RECT rect = {0, 0, 100, 100};
  EXPECT_EQ(1, engine_->SetScoreRect(&rect));
  EXPECT_EQ(1, engine_->Rewind());
  EXPECT_EQ(1, engine_->CloseMidiOut(false));
  EXPECT_EQ(1, engine_->CloseMidiOut(true));
  EXPECT_EQ(nullptr, engine_->GetLyrics());
  EXPECT_EQ(1, engine_->GetTrackMixer()->SetTrackEnabled(1, false));
  ASSERT_EQ(0, engine_->GetSongInfo()->Open(song.c_str()));
  EXPECT_EQ(2, engine_->GetSongInfo()->GetTrackCount());
  EXPECT_EQ(0, engine_->GetSongInfo()->GetSongLength());
  CScoreViewPair* pair = engine_->CreateScoreViewPair();
  pair->SetNoteColor(0, -1);
  pair->Release();
  EXPECT_EQ(1, engine_->Close());
  engine_->DestroyScore();
  engine_->Release();
  engine_ = nullptr;
  EXPECT_TRUE(Calls().empty());
}

TEST_F(SongEngineTest, FacetsAreMadeOnceAndOutliveTheScore) {
  MakeEngine();
  CScoreFacet* facet = engine_->GetScoreFacet();
  ASSERT_NE(nullptr, facet);
  EXPECT_EQ(facet, engine_->GetScoreFacet());
  EXPECT_EQ(engine_->GetSongInfo(), engine_->GetSongInfo());
  EXPECT_NE(nullptr, engine_->GetSongInfo());
  EXPECT_EQ(engine_->GetTrackMixer(), engine_->GetTrackMixer());
  engine_->CreateScore(nullptr);
  EXPECT_EQ(0, facet->SetScoreType(1));
  EXPECT_EQ(1, facet->GetScoreType());
  engine_->DestroyScore();
  // The facet answers for a missing score instead of reaching a freed one.
  EXPECT_EQ(0, facet->GetScoreType());
  EXPECT_EQ(-1, facet->GetLastMeasure());
  EXPECT_EQ(1, engine_->DrawScore(nullptr));
  EXPECT_EQ(nullptr, engine_->SetScoreWindow(nullptr));
}

TEST_F(SongEngineTest, TheLyricControllerIsTheLoadersAndNullWhenMissing) {
  MakeEngine();
  EXPECT_EQ(ModuleLoader().GetCantomere(), engine_->GetLyrics());
  ModuleLoader().Unload();
  LibrariesAside aside({"Cantomere"});
  ASSERT_TRUE(aside.AllMoved());
  EXPECT_EQ(nullptr, engine_->GetLyrics());
  EXPECT_EQ(1, engine_->Rewind());
}

}  // namespace

// @name Song information of the song the engine opened

namespace {

// Songs of one size that tell apart by the melody's name and last tick.
Bytes NamedSong(const std::string& name, uint8_t lastDelta) {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).EndOfTrack();
  TrackBuilder melody;
  melody.Text(0, 0x03, name).Event(0, {0x90, 60, 90}).Event(lastDelta, {0x80, 60, 0}).EndOfTrack();
  Bytes song = testsupport::Header(1, 2, 120);
  for (const Bytes& chunk : {tempo.Chunk(), melody.Chunk()})
    song.insert(song.end(), chunk.begin(), chunk.end());
  return song;
}

FILETIME WrittenAt(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

void SetWritten(const std::string& path, FILETIME time) {
  base::ScopedHandle file(
      CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &time));
}

FILETIME Later(FILETIME time) {
  ULARGE_INTEGER t{{time.dwLowDateTime, time.dwHighDateTime}};
  t.QuadPart += 36000000000ULL;  // an hour
  return {t.LowPart, t.HighPart};
}

}  // namespace

// The engine opens "Old" (last tick 100); before the song information is
// asked, the file or the path may change. Songs of equal size let a file
// rewritten under its old time show which copy was answered from.
TEST_F(SongEngineTest, SongInformationReusesTheEngineSongOnlyForTheSameUnchangedFile) {
  struct Case {
    const char* what;
    bool rewrite;        // "New" (last tick 120) written over the file, its old time kept
    bool later;          // the file's time moved on
    bool otherPath;      // asked for a copy of "New" in another file, at the same time
    bool otherSpelling;  // asked through another spelling of the same path
    const char* name;
    int length;
  };
  const Case cases[] = {
      {"the same file", false, false, false, false, "Old", 100},
      {"the same file, spelt otherwise", false, false, false, true, "Old", 100},
      {"rewritten, time kept", true, false, false, false, "Old", 100},
      {"rewritten, time moved on", true, true, false, false, "New", 120},
      {"touched only", false, true, false, false, "Old", 100},
      {"another path", false, false, true, false, "New", 120},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testsupport::TempDir dir;
    const std::string path = dir.File("Song.mid");
    ASSERT_TRUE(testsupport::WriteBytes(path, NamedSong("Old", 100)));
    ASSERT_NE(nullptr, MakeEngine());
    engine_->Init(nullptr);
    ASSERT_EQ(0, engine_->Open(path.c_str()));
    const FILETIME opened = WrittenAt(path);
    std::string asked = path;
    if (c.rewrite) {
      ASSERT_TRUE(testsupport::WriteBytes(path, NamedSong("New", 120)));
    }
    if (c.rewrite || c.later) SetWritten(path, c.later ? Later(opened) : opened);
    if (c.otherPath) {
      asked = dir.File("Other.mid");
      ASSERT_TRUE(testsupport::WriteBytes(asked, NamedSong("New", 120)));
      SetWritten(asked, opened);
    }
    if (c.otherSpelling) {
      // Upper case, through the folder's own "." entry.
      const size_t slash = asked.find_last_of('\\');
      asked = asked.substr(0, slash) + "\\.\\SONG.MID";
    }
    FakeLogClear();
    CSongInfo* info = engine_->GetSongInfo();
    ASSERT_EQ(0, info->Open(asked.c_str()));
    EXPECT_STREQ(c.name, info->GetTrackName(1));
    EXPECT_EQ(1, info->GetTrackCount());
    EXPECT_EQ(c.length, info->GetSongLength());
    // A reused song is neither read nor fed into a buffer again: its length
    // is the engine's buffer's.
    const bool reused = std::string(c.name) == "Old" && !c.later;
    EXPECT_EQ(reused ? 0u : 1u, CallsStartingWith("SongBuffer.AddTrackEvents(1,").size());
    engine_->Release();
    engine_ = nullptr;
  }
}

TEST_F(SongEngineTest, ASharedSongStaysTheSongInformationsWhenTheEngineMovesOn) {
  ASSERT_NE(nullptr, MakeEngine());
  engine_->Init(nullptr);
  const std::string first = WriteSong("first.mid", NamedSong("First", 100));
  const std::string second = WriteSong("second.mid", NamedSong("Second", 120));
  ASSERT_EQ(0, engine_->Open(first.c_str()));
  CSongInfo* info = engine_->GetSongInfo();
  ASSERT_EQ(0, info->Open(first.c_str()));
  // The engine goes on to another song, and closes it, before the length is asked.
  ASSERT_EQ(0, engine_->Open(second.c_str()));
  engine_->Close();
  EXPECT_STREQ("First", info->GetTrackName(1));
  EXPECT_EQ(100, info->GetSongLength());
  // Once the engine has closed its song, the same path is read anew.
  ASSERT_EQ(0, info->Open(second.c_str()));
  EXPECT_STREQ("Second", info->GetTrackName(1));
  EXPECT_EQ(120, info->GetSongLength());
  // A file that no longer loads fails although the engine read it before.
  ASSERT_EQ(0, engine_->Open(first.c_str()));
  ASSERT_TRUE(testsupport::WriteBytes(first, Bytes{'M', 'T', 'h', 'd'}));
  EXPECT_EQ(1, info->Open(first.c_str()));
  EXPECT_EQ(0, info->GetTrackCount());
  // The song information outlives the engine's song data at the engine's end.
  ASSERT_EQ(0, info->Open(second.c_str()));
  engine_->Release();
  engine_ = nullptr;
}
