// Where a staff page is drawn for one paint: the line lends the page its
// placement and staff geometry as this value, so nothing is swapped into the
// page and nothing has to be put back when a paint ends early.
#pragma once

#include "LineFrame.h"
#include "StaffGeometry.h"

class CStaffPainter;

struct StaffFrame : LineFrame {
  const CStaffPainter* painter = nullptr;
  StaffGeometry geometry;  // window coordinates
  int lyricY = 0;          // top of the row's first lyric line: below everything the row draws
};

// Gap between the bar line (plus the note offset) and a head at tick 0 when
// nothing in the measure needs more: the head sits in the middle of its grid
// cell, so a note in the measure's last cell keeps as much room before the
// next bar line as the first keeps after its own.
inline int NoteLeadIn(double scale, int headWidth) {
  const int lead = (static_cast<int>(scale) - headWidth) / 2;
  return lead < 5 ? 5 : lead;
}
