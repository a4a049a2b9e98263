// Where a page is drawn for one paint, as every view's line lends it: the
// measure's placement on its row and its neighbours. Each view's frame adds
// what its own pages need.
#pragma once

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
