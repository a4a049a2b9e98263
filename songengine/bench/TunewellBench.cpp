// Times what the player does when a MIDI song is chosen: ISongEngine::Open
// (load through Scrivel, feed Brevant's song buffer and Cantomere's lyric
// buffer) followed by SetTracks (score buffer filled, both views rebuilt), on
// a generated song of more than 1 MB, through the real libraries.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <tunewell/ISongEngine.h>

#include "testsupport/BigSong.h"

namespace {

double Ms(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return (to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  const std::string path = std::string(temp) + "tunewell_bench_song.mid";
  const testsupport::Bytes song = testsupport::BigSong();
  if (!testsupport::WriteBytes(path, song)) {
    std::printf("cannot write %s\n", path.c_str());
    return 1;
  }

  HMODULE library = LoadLibraryA(kTunewellLibrary);
  auto create =
      library
          ? reinterpret_cast<CreateTunewellInstanceFn>(GetProcAddress(library, kCreateTunewellInstanceName))
          : nullptr;
  ISongEngine* engine = create ? create(1) : nullptr;
  if (!engine) {
    std::printf("cannot make the song engine\n");
    return 1;
  }
  engine->Init(nullptr);
  engine->CreateScore(nullptr);
  RECT canvas = {0, 0, 1000, 600};
  engine->SetScoreRect(&canvas);

  std::vector<double> open, tracks, total;
  const int melody[] = {1};
  for (int run = 0; run < 7; ++run) {
    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    const int opened = engine->Open(path.c_str());
    QueryPerformanceCounter(&t1);
    engine->SetTracks(melody, 1);
    QueryPerformanceCounter(&t2);
    if (opened != 0) {
      std::printf("Open failed\n");
      return 1;
    }
    open.push_back(Ms(t0, t1));
    tracks.push_back(Ms(t1, t2));
    total.push_back(Ms(t0, t2));
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  std::printf("song: %.2f MB, 16 tracks, %u runs\n", song.size() / 1048576.0,
              static_cast<unsigned>(total.size()));
  std::printf("Open:            median %7.1f ms  best %7.1f ms\n", median(open),
              *std::min_element(open.begin(), open.end()));
  std::printf("SetTracks(1):    median %7.1f ms  best %7.1f ms\n", median(tracks),
              *std::min_element(tracks.begin(), tracks.end()));
  std::printf("Open+SetTracks:  median %7.1f ms  best %7.1f ms  (target < 150 ms)\n", median(total),
              *std::min_element(total.begin(), total.end()));
  engine->Close();
  engine->DestroyScore();
  engine->Release();
  FreeLibrary(library);
  DeleteFileA(path.c_str());
  return 0;
}
