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

  // The song compiled for the player, with fallbackBpm for a song without
  // tempos. A song with tempos compiles the same under any fallback, so the
  // buffer's own view is handed out then instead of a second compile.
  std::shared_ptr<const CompiledSong> Compile(double fallbackBpm);

 private:
  // The buffer's own view of the song (120 BPM without tempos), rebuilt after
  // a change at the next question.
  const CompiledSong& Compiled();
  // Room for more events beyond those held.
  void Reserve(size_t more);

  SongSource source_;
  std::shared_ptr<const CompiledSong> compiled_;
};

// Times as the interfaces give them: whole milliseconds, held to int.
int RoundMs(double ms);
