#pragma once
// What the player reports while it plays: one fixed 28-byte record per event,
// handed to the event callback. The callback may copy it and carry it to
// another thread; the record itself lives only for the call.
#include <cstdint>

// Event types. Values not listed for a type are 0.
enum PlayEventType : uint32_t {
  kPlayEventNote = 1,       // value1 packed message (status | data1 << 8 | data2 << 16, song channel),
                            // value3 tick, value4 track; note-ons and note-offs of selected tracks
  kPlayEventReserved2 = 2,  // a type of the family's records that this player never sends; dropped
  kPlayEventBeat = 3,       // value1 beat in the bar (0-based), value2 beats per bar, value3 bar (0-based)
  kPlayEventCursor = 4,     // value1 step: 0 at each bar line, then 1, 2, ... at each quarter of a beat
  kPlayEventSeek = 5,       // value1 the tick the song jumped to
  kPlayEventLyric = 6,      // value1 tick, value2 track of the lyric event reached
  kPlayEventReserved7 = 7,  // likewise never sent; dropped
  kPlayEventTag = 8,        // value1 four-character tag (bytes in memory order), value2 tick, value3 track
  kPlayEventPosition = 9,   // value1 whole seconds of player time, never negative
  kPlayEventEnd = 10,       // value1 0: the song played to its end (never sent for Stop)
};

struct PlayEvent {
  uint32_t type;
  int32_t value1;
  int32_t value2;
  int32_t value3;
  int32_t value4;
  int32_t value5;
  int32_t value6;
};
static_assert(sizeof(PlayEvent) == 28, "PlayEvent is 28 bytes");

// synchronous is 1 only when the callback runs on the thread that called into
// the player (so a blocking hand-over to that thread cannot deadlock); events
// from the player's own timing thread always come with 0. The result is not
// read.
typedef int (*BrevantEventCallback)(const PlayEvent* event, void* context, int synchronous);
