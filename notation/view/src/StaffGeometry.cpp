#include "StaffGeometry.h"

StaffGeometry StaffGeometry::Around(int kind, int m, int g) {
  StaffGeometry s;
  s.valid = true;
  s.upperTop = m - 2 * g;
  switch (kind) {
    case kBassStaff:
    case kBassOctaveStaff:
      s.upperRef = m + 4 * g;  // step 0 is middle C: one gap above the top line in the bass
      break;
    case kGrandStaff:
      s.upperRef = m - 2 * g;
      s.upperTop = m - 7 * g;
      s.lowerRef = m + 11 * g + 2;
      s.lowerTop = m + 5 * g + 2;
      break;
    case kAltoStaff:
      s.upperRef = m;
      break;
    case kTenorStaff:
      s.upperRef = m - g;
      break;
    default:  // treble, treble with octave mark, percussion
      s.upperRef = m + 3 * g;
      break;
  }
  return s;
}
