// One note of a measure as the notation shows it. The passes of the score
// model fill it in; the page layouts read it.
#pragma once

#include <cstdint>

// Note value classes.
enum ScoreValueClass : int {
  kWholeNote = 0,
  kHalfNote = 1,
  kQuarterNote = 2,
  kEighthNote = 3,
  kSixteenthNote = 4,
};

struct ScoreNote {
  int valueClass = kWholeNote;
  int pitch = 0;   // MIDI note after the staff kind's octave shift
  int length = 0;  // ticks as taken from the buffer, later cut at bar lines and group boundaries
  int offset = 0;  // ticks from the start of the measure
  int tick = 0;    // absolute start tick, as the buffer gave it (highlight and lyric matching use it)
  bool dotted = false;
  int tieStart = 0;  // non-zero: a tie starts here, paired with the note whose tieEnd is the same
  int tieEnd = 0;    // non-zero: this note continues a tied note
  // Pieces of one note cut inside its measure (at a group or beat boundary)
  // share a split group and are tied on the page; the last piece carries the
  // note's tie start. Ties across bar lines use tieStart / tieEnd.
  int splitGroup = 0;     // 0 = not split
  int tupletGroup = 0;    // > 0 for members of a triplet group
  int beamGroup = 0;      // 0 = not beamed
  bool grouped = false;   // a meter rule already beamed it; the general beam pass leaves it alone
  int chordGroup = 0;     // notes with the same non-zero number sound together
  int notatedLength = 0;  // after straightening: the value shown
  int notatedOffset = 0;
  int notatedTick = 0;  // start tick on the 30-tick grid plus the lengths of preceding pieces

  ScoreNote() = default;
  ScoreNote(int pitch_, int length_, int offset_, int tick_)
      : pitch(pitch_), length(length_), offset(offset_), tick(tick_) {}

  bool InTuplet() const { return tupletGroup > 0; }
  int NotatedEnd() const { return notatedOffset + notatedLength; }
};

// Lowest and highest pitch of a chord, beam or tuplet group; the page layout
// turns them into staff steps for the stem direction.
struct ScorePitchRange {
  int lowest = 127;
  int highest = 0;

  void Add(int pitch) {
    if (pitch < lowest) lowest = pitch;
    if (pitch > highest) highest = pitch;
  }
};
