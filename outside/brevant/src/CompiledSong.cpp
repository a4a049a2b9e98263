#include "CompiledSong.h"
#include "base/MidiShort.h"

#include <algorithm>

const SongEvent* CompiledSong::FindTag(uint32_t tag) const {
  for (const SongEvent& e : events) {
    if (e.kind == SongEventKind::kMarker && e.value == tag) return &e;
  }
  return nullptr;
}

size_t CompiledSong::FirstEventAtOrAfter(uint32_t tick) const {
  auto it = std::lower_bound(events.begin(), events.end(), tick,
                             [](const SongEvent& e, uint32_t t) { return e.tick < t; });
  return size_t(it - events.begin());
}

std::shared_ptr<const CompiledSong> CompileSong(const SongSource& source, double fallbackBpm) {
  auto song = std::make_shared<CompiledSong>();
  song->tempo = TempoMap(source.tempos.data(), int(source.tempos.size()), fallbackBpm);
  song->meter = MeterMap(source.timeSignatures.data(), int(source.timeSignatures.size()));
  song->events = source.events;
  std::stable_sort(song->events.begin(), song->events.end(), [](const SongEvent& a, const SongEvent& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    if (a.kind != b.kind) return a.kind < b.kind;
    return a.track < b.track;
  });
  song->firstProgram.fill(-1);
  for (SongEvent& e : song->events) {
    e.ms = song->tempo.TickToMs(e.tick);
    if (e.kind != SongEventKind::kChannel) continue;
    int channel = base::ChannelOf(e.value);
    song->channelUsed[channel] = true;
    if (base::KindOf(e.value) == base::kProgramChange && song->firstProgram[channel] < 0)
      song->firstProgram[channel] = base::Data1Of(e.value);
  }
  if (!song->events.empty()) {
    song->endTick = song->events.back().tick;
    song->lengthMs = song->events.back().ms;
  }
  return song;
}
