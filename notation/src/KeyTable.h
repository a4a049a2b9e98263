// Naming of MIDI pitches on the staff: for each key from seven flats to seven
// sharps, the staff step and printed accidental of every pitch class, and the
// accidentals the key signature supplies.
#pragma once

// Accidental codes.
enum ScoreAccidental : int {
  kNoAccidental = 0,
  kSharp = 1,
  kFlat = 2,
  kNatural = 3,
  kDoubleSharp = 4,
  kDoubleFlat = 5,
};

struct KeyEntry {
  int step;        // staff step within the octave, C = 0 .. B = 6; -1 and 7 reach the next octave
  int accidental;  // what must be printed given the key signature
};

class CKeyTable {
 public:
  // Keys come from files as signed bytes; anything outside -7..+7 is C major.
  static int ClampKey(int key);
  static bool IsValidKey(int key) { return key >= -7 && key <= 7; }
  // Entry of a pitch (any int; its pitch class is taken) in a key.
  static KeyEntry Lookup(int key, int pitch);
  // Accidental the key signature gives a staff step: -1 flat, 0 none, 1 sharp.
  // Any step names one of C..B (negative steps wrap upward).
  static int KeyAccidentalForStep(int key, int step);
  // True when the pitch needs a printed accidental in the key.
  static bool NeedsAccidental(int key, int pitch);
  // Staff step and accidental of a pitch on a staff kind; percussion (7) uses
  // key 0. Returns false and leaves the outputs alone for kinds outside 0..7.
  static bool PitchToStaffStep(int staffKind, int pitch, int key, int* step, int* accidental);
};
