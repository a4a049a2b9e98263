// Speed and memory of the song file library on a large generated song: load,
// a full-song GetEvents of every track, and the measure queries on a song with
// thousands of time-signature changes.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "scrivel/Scrivel.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"

namespace {

using testsupport::Bytes;
using testsupport::TrackBuilder;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Bytes in use on every heap of the process. The library and this program
// each carry their own runtime, so one runtime's counters would miss the other.
long long HeapBytesInUse() {
  DWORD count = GetProcessHeaps(0, nullptr);
  std::vector<HANDLE> heaps(count + 8);
  count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
  long long total = 0;
  for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
    if (!HeapLock(heaps[i])) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heaps[i], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
    }
    HeapUnlock(heaps[i]);
  }
  return total;
}

// 16 tracks at division 480: a conductor with tempo and time-signature
// changes, a lyric track, and melody tracks of notes in running status (a
// note ends with a velocity-0 note-on, as most files do).
Bytes LargeSong() {
  const int kTracks = 16;
  const int kNotesPerTrack = 12000;
  std::vector<Bytes> chunks;
  TrackBuilder conductor;
  conductor.Text(0, 0x03, "Conductor");
  for (int bar = 0; bar < kNotesPerTrack / 4; bar += 4) {
    conductor.Tempo(bar == 0 ? 0 : 4 * 1920, 400000 + (bar % 16) * 10000);
    conductor.TimeSig(0, bar % 8 ? 4 : 3, 2);
  }
  conductor.EndOfTrack();
  chunks.push_back(conductor.Chunk());
  for (int t = 1; t < kTracks; ++t) {
    TrackBuilder track;
    const uint8_t channel = static_cast<uint8_t>(t - 1);
    track.Text(0, 0x03, "Track " + std::to_string(t)).Event(0, {static_cast<uint8_t>(0xC0 | channel), 0x05});
    track.Event(0, {static_cast<uint8_t>(0x90 | channel), 60, 100});
    track.Event(240, {60, 0});
    for (int n = 1; n < kNotesPerTrack; ++n) {
      const uint8_t key = static_cast<uint8_t>(48 + (n * 7 + t) % 36);
      if (t == 1 && n % 2 == 0) track.Text(0, 0x05, "la");  // a syllable on every other note
      track.Event(t == 1 && n % 2 == 0 ? 0 : 240, {key, 96});
      track.Event(240, {key, 0});
    }
    track.EndOfTrack();
    chunks.push_back(track.Chunk());
  }
  Bytes file = testsupport::Header(1, kTracks, 480);
  for (const Bytes& c : chunks) file.insert(file.end(), c.begin(), c.end());
  return file;
}

Bytes ManySignatures(int changes) {
  TrackBuilder t;
  for (int i = 0; i < changes; ++i) t.TimeSig(i == 0 ? 0 : (i % 2 ? 480 : 360), i % 2 ? 3 : 4, 2);
  t.EndOfTrack(480);
  Bytes file = testsupport::Header(1, 1, 120);
  const Bytes chunk = t.Chunk();
  file.insert(file.end(), chunk.begin(), chunk.end());
  return file;
}

struct Release {
  void operator()(ISmfParser2* p) const { p->Release(); }
};
using Song = std::unique_ptr<ISmfParser2, Release>;

bool BenchLoadAndEvents(const testsupport::TempDir& dir) {
  const Bytes bytes = LargeSong();
  const std::string path = dir.File("large.mid");
  if (!testsupport::WriteBytes(path, bytes)) return false;
  const double megabytes = bytes.size() / 1e6;

  // Load: the best of several runs, each into a fresh song.
  const int kRuns = 15;
  double best = 1e9;
  for (int i = 0; i < kRuns; ++i) {
    Song song(CreateScrivel2(1));
    const auto start = Clock::now();
    if (song->Load(path.c_str(), nullptr, 0) != 0) return false;
    best = std::min(best, Seconds(Clock::now() - start));
  }
  // Memory of one loaded song.
  const long long before = HeapBytesInUse();
  Song song(CreateScrivel2(1));
  song->Load(path.c_str(), nullptr, 0);
  const long long held = HeapBytesInUse() - before;
  uint64_t events = 0;
  for (int t = 0; t < song->GetTrackCount(); ++t)
    events += song->CountEvents(t, 0, UINT32_MAX, kSmfAllBits, kSmfAllBits, kSmfAllBits);

  std::printf("song: %.2f MB, %d tracks, %llu events\n", megabytes, song->GetTrackCount(),
              static_cast<unsigned long long>(events));
  std::printf("load: %.2f ms, %.0f MB/s (target 100), %.1f heap bytes per event (target 48)\n", best * 1000,
              megabytes / best, static_cast<double>(held) / events);

  // A full-song GetEvents of every track, as the song engine does on open.
  double bestEvents = 1e9;
  long long outBytes = 0;
  for (int i = 0; i < kRuns; ++i) {
    const long long heapBefore = HeapBytesInUse();
    const auto start = Clock::now();
    std::vector<std::vector<SmfEvent>> all(song->GetTrackCount());
    for (int t = 0; t < song->GetTrackCount(); ++t) {
      all[t].resize(song->CountEvents(t, 0, UINT32_MAX, kSmfAllBits, kSmfAllBits, kSmfAllBits));
      song->GetEvents(t, 0, UINT32_MAX, all[t].data(), kSmfAllBits, kSmfAllBits, kSmfAllBits);
    }
    bestEvents = std::min(bestEvents, Seconds(Clock::now() - start));
    if (i == 0) outBytes = HeapBytesInUse() - heapBefore;
  }
  std::printf("GetEvents, every track: %.2f ms, %.0f MB/s of song, %.1f heap bytes per event copied\n",
              bestEvents * 1000, megabytes / bestEvents, static_cast<double>(outBytes) / events);
  return best > 0 && megabytes / best >= 100 && static_cast<double>(held) / events <= 48;
}

