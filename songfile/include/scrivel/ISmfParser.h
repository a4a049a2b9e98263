#pragma once
// The older song object: tracks as linked lists of events with delta times and
// a measure-based view of the song. The system writes MIDI files with it (the
// MIDI recorder builds and saves recordings through AddTrack, AddEvent and
// SaveAs). Made by CreateScrivel(1); ended with Release.
#include <cstdint>
#include <vector>

#include "scrivel/SmfRecords.h"

// An event of a legacy track. data is the message in file form; a meta event
// read by Load keeps its length bytes as in the file.
struct SmfEventNode {
  uint32_t delta;  // ticks since the previous event of the track
  uint32_t kind;   // 1 channel, 2 system exclusive, 4 meta; 0 when added with AddEvent
  uint32_t length;
  uint8_t* data;
  SmfEventNode* next;
};

// A legacy track; tracks form a list in file order.
struct SmfTrackNode {
  uint32_t eventCount;
  SmfEventNode* first;
  SmfTrackNode* next;
};

// Names are cut to fit with their terminating zero.
constexpr uint32_t kSmfTrackNameSize = 260;

struct SmfTrackNameEntry {
  uint16_t track;
  char name[kSmfTrackNameSize];
};

// A number (track or channel) with a value (program or note).
struct SmfNumberPair {
  uint16_t number;
  uint16_t value;
};

class ISmfParser {
 public:
  // @name Writing
  // Links a copy before the track's end-of-track event; 1 when no such track.
  virtual int AddEvent(int track, int kind, uint32_t length, const uint8_t* bytes, uint32_t delta) = 0;
  // A track holding only its end-of-track event.
  virtual int AddTrack() = 0;
  // 1 when the file cannot be written; a failed write leaves no file behind.
  virtual int SaveAs(const char* path) = 0;

  // @name Reading (measures are 0-based)
  // 0, or 1 on any failure.
  virtual int Load(const char* path) = 0;
  // controller -1 takes every control change.
  virtual uint32_t CountEvents(int track, uint16_t fromMeasure, uint16_t toMeasure, uint32_t kindMask,
                               uint32_t typeMask, int controller) = 0;
  // *out receives a new array of that many nodes with their own bytes; free it
  // with FreeEvents. Deltas of skipped events are carried to the next kept one.
  virtual int GetEvents(int track, uint16_t fromMeasure, uint16_t toMeasure, SmfEventNode** out,
                        uint32_t kindMask, uint32_t typeMask, int controller) = 0;
  virtual int FreeEvents(SmfEventNode* events, uint32_t count) = 0;
  // out[0] numerator, out[1] power in force at the measure; 1 when the table is empty.
  virtual int GetTimeSignatureAt(uint16_t measure, uint8_t* out) = 0;
  // The lists stay the parser's and live until the next Load.
  virtual const std::vector<SmfTimeSigEntry>* GetTimeSignatureList() = 0;
  // Null when index is not below the track count.
  virtual SmfTrackNode* GetTrack(int index) = 0;
  virtual uint16_t GetFormat() = 0;
  virtual uint16_t GetTrackCount() = 0;
  // Rounded BPM of the first tempo event, 0 when none.
  virtual uint16_t GetInitialBpm() = 0;
  virtual const std::vector<SmfTempoEntry>* GetTempoList() = 0;
  // The key byte of the last key signature read.
  virtual uint16_t GetKeySignature() = 0;
  virtual const std::vector<SmfKeySigEntry>* GetKeySignatureList() = 0;
  virtual uint16_t GetTrackMeasureCount(int track) = 0;
  virtual uint16_t GetMaxMeasureCount() = 0;
  // 0, or 1 when the song is not format 0.
  virtual int SplitByChannel() = 0;

  // @name Per-track tables: 1, or 0 when capacity is below the number of entries
  virtual int GetTrackNames(SmfTrackNameEntry* out, uint32_t capacity) = 0;
  virtual int GetChannelPrograms(SmfNumberPair* out, uint32_t capacity) = 0;
  virtual int GetLowestNotes(SmfNumberPair* out, uint32_t capacity) = 0;
  virtual int GetHighestNotes(SmfNumberPair* out, uint32_t capacity) = 0;
  virtual int32_t GetDrumTrack() = 0;
  // The same as GetTrackCount; kept for callers of the old slot.
  virtual uint16_t GetTrackCount2() = 0;

  virtual void Release() = 0;
  // Destructor slot: frees the object when bit 0 of flags is set. Use Release.
  virtual void Destroy(unsigned flags) = 0;

 protected:
  ~ISmfParser() = default;
};
