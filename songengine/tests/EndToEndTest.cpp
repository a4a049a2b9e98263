// The whole song side with the real libraries: Tunewell.dll loaded by name
// as the player loads it, playing a generated song through Brevant into
// Voxgate's recorder (output muted), with Cantomere timing the lyrics for a
// recording lyric view and Score drawing the staff.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <cantomere/Cantomere.h>
#include <scrivel/Scrivel.h>
#include <tunewell/ISongEngine.h>
#include <voxgate/Voxgate.h>

#include "LyricFixtures.h"
#include "base/Library.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "testsupport/ClientCapture.h"
#include "testsupport/MessagePump.h"
#include "testsupport/RecordedNotes.h"

using testsupport::Bytes;
using testsupport::TrackBuilder;

namespace {

// @name The song: 240 BPM, two bars of accompaniment and drums before the
// melody's first syllable at tick 960 (2000 ms), so the count-in has room for
// two steps; a line break, a paragraph break and phrase-end markers.
const std::vector<int> kMelodyNotes = {60, 62, 64, 65, 67};
const std::vector<int> kBassNotes = {48, 52, 55, 48};
const std::vector<int> kDrumNotes = {36, 38, 36, 38, 36, 38, 36};
constexpr int kDrumKit = 25;

Bytes KaraokeSong() {
  TrackBuilder tempo;
  tempo.Tempo(0, 250000).TimeSig(0, 4, 2).KeySig(0, 0, 0).EndOfTrack();

  const char* syllables[] = {"la", "li", "lo", "lu", "le"};
  TrackBuilder melody;
  melody.Text(0, 0x03, "Melody").Event(0, {0xC0, 0});
  uint32_t delta = 960;
  for (int i = 0; i < 5; ++i) {
    melody.Text(delta, 0x05, syllables[i]);
    if (i == 1) melody.Text(0, 0x05, ",");
    if (i == 3) melody.Text(0, 0x05, ".");
    melody.Event(0, {0x90, static_cast<uint8_t>(kMelodyNotes[i]), 100})
        .Event(110, {0x80, static_cast<uint8_t>(kMelodyNotes[i]), 0});
    delta = 10;
  }
  melody.EndOfTrack();

  TrackBuilder bass;
  bass.Event(0, {0xC1, 48});
  delta = 0;
  for (int note : kBassNotes) {
    bass.Event(delta, {0x91, static_cast<uint8_t>(note), 90})
        .Event(400, {0x81, static_cast<uint8_t>(note), 0});
    delta = 80;
  }
  bass.EndOfTrack();

  TrackBuilder drums;
  drums.Event(0, {0xC9, kDrumKit});
  delta = 0;
  for (int note : kDrumNotes) {
    drums.Event(delta, {0x99, static_cast<uint8_t>(note), 110})
        .Event(60, {0x89, static_cast<uint8_t>(note), 0});
    delta = 180;
  }
  drums.EndOfTrack();

  TrackBuilder control;
  control.Meta(960, 0x80, {'C', 'L', 'S', 'T'})
      .Meta(350, 0x80, {'W', 'D', 'O', 'F'})
      .Meta(240, 0x80, {'W', 'D', 'O', 'F'})
      .EndOfTrack();

  return testsupport::Cat({testsupport::Header(1, 5, 120), tempo.Chunk(), melody.Chunk(), bass.Chunk(),
                           drums.Chunk(), control.Chunk("MCtl")});
}

struct Listener : ISongEngineListener {
  void OnPosition(int seconds) override { positions.push_back(seconds); }
  void OnBeat(int beat, int beatsPerBar, int extra) override { beats.push_back(beat); }
  void OnSongEnd(int code) override { ends.push_back(code); }
  std::vector<int> positions, beats, ends;
};

// The numbers a recording lyric view was told with one kind of call, in
// order: "Mark" gives the marked tokens, "CountIn" the count-in steps.
std::vector<int> Told(const RecordingLyricView& view, const std::string& call) {
  std::vector<int> numbers;
  const std::string prefix = call + " ";
  for (const std::string& line : view.calls) {
    if (line.compare(0, prefix.size(), prefix) == 0) numbers.push_back(std::stoi(line.substr(prefix.size())));
  }
  return numbers;
}

// A plain window that asks the engine to paint the score.
ISongEngine* g_paintingEngine = nullptr;
LRESULT CALLBACK ScoreWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT && g_paintingEngine) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    FillRect(dc, &ps.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    g_paintingEngine->DrawScore(dc);
    EndPaint(hwnd, &ps);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

using Capture = testsupport::ClientCapture;

int Count(const Capture& capture, bool (*match)(uint32_t)) {
  return static_cast<int>(std::count_if(capture.pixels.begin(), capture.pixels.end(), match));
}

Capture CaptureWindow(HWND hwnd) { return testsupport::CaptureClientFromWindow(hwnd); }

// A 24-bit BMP a person can look at.
void SaveBmp(const Capture& capture, const std::string& path) {
  const int rowSize = (capture.width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = capture.width;
  header.biHeight = capture.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biSizeImage = rowSize * capture.height;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + header.biSizeImage;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return;
  std::fwrite(&file, sizeof file, 1, out);
  std::fwrite(&header, sizeof header, 1, out);
  std::vector<uint8_t> row(rowSize, 0);
  for (int y = capture.height - 1; y >= 0; --y) {
    for (int x = 0; x < capture.width; ++x) {
      const uint32_t pixel = capture.pixels[y * capture.width + x];
      row[x * 3] = pixel & 0xFF;
      row[x * 3 + 1] = (pixel >> 8) & 0xFF;
      row[x * 3 + 2] = (pixel >> 16) & 0xFF;
    }
    std::fwrite(row.data(), rowSize, 1, out);
  }
  std::fclose(out);
}

bool IsHighlight(uint32_t pixel) {
  const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return r > 180 && g < 80 && b < 80;
}
bool IsInk(uint32_t pixel) { return (pixel & 0xFFFFFF) == 0; }

// Note-ons per channel of a MIDI file, with each channel's first program.
struct Recorded {
  std::map<int, std::vector<int>> notes;
  std::map<int, int> programs;
};

Recorded ReadRecording(const std::string& path) {
  Recorded result;
  for (const testsupport::RecordedMessage& m : testsupport::ReadRecordedMessages(path)) {
    const int kind = m.status & 0xF0, channel = m.status & 0x0F;
    if (kind == 0x90 && m.data2 > 0) result.notes[channel].push_back(m.data1);
    if (kind == 0xC0 && !result.programs.count(channel)) result.programs[channel] = m.data1;
  }
  return result;
}

// The channel on which the recording holds exactly these notes, -1 for none.
int ChannelPlaying(const Recorded& recorded, const std::vector<int>& notes) {
  for (const auto& entry : recorded.notes)
    if (entry.second == notes) return entry.first;
  return -1;
}

std::vector<HWND> g_found;
BOOL CALLBACK CollectMsgWnds(HWND hwnd, LPARAM) {
  char name[32] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (std::string(name) == "MsgWnd") g_found.push_back(hwnd);
  return TRUE;
}

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tunewell_.Load("Tunewell.dll"));
    auto create = tunewell_.Find<CreateTunewellInstanceFn>("CreateTunewellInstance");
    ASSERT_NE(nullptr, create);
    engine_ = create(1);
    ASSERT_NE(nullptr, engine_);
    ASSERT_TRUE(voxgate_.Load("Voxgate.dll"));
  }
  void TearDown() override {
    g_paintingEngine = nullptr;
    if (window_) DestroyWindow(window_);
    if (engine_) {
      if (engine_->GetPlayerState(0) == 0) engine_->Stop(0);
      if (ICantomereLyrics* lyrics = engine_->GetLyrics()) lyrics->DetachView(1, &lyricView_);
      engine_->DestroyScore();
      engine_->Release();
    }
    voxgate_.Free();
    tunewell_.Free();
  }

  base::Library tunewell_;
  base::Library voxgate_;
  ISongEngine* engine_ = nullptr;
  HWND window_ = nullptr;
  RecordingLyricView lyricView_;
  Listener listener_;
  testsupport::TempDir dir_;
};

