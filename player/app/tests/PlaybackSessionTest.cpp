// The playback session without a window: a fake player records what it is
// asked, a small play list over real files stands for the play-list control,
// and a recording engine shows what a stop asks of the notation.
#include "app/CPlaybackSession.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingEngine.h"
#include "fmod.h"
#include "playback/CAudioLengthWorker.h"
#include "testsupport/SilentPipe.h"
#include "testsupport/WavBuilder.h"
#include "ui/PlayerMessages.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"

namespace {

struct FakePlayer final : IMediaPlayer {
  explicit FakePlayer(std::vector<std::string>* log) : log(log) {}
  void Release() override { delete this; }
  int Open(const char* path) override {
    log->push_back(std::string("open ") + path);
    return std::string(path).find("bad") != std::string::npos ? 1 : 0;
  }
  int Close() override { return 0; }
  int Play() override { return Note("play"); }
  int Stop() override { return Note("stop"); }
  int Pause() override { return Note("pause"); }
  int Seek(int ms) override { return Note("seek " + std::to_string(ms)); }
  int IsSeekable() override { return 1; }
  int GetTitle(char**) override { return 0; }
  int GetAuthor(char**) override { return 0; }
  int GetComposer(char**) override { return 0; }
  int GetLyrics(char**) override { return 0; }
  int GetAlbumTitle(char**) override { return 0; }
  int GetAlbumArtist(char**) override { return 0; }
  void SetVolume(double volume) override { Note("volume " + std::to_string(static_cast<int>(volume))); }
  int GetPosition() override { return 0; }
  int Note(const std::string& what) {
    log->push_back(what);
    return 0;
  }
  std::vector<std::string>* log;
};

// Rows of paths; selecting one asks the sink to play or open it, as the
// play-list control does.
class FakePlayList : public IPlayListModel {
 public:
  void AddEntry(const char* path, int) override { paths.push_back(path); }
  void RemoveSelected() override {}
  int GetCount() override { return static_cast<int>(paths.size()); }
  PlayListItemData* GetEntry(int) override { return nullptr; }
  int GetCurrentIndex() override { return current; }
  int GetSelectedIndex() override { return current; }
  int GetNextIndex() override {
    if (paths.empty()) return -1;
    if (current + 1 < GetCount()) return current + 1;
    return mode == kLoop ? 0 : -1;
  }
  int GetPrevIndex() override {
    if (paths.empty()) return -1;
    if (current > 0) return current - 1;
    return mode == kLoop ? GetCount() - 1 : -1;
  }
  int FindPath(const char* path) override {
    for (int row = 0; row < GetCount(); ++row)
      if (paths[row] == path) return row;
    return -1;
  }
  int GetIndexToPlay() override { return singleLoop ? current : GetNextIndex(); }
  bool SelectEntry(int row, int play) override {
    if (row < 0 || row >= GetCount()) return false;
    current = row;
    if (play)
      sink->Play(paths[row].c_str());
    else
      sink->Open(paths[row].c_str());
    return true;
  }
  void SetPlayMode(int value) override { mode = value; }
  int GetPlayMode() override { return mode; }
  void SetSingleLoop(int flag) override { singleLoop = flag; }
  int GetSingleLoop() override { return singleLoop; }
  void SetSink(IPlayListSink* value) override { sink = value; }
  std::string GetEntryPath(int row) override { return row >= 0 && row < GetCount() ? paths[row] : ""; }
  void SetCurrentIndex(int row) override { current = row; }

  std::vector<std::string> paths;
  int current = -1;
  int mode = kOrdinal;
  int singleLoop = 0;
  IPlayListSink* sink = nullptr;
};

class PlaybackSessionTest : public ::testing::Test, public IPlaybackView, public IPlayListSink {
 protected:
  void SetUp() override {
    CPlaybackSession::SetPlayerFactory(
        [this](const std::string&, ISongEngine*) -> IMediaPlayer* { return new FakePlayer(&log); });
    list.SetSink(this);
    for (const char* name : {"a.mid", "b.mid", "c.mid"}) {
      const std::string path = dir.File(name);
      testsupport::WriteBytes(path, testsupport::Bytes{'M', 'T', 'h', 'd'});
      list.AddEntry(path.c_str(), 1);
    }
  }
  void TearDown() override { CPlaybackSession::SetPlayerFactory(nullptr); }

