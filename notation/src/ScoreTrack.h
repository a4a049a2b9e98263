// The measures of one part while the score model builds them. CStaffTrack
// (CDrumTrack for percussion) runs the staff passes, CJianPuTrack the numbered
// ones; the common steps (measures from bars, signatures, keys, ties across
// bar lines) live in the base. Defined in ScoreTrack.cpp, StaffTrack.cpp and
// JianPuTrack.cpp.
#pragma once

#include <memory>
#include <vector>

#include "ScoreMeasure.h"
#include "score/ScoreRecords.h"

class IScorePart;

class CScoreTrack {
public:
  explicit CScoreTrack(IScorePart* part);
  virtual ~CScoreTrack() = default;

  CScoreTrack(const CScoreTrack&) = delete;
  CScoreTrack& operator=(const CScoreTrack&) = delete;

  void SetFixedWidth(bool on, int width);
  void SetSignatures(const std::vector<ScoreTimeSig>& timeSigs, const std::vector<ScoreKeySig>& keySigs);
  // Builds one measure per bar of the buffer's array.
  virtual void Build(const ScoreBar* firstBar, int barCount, bool percussion) = 0;
  // A measure of this track's kind, for the build and for padding.
  virtual std::unique_ptr<CScoreMeasure> CreateMeasure(int sizeLevel, bool percussion) const = 0;
  // Unit width the measure needs by itself, before alignment across tracks.
  virtual double NeededUnitWidth(const CScoreMeasure& m) = 0;
  // Width with signatures once unit width and units per beat are final.
  virtual void FinishWidth(CScoreMeasure& m) const = 0;

  IScorePart* Part() const { return part_; }
  std::vector<std::unique_ptr<CScoreMeasure>>& Measures() { return measures_; }
  const std::vector<int>& TiedMeasures() const { return tiedMeasures_; }

protected:
  // @name Steps shared by both models
  void AssignTimeSignatures();
  void AssignKeys();
  // Cuts notes that run over the bar line and continues them, tied, in the next measure.
  void TieAcrossBarLines(bool twoStaves);
  // Highest unit width its lyric syllables need in measure m, 0 without lyrics there.
  double LyricUnitWidth(const CScoreMeasure& m);

  IScorePart* part_;
  int tieCounter_ = 1;
  std::vector<int> tiedMeasures_;  // measures that end with a tie into the next
  bool fixedWidthOn_ = false;
  int fixedWidth_ = 0;
  std::vector<std::unique_ptr<CScoreMeasure>> measures_;
  std::vector<ScoreKeySig> keySigs_;
  std::vector<ScoreTimeSig> timeSigs_;
};

class CStaffTrack : public CScoreTrack {
public:
  using CScoreTrack::CScoreTrack;
  void Build(const ScoreBar* firstBar, int barCount, bool percussion) override;
  std::unique_ptr<CScoreMeasure> CreateMeasure(int sizeLevel, bool percussion) const override;
  double NeededUnitWidth(const CScoreMeasure& m) override;
  void FinishWidth(CScoreMeasure& m) const override;
};

class CDrumTrack : public CStaffTrack {
public:
  using CStaffTrack::CStaffTrack;
  std::unique_ptr<CScoreMeasure> CreateMeasure(int sizeLevel, bool percussion) const override;
  double NeededUnitWidth(const CScoreMeasure& m) override;
  void FinishWidth(CScoreMeasure& m) const override;
};

class CJianPuTrack : public CScoreTrack {
public:
  using CScoreTrack::CScoreTrack;
  void Build(const ScoreBar* firstBar, int barCount, bool percussion) override;
  std::unique_ptr<CScoreMeasure> CreateMeasure(int sizeLevel, bool percussion) const override;
  double NeededUnitWidth(const CScoreMeasure& m) override;
  void FinishWidth(CScoreMeasure& m) const override;
};
