// Where a numbered page is drawn for one paint: the line lends the page its
// placement and the row's reference line as this value, so nothing is
// swapped into the page for the time of a paint.
#pragma once

#include "StaffFrame.h"

class CJianPuPainter;

struct JianPuFrame {
  const CJianPuPainter* painter = nullptr;
  StaffPlacement placement;
  int refY = 0;          // window y of the digits' centre line
  int barX = 0;          // window x of the measure's left bar line
  int originX = 0;       // window x of tick 0 of the measure's digits
  int lineStartX = 0;    // where the line's first measure begins
  int lineEndX = 0;      // end of the line's last measure
  bool prevShown = false;
  bool nextShown = false;
  int nextOriginX = 0;   // tick-0 x of the next measure when it is shown
};
