// Anything a staff page draws: note glyphs, rests, beams, ties, tuplet marks
// and lyric syllables. Items take all geometry from the frame at paint time,
// so a size or colour change needs no new layout.
#pragma once

#include <windows.h>

#include "StaffFrame.h"

class CNotationItem {
 public:
  virtual ~CNotationItem() = default;
  virtual void Draw(HDC dc, const StaffFrame& frame) = 0;

 protected:
  CNotationItem() = default;
  CNotationItem(const CNotationItem&) = delete;
  CNotationItem& operator=(const CNotationItem&) = delete;
};
