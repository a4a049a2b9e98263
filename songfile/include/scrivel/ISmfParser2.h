#pragma once
// The song object: tracks of events in memory, read from and written to
// Standard MIDI Files. Made by CreateScrivel2(1); ended with Release.
// Track arguments are track indices (compared as 16 bits), never list
// positions. Unless said otherwise results are 0 for success.
#include <cstdint>

#include "scrivel/SmfRecords.h"

class ISmfParser2 {
 public:
  virtual void Release() = 0;

  // @name Editing and writing
  // The legacy operations hand work to the owned legacy parser (ISmfParser).
  virtual int LegacyAddEvent(int track, int kind, uint32_t length, const uint8_t* bytes, uint32_t delta) = 0;
  virtual int LegacyAddTrack() = 0;
  virtual int LegacySaveAs(const char* path) = 0;
  // Copies the bytes. 1 when no track has that index.
  virtual int AddEvent(int track, uint16_t kind, uint32_t length, const uint8_t* bytes, uint32_t tick) = 0;
  // Appends an empty track with that chunk id; returns its index.
  virtual uint16_t AddTrack(uint32_t chunkId) = 0;
  // Like AddEvent, but before the first event whose tick is >= tick.
  virtual int InsertEvent(int track, uint16_t kind, uint32_t length, const uint8_t* bytes, uint32_t tick) = 0;
  // 1 when the file cannot be written; a failed write leaves no file behind.
  virtual int SaveAs(const char* path) = 0;

  // @name Reading
  // trackList (ascending indices) and count both given, or neither; an SmfLoadResult.
  virtual int Load(const char* path, const uint16_t* trackList, uint16_t count) = 0;
  virtual void Reset() = 0;
  virtual uint16_t GetFormat() = 0;
  // 0, or kSmfSplitRefused when the song does not hold exactly one track.
  virtual int SplitByChannel() = 0;
  virtual uint16_t GetTrackCount() = 0;

  // @name Song-wide lists (a missing list gets its default: 4/4, 120 BPM, C major)
  // out[0] numerator, out[1] power; 6 when out is null.
  virtual int GetFirstTimeSignature(uint8_t* out) = 0;
  // With a null out only the count.
  virtual uint32_t GetTimeSignatures(SmfTimeSigEntry* out) = 0;
  virtual long double GetInitialBpm() = 0;
  virtual uint16_t GetTempos(SmfTempoEntry* out) = 0;
  // The key byte in the low byte, unsigned (one flat is 0xFF).
  virtual uint16_t GetFirstKeySignature() = 0;
  virtual uint16_t GetKeySignatures(SmfKeySigEntry* out) = 0;
  virtual uint16_t TickToMeasure(uint32_t tick) = 0;
  virtual uint32_t MeasureToTick(uint16_t measure) = 0;

  // @name Events and tracks
  // Events with from <= tick <= to whose kind, type and sub-type (controller
  // number) bits all lie inside the masks; a zero bit always matches.
  virtual uint32_t CountEvents(int track, uint32_t from, uint32_t to, uint32_t kindMask, uint32_t typeMask,
                               uint32_t subTypeMask) = 0;
  // Fills out (sized by CountEvents) in track order; the data stays the song's.
  virtual int GetEvents(int track, uint32_t from, uint32_t to, SmfEvent* out, uint32_t kindMask,
                        uint32_t typeMask, uint32_t subTypeMask) = 0;
  virtual int32_t GetDrumTrack() = 0;
  virtual uint16_t GetTrackMeasureCount(int track) = 0;
  // Name length + 1 (room for the terminating zero); 0 when no such track.
  virtual uint32_t GetTrackName(int track, char* out) = 0;
  virtual uint16_t GetTrackProgram(int track) = 0;
  virtual uint32_t GetProgramChanges(int track, SmfProgramChange* out) = 0;
  // Always 1; nothing written when no such track.
  virtual int GetNoteRange(int track, int16_t* low, int16_t* high) = 0;
  // 0 when no such track.
  virtual uint32_t GetTrackChunkId(int track) = 0;

  // Destructor slot: frees the object when bit 0 of flags is set. Use Release.
  virtual void Destroy(unsigned flags) = 0;

 protected:
  ~ISmfParser2() = default;
};
