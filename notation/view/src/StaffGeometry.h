// Where the staves of a part lie vertically. The painter keeps one relative
// to its part's own rectangle; a line computes one in window coordinates and
// hands it to everything it paints.
#pragma once

#include "score/ScoreRecords.h"

struct StaffGeometry {
  bool valid = false;
  int upperRef = 0;  // y of staff step 0 on the single or upper staff
  int upperTop = 0;  // y of its top line
  int lowerRef = 0;  // two-staff parts only
  int lowerTop = 0;

  // Staves of a part of `kind` around the middle y of its rectangle, `gap`
  // pixels between staff lines.
  static StaffGeometry Around(int kind, int middleY, int gap);

  // The staff a pitch is drawn on: the lower one for pitches below 60 of a
  // two-staff part.
  bool UsesLowerStaff(int kind, int pitch) const { return kind == kGrandStaff && pitch < 60; }
  int RefFor(int kind, int pitch) const { return UsesLowerStaff(kind, pitch) ? lowerRef : upperRef; }
  int TopFor(int kind, int pitch) const { return UsesLowerStaff(kind, pitch) ? lowerTop : upperTop; }
  // Centre y of a staff step.
  static int StepY(int ref, int step, int gap) { return ref - step * gap / 2; }
};
