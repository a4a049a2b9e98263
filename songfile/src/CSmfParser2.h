#pragma once
// The song object behind ISmfParser2. Its operations are split by topic:
//   CSmfParser2.cpp       life cycle, fields, the legacy operations
//   CSmfParser2Read.cpp   Load (header and chunk scanning), SplitByChannel
//   CSmfParser2Edit.cpp   AddTrack, AddEvent, InsertEvent
//   CSmfParser2Write.cpp  SaveAs
//   CSmfParser2Query.cpp  song lists, measures, event filters, track queries
// The event reader of one track chunk is SmfTrackReader.
#include <cstdint>
#include <vector>

#include "ByteArena.h"
#include "MeasureMap.h"
#include "SmfSongList.h"
#include "SmfTrack.h"
#include "scrivel/ISmfParser.h"
#include "scrivel/ISmfParser2.h"

class ByteReader;

// The three song-wide lists, filled from the meta events of every track.
struct SmfSongLists {
  SmfSongList timeSignatures;
  SmfSongList keySignatures;
  SmfSongList tempos;
};

class CSmfParser2 final : public ISmfParser2 {
 public:
  CSmfParser2();
  ~CSmfParser2();
  CSmfParser2(const CSmfParser2&) = delete;
  CSmfParser2& operator=(const CSmfParser2&) = delete;

  void Release() override;
  int LegacyAddEvent(int track, int kind, uint32_t length, const uint8_t* bytes, uint32_t delta) override;
  int LegacyAddTrack() override;
  int LegacySaveAs(const char* path) override;
  int AddEvent(int track, uint16_t kind, uint32_t length, const uint8_t* bytes, uint32_t tick) override;
  uint16_t AddTrack(uint32_t chunkId) override;
  int InsertEvent(int track, uint16_t kind, uint32_t length, const uint8_t* bytes, uint32_t tick) override;
  int SaveAs(const char* path) override;
  int Load(const char* path, const uint16_t* trackList, uint16_t count) override;
  void Reset() override;
  uint16_t GetFormat() override { return format_; }
  int SplitByChannel() override;
  uint16_t GetTrackCount() override { return trackCount_; }
  int GetFirstTimeSignature(uint8_t* out) override;
  uint32_t GetTimeSignatures(SmfTimeSigEntry* out) override;
  long double GetInitialBpm() override;
  uint16_t GetTempos(SmfTempoEntry* out) override;
  uint16_t GetFirstKeySignature() override;
  uint16_t GetKeySignatures(SmfKeySigEntry* out) override;
  uint16_t TickToMeasure(uint32_t tick) override;
  uint32_t MeasureToTick(uint16_t measure) override;
  uint32_t CountEvents(int track, uint32_t from, uint32_t to, uint32_t kindMask, uint32_t typeMask,
                       uint32_t subTypeMask) override;
  int GetEvents(int track, uint32_t from, uint32_t to, SmfEvent* out, uint32_t kindMask, uint32_t typeMask,
                uint32_t subTypeMask) override;
  int32_t GetDrumTrack() override { return drumTrack_; }
  uint16_t GetTrackMeasureCount(int track) override;
  uint32_t GetTrackName(int track, char* out) override;
  uint16_t GetTrackProgram(int track) override;
  uint32_t GetProgramChanges(int track, SmfProgramChange* out) override;
  int GetNoteRange(int track, int16_t* low, int16_t* high) override;
  uint32_t GetTrackChunkId(int track) override;
  void Destroy(unsigned flags) override;

 private:
  // Track arguments are compared as 16 bits. Any events still waiting to be
  // inserted are put in place first, as every caller reads or changes events.
  SmfTrack* FindTrack(int track);
  SmfTrack* LookUpTrack(int track);
  // Puts the events InsertEvent keeps aside into their tracks. Never fails:
  // the room was made when they were kept.
  void SettleInserts() noexcept;
  int LoadFrom(ByteReader& in, const uint16_t* trackList, uint16_t count);
  int ReadTrackChunks(ByteReader& in, class SmfTrackReader& reader, const uint16_t* trackList,
                      uint16_t count);
  int PutEvent(int track, uint16_t kind, uint32_t length, const uint8_t* bytes, uint32_t tick, bool ordered);
  void WriteTrack(class ByteWriter& out, const SmfTrack& track) const;
  // Rebuilds the measure map after the time-signature list changed.
  const MeasureMap& Measures();

  // @name Fields
  ISmfParser* legacy_ = nullptr;
  uint16_t format_ = 1;
  uint16_t trackCount_ = 0;
  uint16_t division_ = 120;
  int32_t drumTrack_ = -1;
  SmfSongLists lists_;
  std::vector<SmfTrack> tracks_;
  size_t insertsWaiting_ = 0;  // over every track's inserted list
  ByteArena bytes_;            // every event's and list entry's bytes
  MeasureMap measures_;
  uint32_t measuresVersion_ = UINT32_MAX;
};
