// The score buffer behind IScoreBuffer: copies the engine's records, checking
// each on the way in, and turns a track's note events into bars of notes.
#pragma once

#include <cstdint>

#include "score/IScoreBuffer.h"

class CScoreBuffer final : public IScoreBuffer {
 public:
  // More bars than this are not kept: a 4/4 song would play for two days.
  static constexpr int kMaxBars = 100000;

  CScoreBuffer() = default;
  CScoreBuffer(const CScoreBuffer&) = delete;
  CScoreBuffer& operator=(const CScoreBuffer&) = delete;

  void Release() override;
  int Clear() override;
  int SetTimeSignatures(const ScoreTimeSig* sigs, int count) override;
  int SetKeySignatures(const ScoreKeySig* sigs, int count) override;
  int SetTexts(const ScoreText* texts, int count, int track) override;
  int SetLyrics(int track, const ScoreLyric* lyrics, int count) override;
  int AddTrackNotes(int track, ScoreNoteEvent* events, unsigned count, int barCount, int staffKind) override;
  ScoreData* GetData() override;
  void Destroy(unsigned flags) override;

  // Moves events in the last 14 ticks of a bar onto the next bar line.
  static void QuantizeBarEnds(const ScoreData& data, ScoreNoteEvent* events, unsigned count);

 private:
  ~CScoreBuffer();
  ScoreBar* BuildBars(ScoreNoteEvent* events, unsigned count, int barCount);
  static void FreeBars(ScoreBar* bars);
  void FreeAllBars();

  ScoreData data_;
};
