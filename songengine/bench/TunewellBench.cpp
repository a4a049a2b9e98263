// Times what the player does when a MIDI song is chosen: ISongEngine::Open
// (load through Scrivel, feed Brevant's song buffer and Cantomere's lyric
// buffer) followed by SetTracks (score buffer filled, both views rebuilt), on
// a generated song of more than 1 MB, through the real libraries; beside it,
// in the same run, the song file library's own load of the same file, which
// the engine's Open cannot beat, and the song information's length of the
// song just opened, which the player asks for next. The view not shown is
// rebuilt at its first use, not in SetTracks: its rebuild is timed apart,
// through Rewind, which the player calls when it stops and which reaches
// both views.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <scrivel/Scrivel.h>
#include <tunewell/ISongEngine.h>

#include "testsupport/BigSong.h"
#include "testsupport/Clock.h"

namespace {

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

const char* Verdict(bool met) { return met ? "met" : "MISSED"; }

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

  HMODULE scrivel = LoadLibraryA("Scrivel.dll");
  auto createSong =
      scrivel ? reinterpret_cast<CreateScrivel2Fn>(GetProcAddress(scrivel, "CreateScrivel2")) : nullptr;
  if (!createSong) {
    std::printf("cannot reach the song file library\n");
    return 1;
  }

  std::vector<double> load, open, tracks, total, length, hidden;
  const int melody[] = {1};
  CSongInfo* info = engine->GetSongInfo();
  for (int run = 0; run < 7; ++run) {
    // The baseline first, in turn with the engine, so both see the same host.
    const double b0 = testsupport::NowMs();
    ISmfParser2* parser = createSong(1);
    const bool loaded = parser && parser->Load(path.c_str(), nullptr, 0) == 0;
    if (parser) parser->Release();
    load.push_back(testsupport::NowMs() - b0);

    const double t0 = testsupport::NowMs();
    const int opened = engine->Open(path.c_str());
    const double t1 = testsupport::NowMs();
    engine->SetTracks(melody, 1);
    const double t2 = testsupport::NowMs();
    const bool known = info && info->Open(path.c_str()) == 0 && info->GetSongLength() > 0;
    const double t3 = testsupport::NowMs();
    engine->Rewind();
    hidden.push_back(testsupport::NowMs() - t3);
    if (!loaded || opened != 0 || !known) {
      std::printf("%s failed\n", !loaded ? "the library's load" : opened != 0 ? "Open" : "the song's length");
      return 1;
    }
    open.push_back(t1 - t0);
    tracks.push_back(t2 - t1);
    total.push_back(t2 - t0);
    length.push_back(t3 - t2);
  }
  const double base = Median(load);
  std::printf("song: %.2f MB, 16 tracks, %u runs\n", song.size() / 1048576.0,
              static_cast<unsigned>(total.size()));
  std::printf("baseline, the song library's load: median %7.1f ms  best %7.1f ms\n", base, Best(load));
  std::printf("Open:            median %7.1f ms  best %7.1f ms  (%.2fx the load)\n", Median(open), Best(open),
              Median(open) / base);
  std::printf("SetTracks(1):    median %7.1f ms  best %7.1f ms\n", Median(tracks), Best(tracks));
  std::printf(
      "hidden view:     median %7.1f ms  best %7.1f ms  (rebuilt at its first use: Rewind after Open)\n",
      Median(hidden), Best(hidden));
  std::printf(
      "song length:     median %7.1f ms  best %7.1f ms  (CSongInfo Open + GetSongLength after Open)\n",
      Median(length), Best(length));
  const double median = Median(total);
  std::printf(
      "Open+SetTracks:  median %7.1f ms  best %7.1f ms  (%.2fx the load; target < 150 ms: %s, < 2.5x the "
      "load: "
      "%s)\n",
      median, Best(total), median / base, Verdict(median < 150), Verdict(median < 2.5 * base));
  engine->Close();
  engine->DestroyScore();
  engine->Release();
  FreeLibrary(library);
  FreeLibrary(scrivel);
  DeleteFileA(path.c_str());
  return 0;
}
