// The pure arithmetic of numbered notation, kept apart from drawing so that
// tests can read it back: how a pitch is written as a degree digit, which
// accidentals a measure has already shown, how rests fill a gap, how a
// measure is reduced to one voice, and where underlines join.
#pragma once

#include <vector>

#include "ScoreNote.h"

// @name Digits

// What one digit element shows.
struct NoteSpec {
  char digit = '0';    // '1'..'7', '0' for a rest
  int accidental = 0;  // 0 none, 1 sharp, 2 flat, 3 natural
  int octaveSign = 0;  // -1 dots below, 0 none, +1 dots above
  int octaveCount = 0;
  int underlines = 0;
  int dashes = 0;  // one per extra beat of a long note
  bool dotted = false;
};

// The digit of a pitch in the key whose tonic is `tonic`, with the marks of
// its value class.
NoteSpec MakeNoteSpec(int pitch, int tonic, int valueClass, bool dotted);

// Accidentals already shown in a measure, by degree digit. A repeated digit
// shows only what changed since its last sign.
class CDegreeAccidentals {
 public:
  // The accidental to print for `digit` at `pitch` whose spelling asks for `spelled`.
  int AccidentalFor(char digit, int pitch, int spelled);
  void Clear() { shown_.clear(); }

 private:
  struct Shown {
    char digit;
    int pitch;
    int accidental;
  };
  std::vector<Shown> shown_;
};

// @name Rests

struct RestPiece {
  int from;  // ticks from the measure start
  int length;
  bool dotted;
  bool underline;  // an empty 3/8 bar underlines each of its rests itself
};

// Rests of a gap cut at beat cells of `cell` ticks (120 simple, 180 compound).
void AddRests(int from, int length, int cell, std::vector<RestPiece>* out);
// The rests of a measure without notes; nothing for beats of 30 or 15 ticks.
std::vector<RestPiece> EmptyMeasureRests(int beats, int beatTicks);

// @name One voice

// Drops the earlier of two notes that start together and cuts a note that
// overlaps the next onset, reclassifying its value.
void MakeMonophonic(std::vector<ScoreNote>& notes);

// @name Underlines

// A digit as the underline walk sees it.
struct UnderlineInput {
  int position;  // ticks from the measure start, on the grid
  int length;
  bool tuplet;
  int x;  // left of the digit, pixels from the note origin
};

struct UnderlineSpan {
  int x1, x2;
  int level;  // 0 first, 1 second
};

// Joins the underlines of consecutive short digits within each beat of
// `beat` ticks; `digitSpan` is the pixel width one underline covers past a
// digit's x.
std::vector<UnderlineSpan> JoinUnderlines(const std::vector<UnderlineInput>& digits, int beat, int digitSpan);
