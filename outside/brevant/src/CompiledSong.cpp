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

// Playing order: by tick, kind, track, then the order given.
bool PlaysBefore(const SongEvent& a, const SongEvent& b) {
  if (a.tick != b.tick) return a.tick < b.tick;
  if (a.kind != b.kind) return a.kind < b.kind;
  return a.track < b.track;
}

// The events in playing order. They come in runs, one kind of one track in
// tick order each (what one call of a song buffer adds, as a track lists
// them), so merging the runs gives what a stable sort would, without a copy
// to sort and the sort's buffer: on a large song those are megabytes of
// fresh memory.
void MergeRuns(const std::vector<SongEvent>& events, std::vector<SongEvent>* out) {
  struct Run {
    size_t next, end;
  };
  std::vector<Run> runs;
  for (size_t i = 0; i < events.size(); ++i) {
    if (i == 0 || PlaysBefore(events[i], events[i - 1]) || events[i].kind != events[i - 1].kind ||
        events[i].track != events[i - 1].track) {
      if (!runs.empty()) runs.back().end = i;
      runs.push_back({i, events.size()});
    }
  }
  out->clear();
  out->reserve(events.size());
  // Of equal events the earlier run, which was given first, goes first.
  auto later = [&](size_t a, size_t b) {
    const SongEvent& x = events[runs[a].next];
    const SongEvent& y = events[runs[b].next];
    if (PlaysBefore(x, y)) return false;
    if (PlaysBefore(y, x)) return true;
    return a > b;
  };
  std::priority_queue<size_t, std::vector<size_t>, decltype(later)> heads(later);
  for (size_t r = 0; r < runs.size(); ++r) heads.push(r);
  while (!heads.empty()) {
    const size_t r = heads.top();
    heads.pop();
    out->push_back(events[runs[r].next]);
    // A run often goes on for a while before another one's turn comes.
    while (++runs[r].next < runs[r].end) {
      if (!heads.empty() && later(r, heads.top())) {
        heads.push(r);
        break;
      }
      out->push_back(events[runs[r].next]);
    }
  }
}

}  // namespace

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
  MergeRuns(source.events, &song->events);
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
