#pragma once
#include <cantomere/Cantomere.h>

#include "LyricData.h"

// Copies of one song's lyric and marker events, filled by the song engine for
// each song and handed to the controller through GetLyricData.
class CLyricBuffer final : public ICantomereLyricBuffer {
 public:
  void Release() override;
  void Clear() override;
  void AddMarkers(int track, const SmfEvent* events, int count) override;
  void AddLyrics(int track, const SmfEvent* events, int count) override;
  int GetFirstLyric(int kind) override;
  const CantomereLyricData* GetLyricData() override;

 private:
  CantomereLyricData data_;
};
