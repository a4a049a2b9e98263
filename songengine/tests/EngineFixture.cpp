#include "EngineFixture.h"

#include "CModuleLoader.h"

using testsupport::Bytes;
using testsupport::TrackBuilder;

std::vector<std::string> Calls() {
  std::vector<std::string> calls;
  for (int i = 0; i < FakeLogCount(); ++i) calls.push_back(FakeLogLine(i));
  return calls;
}

std::vector<std::string> CallsStartingWith(const std::string& prefix) {
  std::vector<std::string> calls;
  for (const std::string& call : Calls())
    if (call.compare(0, prefix.size(), prefix) == 0) calls.push_back(call);
  return calls;
}

int CallIndex(const std::string& text) {
  for (int i = 0; i < FakeLogCount(); ++i)
    if (text == FakeLogLine(i)) return i;
  return -1;
}

int CountCalls(const std::string& text) {
  int count = 0;
  for (int i = 0; i < FakeLogCount(); ++i) count += text == FakeLogLine(i);
  return count;
}

LibrariesAside::LibrariesAside(std::initializer_list<const char*> names) : count_(names.size()) {
  for (const char* name : names) {
    const std::string file = std::string(name) + ".dll";
    if (MoveFileExA(file.c_str(), (std::string(name) + ".gone").c_str(), MOVEFILE_REPLACE_EXISTING))
      moved_.push_back(name);
  }
}

LibrariesAside::~LibrariesAside() {
  for (const std::string& name : moved_)
    MoveFileExA((name + ".gone").c_str(), (name + ".dll").c_str(), MOVEFILE_REPLACE_EXISTING);
}

namespace {
template <class Fn>
Fn BrevantHook(const char* name) {
  HMODULE module = GetModuleHandleA("Brevant.dll");
  return module ? reinterpret_cast<Fn>(GetProcAddress(module, name)) : nullptr;
}
}  // namespace

int FireEvent(const PlayEvent& event, int synchronous) {
  auto fire = BrevantHook<int (*)(const PlayEvent*, int)>("FakeBrevantFire");
  return fire ? fire(&event, synchronous) : -100;
}

void TickClock(uint32_t now) {
  if (auto tick = BrevantHook<void (*)(uint32_t)>("FakeBrevantTick")) tick(now);
}

void RepositionClock(uint32_t now) {
  if (auto reposition = BrevantHook<void (*)(uint32_t)>("FakeBrevantReposition")) reposition(now);
}

int AttachedTimers() {
  auto count = BrevantHook<int (*)()>("FakeBrevantTimerCount");
  return count ? count() : -1;
}

Bytes MelodySong(uint8_t numerator, uint8_t power) {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).TimeSig(0, numerator, power).KeySig(0, 2, 0).EndOfTrack();
  TrackBuilder melody;
  melody.Text(0, 0x03, "Melody")
      .Event(0, {0xC0, 13})
      .Text(0, 0x05, "la")
      .Event(0, {0x90, 60, 100})
      .Event(480, {0x80, 60, 0})
      .Text(0, 0x05, "li")
      .Event(0, {0x90, 64, 100})
      .Event(480, {0x80, 64, 0})
      .Text(0, 0x05, "lo")
      .Event(0, {0x90, 67, 100})
      .Event(480, {0x80, 67, 0})
      .EndOfTrack();
  TrackBuilder bass;
  bass.Event(0, {0xC1, 33}).Event(0, {0x91, 40, 90}).Event(960, {0x81, 40, 0}).EndOfTrack();
  return testsupport::Cat({testsupport::Header(1, 3, 480), tempo.Chunk(), melody.Chunk(), bass.Chunk()});
}

Bytes MelodySongWithMarkers() {
  Bytes song = MelodySong();
  TrackBuilder control;
  control.Meta(960, 0x80, {'C', 'L', 'S', 'T'}).EndOfTrack();
  Bytes body(song.begin() + 14, song.end());
  return testsupport::Cat({testsupport::Header(1, 4, 480), body, control.Chunk("MCtl")});
}

Bytes SongWithoutNotes() {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).EndOfTrack();
  TrackBuilder empty;
  empty.Event(0, {0xC0, 1}).EndOfTrack(480);
  TrackBuilder notes;
  notes.Event(0, {0x91, 50, 80}).Event(240, {0x81, 50, 0}).EndOfTrack();
  return testsupport::Cat({testsupport::Header(1, 3, 120), tempo.Chunk(), notes.Chunk(), empty.Chunk()});
}

void EngineTest::SetUp() {
  FakeLogClear();
  FakeResetSettings();
}

void EngineTest::TearDown() {
  ModuleLoader().Unload();
  testsupport::PumpPending();
  FakeLogClear();
  FakeResetSettings();
}

std::string EngineTest::WriteSong(const std::string& name, const Bytes& bytes) {
  const std::string path = dir_.File(name);
  EXPECT_TRUE(testsupport::WriteBytes(path, bytes));
  return path;
}
