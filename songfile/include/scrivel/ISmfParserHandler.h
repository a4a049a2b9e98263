#pragma once
// A small service over a song for attaching lyric syllables to notes: loads a
// song, keeps its time signatures and the channel messages of one track, and
// answers tick questions. Made by CreateScrivelHandler(1); ended with Release.
// Measures and beats count from 0; ticks are 120 per quarter.
#include <cstdint>

#include "scrivel/SmfRecords.h"

class ISmfParser2;

class ISmfParserHandler {
 public:
  virtual void Release() = 0;
  // 1 when the song loaded, else 0 (also for a null path).
  virtual int Open(const char* path) = 0;
  // A track outside the song leaves no events selected.
  virtual void SelectTrack(int track) = 0;
  // Beat 0 is 10 ticks before the bar line; 0 without a song.
  virtual uint32_t MeasureBeatToTick(int measure, int beat) = 0;
  // The n-th sounding note-on strictly after tick; 0 when none.
  virtual uint32_t FindNthNoteOnAfter(uint32_t tick, int n) = 0;
  // End of the sounding note that starts at tick; 0 when none.
  virtual uint32_t FindNoteEnd(uint32_t tick) = 0;
  // 1, or 0 without time signatures or without out.
  virtual int GetTimeSignatureAt(int measure, SmfBeatInfo* out) = 0;
  // Destructor slot: frees the object when bit 0 of flags is set. Use Release.
  virtual void Destroy(unsigned flags) = 0;
  // Hands the opened song over, so that it need not be read again to be
  // changed: the parser holding it becomes the caller's (ended with Release),
  // and the handler holds no song until the next Open. Null when no song is open.
  virtual ISmfParser2* TakeSong() = 0;

 protected:
  ~ISmfParserHandler() = default;
};
