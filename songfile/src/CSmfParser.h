#pragma once
// The legacy song object behind ISmfParser: tracks as linked lists of event
// nodes with delta times, and a measure-based view. Split by topic:
//   CSmfParser.cpp      life cycle, building (AddTrack, AddEvent), SaveAs,
//                       the simple getters and per-track tables
//   CSmfParserRead.cpp  Load, the measure view, event queries, SplitByChannel
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "LegacyMeasureTable.h"
#include "scrivel/ISmfParser.h"

class ByteReader;

class CSmfParser final : public ISmfParser {
 public:
  CSmfParser() = default;
  ~CSmfParser();
  CSmfParser(const CSmfParser&) = delete;
  CSmfParser& operator=(const CSmfParser&) = delete;

  int AddEvent(int track, int kind, uint32_t length, const uint8_t* bytes, uint32_t delta) override;
  int AddTrack() override;
  int SaveAs(const char* path) override;
  int Load(const char* path) override;
  uint32_t CountEvents(int track, uint16_t fromMeasure, uint16_t toMeasure, uint32_t kindMask,
                       uint32_t typeMask, int controller) override;
  int GetEvents(int track, uint16_t fromMeasure, uint16_t toMeasure, SmfEventNode** out, uint32_t kindMask,
                uint32_t typeMask, int controller) override;
  int FreeEvents(SmfEventNode* events, uint32_t count) override;
  int GetTimeSignatureAt(uint16_t measure, uint8_t* out) override;
  const std::vector<SmfTimeSigEntry>* GetTimeSignatureList() override;
  SmfTrackNode* GetTrack(int index) override;
  uint16_t GetFormat() override { return format_; }
  uint16_t GetTrackCount() override { return trackCount_; }
  uint16_t GetInitialBpm() override { return initialBpm_; }
  const std::vector<SmfTempoEntry>* GetTempoList() override { return &tempos_; }
  uint16_t GetKeySignature() override { return lastKey_; }
  const std::vector<SmfKeySigEntry>* GetKeySignatureList() override { return &keys_; }
  uint16_t GetTrackMeasureCount(int track) override;
  uint16_t GetMaxMeasureCount() override { return maxMeasureCount_; }
  int SplitByChannel() override;
  int GetTrackNames(SmfTrackNameEntry* out, uint32_t capacity) override;
  int GetChannelPrograms(SmfNumberPair* out, uint32_t capacity) override;
  int GetLowestNotes(SmfNumberPair* out, uint32_t capacity) override;
  int GetHighestNotes(SmfNumberPair* out, uint32_t capacity) override;
  int32_t GetDrumTrack() override { return drumTrack_; }
  uint16_t GetTrackCount2() override { return trackCount_; }
  void Release() override;
  void Destroy(unsigned flags) override;

 private:
  // A node with its own copy of the bytes.
  static SmfEventNode* NewNode(uint32_t delta, uint32_t kind, const uint8_t* bytes, uint32_t length);
  void FreeSong();
  SmfTrackNode* AppendTrack();
  int LoadFrom(ByteReader& in);
  void ReadTrack(ByteReader& in, uint16_t number, SmfTrackNode& track, uint32_t ticksPerQuarter, size_t body,
                 uint32_t length);
  void ReadMeta(uint16_t number, const uint8_t* bytes, uint32_t length, uint32_t payloadAt, uint32_t tick);
  // The time-signature table and the measure counts, from the tracks as they are.
  void RebuildMeasures();
  // Whether a node passes the filter of the event queries.
  static bool Passes(const SmfEventNode& node, uint32_t kindMask, uint32_t typeMask, int controller);

  // @name Fields
  std::map<uint16_t, std::string> names_;      // by track
  std::map<uint16_t, uint16_t> programs_;      // by track (format 1) or channel (format 0)
  std::map<uint16_t, uint16_t> lowestNotes_;   // by track
  std::map<uint16_t, uint16_t> highestNotes_;  // by track
  int32_t drumTrack_ = -1;
  uint16_t format_ = 1;
  uint16_t trackCount_ = 0;
  uint16_t division_ = 120;
  uint16_t initialBpm_ = 0;
  uint16_t channelCount_ = 0;  // channels found by the format-0 scan
  SmfTrackNode* tracks_ = nullptr;
  std::vector<uint32_t> chunkLengths_;
  LegacyMeasureTable timeSignatures_;
  std::vector<SmfTempoEntry> tempos_;
  std::vector<SmfKeySigEntry> keys_;
  std::vector<SmfTimeSigEntry> timeSignatureList_;  // copy of the table, made on first request
  bool haveTimeSignatureList_ = false;
  std::vector<uint16_t> measureCounts_;
  uint16_t maxMeasureCount_ = 0;
  uint16_t lastKey_ = 0;
};
