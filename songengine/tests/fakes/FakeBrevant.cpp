// Test double for Brevant.dll: logs every call and plays nothing. Events and
// clock ticks are produced on request through the FakeBrevant* exports.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include <brevant/Brevant.h>

#include "FakeCallLog.h"

namespace {

class FakeClock : public IBrevantClock {
 public:
  int AddTimer(IBrevantTimer* timer) override {
    FakeLog("Brevant.AddTimer");
    if (!timer || std::find(timers.begin(), timers.end(), timer) != timers.end()) return 1;
    timers.push_back(timer);
    return 0;
  }
  int RemoveTimer(IBrevantTimer* timer) override {
    FakeLog("Brevant.RemoveTimer");
    auto it = std::find(timers.begin(), timers.end(), timer);
    if (it == timers.end()) return 1;
    timers.erase(it);
    return 0;
  }
  std::vector<IBrevantTimer*> timers;
};

class FakePlayer final : public IBrevantPlayer {
 public:
  int CloseSong() override {
    FakeLog("Brevant.CloseSong");
    return 0;
  }
  int SetOutput(IChannelManager* manager) override {
    FakeLog("Brevant.SetOutput(%s)", manager ? "manager" : "null");
    return FakeGet("brevant.setOutputResult", 0);
  }
  int Seek(int ms) override {
    FakeLog("Brevant.Seek(%d)", ms);
    return 0;
  }
  void Reserved3() override {}
  int SetDelayTime(int ms) override {
    FakeLog("Brevant.SetDelayTime(%d)", ms);
    delay = ms;
    return 0;
  }
  int GetTimeOffset() override { return delay; }
  int SetSongBuffer(IBrevantSongBuffer* buffer) override {
    FakeLog("Brevant.SetSongBuffer(%s)", buffer ? "buffer" : "null");
    return 0;
  }
  int Play() override {
    FakeLog("Brevant.Play");
    return 0;
  }
  int Stop() override {
    FakeLog("Brevant.Stop");
    return 0;
  }
  int SetTempo(int bpm) override {
    FakeLog("Brevant.SetTempo(%d)", bpm);
    return 0;
  }
  void Reserved10() override {}
  int SetTrackFlags(int track, int value) override {
    FakeLog("Brevant.SetTrackFlags(%d,%d)", track, value);
    flags[track] = value;
    return 0;
  }
  int GetTrackFlags(int track, int* out) override {
    if (!out) return 1;
    *out = flags.count(track) ? flags[track] : 0;
    return 0;
  }
  int GetState() override { return FakeGet("brevant.state", 1); }
  void SetEventCallback(BrevantEventCallback cb, void* context) override {
    FakeLog("Brevant.SetEventCallback(%s)", cb ? "callback" : "null");
    callback = cb;
    callbackContext = context;
    // A sequencer may report the moment it has someone to report to.
    if (cb && FakeGet("brevant.reportOnBind", 0)) {
      const PlayEvent position = {kPlayEventPosition, 1, 0, 0, 0, 0, 0};
      FakeLog("Brevant.ReportedOnBind(%d)", cb(&position, context, 0));
    }
  }
  int SyncTime(int ms) override {
    FakeLog("Brevant.SyncTime(%d)", ms);
    return 0;
  }
  IBrevantClock* GetClock() override { return &clock; }
  void Release() override;

  int delay = 0;
  std::map<int, int> flags;
  BrevantEventCallback callback = nullptr;
  void* callbackContext = nullptr;
  FakeClock clock;
};

FakePlayer* g_player = nullptr;

void FakePlayer::Release() {
  FakeLog("Brevant.Release");
  if (g_player == this) g_player = nullptr;
  delete this;
}

class FakeSongBuffer final : public IBrevantSongBuffer {
 public:
  void Release() override {
    FakeLog("SongBuffer.Release");
    delete this;
  }
  void Clear() override {
    FakeLog("SongBuffer.Clear");
    tags.clear();
    lastTick = 0;
  }
  void AddTrackEvents(int track, const SmfEvent* events, int count) override {
    FakeLog("SongBuffer.AddTrackEvents(%d,%d)", track, count);
    for (int i = 0; i < count; ++i) lastTick = std::max(lastTick, static_cast<int>(events[i].tick));
  }
  void SetTimeSignatures(const SmfTimeSigEntry* entries, int count) override {
    FakeLog("SongBuffer.SetTimeSignatures(%d)", count);
  }
  void SetTempos(const SmfTempoEntry* entries, int count) override {
    FakeLog("SongBuffer.SetTempos(%d)", count);
  }
  void AddMarkers(int track, const SmfEvent* events, int count) override {
    FakeLog("SongBuffer.AddMarkers(%d,%d)", track, count);
    for (int i = 0; i < count; ++i) {
      const SmfEvent& e = events[i];
      // FF 80 len tag: a short payload has a one-byte length.
      if (e.length < 7) continue;
      uint32_t tag = 0;
      memcpy(&tag, e.data + 3, 4);
      if (!tags.count(tag)) tags[tag] = static_cast<int>(e.tick);
    }
  }
  void AddLyrics(int track, const SmfEvent* events, int count) override {
    FakeLog("SongBuffer.AddLyrics(%d,%d)", track, count);
  }
  int Finish() override {
    FakeLog("SongBuffer.Finish");
    return GetEventTime(lastTick);
  }
  int FindTag(uint32_t tag) override { return tags.count(tag) ? tags[tag] : -1; }
  // Song time: a fixed number of ms per tick, steered by the test.
  int GetEventTime(int index) override { return index < 0 ? -1 : index * FakeGet("buffer.msPerTick", 1); }

  std::map<uint32_t, int> tags;
  int lastTick = 0;
};

}  // namespace

extern "C" {
__declspec(dllexport) IBrevantPlayer* CreateBrevant(int version) {
  FakeLog("CreateBrevant(%d)", version);
  if (version != 1 || FakeGet("brevant.nullPlayer", 0)) return nullptr;
  g_player = new FakePlayer;
  return g_player;
}

__declspec(dllexport) IBrevantSongBuffer* CreateSongBuffer(int version) {
  FakeLog("CreateSongBuffer(%d)", version);
  return version == 1 ? new FakeSongBuffer : nullptr;
}

// Hands an event to the registered callback as the sequencer would; 1 when
// none is registered, else the callback's result.
__declspec(dllexport) int FakeBrevantFire(const PlayEvent* event, int synchronous) {
  if (!g_player || !g_player->callback) return -1;
  return g_player->callback(event, g_player->callbackContext, synchronous);
}

__declspec(dllexport) void FakeBrevantTick(uint32_t now) {
  if (!g_player) return;
  for (IBrevantTimer* timer : g_player->clock.timers)
    if (timer->IsActive()) timer->OnTick(now);
}

__declspec(dllexport) void FakeBrevantReposition(uint32_t now) {
  if (!g_player) return;
  for (IBrevantTimer* timer : g_player->clock.timers) timer->Reposition(now);
}

__declspec(dllexport) int FakeBrevantTimerCount() {
  return g_player ? static_cast<int>(g_player->clock.timers.size()) : -1;
}
}
