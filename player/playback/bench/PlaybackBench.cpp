// Speed figures of the playback core (run by tools/bench):
//
// Preparing a 5 MB MP3 that carries a song, with the real song engine, up to
// where Play can start.
//
// The synchronised player following a drifting audio clock: the same MP3 and
// its three-minute song play through the media helper's synchronised player
// and the real song engine, with the sound library on its manual clock. A
// thread of the benchmark mixes the blocks on real time, each block a little
// fast or slow (the clock runs 0.5 % fast and slow by turns, minute by
// minute) with random jitter, so the sequencer, which runs on its own timing
// thread, has to follow the audio's ticks. The benchmark stands in for the
// MIDI device: it takes the place of midiOutShortMsg in Voxgate.dll's import
// table, so every note the sequencer sends through the channel manager
// reaches it, and it notes the audio clock at that moment. Reported: the
// largest gap between the audio clock and the note's own time in the song,
// and any note repeated or skipped.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "base/MidiShort.h"
#include "fmod.h"
#include "playback/CFmodSystem.h"
#include "playback/CMediaHelper.h"
#include "quillix/SongBlock.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "tunewell/ISongEngine.h"
#include "voxgate/Voxgate.h"
#include "testsupport/Clock.h"

namespace {

// @name The song

// A three-minute song: a note a beat at 120 BPM, a syllable on each.
constexpr int kNotes = 360;
constexpr int kDivision = 480;
constexpr int kNoteTicks = 400;
constexpr double kBeatMs = 500.0;
constexpr int kFirstKey = 60;
constexpr int kKeys = 12;
// The song's delay in the song block: player time = song time + delay.
constexpr int32_t kSongOffsetMs = 250;

int NoteKey(int note) { return kFirstKey + note % kKeys; }

testsupport::Bytes Song() {
  testsupport::TrackBuilder tempo;
  tempo.Tempo(0, uint32_t(kBeatMs * 1000)).TimeSig(0, 4, 2).EndOfTrack();
  testsupport::TrackBuilder melody;
  melody.Event(0, {0xC0, 0});
  // Each note sounds for 400 of the beat's 480 ticks.
  for (int i = 0; i < kNotes; ++i)
    melody.Text(i == 0 ? 0 : kDivision - kNoteTicks, 0x05, "la")
        .Event(0, {0x90, uint8_t(NoteKey(i)), 90})
        .Event(kNoteTicks, {0x80, uint8_t(NoteKey(i)), 0});
  melody.EndOfTrack();
  return testsupport::Cat({testsupport::Header(1, 2, kDivision), tempo.Chunk(), melody.Chunk()});
}

// When a note's on (or off) is due on the audio clock.
double DueAudioMs(int note, bool off) {
  return note * kBeatMs + (off ? kNoteTicks * kBeatMs / kDivision : 0.0) + kSongOffsetMs;
}

// @name The drifting audio clock

constexpr double kBlockMs = 10.0;  // one block of the sound library's mixer
constexpr double kDrift = 0.005;
constexpr double kDriftPeriodMs = 60000.0;
constexpr double kJitterMs = 2.0;

// The audio clock the benchmark mixes by: it reaches block k's start
// (k * 10 ms of sound) at real time Due(k), so block k is mixed at
// Due(k + 1), and the library then reports the time of its end. The clock
// runs 0.5 % fast for a minute of sound, then 0.5 % slow, and so on; each
// block boundary moves by up to 2 ms either way at random. Between
// boundaries the clock runs on in a straight line, as a device's playing
// position does.
class DriftingClock {
 public:
  DriftingClock(double startMs, int blocks, unsigned seed) : due_(size_t(blocks) + 1) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> jitter(-kJitterMs, kJitterMs);
    double smooth = startMs;
    due_[0] = startMs;
    for (int k = 1; k <= blocks; ++k) {
      double audio = (k - 1) * kBlockMs;
      double rate = int(audio / kDriftPeriodMs) % 2 == 0 ? 1 + kDrift : 1 - kDrift;
      smooth += kBlockMs / rate;
      due_[k] = smooth + jitter(random);
    }
  }
  int Blocks() const { return int(due_.size()) - 1; }
  double Due(int block) const { return due_[size_t(block)]; }
  // The audio clock (ms of sound) at a real time.
  double AudioAt(double nowMs) const {
    auto next = std::upper_bound(due_.begin(), due_.end(), nowMs);
    if (next == due_.begin()) return 0;
    if (next == due_.end()) return Blocks() * kBlockMs;
    size_t k = size_t(next - due_.begin()) - 1;
    return (double(k) + (nowMs - due_[k]) / (due_[k + 1] - due_[k])) * kBlockMs;
  }

 private:
  std::vector<double> due_;
};

// Mixes every block of the clock when it is due, on a thread of its own at
// the priority of the library's own mixer, and keeps how late it woke.
struct Mixer {
  const DriftingClock* clock;
  double worstLateMs = 0;