TEST_F(EndToEndTest, ASongPlaysSingsAndShowsThroughTheRealLibraries) {
  // Bound as the player binds the engine.
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ScoreWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TunewellScoreTest";
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  RegisterClassA(&wc);
  window_ = CreateWindowExA(0, "TunewellScoreTest", "Score", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900, 420,
                            nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(nullptr, window_);
  engine_->Init(window_);
  ASSERT_EQ(0, engine_->CreateScore(nullptr));
  ASSERT_NE(nullptr, engine_->GetScoreFacet());
  engine_->GetScoreFacet()->SetScoreType(0);

  // The engine's message window belongs to Tunewell.dll, not to the program.
  g_found.clear();
  EnumThreadWindows(GetCurrentThreadId(), CollectMsgWnds, 0);
  ASSERT_EQ(1u, g_found.size());
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(tunewell_.Get()), GetWindowLongPtrA(g_found[0], GWLP_HINSTANCE));

  // Output through a dummy port, muted, into the recorder.
  auto createManager = voxgate_.Find<CreateVoxgateFn>(kCreateVoxgateName);
  auto createRecorder = voxgate_.Find<CreateRecordCtrlFn>(kCreateRecordCtrlName);
  ASSERT_TRUE(createManager && createRecorder);
  IChannelManager* manager = createManager(1);
  IMidiRecorder* recorder = createRecorder(1);
  ASSERT_TRUE(manager && recorder);
  HMIDIOUT dummyPort = reinterpret_cast<HMIDIOUT>(static_cast<INT_PTR>(0x7E57));
  manager->AddPort(dummyPort);
  recorder->SetMute(1);
  engine_->CloseMidiOut(false);

  ICantomereLyrics* lyrics = engine_->GetLyrics();
  ASSERT_NE(nullptr, lyrics);
  lyrics->AttachView(1, &lyricView_);

  const std::string songPath = dir_.File("karaoke.mid");
  ASSERT_TRUE(testsupport::WriteBytes(songPath, KaraokeSong()));
  ASSERT_EQ(0, engine_->Open(songPath.c_str()));
  engine_->SetListener(&listener_);
  const int melody[] = {1};
  ASSERT_EQ(0, engine_->SetTracks(melody, 1));
  EXPECT_EQ(4, engine_->GetBeatsPerBar());
  EXPECT_EQ(2000, engine_->GetTagTime(kTagClimaxStart));

  // Black notes on white, sounding notes red.
  CScoreViewPair* pair = engine_->CreateScoreViewPair();
  ASSERT_NE(nullptr, pair);
  pair->SetNoteColor(RGB(0, 0, 0), -1);
  pair->SetLineColor(RGB(0, 0, 0), -1);
  pair->SetClefColor(RGB(0, 0, 0), -1);
  pair->SetSignatureColor(RGB(0, 0, 0), -1);
  pair->SetHighlightNoteColor(RGB(255, 0, 0), -1);
  pair->Release();
  g_paintingEngine = engine_;
  engine_->SetScoreWindow(window_);
  RECT canvas;
  GetClientRect(window_, &canvas);
  engine_->SetScoreRect(&canvas);

  recorder->StartRecording();
  ASSERT_EQ(0, engine_->Play(0));
  // The melody starts at 2000 ms; catch its notes while they sound.
  Capture during;
  int mostRed = 0;
  const bool ended = testsupport::PumpUntil(
      [&] {
        if (!Told(lyricView_, "Mark").empty() && listener_.ends.empty()) {
          InvalidateRect(window_, nullptr, FALSE);
          UpdateWindow(window_);
          Capture now = CaptureWindow(window_);
          const int red = Count(now, IsHighlight);
          if (red > mostRed) {
            mostRed = red;
            during = now;
          }
        }
        return !listener_.ends.empty();
      },
      15000);
  engine_->Stop(0);
  recorder->StopRecording();
  const std::string recordingPath = dir_.File("recorded.mid");
  recorder->Save(recordingPath.c_str());
  manager->RemovePort(dummyPort);

  ASSERT_TRUE(ended) << "the end of the song never arrived";
  EXPECT_EQ(std::vector<int>{0}, listener_.ends);

  // Positions every second, from 0, up to the song's length (about 3.4 s).
  ASSERT_FALSE(listener_.positions.empty());
  EXPECT_EQ(0, listener_.positions.front());
  EXPECT_GE(listener_.positions.back(), 3);
  EXPECT_TRUE(std::is_sorted(listener_.positions.begin(), listener_.positions.end()));
  // A beat a quarter note, counted within the bar.
  EXPECT_GE(listener_.beats.size(), 12u);
  EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 0}),
            std::vector<int>(listener_.beats.begin(), listener_.beats.begin() + 5));

  // The count-in reached the lyric view through Cantomere: two steps, then go.
  const std::vector<int> countIns = Told(lyricView_, "CountIn");
  EXPECT_NE(countIns.end(), std::find(countIns.begin(), countIns.end(), 2));
  EXPECT_NE(countIns.end(), std::find(countIns.begin(), countIns.end(), 1));
  // Every syllable was marked as sung, in order.
  const std::vector<int> marked = Told(lyricView_, "Mark");
  ASSERT_GE(marked.size(), 5u);
  EXPECT_TRUE(std::is_sorted(marked.begin(), marked.end()));

  // The staff drew notes, and the sounding ones in the highlight colour.
  SaveBmp(during, "tunewell_e2e_score.bmp");
  EXPECT_GT(Count(during, IsInk), 500) << "no notation drawn";
  EXPECT_GT(mostRed, 10) << "no sounding note highlighted";

  // The recording holds every voice's notes in order, the drums on channel 9
  // with their kit.
  const Recorded recorded = ReadRecording(recordingPath);
  const int melodyChannel = ChannelPlaying(recorded, kMelodyNotes);
  const int bassChannel = ChannelPlaying(recorded, kBassNotes);
  EXPECT_NE(-1, melodyChannel);
  EXPECT_NE(-1, bassChannel);
  EXPECT_NE(melodyChannel, bassChannel);
  EXPECT_NE(9, melodyChannel);
  EXPECT_EQ(9, ChannelPlaying(recorded, kDrumNotes));
  ASSERT_TRUE(recorded.programs.count(9));
  EXPECT_EQ(kDrumKit, recorded.programs.at(9));
  if (bassChannel >= 0 && recorded.programs.count(bassChannel)) {
    EXPECT_EQ(48, recorded.programs.at(bassChannel));
  }
}

}  // namespace
