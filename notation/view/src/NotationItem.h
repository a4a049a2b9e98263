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
  // The ink the item leaves for a frame, for the layout to keep other things
  // clear of it; false for items inside the staff that nothing has to avoid.
  virtual bool InkBox(const StaffFrame& frame, RECT* box) const { return false; }

 protected:
  CNotationItem() = default;
  CNotationItem(const CNotationItem&) = delete;
  CNotationItem& operator=(const CNotationItem&) = delete;
};
