// Where a numbered page is drawn for one paint: the line lends the page its
// placement and the row's reference line as this value, so nothing is
// swapped into the page for the time of a paint.
#pragma once

#include "LineFrame.h"

class CJianPuPainter;

struct JianPuFrame : LineFrame {
  const CJianPuPainter* painter = nullptr;
  int refY = 0;  // window y of the digits' centre line
};
