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
  // A new measure for a bar, with this track's fixed-width setting, appended.
  CScoreMeasure& AppendMeasure(const ScoreBar& bar, int sizeLevel, bool percussion);
  void AssignTimeSignatures();
  void AssignKeys();
  // Cuts notes that run over the bar line and continues them, tied, in the next measure.
  void TieAcrossBarLines(bool twoStaves);
  // Unit width the syllables drawn in measure m need so that each, plus the
  // gap, fits between its note and the next syllable, the last one before the
  // bar line; 0 without lyrics there. headInset is how far into its grid cell
  // the view draws a note (in units), which the last syllable loses before
  // the bar line. The result is bounded by MeasureSizes::kLyricMeasureLimit.
  double LyricUnitWidth(const CScoreMeasure& m, double plainWidth, double headInset);
  // Width of the signature changes that open a measure (the page's note offset).
  static int TimeSignatureExtras(const CScoreMeasure& m);
  // With a fixed width: units per beat by beat length, unit width spread over the width.
  void ApplyFixedWidth(CScoreMeasure& m) const;

  IScorePart* part_;
  int tieCounter_ = 1;
  std::vector<int> tiedMeasures_;  // measures that end with a tie into the next
  bool fixedWidthOn_ = false;
  int fixedWidth_ = 0;
  std::vector<std::unique_ptr<CScoreMeasure>> measures_;
  std::vector<ScoreKeySig> keySigs_;
  std::vector<ScoreTimeSig> timeSigs_;

 private:
  // Syllables of the part in tick order with their measured widths, filled
  // on first use; each syllable is measured once per build.
  // A page puts a syllable under a note that starts closer than this.
  static constexpr int kLyricMatchTicks = 10;
  // A page draws a free syllable this many pixels past one it would overlap.
  static constexpr int kFreeSyllableShift = 2;
  struct SungLyric {
    int tick;
    int width;  // 0 for punctuation, which is never drawn
  };
  void MeasureLyrics();
  // Where the view draws a syllable in measure m, in grid units from the
  // first note's place, and whether it sits under a note; false when it
  // belongs to another measure.
  static bool SyllableUnits(const CScoreMeasure& m, int tick, int unitsPerBeat, double* units,
                            bool* attached);
  std::vector<SungLyric> sungLyrics_;
  bool lyricsMeasured_ = false;
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

 private:
  // One digit per place: a note held over the bar line ends at the line when
  // another note is struck there or is held over as well.
  void DropContinuationsUnderOnsets();
};
