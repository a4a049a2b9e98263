#include "CompiledSong.h"
#include "base/Handles.h"
#include "base/MidiShort.h"

#include <algorithm>
#include <queue>

namespace {

// The event list a song left; songs may go on any thread.
struct SpareEvents {
  base::CriticalSection lock;
  std::vector<SongEvent> events;
};

SpareEvents& Spare() {
  static SpareEvents* spare = new SpareEvents();  // outlives every song, at exit too
  return *spare;
}

// The events in playing order: by tick, kind, track, then the order given.
// Merging the source's runs gives what a stable sort would, without a copy to
// sort and the sort's buffer: on a large song those are megabytes of fresh
// memory.
void MergeRuns(const SongSource& source, std::vector<SongEvent>* out) {
  const std::vector<SongSource::Event>& events = source.events;
  const std::vector<SongSource::Run>& runs = source.runs;
  struct Head {
    size_t next, end;
  };
  std::vector<Head> heads(runs.size());
  for (size_t r = 0; r < runs.size(); ++r)
    heads[r] = {runs[r].begin, r + 1 < runs.size() ? runs[r + 1].begin : events.size()};
  out->clear();
  out->reserve(events.size());
  // Of equal events the earlier run, which was given first, goes first.
  auto later = [&](size_t a, size_t b) {
    const uint32_t x = events[heads[a].next].tick, y = events[heads[b].next].tick;
    if (x != y) return x > y;
    if (runs[a].kind != runs[b].kind) return runs[a].kind > runs[b].kind;
    if (runs[a].track != runs[b].track) return runs[a].track > runs[b].track;
    return a > b;
  };
  std::priority_queue<size_t, std::vector<size_t>, decltype(later)> waiting(later);
  for (size_t r = 0; r < runs.size(); ++r)
    if (heads[r].next < heads[r].end) waiting.push(r);
  while (!waiting.empty()) {
    const size_t r = waiting.top();
    waiting.pop();
    const SongSource::Run& run = runs[r];
    // A run often goes on for a while before another one's turn comes.
    do {
      const SongSource::Event& e = events[heads[r].next];
      out->push_back({e.tick, run.kind, run.track, e.value, 0.0});
      if (++heads[r].next == heads[r].end) break;
      if (!waiting.empty() && later(r, waiting.top())) {
        waiting.push(r);
        break;
      }
    } while (true);
  }
}

}  // namespace

void SongSource::Add(SongEventKind kind, int track, uint32_t tick, uint32_t value) {
  if (runs.empty() || runs.back().kind != kind || runs.back().track != track ||
      (events.size() > runs.back().begin && tick < events.back().tick))
    runs.push_back({kind, track, events.size()});
  events.push_back({tick, value});
}

void SongSource::Clear() {
  // The lists keep their memory for the next song.
  events.clear();
  runs.clear();
  tempos.clear();
  timeSignatures.clear();
}

CompiledSong::~CompiledSong() {
  SpareEvents& spare = Spare();
  base::ScopedLock lock(spare.lock);
  if (events.capacity() > spare.events.capacity()) spare.events.swap(events);
}

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
  {
    SpareEvents& spare = Spare();
    base::ScopedLock lock(spare.lock);
    song->events.swap(spare.events);
  }
  MergeRuns(source, &song->events);
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
