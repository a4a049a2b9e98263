// What the score model needs of a part's painter: its staff kind and size, its
// lyrics with their widths, and the page layout of the finished measures.
// Tests give the model a fake with fixed text widths.
#pragma once

#include <string>
#include <vector>

#include "score/ScoreRecords.h"

class CScoreMeasure;

class IScorePart {
 public:
  virtual int PartStaffKind() const = 0;  // 0..7; the numbered painter answers 0
  virtual int PartSizeLevel() const = 0;  // 0..3
  virtual const std::vector<ScoreLyric>& PartLyrics() const = 0;
  // Widths in pixels of syllables in the part's lyric font, one for each
  // text. One call measures a whole song: a painter sets up its measuring
  // context once instead of once a syllable.
  virtual void MeasureLyricWidths(const std::vector<std::string>& texts, std::vector<int>* widths) = 0;
  // Lays the measures out into pages; they are deleted when the build ends,
  // so the painter copies what it keeps. Non-zero stops the build.
  virtual int LayoutMeasures(const std::vector<CScoreMeasure*>& measures) = 0;

 protected:
  ~IScorePart() = default;
};
