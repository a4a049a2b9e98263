// Where a staff page is drawn for one paint: the line lends the page its
// placement and staff geometry as this value, so nothing is swapped into the
// page and nothing has to be put back when a paint ends early.
#pragma once

#include "StaffGeometry.h"

class CStaffPainter;

// A measure's place on a line. The line's left edge and margin are not
// included: x counts from the line's note area start.
struct StaffPlacement {
  int x = 0;
  int width = 0;
  int noteOffset = 0;             // bar line to the first note position
  bool headerSuppressed = false;  // the line draws bar line and signatures itself
  bool lastInLine = false;
};

// What every view's line lends a page: where the measure and its
// neighbours lie on the row.
struct LineFrame {
  StaffPlacement placement;
  int barX = 0;            // window x of the measure's left bar line
  int originX = 0;         // window x of tick 0 of the measure's notes
  int lineStartX = 0;      // where the line's first measure begins (after the header)
  int lineEndX = 0;        // end of the line's last drawn measure
  bool prevShown = false;  // the previous measure is drawn on the same line
  bool nextShown = false;  // the next measure is drawn on the same line
  int nextOriginX = 0;     // its tick-0 x when shown
};

struct StaffFrame : LineFrame {
  const CStaffPainter* painter = nullptr;
  StaffGeometry geometry;  // window coordinates
};

// Gap between the bar line (plus the note offset) and a head at tick 0 when
// nothing in the measure needs more: the head sits in the middle of its grid
// cell, so a note in the measure's last cell keeps as much room before the
// next bar line as the first keeps after its own.
inline int NoteLeadIn(double scale, int headWidth) {
  const int lead = (static_cast<int>(scale) - headWidth) / 2;
  return lead < 5 ? 5 : lead;
}
