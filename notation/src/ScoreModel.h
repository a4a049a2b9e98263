// The score model of a view: builds one track per part from the buffer's bar
// arrays, lines the measures up across parts, and hands each part's measures
// to its painter. The tracks live only during Build.
#pragma once

#include <memory>
#include <vector>

#include "ScoreTrack.h"
#include "score/ScoreRecords.h"

class IScorePart;

class CScoreModel {
 public:
  virtual ~CScoreModel() = default;

  void SetFixedWidth(bool on, int width);
  // 0 on success, else the first non-zero result of a part's LayoutMeasures
  // (1 when memory ran out). Entries and parts are paired by position; extra
  // entries have no part and are skipped. Measures of parts with fewer bars
  // are padded to the longest part, and measure i has one width in every part.
  int Build(const std::vector<IScorePart*>& parts, const std::vector<ScoreTrackEntry>& entries,
            const std::vector<ScoreKeySig>& keySigs, const std::vector<ScoreTimeSig>& timeSigs,
            bool allPercussion);
  virtual void Clear();

  // Pixels per grid unit by size level, before any widening.
  static double BaseUnitWidth(int sizeLevel, bool numbered, bool accidental);

 protected:
  virtual std::unique_ptr<CScoreTrack> CreateTrack(int staffKind, IScorePart* part) const = 0;

  std::vector<std::unique_ptr<CScoreTrack>> tracks_;
  bool fixedWidthOn_ = false;
  int fixedWidth_ = 0;

 private:
  void PadAndAlign();
};

class CStaffScore : public CScoreModel {
 protected:
  std::unique_ptr<CScoreTrack> CreateTrack(int staffKind, IScorePart* part) const override;
};

class CJianPuScore : public CScoreModel {
 protected:
  std::unique_ptr<CScoreTrack> CreateTrack(int staffKind, IScorePart* part) const override;
};

// Pitch shown for a note of a staff kind: kinds 5 and 6 carry an octave mark.
int OctaveShift(int staffKind, int pitch);
