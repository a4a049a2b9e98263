#include "CompiledSong.h"
#include "base/Handles.h"
#include "base/MidiShort.h"

#include <algorithm>
#include <cstdint>
#include <functional>

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
// memory. Each run waits in a heap under one 64-bit key, its next tick above
// its rank among the runs by kind, track and order given, so that choosing
// the next run is a few integer compares; tracks that play together switch
// runs at nearly every event.
void MergeRuns(const SongSource& source, std::vector<SongEvent>* out) {
  const std::vector<SongSource::Event>& events = source.events;
  const std::vector<SongSource::Run>& runs = source.runs;
  out->clear();
  out->reserve(events.size());
  if (runs.empty()) return;
  std::vector<uint32_t> byRank(runs.size());
  for (size_t r = 0; r < runs.size(); ++r) byRank[r] = uint32_t(r);
  std::sort(byRank.begin(), byRank.end(), [&](uint32_t a, uint32_t b) {
    if (runs[a].kind != runs[b].kind) return runs[a].kind < runs[b].kind;
    if (runs[a].track != runs[b].track) return runs[a].track < runs[b].track;
    return a < b;
  });
  auto end = [&](size_t r) { return r + 1 < runs.size() ? runs[r + 1].begin : events.size(); };
  std::vector<size_t> next(runs.size());
  std::vector<uint64_t> heap;  // a min-heap of keys
  heap.reserve(runs.size());
  for (uint32_t rank = 0; rank < byRank.size(); ++rank) {
    const size_t r = byRank[rank];
    next[r] = runs[r].begin;
    if (next[r] < end(r)) heap.push_back(uint64_t(events[next[r]].tick) << 32 | rank);
  }
  std::make_heap(heap.begin(), heap.end(), std::greater<uint64_t>());
  // The top's key replaced by a larger one (or by the last leaf when its run
  // ended) sinks to its place.
  auto siftDown = [&heap](uint64_t key) {
    const size_t size = heap.size();
    size_t at = 0;
    for (;;) {
      size_t child = 2 * at + 1;
      if (child >= size) break;
      if (child + 1 < size && heap[child + 1] < heap[child]) ++child;
      if (key < heap[child]) break;
      heap[at] = heap[child];
      at = child;
    }
    heap[at] = key;
  };
  while (!heap.empty()) {
    const uint64_t top = heap.front();
    const uint32_t rank = uint32_t(top);
    const size_t r = byRank[rank];
    const SongSource::Run& run = runs[r];
    const size_t stop = end(r);
    // The run goes on while it stays before every other run's next event.
    const uint64_t rival = heap.size() < 2   ? UINT64_MAX
                           : heap.size() < 3 ? heap[1]
                                             : std::min(heap[1], heap[2]);
    size_t i = next[r];
    uint64_t key = top;
    do {
      const SongSource::Event& e = events[i];
      out->push_back({e.tick, run.kind, run.track, e.value, 0.0});
      if (++i == stop) break;
      key = uint64_t(events[i].tick) << 32 | rank;
    } while (key < rival);
    next[r] = i;
    if (i == stop) {
      const uint64_t last = heap.back();
      heap.pop_back();
      if (!heap.empty()) siftDown(last);
    } else {
      siftDown(key);
    }
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
  TempoMap::RisingTicks times(song->tempo);
  for (SongEvent& e : song->events) {
    e.ms = times.TickToMs(e.tick);
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
