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
  SmfTrack* t = FindTrack(track);
  if (!t || (length && !bytes)) return 1;
  return base::Guarded(
      [&] {
        std::vector<SmfEvent>& events = t->events;
        // Room first, so a failed allocation below cannot leave a half-made event.
        if (events.size() == events.capacity()) events.reserve(events.size() + events.size() / 2 + 8);
        const SmfEvent e{tick, kind, length, bytes_.Copy(bytes, length)};
        if (!ordered) {
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
