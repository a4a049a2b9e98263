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
  virtual int PartStaffKind() const = 0;   // 0..7; the numbered painter answers 0
  virtual int PartSizeLevel() const = 0;   // 0..3
  virtual const std::vector<ScoreLyric>& PartLyrics() const = 0;
  // Width in pixels of a syllable in the part's lyric font.
  virtual int MeasureLyricWidth(const std::string& text) = 0;
  // Lays the measures out into pages; they are deleted when the build ends,
  // so the painter copies what it keeps. Non-zero stops the build.
  virtual int LayoutMeasures(const std::vector<CScoreMeasure*>& measures) = 0;

protected:
  ~IScorePart() = default;
};
