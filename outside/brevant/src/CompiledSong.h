#pragma once
// A song ready to play: every event the player reports or sends, in playing
// order and with its song time, plus the tempo and bar maps. Built once from
// what a song buffer collected and never changed afterwards, so the player
// can keep playing it while the buffer is cleared and refilled.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include <scrivel/SmfRecords.h>

#include "MeterMap.h"
#include "TempoMap.h"

// Within one tick the kinds play in this order (bar and beat points, which
// are not events, come before all of them).
enum class SongEventKind : uint8_t { kChannel = 0, kLyric = 1, kMarker = 2 };

struct SongEvent {
  uint32_t tick;
  SongEventKind kind;
  int track;
  uint32_t value;  // channel: status | data1 << 8 | data2 << 16; marker: its tag; lyric: 0
  double ms;       // song time, set when the song is compiled
};

// What a song buffer holds before compiling: the events in the order given,
// in runs of one kind of one track in tick order (as a track lists them), so
// that each event needs only its tick and value.
struct SongSource {
  struct Event {
    uint32_t tick;
    uint32_t value;  // as SongEvent::value
  };
  struct Run {
    SongEventKind kind;
    int track;
    size_t begin;  // the run ends where the next one begins
  };
  std::vector<Event> events;
  std::vector<Run> runs;
  std::vector<SmfTempoEntry> tempos;
  std::vector<SmfTimeSigEntry> timeSignatures;

  // Takes an event after those given.
  void Add(SongEventKind kind, int track, uint32_t tick, uint32_t value);
  void Clear();
};

constexpr int kDrumChannel = 9;

struct CompiledSong {
  CompiledSong() = default;
  CompiledSong(const CompiledSong&) = delete;
  CompiledSong& operator=(const CompiledSong&) = delete;
  // Leaves its event list for the next song compiled (see CompileSong).
  ~CompiledSong();

  TempoMap tempo;
  MeterMap meter;
  std::vector<SongEvent> events;  // by tick, kind, track, then order given
  uint32_t endTick = 0;           // the last event's tick
  double lengthMs = 0;            // its time; the song ends there
  std::array<bool, 16> channelUsed{};
  std::array<int, 16> firstProgram{};  // the channel's first program change, -1 for none

  // The earliest marker with that tag, or null.
  const SongEvent* FindTag(uint32_t tag) const;
  // Index of the first event at or after tick.
  size_t FirstEventAtOrAfter(uint32_t tick) const;
};

// A song going leaves its event list's memory to the next song compiled:
// fresh memory for a large song's events costs more to touch than all the
// rest of compiling (under Wine most of all), and a player opens song after
// song of like size. One list is kept, the largest, for the process's life.
std::shared_ptr<const CompiledSong> CompileSong(const SongSource& source, double fallbackBpm);