  static DWORD WINAPI Main(void* self) {
    static_cast<Mixer*>(self)->Run();
    return 0;
  }
  void Run() {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    timeBeginPeriod(1);
    for (int k = 0; k < clock->Blocks(); ++k) {
      double due = clock->Due(k + 1);
      while (testsupport::NowMs() < due) Sleep(1);
      worstLateMs = std::max(worstLateMs, testsupport::NowMs() - due);
      MelFmod_MixBlocks(1);
    }
    timeEndPeriod(1);
  }
};

// @name The observed MIDI device

// Every note message that left through the channel manager, with the audio
// clock when it left.
struct SentNote {
  uint32_t message;
  double audioMs;
};

std::mutex g_sentLock;
std::vector<SentNote> g_sent;
const DriftingClock* g_clock = nullptr;
std::atomic<bool> g_observing{false};

// In midiOutShortMsg's place: called on the sequencer's timing thread.
MMRESULT WINAPI ObserveShortMsg(HMIDIOUT, DWORD message) {
  const double now = testsupport::NowMs();
  if (g_observing && base::IsNoteMessage(message)) {
    std::lock_guard<std::mutex> hold(g_sentLock);
    g_sent.push_back(SentNote{message, g_clock->AudioAt(now)});
  }
  return MMSYSERR_NOERROR;
}

// Puts replacement into the slot of module's import table that holds the
// named function of dll; the function it held, or null when there is none.
void* ReplaceImport(HMODULE module, const char* dll, const char* function, void* replacement) {
  auto* base = reinterpret_cast<uint8_t*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return nullptr;
  for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
       ++entry) {
    if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0 || !entry->OriginalFirstThunk)
      continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      DWORD protection;
      if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection))
        return nullptr;
      void* old = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
      return old;
    }
  }
  return nullptr;
}

