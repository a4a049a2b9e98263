#pragma once
// The song-file handler behind ISmfParserHandler: a song's time signatures and
// the channel messages of one selected track, for placing lyric syllables.
#include <cstdint>
#include <vector>

#include "scrivel/ISmfParser2.h"
#include "scrivel/ISmfParserHandler.h"

class CSmfParserHandler final : public ISmfParserHandler {
 public:
  CSmfParserHandler() = default;
  ~CSmfParserHandler();
  CSmfParserHandler(const CSmfParserHandler&) = delete;
  CSmfParserHandler& operator=(const CSmfParserHandler&) = delete;

  void Release() override;
  int Open(const char* path) override;
  void SelectTrack(int track) override;
  uint32_t MeasureBeatToTick(int measure, int beat) override;
  uint32_t FindNthNoteOnAfter(uint32_t tick, int n) override;
  uint32_t FindNoteEnd(uint32_t tick) override;
  int GetTimeSignatureAt(int measure, SmfBeatInfo* out) override;
  void Destroy(unsigned flags) override;
  ISmfParser2* TakeSong() override;

 private:
  void ReloadEvents();
  // The first held event after tick: by halves while the events are in tick
  // order, as a loaded track's are.
  std::vector<SmfEvent>::const_iterator FirstAfter(uint32_t tick) const;

  int32_t track_ = 0;
  ISmfParser2* parser_ = nullptr;
  std::vector<SmfTimeSigEntry> timeSignatures_;
  std::vector<SmfEvent> events_;  // their bytes belong to the parser's song
  bool inTickOrder_ = true;       // events_ is
  bool open_ = false;             // the parser holds the song Open read
};
