#pragma once
// A legacy song object that only keeps what the recorder builds in it, so the
// track layout of a save can be checked without Scrivel.dll. Reading
// operations are never used by the recorder and answer as an empty song.
#include <cstdint>
#include <string>
#include <vector>

#include <scrivel/ISmfParser.h>

class FakeSongWriter : public ISmfParser {
 public:
  struct Event {
    int kind;
    std::vector<uint8_t> bytes;
    uint32_t delta;
    bool operator==(const Event& o) const { return kind == o.kind && bytes == o.bytes && delta == o.delta; }
  };

  std::vector<std::vector<Event>> tracks;
  std::vector<std::string> savedTo;
  int saveResult = 0;          // what SaveAs answers: 1 is a failed write
  int failAddEventAfter = -1;  // AddEvent fails from this call on (-1: never)
  int releases = 0;

  int AddEvent(int track, int kind, uint32_t length, const uint8_t* bytes, uint32_t delta) override {
    if (failAddEventAfter >= 0 && addEventCalls_++ >= failAddEventAfter) return 1;
    if (track < 0 || track >= static_cast<int>(tracks.size())) return 1;
    tracks[track].push_back(Event{kind, std::vector<uint8_t>(bytes, bytes + length), delta});
    return 0;
  }
  int AddTrack() override {
    tracks.emplace_back();
    return 0;
  }
  int SaveAs(const char* path) override {
    savedTo.push_back(path);
    return saveResult;
  }
  void Release() override { ++releases; }

  int Load(const char*) override { return 1; }
  uint32_t CountEvents(int, uint16_t, uint16_t, uint32_t, uint32_t, int) override { return 0; }
  int GetEvents(int, uint16_t, uint16_t, SmfEventNode**, uint32_t, uint32_t, int) override { return 1; }
  int FreeEvents(SmfEventNode*, uint32_t) override { return 0; }
  int GetTimeSignatureAt(uint16_t, uint8_t*) override { return 1; }
  const std::vector<SmfTimeSigEntry>* GetTimeSignatureList() override { return &noTimeSigs_; }
  SmfTrackNode* GetTrack(int) override { return nullptr; }
  uint16_t GetFormat() override { return 1; }
  uint16_t GetTrackCount() override { return static_cast<uint16_t>(tracks.size()); }
  uint16_t GetInitialBpm() override { return 0; }
  const std::vector<SmfTempoEntry>* GetTempoList() override { return &noTempos_; }
  uint16_t GetKeySignature() override { return 0; }
  const std::vector<SmfKeySigEntry>* GetKeySignatureList() override { return &noKeys_; }
  uint16_t GetTrackMeasureCount(int) override { return 0; }
  uint16_t GetMaxMeasureCount() override { return 0; }
  int SplitByChannel() override { return 1; }
  int GetTrackNames(SmfTrackNameEntry*, uint32_t) override { return 1; }
  int GetChannelPrograms(SmfNumberPair*, uint32_t) override { return 1; }
  int GetLowestNotes(SmfNumberPair*, uint32_t) override { return 1; }
  int GetHighestNotes(SmfNumberPair*, uint32_t) override { return 1; }
  int32_t GetDrumTrack() override { return -1; }
  uint16_t GetTrackCount2() override { return GetTrackCount(); }
  void Destroy(unsigned) override {}

 private:
  int addEventCalls_ = 0;
  std::vector<SmfTimeSigEntry> noTimeSigs_;
  std::vector<SmfTempoEntry> noTempos_;
  std::vector<SmfKeySigEntry> noKeys_;
};
