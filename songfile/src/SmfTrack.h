#pragma once
// One track of a song. Its events point into the song's byte arena.
#include <cstdint>
#include <string>
#include <vector>

#include "scrivel/SmfRecords.h"

struct SmfTrack {
  // The number every operation addresses the track by: the chunk's position
  // among the file's track chunks, or as given by AddTrack; -1 when unattached.
  int16_t index = -1;
  std::vector<SmfEvent> events;  // file order; AddEvent may append out of tick order
  // InsertEvent's events not yet in events, in the order given; only while
  // events is in tick order, and events has room for them all.
  std::vector<SmfEvent> inserted;
  std::vector<SmfProgramChange> programChanges;
  std::string name;
  // A range with highNote below lowNote is not computed yet.
  uint32_t lowNote = 255;
  uint32_t highNote = 0;
  uint32_t chunkId = kSmfChunkMTrk;
};