  // IPlaybackView
  void OnFileClosed() override { reports.push_back("closed"); }
  void OnFileOpened(int) override { reports.push_back("opened"); }
  void OnStarted() override { reports.push_back("started"); }
  void OnPaused() override { reports.push_back("paused"); }
  void OnStopped() override { reports.push_back("stopped"); }
  // IPlayListSink: the window's answers
  void Play(const char* path) override { session.Play(path); }
  void Open(const char* path) override { session.Open(path); }
  void ForgetPath(const char* path) override { session.Forget(path); }

  std::string Path(int row) { return list.paths[row]; }
  std::string State() {
    return session.IsPlaying()   ? "playing"
           : session.IsPaused()  ? "paused"
           : session.IsStopped() ? "stopped"
                                 : "?";
  }

  testsupport::TempDir dir;
  std::vector<std::string> log, reports;
  RecordingEngine engine;
  FakePlayList list;
  CPlaybackSession session{this, [this] { return &engine; }, [this] { return &list; }};
};

TEST_F(PlaybackSessionTest, TheStateFollowsPlayPauseAndStop) {
  ASSERT_TRUE(session.Play(Path(0)));
  EXPECT_EQ("playing", State());
  EXPECT_EQ((std::vector<std::string>{"open " + Path(0), "volume 255", "play"}), log);
  session.Pause();
  EXPECT_EQ("paused", State());
  // A paused song resumes where it is: no second open.
  log.clear();
  ASSERT_TRUE(session.Play(Path(0)));
  EXPECT_EQ((std::vector<std::string>{"volume 255", "play"}), log);
  session.Stop();
  EXPECT_EQ("stopped", State());
  EXPECT_EQ(1, engine.rewinds);
  // Stopped stays stopped; Pause does nothing then either.
  reports.clear();
  session.Stop();
  session.Pause();
  EXPECT_TRUE(reports.empty());
  EXPECT_EQ(1, engine.rewinds);
  // A failed open leaves nothing current.
  EXPECT_FALSE(session.Play(dir.File("bad.mid")));
  EXPECT_EQ("", session.GetCurrentPath());
  EXPECT_EQ(nullptr, session.GetPlayer());
  EXPECT_EQ("stopped", State());
}

TEST_F(PlaybackSessionTest, MovingOnlySeeksUnlessPlaying) {
  struct Case {
    const char* what;
    void (*prepare)(CPlaybackSession&, const std::string&);
    std::vector<std::string> calls;
    const char* state;
  } cases[] = {
      {"stopped", [](CPlaybackSession& s, const std::string&) { s.Stop(); }, {"seek 4000"}, "stopped"},
      {"paused",
       [](CPlaybackSession& s, const std::string& p) { s.Play(p), s.Pause(); },
       {"seek 4000"},
       "paused"},
      {"playing",
       [](CPlaybackSession& s, const std::string& p) { s.Play(p); },
       {"seek 4000", "play"},
       "playing"},
  };
  ASSERT_TRUE(session.Open(Path(0)));
  for (const Case& c : cases) {
    c.prepare(session, Path(0));
    log.clear();
    session.MoveTo(4000);
    EXPECT_EQ(c.calls, log) << c.what;
    EXPECT_EQ(c.state, State()) << c.what;
  }
}

TEST_F(PlaybackSessionTest, NextOpensWhenStoppedAndPlaysOtherwise) {
  list.SelectEntry(0, 0);
  ASSERT_EQ(Path(0), session.GetCurrentPath());
  EXPECT_TRUE(session.PlayNext());
  EXPECT_EQ(Path(1), session.GetCurrentPath());
  EXPECT_EQ("stopped", State());
  session.Play(Path(1));
  session.Pause();
  EXPECT_TRUE(session.PlayNext());
  EXPECT_EQ(Path(2), session.GetCurrentPath());
  EXPECT_EQ("playing", State());
  EXPECT_FALSE(session.PlayNext()) << "the ordinal order ends after the last entry";
  // An entry whose file went is skipped on the way.
  ::DeleteFileA(Path(1).c_str());
  EXPECT_TRUE(session.PlayPrevious());
  EXPECT_EQ(Path(0), session.GetCurrentPath());
}

TEST_F(PlaybackSessionTest, TheEndOfASongPlaysTheNextOrStops) {
  list.SelectEntry(2, 1);
  ASSERT_EQ("playing", State());
  session.OnSongEnd();
  EXPECT_EQ("stopped", State()) << "ordinal order, last entry";
  list.SetPlayMode(IPlayListModel::kLoop);
  list.SelectEntry(2, 1);
  session.OnSongEnd();
  EXPECT_EQ(Path(0), session.GetCurrentPath());
  EXPECT_EQ("playing", State());
  // An end reported after a stop belongs to the song the user left.
  session.Stop();
  log.clear();
  session.OnSongEnd();
  EXPECT_TRUE(log.empty());
  // The current entry removed: the session forgets it and stops.
  session.Play(Path(0));
  session.Forget(Path(0));
  EXPECT_EQ("", session.GetCurrentPath());
  EXPECT_EQ("stopped", State());
}

// Audio files measured off the caller's thread, with the sound library
// running in real time as in the player.
class SessionLengths : public PlaybackSessionTest {
 protected:
  void SetUp() override {
    PlaybackSessionTest::SetUp();
    CPlaybackSession::SetPlayerFactory(nullptr);
    SetEnvironmentVariableA("MELODARA_AUDIO", "silent");
    MelFmod_SetManualClock(0);
    ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
    window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    session.SetNotifyWindow(window);
  }
  void TearDown() override {
    session.ReleasePlayers();
    if (window) DestroyWindow(window);
    FSOUND_Close();
    PlaybackSessionTest::TearDown();
  }
  std::string Tone(const char* name, double seconds) {
    testsupport::WavSpec spec;
    spec.channels = 1;
    spec.rate = 22050;
    const auto samples = testsupport::Sine(440, 0.3, spec.rate, size_t(seconds * spec.rate), spec.channels);
    const std::string path = dir.File(name);
    return testsupport::WriteBytes(path, testsupport::WavFile(spec, testsupport::WavSamples(spec, samples)))
               ? path
               : "";
  }
  // The results posted to the window, in order, once count are in or the
  // deadline passed.
  std::vector<std::unique_ptr<AudioLengthResult>> Results(size_t count, DWORD timeoutMs) {
    std::vector<std::unique_ptr<AudioLengthResult>> results;
    const DWORD start = GetTickCount();
    while (results.size() < count && GetTickCount() - start < timeoutMs) {
      MSG msg;
      if (PeekMessageA(&msg, window, WM_PLAYER_AUDIO_LENGTH, WM_PLAYER_AUDIO_LENGTH, PM_REMOVE)) {
        results.push_back(TakeAudioLength(msg.lParam));
      } else {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
      }
    }
    return results;
  }

