#include "KeyTable.h"
#include "score/ScoreRecords.h"

namespace {

// Row k + 7: (step, accidental) of pitch classes C .. B, as the key spells them.
const KeyEntry kRows[15][12] = {
    {{1, 5}, {1, 0}, {2, 5}, {2, 0}, {3, 0}, {3, 3}, {4, 0}, {4, 3}, {5, 0}, {6, 5}, {6, 0}, {7, 0}},   // -7
    {{0, 3}, {1, 0}, {1, 3}, {2, 0}, {3, 2}, {3, 0}, {4, 0}, {5, 5}, {5, 0}, {6, 5}, {6, 0}, {7, 0}},   // -6
    {{0, 0}, {1, 0}, {2, 5}, {2, 0}, {3, 2}, {3, 0}, {4, 0}, {4, 3}, {5, 0}, {5, 3}, {6, 0}, {7, 2}},   // -5
    {{0, 0}, {1, 0}, {1, 3}, {2, 0}, {2, 3}, {3, 0}, {4, 2}, {4, 0}, {5, 0}, {6, 5}, {6, 0}, {7, 2}},   // -4
    {{0, 0}, {1, 2}, {1, 0}, {2, 0}, {3, 2}, {3, 0}, {4, 2}, {4, 0}, {5, 0}, {5, 3}, {6, 0}, {6, 3}},   // -3
    {{0, 0}, {1, 2}, {1, 0}, {2, 0}, {2, 3}, {3, 0}, {3, 1}, {4, 0}, {5, 2}, {5, 0}, {6, 0}, {7, 2}},   // -2
    {{0, 0}, {0, 1}, {1, 0}, {2, 2}, {2, 0}, {3, 0}, {4, 2}, {4, 0}, {5, 2}, {5, 0}, {6, 0}, {6, 3}},   // -1
    {{0, 0}, {1, 2}, {1, 0}, {2, 2}, {2, 0}, {3, 0}, {3, 1}, {4, 0}, {4, 1}, {5, 0}, {6, 2}, {6, 0}},   // 0
    {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {3, 3}, {3, 0}, {4, 0}, {5, 2}, {5, 0}, {6, 2}, {6, 0}},   // 1
    {{0, 3}, {0, 0}, {1, 0}, {2, 2}, {2, 0}, {3, 3}, {3, 0}, {4, 0}, {4, 1}, {5, 0}, {5, 1}, {6, 0}},   // 2
    {{0, 3}, {0, 0}, {1, 0}, {1, 1}, {2, 0}, {2, 1}, {3, 0}, {4, 3}, {4, 0}, {5, 0}, {6, 2}, {6, 0}},   // 3
    {{-1, 1}, {0, 0}, {1, 3}, {1, 0}, {2, 0}, {3, 3}, {3, 0}, {4, 3}, {4, 0}, {5, 0}, {5, 1}, {6, 0}},  // 4
    {{0, 3}, {0, 0}, {1, 3}, {1, 0}, {2, 0}, {2, 1}, {3, 0}, {3, 4}, {4, 0}, {5, 3}, {5, 0}, {6, 0}},   // 5
    {{-1, 1}, {0, 0}, {0, 4}, {1, 0}, {2, 3}, {2, 0}, {3, 0}, {4, 3}, {4, 0}, {5, 3}, {5, 0}, {6, 0}},  // 6
    {{-1, 0}, {0, 0}, {1, 3}, {1, 0}, {2, 3}, {2, 0}, {3, 0}, {3, 4}, {4, 0}, {4, 4}, {5, 0}, {6, 3}},  // 7
};

// Header of row k + 7: the signature's accidental on C, D, E, F, G, A, B.
const short kHeaders[15][7] = {
    {-1, -1, -1, -1, -1, -1, -1},  // -7
    {-1, -1, -1, 0, -1, -1, -1},   // -6
    {0, -1, -1, 0, -1, -1, -1},    // -5
    {0, -1, -1, 0, 0, -1, -1},     // -4
    {0, 0, -1, 0, 0, -1, -1},      // -3
    {0, 0, -1, 0, 0, 0, -1},       // -2
    {0, 0, 0, 0, 0, 0, -1},        // -1
    {0, 0, 0, 0, 0, 0, 0},         // 0
    {0, 0, 0, 1, 0, 0, 0},         // 1
    {1, 0, 0, 1, 0, 0, 0},         // 2
    {1, 0, 0, 1, 1, 0, 0},         // 3
    {1, 1, 0, 1, 1, 0, 0},         // 4
    {1, 1, 0, 1, 1, 1, 0},         // 5
    {1, 1, 1, 1, 1, 1, 0},         // 6
    {1, 1, 1, 1, 1, 1, 1},         // 7
};

int FloorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
int FloorMod(int a, int b) { return a - b * FloorDiv(a, b); }

}  // namespace

int CKeyTable::ClampKey(int key) { return IsValidKey(key) ? key : 0; }

KeyEntry CKeyTable::Lookup(int key, int pitch) { return kRows[ClampKey(key) + 7][FloorMod(pitch, 12)]; }

int CKeyTable::KeyAccidentalForStep(int key, int step) {
  return kHeaders[ClampKey(key) + 7][FloorMod(step, 7)];
}

bool CKeyTable::NeedsAccidental(int key, int pitch) { return Lookup(key, pitch).accidental != kNoAccidental; }

bool CKeyTable::PitchToStaffStep(int staffKind, int pitch, int key, int* step, int* accidental) {
  if (staffKind < 0 || staffKind > 7) return false;
  if (staffKind == kPercussionStaff) key = 0;
  const bool lowClef =
      staffKind == kBassStaff || staffKind == kBassOctaveStaff || (staffKind == kGrandStaff && pitch < 60);
  const int reference = lowClef ? 36 : 60;
  const KeyEntry entry = Lookup(key, pitch);
  if (step) *step = entry.step + 7 * FloorDiv(pitch - reference, 12);
  if (accidental) *accidental = entry.accidental;
  return true;
}
