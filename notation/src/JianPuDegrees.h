// Naming of pitches in numbered notation: the tonic of each key, the scale
// degree digit and accidental of each semitone above it, and the key names.
#pragma once

struct JianPuDegree {
  char digit;      // '1'..'7'
  int accidental;  // 0 none, 1 sharp, 2 flat
};

class CJianPuDegrees {
 public:
  // Offset of the key's tonic from 60; -10 for a key outside -7..+7.
  static int TonicOffset(int key);
  static int Tonic(int key) { return 60 + TonicOffset(key); }
  // Degree of a note `semitones` (0..11; other values are taken mod 12) above the tonic.
  static JianPuDegree Degree(int semitones);
  // True when the pitch is shown with an accidental in the key.
  static bool NeedsAccidental(int key, int pitch);
  // "C", "bB", "#F" ...; the empty text for a key outside -7..+7.
  static const char* KeyName(int key);
};
