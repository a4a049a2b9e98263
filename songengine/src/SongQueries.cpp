#include "SongQueries.h"

#include <algorithm>

bool QueryTrackEvents(ISmfParser2* parser, int track, uint32_t kind, uint32_t type,
                      std::vector<SmfEvent>& out) {
  out.clear();
  const uint32_t count = parser->CountEvents(track, 0, kSmfAllBits, kind, type, kSmfAllBits);
  if (count == 0) return true;
  out.resize(count);
  if (parser->GetEvents(track, 0, kSmfAllBits, out.data(), kind, type, kSmfAllBits) != 0) {
    out.clear();
    return false;
  }
  if (kind == kSmfKindMeta && type != kSmfAllBits) {
    // The song's filter lets meta events of unlisted types (a port, a
    // program name) through any type mask; a feed asking for lyrics or
    // markers wants those alone.
    out.erase(std::remove_if(out.begin(), out.end(),
                             [type](const SmfEvent& e) {
                               return e.length < 2 || !e.data || (SmfMetaTypeBit(e.data[1]) & type) == 0;
                             }),
              out.end());
  }
  return true;
}

bool ForEachTrackEvents(ISmfParser2* parser, uint32_t kind, uint32_t type, bool controlOnly,
                        const std::function<void(int track, const std::vector<SmfEvent>& events)>& sink) {
  std::vector<SmfEvent> events;
  // The count is read again after each track, as a track may be added meanwhile.
  for (int track = 0; track < parser->GetTrackCount(); ++track) {
    if (controlOnly && !IsControlTrack(parser, track)) continue;
    if (!QueryTrackEvents(parser, track, kind, type, events)) return false;
    if (!events.empty()) sink(track, events);
  }
  return true;
}

int32_t PackShortMessage(const SmfEvent& event) {
  if (!event.data || event.length == 0) return 0;
  uint32_t packed = event.data[0];
  if (event.length > 1) packed |= uint32_t{event.data[1]} << 8;
  if (event.length > 2) packed |= uint32_t{event.data[2]} << 16;
  return static_cast<int32_t>(packed);
}

bool IsControlTrack(ISmfParser2* parser, int track) {
  return parser->GetTrackChunkId(track) == kSmfChunkMCtl;
}
