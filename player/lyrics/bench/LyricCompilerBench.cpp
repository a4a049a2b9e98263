// Compiles 300 lyric lines (about 2,400 syllables, with section words, "-"
// runs, "^", position and range marks) onto a generated song of about 1 MB
// whose melody track has a note for every syllable, and reports the time of
// ReadText + WriteSong, loading and saving included.
//
//   lyric_compiler_bench.exe [repeats]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <scrivel/Scrivel.h>

#include "lyrics/CLyricTextCompiler.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"

using testsupport::TrackBuilder;

namespace {

testsupport::Bytes BigSong() {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).TimeSig(0, 4, 2).EndOfTrack();
  TrackBuilder melody;
  for (int i = 0; i < 3000; ++i) {
    const uint8_t key = static_cast<uint8_t>(60 + i % 12);
    melody.Event(i == 0 ? 0 : 20, {0x90, key, 100}).Event(100, {0x80, key, 0});
  }
  melody.EndOfTrack();
  // Accompaniment: dense controller and note traffic to make the file big.
  std::vector<testsupport::Bytes> chunks = {tempo.Chunk(), melody.Chunk()};
  for (int t = 0; t < 6; ++t) {
    TrackBuilder accompaniment;
    const uint8_t channel = static_cast<uint8_t>(t + 1);
    for (int i = 0; i < 44000; ++i) {
      accompaniment.Event(i % 4 == 0 ? 15 : 0,
                          {static_cast<uint8_t>(0xB0 | channel), 7, static_cast<uint8_t>(i & 0x7F)});
    }
    accompaniment.EndOfTrack();
    chunks.push_back(accompaniment.Chunk());
  }
  testsupport::Bytes song = testsupport::Header(1, static_cast<uint16_t>(chunks.size()), 120);
  for (const auto& c : chunks) song.insert(song.end(), c.begin(), c.end());
  return song;
}

std::string BigLyrics() {
  std::string text;
  for (int line = 0; line < 300; ++line) {
    if (line % 50 == 0) text += "[Climax Start]";
    if (line % 50 == 25) text += "<b" + std::to_string(line * 2 + 1) + ">";
    if (line % 50 == 40)
      text += "<r" + std::to_string(line * 2 + 2) + " la la la la/" + std::to_string(line * 2 + 3) + "> ";
    text += "Twin-kle twin-kle lit-tle star - how^";
    text += line % 4 == 3 ? "\r\n\r\n" : "\r\n";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  testsupport::TempDir dir;
  const std::string source = dir.File("big.mid"), out = dir.File("out.mid");
  const testsupport::Bytes song = BigSong();
  if (!testsupport::WriteBytes(source, song)) return 1;
  const std::string text = BigLyrics();

  LARGE_INTEGER freq;
  ::QueryPerformanceFrequency(&freq);
  auto now = [] {
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return t.QuadPart;
  };
  auto ms = [&](LONGLONG from, LONGLONG to) {
    return 1000.0 * static_cast<double>(to - from) / static_cast<double>(freq.QuadPart);
  };
  // The baseline, in the same run: the song file library loading the song
  // and saving it unchanged, what any compile must do at least once.
  HMODULE scrivel = ::LoadLibraryA("Scrivel.dll");
  auto create =
      scrivel ? reinterpret_cast<CreateScrivel2Fn>(::GetProcAddress(scrivel, "CreateScrivel2")) : nullptr;
  if (!create) {
    std::printf("lyric_compiler_bench: no Scrivel.dll\n");
    return 1;
  }
  double best = 1e9, total = 0, bestRead = 1e9, bestWrite = 1e9, bestBaseline = 1e9;
  size_t syllables = 0;
  for (int r = 0; r < repeats; ++r) {
    const LONGLONG b0 = now();
    ISmfParser2* song = create(1);
    const bool copied = song && song->Load(source.c_str(), nullptr, 0) == 0 && song->SaveAs(out.c_str()) == 0;
    if (song) song->Release();
    bestBaseline = std::min(bestBaseline, ms(b0, now()));
    if (!copied) {
      std::printf("lyric_compiler_bench: the song library cannot copy the song\n");
      return 1;
    }

    const LONGLONG t0 = now();
    CLyricTextCompiler compiler;
    std::vector<LyricSyllable> list;
    std::vector<LyricMarker> markers;
    if (compiler.ReadText(text.c_str(), source.c_str(), &list, &markers) != 0) {
      std::printf("lyric_compiler_bench: the compile failed\n");
      return 1;
    }
    const LONGLONG t1 = now();
    if (compiler.WriteSong(source.c_str(), out.c_str(), list, markers) != 0) {
      std::printf("lyric_compiler_bench: the compile failed\n");
      return 1;
    }
    const LONGLONG t2 = now();
    best = std::min(best, ms(t0, t2));
    bestRead = std::min(bestRead, ms(t0, t1));
    bestWrite = std::min(bestWrite, ms(t1, t2));
    total += ms(t0, t2);
    syllables = list.size();
  }
  ::FreeLibrary(scrivel);
  std::printf("lyric_compiler_bench: %zu entries onto a %.2f MB song\n", syllables, song.size() / 1048576.0);
  std::printf("  ReadText best %.2f ms, WriteSong best %.2f ms\n", bestRead, bestWrite);
  std::printf("  the song library's load + save of the song alone: best %.2f ms\n", bestBaseline);
  std::printf(
      "  ReadText + WriteSong  best %.2f ms, mean %.2f ms (target < 50 ms: %s; %.2fx the load + save)\n",
      best, total / repeats, best < 50.0 ? "met" : "MISSED", best / bestBaseline);
  return best < 50.0 ? 0 : 2;
}
