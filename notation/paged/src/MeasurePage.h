// What a staff and a numbered page know of their measure: index, time and
// key signatures, start tick, width, note offset and grid scale, as the score
// model laid them out, plus the texts that start with it. Both pages place
// their elements by the same tick grid.
#pragma once

#include <vector>

#include "ScoreMeasure.h"
#include "score/ScoreRecords.h"

class CMeasurePage {
 public:
  // @name Set-up by the painter
  void SetMeasure(const CScoreMeasure& m);
  void AddText(const ScoreText& text) { texts_.push_back(text); }

  // @name Measure
  int Index() const { return index_; }
  int Beats() const { return beats_; }
  int BeatTicks() const { return beatTicks_; }
  int StartTick() const { return startTick_; }
  int EndTick() const { return startTick_ + beats_ * beatTicks_; }
  int Width() const { return width_; }
  int NoteOffset() const { return noteOffset_; }
  double Scale() const { return scale_; }
  int UnitsPerBeat() const { return unitsPerBeat_; }
  bool ShowKey() const { return showKey_; }
  bool ShowTime() const { return showTime_; }
  int Key() const { return key_; }
  int PreviousKey() const { return previousKey_; }
  bool HasTexts() const { return !texts_.empty(); }
  // x of an offset in ticks from the measure start, relative to the note origin.
  int TickX(int offset) const;

 protected:
  CMeasurePage() = default;
  ~CMeasurePage() = default;

  int index_ = 0;
  int beats_ = 4;
  int beatTicks_ = 120;
  int startTick_ = 0;
  int width_ = 0;
  int noteOffset_ = 0;
  bool showTime_ = false;
  bool showKey_ = false;
  int key_ = 0;
  int previousKey_ = 0;
  double scale_ = 16;
  int unitsPerBeat_ = 1;
  // The model spaces tuplets evenly only in fixed-width measures.
  bool fixedTupletSpacing_ = false;
  bool tiesSuppressed_ = false;
  std::vector<ScoreText> texts_;
};