// @name The measures

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void MeasurePreparing(ISongEngine* engine, HWND window, const std::string& path) {
  std::vector<double> times;
  {
    CMediaHelper helper;
    helper.Init();
    helper.SetSongEngine(engine);
    helper.SetNotifyHwnd(window);
    for (int i = 0; i < 7; ++i) {
      double start = testsupport::NowMs();
      int result = helper.PrepareMediaFile(path.c_str());
      times.push_back(testsupport::NowMs() - start);
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
}

// What arrived for each note's on and off, matched by key to the nearest
// note of that key on the audio clock (notes of one key are 6 s apart).
struct NoteReport {
  std::vector<int> seen[2];  // [0] note-ons, [1] note-offs, per note
  std::vector<double> gaps[2];
  int unmatched = 0;
  double worstGap = 0;
  int worstNote = -1;
};

NoteReport MatchNotes(const std::vector<SentNote>& sent) {
  NoteReport report;
  for (int off = 0; off < 2; ++off) report.seen[off].assign(kNotes, 0);
  for (const SentNote& note : sent) {
    int key = base::Data1Of(note.message);
    bool off = base::IsNoteOff(note.message);
    int first = (key - kFirstKey + kKeys) % kKeys;  // the first note of this key
    double cycles = (note.audioMs - DueAudioMs(first, off)) / (kBeatMs * kKeys);
    int index = first + kKeys * int(std::lround(cycles));
    if (key < kFirstKey || key >= kFirstKey + kKeys || index < 0 || index >= kNotes) {
      ++report.unmatched;
      continue;
    }
    if (report.seen[off][size_t(index)]++ > 0) continue;
    double gap = note.audioMs - DueAudioMs(index, off);
    report.gaps[off].push_back(gap);
    if (std::fabs(gap) > std::fabs(report.worstGap)) {
      report.worstGap = gap;
      report.worstNote = index;
    }
  }
  return report;
}

// The notes seen other than once: never (skipped) or more than once
// (repeated); the first eight are named.
struct OddNotes {
  int count = 0;
  std::string names;
};

OddNotes FindOdd(const std::vector<int>& seen, bool repeated) {
  OddNotes odd;
  for (int i = 0; i < int(seen.size()); ++i) {
    if (repeated ? seen[size_t(i)] <= 1 : seen[size_t(i)] != 0) continue;
    if (odd.count++ < 8) odd.names += (odd.names.empty() ? "" : ", ") + std::to_string(i);
  }
  if (odd.count > 8) odd.names += ", ...";
  return odd;
}

std::string Describe(const OddNotes& odd) {
  return odd.count ? std::to_string(odd.count) + " (" + odd.names + ")" : "none";
}

bool MeasureSyncDrift(ISongEngine* engine, HWND window, const std::string& path) {
  // The manual clock is chosen before the library starts: start it again.
  FSOUND_Close();
  MelFmod_SetManualClock(1);
  if (!FSOUND_Init(CFmodSystem::Instance().MixRate(), 128, FSOUND_INIT_GLOBALFOCUS)) {
    std::printf("the sound library did not start on its manual clock\n");
    return false;
  }
  HMODULE voxgate = LoadLibraryA(kVoxgateLibrary);
  auto createManager =
      voxgate ? reinterpret_cast<CreateVoxgateFn>(GetProcAddress(voxgate, kCreateVoxgateName)) : nullptr;
  IChannelManager* manager = createManager ? createManager(1) : nullptr;
  void* original = manager ? ReplaceImport(voxgate, "winmm.dll", "midiOutShortMsg",
                                           reinterpret_cast<void*>(&ObserveShortMsg))
                           : nullptr;
  if (!original) {
    std::printf("no MIDI output to observe (Voxgate.dll or its midiOutShortMsg import missing)\n");
    if (voxgate) FreeLibrary(voxgate);
    return false;
  }
  // A port of our own: the messages for it end in the replacement above.
  HMIDIOUT observed = reinterpret_cast<HMIDIOUT>(static_cast<INT_PTR>(0xB5E7));
  manager->AddPort(observed);

  const int blocks = int((DueAudioMs(kNotes - 1, true) + 1500) / kBlockMs);
  DriftingClock* clock = nullptr;
  double worstLateMs = 0;
  bool prepared = false;
  {
    CMediaHelper helper;
    helper.Init();
    helper.SetSongEngine(engine);
    helper.SetNotifyHwnd(window);
    IMediaPlayer* player = helper.PrepareMediaFile(path.c_str()) == 0 ? helper.GetCurrentPlayer() : nullptr;
    // An audio file's song plays with no MIDI output: connect the observed one.
    prepared = player && engine->CloseMidiOut(false) == 0;
    if (prepared) {
      g_sent.reserve(4 * kNotes);
      clock = new DriftingClock(testsupport::NowMs() + 5, blocks, 20261211);
      g_clock = clock;
      g_observing = true;
      player->Play();
      Mixer mixer{clock};
      HANDLE thread = CreateThread(nullptr, 0, &Mixer::Main, &mixer, 0, nullptr);
      // The engine's reports come to this thread's windows while it waits.
      while (thread && MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        PumpMessages();
      if (thread) CloseHandle(thread);
      g_observing = false;
      worstLateMs = mixer.worstLateMs;
      player->Stop();
      player->Close();
      PumpMessages();
    }
    engine->CloseMidiOut(true);
    helper.SetSongEngine(nullptr);
  }
  manager->RemovePort(observed);
  ReplaceImport(voxgate, "winmm.dll", "midiOutShortMsg", original);
  FreeLibrary(voxgate);
  if (!prepared) {
    std::printf("the MP3 carrying the song did not get ready to play\n");
    return false;
  }

  std::vector<SentNote> sent;
  {
    std::lock_guard<std::mutex> hold(g_sentLock);
    sent.swap(g_sent);
  }
  NoteReport report = MatchNotes(sent);
  int ons = 0, offs = 0;
  for (int i = 0; i < kNotes; ++i) {
    ons += report.seen[0][size_t(i)];
    offs += report.seen[1][size_t(i)];
  }
  std::vector<double> magnitudes;
  for (const auto& gaps : report.gaps)
    for (double gap : gaps) magnitudes.push_back(std::fabs(gap));
  OddNotes skipped[2] = {FindOdd(report.seen[0], false), FindOdd(report.seen[1], false)};
  OddNotes repeated[2] = {FindOdd(report.seen[0], true), FindOdd(report.seen[1], true)};
  bool whole = report.unmatched == 0;
  for (int off = 0; off < 2; ++off) whole = whole && skipped[off].count == 0 && repeated[off].count == 0;
  std::printf(
      "Synchronised player over a %.0f s song, the audio clock 0.5 %% fast and slow by turns with up to %.0f "
      "ms "
      "of jitter a block:\n",
      DueAudioMs(kNotes - 1, true) / 1000, kJitterMs);
  std::printf("  notes expected %d, note-ons seen %d, note-offs seen %d, unmatched %d\n", kNotes, ons, offs,
              report.unmatched);
  std::printf("  note-ons skipped: %s; repeated: %s; note-offs skipped: %s; repeated: %s\n",
              Describe(skipped[0]).c_str(), Describe(repeated[0]).c_str(), Describe(skipped[1]).c_str(),
              Describe(repeated[1]).c_str());
  std::printf(
      "  gap to the audio clock: median |gap| %.2f ms, largest %+.2f ms (note %d at %.1f s); the mixing "
      "thread woke up to %.2f ms late\n",
      Median(magnitudes), report.worstGap, report.worstNote,
      report.worstNote >= 0 ? DueAudioMs(report.worstNote, false) / 1000 : 0.0, worstLateMs);
  std::printf("  targets: largest gap < 15 ms %s, no note repeated or skipped %s\n",
              std::fabs(report.worstGap) < 15 && !magnitudes.empty() ? "met" : "MISSED",
              whole ? "met" : "MISSED");
  g_clock = nullptr;
  delete clock;
  return true;
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
  int32_t offset = kSongOffsetMs;
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
  MeasurePreparing(engine, window, path);
  bool drift = MeasureSyncDrift(engine, window, path);
  engine->Release();
  FreeLibrary(tunewell);
  DestroyWindow(window);
  return drift ? 0 : 1;
}
