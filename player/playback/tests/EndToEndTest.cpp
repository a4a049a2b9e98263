// Whole runs through the real libraries: the sound library set up before
// main on its silent output (the test's environment says so), the real song
// engine bound to a hidden window, the media-file helper preparing an MP3,
// an MP3 carrying a song made by pack.exe, and a MIDI file, each played to
// its end while the window collects what the helper posts.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "playback/CMediaHelper.h"
#include "testsupport/MessagePump.h"
#include "testsupport/Pack.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "tunewell/ISongEngine.h"
#include "voxgate/Voxgate.h"

namespace {

using testsupport::Bytes;
using testsupport::RunPack;
using testsupport::TrackBuilder;

struct Posted {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
std::vector<Posted> g_posted;

LRESULT CALLBACK CollectProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_PLAYER_POSITION && message <= WM_PLAYER_BEATS_PER_BAR) {
    g_posted.push_back(Posted{message, wParam, lParam});
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

int Count(UINT message) {
  return int(
      std::count_if(g_posted.begin(), g_posted.end(), [&](const Posted& p) { return p.message == message; }));
}

// Plays the current player until the end arrives (or the time runs out).
bool PlayToEnd(CMediaHelper& helper, DWORD timeoutMs) {
  if (!helper.GetCurrentPlayer() || helper.GetCurrentPlayer()->Play() != 0) return false;
  testsupport::PumpUntil([] { return Count(WM_PLAYER_END) > 0; }, timeoutMs);
  testsupport::PumpFor(100);
  return Count(WM_PLAYER_END) > 0;
}

// The positions posted while the audio played. Ticks go on after the end at
// 0, and the mixer's first such tick may be posted before the stream's
// thread posts the end.
std::vector<int> Positions() {
  std::vector<int> out;
  for (const Posted& p : g_posted) {
    if (p.message == WM_PLAYER_END) break;
    if (p.message != WM_PLAYER_POSITION) continue;
    if (p.lParam == 0 && !out.empty() && out.back() > 0) break;
    out.push_back(int(p.lParam));
  }
  return out;
}

// A song in 3/4 at 240 BPM with a syllable on each note, 2.5 s long.
Bytes WaltzSong() {
  TrackBuilder tempo;
  tempo.Tempo(0, 250000).TimeSig(0, 3, 2).EndOfTrack();
  TrackBuilder melody;
  melody.Text(0, 0x03, "Melody").Event(0, {0xC0, 0});
  const char* syllables[] = {"la", "li", "lo", "lu", "le", "la", "li", "lo", "lu", "le"};
  for (int i = 0; i < 10; ++i)
    melody.Text(0, 0x05, syllables[i])
        .Event(0, {0x90, uint8_t(60 + i), 100})
        .Event(120, {0x80, uint8_t(60 + i), 0});
  melody.EndOfTrack();
  return testsupport::Cat({testsupport::Header(1, 2, 120), tempo.Chunk(), melody.Chunk()});
}

bool CopyMedia(const char* name, const std::string& to) {
  return CopyFileA((std::string("fmod_media\\") + name).c_str(), to.c_str(), FALSE) != FALSE;
}

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    g_posted.clear();
    GetEnvironmentVariableA("TMP", oldTmp_, sizeof oldTmp_);
    SetEnvironmentVariableA("TMP", tmp_.Path().c_str());
    SetEnvironmentVariableA("TEMP", tmp_.Path().c_str());
    WNDCLASSA wc{};
    wc.lpfnWndProc = CollectProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PlaybackEndToEnd";
    RegisterClassA(&wc);
    window_ = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                              wc.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    tunewell_ = LoadLibraryA("Tunewell.dll");
    ASSERT_NE(tunewell_, nullptr);
    auto create =
        reinterpret_cast<CreateTunewellInstanceFn>(GetProcAddress(tunewell_, "CreateTunewellInstance"));
    ASSERT_NE(create, nullptr);
    engine_ = create(1);
    ASSERT_NE(engine_, nullptr);
    ASSERT_EQ(engine_->Init(window_), 0);
    ASSERT_TRUE(helper_.Init());
    helper_.SetSongEngine(engine_);
    helper_.SetNotifyHwnd(window_);
  }
  void TearDown() override {
    if (helper_.GetCurrentPlayer()) helper_.GetCurrentPlayer()->Close();
    helper_.SetSongEngine(nullptr);
    if (engine_) engine_->Release();
    if (tunewell_) FreeLibrary(tunewell_);
    if (window_) DestroyWindow(window_);
    SetEnvironmentVariableA("TMP", oldTmp_);
    SetEnvironmentVariableA("TEMP", oldTmp_);
  }
  int TempSongFiles() {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((tmp_.Path() + "\\EXT*.tmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    FindClose(find);
    return 1;
  }

  testsupport::TempDir tmp_, files_;
  char oldTmp_[MAX_PATH] = {};
  HWND window_ = nullptr;
  HMODULE tunewell_ = nullptr;
  ISongEngine* engine_ = nullptr;
  CMediaHelper helper_;
};

TEST_F(EndToEnd, AnMp3PlaysAloneToItsEnd) {
  std::string mp3 = files_.File("plain.mp3");
  ASSERT_TRUE(CopyMedia("tone.mp3", mp3));
  ASSERT_EQ(helper_.PrepareMediaFile(mp3.c_str()), 0);
  testsupport::PumpFor(50);  // the posted messages arrive
  EXPECT_EQ(Count(WM_PLAYER_BEATS_PER_BAR), 0);
  ASSERT_TRUE(PlayToEnd(helper_, 10000));
  std::vector<int> positions = Positions();
  ASSERT_GE(positions.size(), 10u);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_GE(positions.back(), 2500);
  EXPECT_EQ(Count(WM_PLAYER_END), 1);
  EXPECT_EQ(helper_.GetDurationSeconds(mp3.c_str()), 3);
}

TEST_F(EndToEnd, AnMp3CarryingASongPlaysBothInStep) {
  std::string source = files_.File("song.mp3");
  ASSERT_TRUE(CopyMedia("tone.mp3", source));
  ASSERT_TRUE(testsupport::WriteBytes(files_.File("song.mid"), WaltzSong()));
  std::string ini = "[SETTING]\nOffSetTime = 100\nSongTitle = Waltz\nSinger = Someone\n";
  ASSERT_TRUE(testsupport::WriteBytes(files_.File("song.ini"), Bytes(ini.begin(), ini.end())));
  CreateDirectoryA(files_.File("out").c_str(), nullptr);
  ASSERT_EQ(RunPack(source + " " + files_.File("out")), 0);
  std::string packed = files_.File("out\\song.mp3");

  ASSERT_EQ(helper_.PrepareMediaFile(packed.c_str()), 0);
  testsupport::PumpFor(50);  // the posted messages arrive
  ASSERT_EQ(Count(WM_PLAYER_BEATS_PER_BAR), 1);
  EXPECT_EQ(g_posted[0].lParam, 3) << "the carried song's beats per bar";
  EXPECT_EQ(TempSongFiles(), 0) << "the song's temporary file is gone";
  ASSERT_NE(helper_.GetSongTitle(), nullptr);
  EXPECT_STREQ(helper_.GetSongTitle(), "Waltz");
  EXPECT_STREQ(helper_.GetSinger(), "Someone");
  EXPECT_EQ(helper_.GetDurationSeconds(packed.c_str()), 3) << "the block is not sound";
  ASSERT_TRUE(PlayToEnd(helper_, 10000));
  std::vector<int> positions = Positions();
  ASSERT_GE(positions.size(), 10u);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_GE(Count(WM_PLAYER_BEAT), 3) << "the song's beats";
  EXPECT_EQ(Count(WM_PLAYER_END), 1);
}

TEST_F(EndToEnd, AMidiFilePlaysThroughTheSongEngine) {
  HMODULE voxgate = LoadLibraryA("Voxgate.dll");
  ASSERT_NE(voxgate, nullptr);
  auto createManager = reinterpret_cast<CreateVoxgateFn>(GetProcAddress(voxgate, kCreateVoxgateName));
  auto createRecorder = reinterpret_cast<CreateRecordCtrlFn>(GetProcAddress(voxgate, kCreateRecordCtrlName));
  ASSERT_TRUE(createManager && createRecorder);
  IChannelManager* manager = createManager(1);
  IMidiRecorder* recorder = createRecorder(1);
  HMIDIOUT dummyPort = reinterpret_cast<HMIDIOUT>(static_cast<INT_PTR>(0x7E57));
  manager->AddPort(dummyPort);
  recorder->SetMute(1);

  std::string mid = files_.File("waltz.mid");
  ASSERT_TRUE(testsupport::WriteBytes(mid, WaltzSong()));
  ASSERT_EQ(helper_.PrepareMediaFile(mid.c_str()), 0);
  testsupport::PumpFor(50);  // the posted messages arrive
  ASSERT_GE(Count(WM_PLAYER_BEATS_PER_BAR), 1);
  EXPECT_EQ(g_posted[0].lParam, 0) << "posted before the song opens";
  recorder->StartRecording();
  ASSERT_TRUE(PlayToEnd(helper_, 15000));
  recorder->StopRecording();
  std::string recording = files_.File("recorded.mid");
  recorder->Save(recording.c_str());
  manager->RemovePort(dummyPort);
  EXPECT_GE(Count(WM_PLAYER_BEAT), 3);
  EXPECT_EQ(Count(WM_PLAYER_END), 1);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExA(recording.c_str(), GetFileExInfoStandard, &data));
  EXPECT_GT(data.nFileSizeLow, 40u) << "the song's notes reached the MIDI output";
  FreeLibrary(voxgate);
}

}  // namespace
