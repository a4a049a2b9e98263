// A measure of the score model: its signatures, its notes per staff, the
// groups the passes found and the widths the layout needs. The staff model
// makes CScoreMeasure (CDrumMeasure for percussion parts), the numbered model
// CJianPuMeasure.
#pragma once

#include <map>
#include <vector>

#include "ScoreNote.h"

// Voices: 0 the single staff, 1 the upper and 2 the lower staff of a two-staff part.
enum ScoreVoice : int { kSingleVoice = 0, kUpperVoice = 1, kLowerVoice = 2 };

class CScoreMeasure {
 public:
  CScoreMeasure(int sizeLevel, int index);
  virtual ~CScoreMeasure() = default;

  CScoreMeasure(const CScoreMeasure&) = delete;
  CScoreMeasure& operator=(const CScoreMeasure&) = delete;

  virtual bool IsPercussion() const { return false; }

  int BarLength() const { return beats * beatLength; }
  int EndTick() const { return startTick + BarLength(); }
  // The list of a voice; voice 0 is `notes`.
  std::vector<ScoreNote>& Voice(int voice);
  const std::vector<ScoreNote>& Voice(int voice) const;
  // The lists the passes work on: upper and lower for two staves, else notes.
  std::vector<std::vector<ScoreNote>*> StaffLists();
  // Rebuilds `notes` of a two-staff measure from its upper and lower lists.
  void MergeStaves();
  // Unit width × units per beat × beats: the note area without signatures.
  int NoteAreaWidth() const;

  // @name Signatures
  int index = 0;
  int sizeLevel = 0;
  int beats = 4;
  int beatLength = 120;  // ticks per beat
  int startTick = 0;
  bool timeSigChange = false;  // the measure opens with a time signature
  int key = 0;                 // -7..+7
  int previousKey = 0;         // set when the key changes (naturals to cancel)
  bool keyChange = false;

  // @name Notes
  std::vector<ScoreNote> notes;       // all staves, sorted by offset
  std::vector<ScoreNote> upperNotes;  // two-staff parts: pitch >= 60
  std::vector<ScoreNote> lowerNotes;  // two-staff parts: pitch < 60
  bool twoStaves = false;

  // @name Groups
  bool tripletsPresent = false;
  std::map<int, int> tupletCounts;  // tuplet group -> members shown in its label (3 or 6)
  std::map<int, ScorePitchRange> chordRanges;
  std::map<int, ScorePitchRange> beamRanges;
  std::map<int, ScorePitchRange> tupletRanges;
  int splitCounter = 0;  // last split group number given out
  int tupletCounter = 0;
  int chordCounter = 0;
  int beamCounter = 0;

  // @name Widths
  double noteScale = 16;  // pixels per grid unit
  int unitsPerBeat = 1;
  int signatureExtras = 0;    // pixels from the bar line to the first note position
  int width = 0;              // drawn width in pixels, signatures included
  bool fixedWidthOn = false;  // also spaces tuplets evenly
  int fixedWidth = 0;
};

class CDrumMeasure : public CScoreMeasure {
 public:
  using CScoreMeasure::CScoreMeasure;
  bool IsPercussion() const override { return true; }
};

class CJianPuMeasure : public CScoreMeasure {
 public:
  using CScoreMeasure::CScoreMeasure;
};
