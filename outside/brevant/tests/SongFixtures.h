#pragma once
// Test doubles for the sequencer: songs built event by event as the song file
// library hands them out, a channel manager that writes down every call, a
// sink and a timer that record what they hear, and a clock the test moves.
#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <brevant/Brevant.h>
#include <testsupport/SmfBuilder.h>
#include <voxgate/IChannelManager.h>

#include "NullChannelManager.h"

#include "../src/BrevantPlayer.h"
#include "../src/CompiledSong.h"
#include "../src/SequencerCore.h"
#include "../src/SongBuffer.h"

// The events of one track, kept alive for as long as the object lives.
class TrackEvents {
 public:
  TrackEvents& Channel(uint32_t tick, testsupport::Bytes bytes) { return Add(tick, 1, std::move(bytes)); }
  TrackEvents& NoteOn(uint32_t tick, int channel, int key, int velocity = 100) {
    return Channel(tick, {uint8_t(0x90 | channel), uint8_t(key), uint8_t(velocity)});
  }
  TrackEvents& NoteOff(uint32_t tick, int channel, int key) {
    return Channel(tick, {uint8_t(0x80 | channel), uint8_t(key), 0});
  }
  TrackEvents& Note(uint32_t tick, uint32_t length, int channel, int key) {
    return NoteOn(tick, channel, key).NoteOff(tick + length, channel, key);
  }
  TrackEvents& Program(uint32_t tick, int channel, int program) {
    return Channel(tick, {uint8_t(0xC0 | channel), uint8_t(program)});
  }
  TrackEvents& Control(uint32_t tick, int channel, int controller, int value) {
    return Channel(tick, {uint8_t(0xB0 | channel), uint8_t(controller), uint8_t(value)});
  }
  TrackEvents& Lyric(uint32_t tick, const std::string& text) {
    return Meta(tick, 0x05, testsupport::Bytes(text.begin(), text.end()));
  }
  TrackEvents& Marker(uint32_t tick, const char (&tag)[5]) {
    return Meta(tick, 0x80, testsupport::Bytes(tag, tag + 4));
  }
  TrackEvents& Meta(uint32_t tick, uint8_t type, const testsupport::Bytes& payload) {
    return Add(tick, 4,
               testsupport::Cat({{0xFF, type}, testsupport::Vlq(uint32_t(payload.size())), payload}));
  }
  TrackEvents& Add(uint32_t tick, uint32_t kind, testsupport::Bytes bytes) {
    storage_.push_back(std::move(bytes));
    const testsupport::Bytes& b = storage_.back();
    events_.push_back({tick, kind, uint32_t(b.size()), b.empty() ? nullptr : b.data()});
    return *this;
  }
  const SmfEvent* data() const { return events_.data(); }
  int size() const { return int(events_.size()); }

 private:
  std::deque<testsupport::Bytes> storage_;
  std::vector<SmfEvent> events_;
};

// A song given to a buffer the way the song engine gives it.
struct SongSpec {
  std::vector<SmfTempoEntry> tempos;
  std::vector<SmfTimeSigEntry> meters;
  std::map<int, TrackEvents> channel;  // by track
  std::map<int, TrackEvents> lyrics;
  std::map<int, TrackEvents> markers;

  void FillBuffer(IBrevantSongBuffer* buffer) const {
    buffer->Clear();
    buffer->SetTimeSignatures(meters.data(), int(meters.size()));
    buffer->SetTempos(tempos.data(), int(tempos.size()));
    for (const auto& [track, events] : channel) buffer->AddTrackEvents(track, events.data(), events.size());
    for (const auto& [track, events] : markers) buffer->AddMarkers(track, events.data(), events.size());
    for (const auto& [track, events] : lyrics) buffer->AddLyrics(track, events.data(), events.size());
  }
  std::shared_ptr<const CompiledSong> Compile(double fallbackBpm = 120.0) const {
    CSongBuffer buffer;
    FillBuffer(&buffer);
    return buffer.Compile(fallbackBpm);
  }
};

// Voices are numbered in allocation order; each call is one line of text.
class FakeChannelManager final : public NullChannelManager {
 public:
  std::vector<std::string> calls;
  std::map<int, int> channelOfVoice;  // voice number -> channel asked for (-1 any)
  bool refuse = false;                // no port: every allocation fails

  static int VoiceNumber(CMidiChannel* voice) { return int(reinterpret_cast<intptr_t>(voice)); }

  CMidiChannel* AllocChannel(int channel) override {
    if (refuse) return nullptr;
    int number = ++allocated_;
    channelOfVoice[number] = channel;
    calls.push_back("alloc " + std::to_string(channel) + " -> v" + std::to_string(number));
    return reinterpret_cast<CMidiChannel*>(intptr_t(number));
  }
  int FreeChannel(CMidiChannel* voice) override { return Log("free", voice, -1), 1; }
  int AllNotesOff(CMidiChannel* voice) override { return Log("notesoff", voice, -1), 1; }
  int SendShortMessage(CMidiChannel* voice, uint32_t message) override {
    char hex[16];
    snprintf(hex, sizeof hex, "%06X", unsigned(message));
    calls.push_back("send v" + std::to_string(VoiceNumber(voice)) + " " + hex);
    return 0;
  }
  void SetProgram(CMidiChannel* voice, int program) override { Log("program", voice, program); }

  // Note-ons and note-offs sent, in order.
  std::vector<std::string> Notes() const {
    std::vector<std::string> out;
    for (const std::string& c : Matching("send")) {
      char status = c[c.size() - 2];
      if (status == '8' || status == '9') out.push_back(c);
    }
    return out;
  }
  // Calls that start with prefix, in order.
  std::vector<std::string> Matching(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& c : calls) {
      if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
    }
    return out;
  }

 private:
  void Log(const char* what, CMidiChannel* voice, int value) {
    std::string line = std::string(what) + " v" + std::to_string(VoiceNumber(voice));
    if (value >= 0) line += " " + std::to_string(value);
    calls.push_back(line);
  }
  int allocated_ = 0;
};

class RecordingSink final : public IPlayEventSink {
 public:
  struct Heard {
    PlayEvent event;
    double at;  // the song time the core was advanced to when it came
  };
  std::vector<Heard> heard;
  double now = 0;

  void OnPlayEvent(const PlayEvent& event) override { heard.push_back({event, now}); }
  std::vector<PlayEvent> OfType(uint32_t type) const {
    std::vector<PlayEvent> out;
    for (const Heard& h : heard) {
      if (h.event.type == type) out.push_back(h.event);
    }
    return out;
  }
  std::vector<uint32_t> Types() const {
    std::vector<uint32_t> out;
    for (const Heard& h : heard) out.push_back(h.event.type);
    return out;
  }
};

class RecordingTimer final : public IBrevantTimer {
 public:
  std::vector<std::string> calls;
  std::vector<uint32_t> ticks;
  void Start() override { calls.push_back("start"); }
  void OnTick(uint32_t now) override { ticks.push_back(now); }
  int IsActive() override { return 1; }
  void Stop() override { calls.push_back("stop"); }
  void Reposition(uint32_t now) override { calls.push_back("reposition " + std::to_string(now)); }
};

// A clock that moves only when the test says so.
class ManualTime final : public ITimeSource {
 public:
  double NowMs() override { return now_.load(); }
  void Set(double ms) { now_.store(ms); }

 private:
  std::atomic<double> now_{0};
};
