#pragma once
// A song as the player takes it: channel events, lyric and marker events of
// each track, time signatures and tempos. Everything given is copied, so the
// caller's arrays and event bytes may go once a call returns.
//
// Ticks are 120 per quarter note. An "event index" is a tick: FindTag answers
// one and GetEventTime turns one into a time. Times are milliseconds of song
// time, counted from tick 0 (the player adds its delay: IBrevantPlayer).
#include <cstdint>

#include <scrivel/SmfRecords.h>

class IBrevantSongBuffer {
 public:
  virtual void Release() = 0;
  // Drops everything given so far.
  virtual void Clear() = 0;
  // Channel events of one track (kind 1), in file order. Events that are not
  // channel messages are skipped.
  virtual void AddTrackEvents(int track, const SmfEvent* events, int count) = 0;
  // Replaces the time signatures. Entries with numerator 0 or a beat shorter
  // than a tick are skipped; none left means 4/4 from the start.
  virtual void SetTimeSignatures(const SmfTimeSigEntry* entries, int count) = 0;
  // Replaces the tempos, in any order. Non-finite or non-positive values are
  // skipped, the rest held to 1..1000 BPM. None left: the buffer's own
  // answers take 120 BPM, the player plays at its SetTempo value (120 when
  // it has none). Before the first entry the first entry's tempo holds.
  virtual void SetTempos(const SmfTempoEntry* entries, int count) = 0;
  // Meta 0x80 events (FF 80 len tag...) of the song's "MCtl" tracks; payloads
  // shorter than four bytes are skipped.
  virtual void AddMarkers(int track, const SmfEvent* events, int count) = 0;
  // Lyric meta events (FF 05 ...); the player reports them as they are reached.
  virtual void AddLyrics(int track, const SmfEvent* events, int count) = 0;
  // Song length in ms: the time of the last event of any kind; 0 for an
  // empty buffer. May be called again after more events were added.
  virtual int Finish() = 0;
  // The tick of the earliest marker with that four-character tag (bytes in
  // memory order, "CLST" = 'C' first), or -1.
  virtual int FindTag(uint32_t tag) = 0;
  // Song time in ms of a tick, rounded; beyond the last event the last tempo
  // goes on. -1 for a negative index.
  virtual int GetEventTime(int index) = 0;

 protected:
  ~IBrevantSongBuffer() = default;
};
