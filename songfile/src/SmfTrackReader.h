#pragma once
// Reads the events of one track chunk into a track, rescaling ticks to 120 per
// quarter and offering tempo, time- and key-signature events to the song lists.
// The chunk is untrusted (see SmfDecode.h for how its length is judged): a
// partial final event is dropped and the events before it are kept.
#include <cstddef>
#include <cstdint>

#include "ByteArena.h"
#include "ByteReader.h"
#include "SmfTrack.h"

struct SmfSongLists;

class SmfTrackReader {
 public:
  // ticksPerQuarter: the file's division as ticks per quarter (not 0).
  SmfTrackReader(ByteReader& in, uint32_t ticksPerQuarter, ByteArena& arena, SmfSongLists& lists,
                 int32_t& drumTrack)
      : in_(in), ticksPerQuarter_(ticksPerQuarter), arena_(arena), lists_(lists), drumTrack_(drumTrack) {}

  // Reads the chunk whose body starts at body and leaves the reader where the
  // next chunk head is expected.
  void Read(SmfTrack& track, size_t body, uint32_t declaredLength);

 private:
  // Each returns false when the event is partial or lies about its length.
  bool ReadMeta(SmfTrack& track, size_t start, uint32_t tick, bool& endOfTrack);
  bool ReadSysEx(SmfTrack& track, size_t start, uint32_t tick);
  bool ReadChannel(SmfTrack& track, uint8_t first, uint32_t tick);
  void OfferToLists(const SmfEvent& e, uint8_t type, uint32_t payload, uint32_t lengthBytes);

  ByteReader& in_;
  uint32_t ticksPerQuarter_;
  ByteArena& arena_;
  SmfSongLists& lists_;
  int32_t& drumTrack_;

  // Per-chunk state.
  uint8_t runningStatus_ = 0;
  bool haveNote_ = false;
  uint8_t lowNote_ = 0;
  uint8_t highNote_ = 0;
};
