// The passes that turn the raw notes of a measure (buffer lengths and offsets)
// into notatable values. The tracks run them in a fixed order on every list of
// a measure (the notes list, or the upper and lower lists of two staves).
// Each works on the notated offset and length unless it says otherwise, and
// leaves the list sorted by notated offset.
//
// Defined by topic: MeasureGrid.cpp (triplets, 30-tick grid), MeasureSplits.cpp
// (splits at group and beat boundaries), MeasureStraighten.cpp (lengths to
// the next onset) and MeasureGroups.cpp (value classes, chords, beams, the
// finest beat subdivision).
#pragma once

#include <vector>

#include "ScoreMeasure.h"

using NoteList = std::vector<ScoreNote>;

class CMeasurePasses {
 public:
  // @name Triplets and the grid (MeasureGrid.cpp)
  // Marks runs of 20-, 40-, 80- and 160-tick notes as tuplet groups, judged on
  // the buffer's offsets and lengths rounded to 10.
  static void MarkTriplets(CScoreMeasure& m, NoteList& list);
  // Puts notes outside tuplets on the 30-tick grid. A note that would start on
  // the bar line moves into `next` (the same staff's list of the following
  // measure); in the last measure (`next` null) it stays, drawn before the
  // bar line.
  static void PutOnGrid(CScoreMeasure& m, NoteList& list, NoteList* next);

  // @name Splits (MeasureSplits.cpp)
  // Cuts a note at a notated offset strictly inside it; the rest follows it in
  // the list, shares its split group and takes over its tie start. False when
  // the offset is not inside the note.
  static bool SplitNote(CScoreMeasure& m, NoteList& list, size_t i, int boundary);
  // In bars longer than 480 ticks, notes longer than 480 are cut at the next
  // group line of a compound meter, else at the next multiple of 480 (a dotted
  // whole on a whole-note line stays whole). The meter is read as the staff
  // or the numbered group rules read it.
  static void SplitLongNotes(CScoreMeasure& m, NoteList& list, bool numbered);
  // Group boundaries of the meter: the staff model's rules, and the numbered
  // model's (compound first, no whole-length exceptions there).
  static void SplitAtStaffGroups(CScoreMeasure& m, NoteList& list);
  static void SplitAtJianPuGroups(CScoreMeasure& m, NoteList& list);
  // Notes that run across a beat with an end or start off the beat: the
  // quarter rules, or the compound beat rules for 60-tick beats in 3s.
  static void SplitAtBeats(CScoreMeasure& m, NoteList& list);

  // @name Straightening (MeasureStraighten.cpp)
  // Lengthens or shortens notes so that each ends at the next onset or on a
  // readable boundary; the last group ends at the bar line where it nearly does.
  static void QuantizeMeasure(CScoreMeasure& m, NoteList& list);
  // Last guard: every note outside tuplets starts and ends inside the bar.
  static void KeepInsideBar(const CScoreMeasure& m, NoteList& list);

  // @name Groups (MeasureGroups.cpp)
  // Notes at one onset become a chord sharing the shortest length, ordered by pitch.
  static void MarkChords(CScoreMeasure& m, NoteList& list);
  // Value class and dot from the notated length; `tupletsByBufferLength` takes
  // tuplet members' classes from their buffer length (numbered notation).
  static void ClassifyValues(NoteList& list, bool tupletsByBufferLength);
  static void BeamByMeter(CScoreMeasure& m, NoteList& list);
  // The beam passes treat a chord as one note: all its members get the beam.
  static void BeamGeneral(CScoreMeasure& m, NoteList& list);
  // (lowest, highest) pitch of every chord, beam and tuplet group.
  static void RecordExtents(CScoreMeasure& m, const NoteList& list);
  // Grid units per beat the measure needs (1..12).
  static int FindBeatSubdivision(const CScoreMeasure& m);

  // @name Helpers
  static void SortByOffset(NoteList& list);
  // Bars whose beats are 60 ticks in groups of three (6/8, 9/8, 3/8 ...).
  static bool IsCompoundBeat(const CScoreMeasure& m) { return m.beatLength == 60 && m.beats % 3 == 0; }
};