  HWND window = nullptr;
};

TEST_F(SessionLengths, AReaderThatNeverAnswersHoldsNoCallerAndEachPathIsAnsweredOnce) {
  testsupport::SilentPipe silent(".wma");
  ASSERT_TRUE(silent.Made());
  const std::string tone = Tone("tone.wav", 1.5);
  ASSERT_FALSE(tone.empty());
  EXPECT_FALSE(session.MeasureLater(Path(0))) << "a song's length comes from the engine at once";
  const DWORD start = GetTickCount();
  EXPECT_TRUE(session.MeasureLater(silent.Path()));
  EXPECT_TRUE(session.MeasureLater(tone));
  EXPECT_TRUE(session.MeasureLater(tone)) << "the entry went and came back";
  EXPECT_LT(GetTickCount() - start, 1000u) << "the caller waited for the reader";

  const auto results = Results(3, 15000);
  ASSERT_EQ(3u, results.size());
  EXPECT_EQ(silent.Path(), results[0]->path);
  EXPECT_EQ(0, results[0]->seconds) << "a reader that never answers is given up";
  EXPECT_TRUE(session.TakeMeasuredLength(*results[0]));
  EXPECT_FALSE(session.TakeMeasuredLength(*results[0])) << "answered twice";
  for (int i : {1, 2}) {
    EXPECT_EQ(tone, results[i]->path) << i;
    EXPECT_EQ(2, results[i]->seconds) << i;
  }
  EXPECT_FALSE(session.TakeMeasuredLength(*results[1])) << "the earlier request's answer is stale";
  EXPECT_TRUE(session.TakeMeasuredLength(*results[2]));
}

TEST_F(SessionLengths, AMeasurementStillRunningHoldsUpNoEndAndPostsNothingAfter) {
  testsupport::SilentPipe silent(".wma");
  ASSERT_TRUE(silent.Made());
  const std::string tone = Tone("tone.wav", 0.5);
  auto other = std::make_unique<CPlaybackSession>(this, nullptr, nullptr);
  other->SetNotifyWindow(window);
  ASSERT_TRUE(other->MeasureLater(silent.Path()));
  ASSERT_TRUE(other->MeasureLater(tone));
  Sleep(100);  // the worker is inside the silent file's open
  const DWORD start = GetTickCount();
  other.reset();
  EXPECT_LT(GetTickCount() - start, 1000u) << "the end waited for the measurement";
  // Past the measuring bound the worker has given the reader up.
  EXPECT_TRUE(Results(1, 3500).empty()) << "a result came for a session that is gone";
}

}  // namespace
