// CSmfParser2: AddTrack, AddEvent, InsertEvent. None of them touches the song
// lists, program records, note range or drum track; the queries compute
// program records and note ranges on demand.
#include <algorithm>

#include "CSmfParser2.h"
#include "base/Guarded.h"

uint16_t CSmfParser2::AddTrack(uint32_t chunkId) {
  return base::Guarded(
      [&] {
        // One above the highest index: after a load of selected tracks the list
        // size could name a track that is already there.
        int index = 0;
        for (const SmfTrack& t : tracks_) index = std::max(index, t.index + 1);
        SmfTrack& track = tracks_.emplace_back();
        track.index = static_cast<int16_t>(index);
        track.chunkId = chunkId;
        return static_cast<uint16_t>(index);
      },
      static_cast<uint16_t>(0xFFFF));
}

int CSmfParser2::AddEvent(int track, uint16_t kind, uint32_t length, const uint8_t* bytes, uint32_t tick) {
  return PutEvent(track, kind, length, bytes, tick, false);
}

int CSmfParser2::InsertEvent(int track, uint16_t kind, uint32_t length, const uint8_t* bytes, uint32_t tick) {
  return PutEvent(track, kind, length, bytes, tick, true);
}

int CSmfParser2::PutEvent(int track, uint16_t kind, uint32_t length, const uint8_t* bytes, uint32_t tick,
                          bool ordered) {
  // An appended event goes after every event inserted before it.
  if (!ordered) SettleInserts();
  SmfTrack* t = LookUpTrack(track);
  if (!t || (length && !bytes)) return 1;
  return base::Guarded(
      [&] {
        std::vector<SmfEvent>& events = t->events;
        std::vector<SmfEvent>& inserted = t->inserted;
        // Inserting one by one moves the rest of the track each time: a song
        // given a lyric for every note moves it thousands of times. While the
        // track is in tick order the events wait aside and go in at once, at
        // the next question about the track or the song.
        const bool aside =
            ordered && (!inserted.empty() ||
                        std::is_sorted(events.begin(), events.end(),
                                       [](const SmfEvent& a, const SmfEvent& b) { return a.tick < b.tick; }));
        // Room first, so a failed allocation below cannot leave a half-made
        // event, nor a waiting one without its place in the track.
        const size_t needed = events.size() + inserted.size() + 1;
        if (needed > events.capacity()) events.reserve(needed + needed / 2 + 8);
        if (aside && inserted.size() == inserted.capacity()) inserted.reserve(inserted.size() * 2 + 8);
        const SmfEvent e{tick, kind, length, bytes_.Copy(bytes, length)};
        if (aside) {
          inserted.push_back(e);
          ++insertsWaiting_;
        } else if (!ordered) {
          events.push_back(e);
        } else {
          // Before the first event at or after tick; events may be out of order.
          auto at = std::find_if(events.begin(), events.end(),
                                 [tick](const SmfEvent& x) { return x.tick >= tick; });
          events.insert(at, e);
        }
        return 0;
      },
      1);
}

void CSmfParser2::SettleInserts() noexcept {
  if (insertsWaiting_ == 0) return;
  for (SmfTrack& t : tracks_) {
    std::vector<SmfEvent>& inserted = t.inserted;
    if (inserted.empty()) continue;
    // One at a time, each would have gone before the first event at or after
    // its tick, so before those inserted earlier on the same tick: by tick,
    // the later given first, and before the track's own events of that tick.
    std::reverse(inserted.begin(), inserted.end());
    std::stable_sort(inserted.begin(), inserted.end(),
                     [](const SmfEvent& a, const SmfEvent& b) { return a.tick < b.tick; });
    std::vector<SmfEvent>& events = t.events;
    size_t own = events.size(), waiting = inserted.size();
    events.resize(own + waiting);  // within the room made when they came
    for (size_t to = own + waiting; waiting > 0; --to) {
      if (own > 0 && events[own - 1].tick >= inserted[waiting - 1].tick) {
        events[to - 1] = events[--own];
      } else {
        events[to - 1] = inserted[--waiting];
      }
    }
    inserted.clear();
  }
  insertsWaiting_ = 0;
}