// Two tracks whose tempo changes interleave: every entry of the second track
// lands between entries of the first in the song's tempo list.
bool BenchInterleavedLists(const testsupport::TempDir& dir) {
  const int kChanges = 100000;
  TrackBuilder first, second;
  for (int i = 0; i < kChanges; ++i) {
    first.Tempo(i == 0 ? 0 : 2, 500000 + (i % 2) * 1000);
    second.Tempo(i == 0 ? 1 : 2, 400000 + (i % 2) * 1000);
  }
  Bytes file = testsupport::Header(1, 2, 120);
  for (const Bytes& c : {first.EndOfTrack().Chunk(), second.EndOfTrack().Chunk()})
    file.insert(file.end(), c.begin(), c.end());
  const std::string path = dir.File("tempos.mid");
  if (!testsupport::WriteBytes(path, file)) return false;
  Song song(CreateScrivel2(1));
  const auto start = Clock::now();
  if (song->Load(path.c_str(), nullptr, 0) != 0) return false;
  const double seconds = Seconds(Clock::now() - start);
  const uint32_t entries = song->GetTempos(nullptr);
  std::printf("%d + %d interleaved tempo changes: load %.2f ms, %u list entries (16-bit count)\n", kChanges,
              kChanges, seconds * 1000, entries);
  return seconds < 1.0;
}

bool BenchMeasures(const testsupport::TempDir& dir) {
  const int kChanges = 10000;
  const std::string path = dir.File("signatures.mid");
  if (!testsupport::WriteBytes(path, ManySignatures(kChanges))) return false;
  Song song(CreateScrivel2(1));
  if (song->Load(path.c_str(), nullptr, 0) != 0) return false;

  auto start = Clock::now();
  std::vector<SmfTimeSigEntry> entries(song->GetTimeSignatures(nullptr));
  song->GetTimeSignatures(entries.data());
  const double first = Seconds(Clock::now() - start);

  start = Clock::now();
  const int kRounds = 20;
  for (int r = 0; r < kRounds; ++r) {
    entries.assign(song->GetTimeSignatures(nullptr), SmfTimeSigEntry{});
    song->GetTimeSignatures(entries.data());
  }
  const double signatures = Seconds(Clock::now() - start) / kRounds;

  start = Clock::now();
  uint64_t sum = 0;
  for (int m = 0; m < kChanges; ++m) sum += song->MeasureToTick(static_cast<uint16_t>(m));
  const double measureToTick = Seconds(Clock::now() - start) / kChanges;

  start = Clock::now();
  for (int m = 0; m < kChanges; ++m) sum += song->TickToMeasure(static_cast<uint32_t>(m) * 420);
  const double tickToMeasure = Seconds(Clock::now() - start) / kChanges;

  std::printf(
      "%d time signatures: GetTimeSignatures %.3f ms (first call, building the measure map %.3f ms), "
      "MeasureToTick %.3f us, TickToMeasure %.3f us (checksum %llu)\n",
      kChanges, signatures * 1000, first * 1000, measureToTick * 1e6, tickToMeasure * 1e6,
      static_cast<unsigned long long>(sum));
  return entries.size() == static_cast<size_t>(kChanges) && signatures < 1e-3 && measureToTick < 1e-3;
}

}  // namespace

int main() {
  testsupport::TempDir dir;
  const bool load = BenchLoadAndEvents(dir);
  const bool measures = BenchMeasures(dir);
  const bool lists = BenchInterleavedLists(dir);
  std::printf("targets %s\n", load && measures && lists ? "met" : "MISSED");
  return load && measures && lists ? 0 : 1;
}
