#pragma once
#include <memory>

#include <brevant/IBrevantSongBuffer.h>

#include "CompiledSong.h"

// Collects one song for the player. Event bytes are decoded and copied at
// once: the caller frees its arrays after each call and may release the
// parser that owns the bytes long before the song stops playing.
class CSongBuffer final : public IBrevantSongBuffer {
 public:
  void Release() override;
  void Clear() override;
  void AddTrackEvents(int track, const SmfEvent* events, int count) override;
  void SetTimeSignatures(const SmfTimeSigEntry* entries, int count) override;
  void SetTempos(const SmfTempoEntry* entries, int count) override;
  void AddMarkers(int track, const SmfEvent* events, int count) override;
  void AddLyrics(int track, const SmfEvent* events, int count) override;
  int Finish() override;
  int FindTag(uint32_t tag) override;
  int GetEventTime(int index) override;

  // A compiled copy for the player, with fallbackBpm for a song without tempos.
  std::shared_ptr<const CompiledSong> Compile(double fallbackBpm) const;

 private:
  // The buffer's own view of the song (120 BPM without tempos), rebuilt after
  // every change.
  const CompiledSong& Compiled();

  SongSource source_;
  std::shared_ptr<const CompiledSong> compiled_;
};

// Times as the interfaces give them: whole milliseconds, held to int.
int RoundMs(double ms);
