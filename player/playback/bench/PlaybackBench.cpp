// Speed figures of the playback core (run by tools/bench): preparing a 5 MB
// MP3 that carries a song, with the real song engine, up to where Play can
// start.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "playback/CMediaHelper.h"
#include "quillix/SongBlock.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "tunewell/ISongEngine.h"

namespace {

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return double(c.QuadPart) / double(f.QuadPart);
}

// A three-minute song: a note a beat at 120 BPM, a syllable on each.
testsupport::Bytes Song() {
  testsupport::TrackBuilder tempo;
  tempo.Tempo(0, 500000).TimeSig(0, 4, 2).EndOfTrack();
  testsupport::TrackBuilder melody;
  melody.Event(0, {0xC0, 0});
  for (int i = 0; i < 360; ++i)
    melody.Text(0, 0x05, "la")
        .Event(0, {0x90, uint8_t(60 + i % 12), 90})
        .Event(400, {0x80, uint8_t(60 + i % 12), 0});
  melody.EndOfTrack();
  return testsupport::Cat({testsupport::Header(1, 2, 480), tempo.Chunk(), melody.Chunk()});
}

}  // namespace

int main() {
  testsupport::TempDir dir;
  std::vector<uint8_t> audio;
  if (FILE* file = std::fopen("fmod_media\\long192.mp3", "rb")) {
    audio.resize(5 * 1024 * 1024);
    audio.resize(std::fread(audio.data(), 1, audio.size(), file));
    std::fclose(file);
  }
  if (audio.size() < 5 * 1024 * 1024) {
    std::printf("no 5 MB MP3 (fmod_media\\long192.mp3)\n");
    return 1;
  }
  int32_t offset = 250;
  std::vector<uint8_t> block = quillix::BuildSongBlock(
      {{quillix::kTagSong, Song()},
       {quillix::kTagOffset,
        std::vector<uint8_t>(reinterpret_cast<uint8_t*>(&offset), reinterpret_cast<uint8_t*>(&offset) + 4)},
       {quillix::kTagTitle, {'B', 'e', 'n', 'c', 'h'}}});
  audio.insert(audio.end(), block.begin(), block.end());
  std::string path = dir.File("bench.mp3");
  testsupport::WriteBytes(path, audio);

  HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  HMODULE tunewell = LoadLibraryA("Tunewell.dll");
  auto create =
      tunewell
          ? reinterpret_cast<CreateTunewellInstanceFn>(GetProcAddress(tunewell, "CreateTunewellInstance"))
          : nullptr;
  ISongEngine* engine = create ? create(1) : nullptr;
  if (!engine || engine->Init(window) != 0) {
    std::printf("no song engine\n");
    return 1;
  }
  std::vector<double> times;
  {
    CMediaHelper helper;
    helper.Init();
    helper.SetSongEngine(engine);
    helper.SetNotifyHwnd(window);
    for (int i = 0; i < 7; ++i) {
      double start = Now();
      int result = helper.PrepareMediaFile(path.c_str());
      times.push_back((Now() - start) * 1000);
      if (result != 0) std::printf("preparing failed\n");
    }
    if (helper.GetCurrentPlayer()) helper.GetCurrentPlayer()->Close();
    helper.SetSongEngine(nullptr);
  }
  std::sort(times.begin() + 1, times.end());
  std::printf(
      "Preparing a 5 MB MP3 carrying a 3-minute song, up to Play: first %.1f ms, median of the rest %.1f ms, "
      "worst %.1f ms (target < 100 ms)\n",
      times[0], times[3], times.back());
  engine->Release();
  FreeLibrary(tunewell);
  DestroyWindow(window);
  return 0;
}
