// The FMOD stream, the audio-file player, the song-engine player and the
// synchronised player, on the sound library's manual clock and a fake engine.
#include <thread>

#include "FakeSongEngine.h"
#include "PlaybackTestUtil.h"
#include "playback/CAudioFilePlayer.h"
#include "playback/CFmodStream.h"
#include "playback/CPlayerProxy.h"
#include "playback/CSyncPlayer.h"

namespace playbacktest {
namespace {

using Stream = ManualClock;

TEST_F(Stream, EventsFollowTheStreamsLifeAndTicksCountBlocksForTheWholeProgram) {
  testsupport::TempDir dir;
  std::string path = ToneWav(dir, "one.wav", 1000);
  CFmodStream* a = CFmodStream::Create();
  CFmodStream* b = CFmodStream::Create();
  ASSERT_EQ(a->Init(), 0);
  ASSERT_EQ(b->Init(), 0);
  EventLog logA, logB;
  a->AddListener(&logA);
  b->AddListener(&logB);
  // One counter for the program counts every unit's calls: two units make
  // a tick every five and a half blocks between them.
  MelFmod_MixBlocks(22);
  EXPECT_EQ(logA.ticks.size() + logB.ticks.size(), 4u);
  EXPECT_EQ(logA.ticks, logA.times) << "a tick and a time, same value";

  ASSERT_EQ(a->Open(path.c_str()), 0);
  EXPECT_EQ(a->GetDuration(), 1000);
  ASSERT_EQ(a->Seek(0), 0);
  ASSERT_EQ(a->Pause(), 0);
  ASSERT_EQ(a->Resume(), 0);
  ASSERT_EQ(a->Seek(0), 0) << "already playing: keeps playing";
  ASSERT_EQ(a->Stop(), 0);
  EXPECT_EQ(logA.events, (std::vector<int>{0, 1, 3, 1, 1, 3}));
  // The end: one event 5, position back to 0.
  logA.events.clear();
  ASSERT_EQ(a->Seek(900), 0);
  MelFmod_MixBlocks(11);
  EXPECT_EQ(logA.events, (std::vector<int>{1, 5}));
  EXPECT_EQ(a->GetPosition(), 0);
  ASSERT_EQ(a->Close(), 0);
  EXPECT_EQ(logA.events.back(), 2);
  a->Release();
  b->Release();
}

TEST_F(Stream, AFailedOpenIsAFailureAndAnotherOpenReplacesTheSource) {
  testsupport::TempDir dir;
  std::string path = ToneWav(dir, "one.wav", 1000);
  WriteBytes(dir.File("bad.mp3"), std::vector<uint8_t>(5000, 0x42));
  CFmodStream* stream = CFmodStream::Create();
  stream->Init();
  EventLog log;
  stream->AddListener(&log);
  EXPECT_EQ(stream->Open(dir.File("bad.mp3").c_str()), 1);
  EXPECT_EQ(stream->Open(dir.File("missing.mp3").c_str()), 1);
  MelFmod_FailNextOpen();
  EXPECT_EQ(stream->Open(path.c_str()), 1) << "a non-blocking open that ends in failure";
  EXPECT_TRUE(log.events.empty()) << "no 'loaded' for a failure";
  ASSERT_EQ(stream->Open(path.c_str()), 0);
  ASSERT_EQ(stream->Seek(0), 0);
  MelFmod_MixBlocks(5);
  // Opening over a playing source lets it go: only the new one sounds.
  ASSERT_EQ(stream->Open(path.c_str()), 0);
  MelFmod_SetCapture(1);
  MelFmod_MixBlocks(2);
  int16_t frame[2] = {1, 1};
  MelFmod_ReadCapture(100, frame, 1);
  EXPECT_EQ(frame[0], 0) << "the old channel still sounds";
  stream->Release();  // closes the open source
}

TEST_F(Stream, ResumeWithoutAChannelStartsAndVolumeIsTruncated) {
  testsupport::TempDir dir;
  testsupport::WavSpec spec;
  std::vector<uint8_t> level;
  for (int i = 0; i < 4410; ++i) testsupport::PutLe(level, 0x63CC63CCu, 4);  // 25548 both sides
  WriteBytes(dir.File("level.wav"), testsupport::WavFile(spec, level));
  CFmodStream* stream = CFmodStream::Create();
  stream->Init();
  EventLog log;
  stream->AddListener(&log);
  ASSERT_EQ(stream->Open(dir.File("level.wav").c_str()), 0);
  stream->SetVolume(127.9);
  // Paused before it ever played: Play (as Resume) must start it.
  stream->Pause();
  ASSERT_EQ(stream->Resume(), 0);
  EXPECT_EQ(log.events.back(), 1);
  MelFmod_SetCapture(1);
  MelFmod_MixBlocks(1);
  int16_t frame[2];
  ASSERT_EQ(MelFmod_ReadCapture(10, frame, 1), 1);
  EXPECT_NEAR(frame[0], 25548 * 127 / 255, 1);
  stream->Close();
  stream->Release();
}

using AudioPlayer = ManualClock;

TEST_F(AudioPlayer, PendingSeekPauseAndTheOwnersReports) {
  testsupport::TempDir dir;
  std::string path = ToneWav(dir, "two.wav", 2000);
  CAudioFilePlayer* player = CAudioFilePlayer::Create();
  ASSERT_NE(player, nullptr);
  NotifyLog notify;
  player->SetListener(&notify);
  ASSERT_EQ(player->Open(path.c_str()), 0);
  EXPECT_EQ(player->GetLength(), 2000);
  // Seek only records; Play starts there.
  player->Seek(1500);
  MelFmod_MixBlocks(3);
  EXPECT_EQ(player->GetPosition(), 0);
  ASSERT_EQ(player->Play(), 0);
  MelFmod_MixBlocks(10);
  EXPECT_EQ(player->GetPosition(), 1600);
  // A pause drops a pending seek: Play resumes where it paused.
  player->Pause();
  player->Seek(100);
  player->Pause();
  ASSERT_EQ(player->Play(), 0);
  MelFmod_MixBlocks(1);
  EXPECT_EQ(player->GetPosition(), 1610);
  MelFmod_MixBlocks(60);
  EXPECT_EQ(notify.ends, 1);
  ASSERT_FALSE(notify.positions.empty());
  EXPECT_EQ(player->GetPosition(), 0);
  // Stop clears everything: Play starts at 0.
  player->Seek(700);
  player->Stop();
  player->Play();
  MelFmod_MixBlocks(2);
  EXPECT_EQ(player->GetPosition(), 20);
  // Without an owner, reports are dropped.
  player->SetListener(nullptr);
  MelFmod_MixBlocks(30);
  player->Close();
  player->Release();
}

IWMAudioPlayer* NoStream() { return nullptr; }

TEST_F(AudioPlayer, CreateFailsWithoutAStream) {
  CAudioFilePlayer::SetStreamFactory(NoStream);
  EXPECT_EQ(CAudioFilePlayer::Create(), nullptr);
  CAudioFilePlayer::SetStreamFactory(nullptr);
  CAudioFilePlayer* player = CAudioFilePlayer::Create();
  EXPECT_NE(player, nullptr);
  player->Release();
}

TEST(SongPlayer, ForwardsToTheEngineAndDoesNothingWithoutOne) {
  testsupport::TempDir dir;
  WriteBytes(dir.File("s.mid"), {'M', 'T', 'h', 'd'});
  CPlayerProxy* player = CPlayerProxy::Create();
  // No engine: nothing crashes, Open fails, lengths are 0.
  EXPECT_EQ(player->Open(dir.File("s.mid").c_str()), 1);
  EXPECT_EQ(player->Play(), 0);
  player->Stop();
  player->Pause();
  player->Seek(5);
  player->MuteSong();
  player->SetDelayTime(5);
  player->SetEngineListener(nullptr);
  EXPECT_EQ(player->GetDurationMs(dir.File("s.mid").c_str()), 0);
  EXPECT_EQ(player->Close(), 0);

  FakeSongEngine engine;
  engine.songLengthMs = 61500;
  player->SetSongEngine(&engine);
  NotifyLog notify;
  player->SetListener(&notify);
  ASSERT_EQ(player->Open(dir.File("s.mid").c_str()), 0);
  EXPECT_EQ(engine.listener, static_cast<ISongEngineListener*>(player));
  player->Play();
  player->Pause();
  player->Stop();
  player->MuteSong();
  EXPECT_EQ(engine.Calls(), (std::vector<std::string>{"Open", "SetListener", "SetTracks:1", "Play", "Stop",
                                                      "Stop", "Seek:0", "SetTrackEnabled:1:1"}));
  EXPECT_EQ(player->GetPosition(), 0);
  engine.listener->OnPosition(12);
  EXPECT_EQ(player->GetPosition(), 12000);
  engine.listener->OnBeat(3, 4, 7);
  engine.listener->OnSongEnd(1);
  EXPECT_EQ(notify.ends, 0) << "only a natural end is passed on";
  engine.listener->OnSongEnd(0);
  EXPECT_EQ(notify.ends, 1);
  EXPECT_EQ(notify.positions, (std::vector<int>{12000}));
  EXPECT_EQ(notify.beats, (std::vector<std::vector<int>>{{3, 4, 7}}));
  EXPECT_EQ(player->GetDurationMs(dir.File("s.mid").c_str()), 61500);
  engine.openResult = 1;
  engine.ClearCalls();
  EXPECT_EQ(player->Open(dir.File("s.mid").c_str()), 1);
  EXPECT_EQ(engine.Calls(), (std::vector<std::string>{"Open"})) << "no listener, no tracks after a failure";
  player->Release();
  EXPECT_EQ(engine.listener, nullptr);
}

using SyncPlayer = ManualClock;

TEST_F(SyncPlayer, TheSongFollowsTheAudio) {
  testsupport::TempDir dir;
  std::string audioPath = ToneWav(dir, "a.wav", 1000);
  WriteBytes(dir.File("s.mid"), {'M', 'T', 'h', 'd'});
  FakeSongEngine engine;
  CAudioFilePlayer* audio = CAudioFilePlayer::Create();
  CPlayerProxy* song = CPlayerProxy::Create();
  song->SetSongEngine(&engine);
  CSyncPlayer* sync = CSyncPlayer::Create();
  sync->SetAudioPlayer(audio);
  sync->SetMidiPlayer(song);
  sync->SetSongEngine(&engine);
  NotifyLog notify;
  sync->SetListener(&notify);
  ASSERT_TRUE(sync->OpenSong(dir.File("s.mid").c_str()));
  ASSERT_EQ(sync->Open(audioPath.c_str()), 0);
  EXPECT_EQ(engine.listener, static_cast<ISongEngineListener*>(sync));
  engine.ClearCalls();

  ASSERT_EQ(sync->Play(), 0);
  EXPECT_EQ(engine.Count("Play"), 1) << "the audio's 'playing' started the song";
  MelFmod_MixBlocks(33);
  // Every eleventh block: the song's clock and the owner's position alike.
  EXPECT_EQ(engine.syncs, 3);
  ASSERT_EQ(notify.positions.size(), 3u);
  EXPECT_EQ(notify.positions[1] - notify.positions[0], 110);
  EXPECT_EQ(notify.positions[2] - notify.positions[1], 110);
  EXPECT_EQ(engine.lastSync, notify.positions[2]);
  EXPECT_LE(notify.positions[2], 330);
  engine.listener->OnBeat(1, 3, 0);
  engine.listener->OnSongEnd(0);
  engine.listener->OnPosition(9);
  EXPECT_EQ(notify.beats.size(), 1u);
  EXPECT_EQ(notify.ends, 0) << "the song's end is not the end";

  // Pause, Seek, Play: the audio starts at the new place, the song once.
  sync->Pause();
  sync->Seek(500);
  engine.ClearCalls();
  sync->Play();
  EXPECT_EQ(engine.Count("Play"), 1);
  MelFmod_MixBlocks(1);
  EXPECT_EQ(sync->GetPosition(), 510);
  // Pause then Play: the song hears Play twice (documented).
  sync->Pause();
  engine.ClearCalls();
  sync->Play();
  EXPECT_EQ(engine.Count("Play"), 2);

  MelFmod_MixBlocks(60);
  EXPECT_EQ(notify.ends, 1) << "the audio's end ends the song";
  engine.ClearCalls();
  sync->Stop();
  EXPECT_EQ(engine.Calls(), (std::vector<std::string>{"Stop", "Seek:0"}))
      << "the song stops, the audio was done";
  sync->Close();
  EXPECT_EQ(engine.listener, nullptr);
  sync->Release();
  audio->Release();
  song->Release();
}

}  // namespace
}  // namespace playbacktest
