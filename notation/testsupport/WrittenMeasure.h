// Measures written note by note for the page layouts' tests, with the
// notated values and groups the score model's passes would have left, so a
// layout is tested on exactly the measure a test describes. The staff view's
// and the numbered view's tests both build their measures here; each says
// only which model's measure it wants.
#pragma once

#include <memory>
#include <vector>

#include "IScorePart.h"
#include "NoteValues.h"
#include "ScoreMeasure.h"

namespace scoretest {

// A note already on the notated grid: offset and length in ticks from the
// start of its measure. A group number of 0 means the note is in no group.
struct WrittenNote {
  int pitch;
  int offset;
  int length;
  int chord = 0;
  int beam = 0;
  int tuplet = 0;
  int split = 0;     // pieces of one note cut at a beat share it
  int tieStart = 0;  // pairs with the note whose tieEnd is the same
  int tieEnd = 0;

  // @name Groups by name, where counting positions would hide which one is meant
  WrittenNote InTuplet(int group) const {
    WrittenNote n = *this;
    n.tuplet = group;
    return n;
  }
  WrittenNote SplitAs(int group) const {
    WrittenNote n = *this;
    n.split = group;
    return n;
  }
  WrittenNote StartsTie(int pair) const {
    WrittenNote n = *this;
    n.tieStart = pair;
    return n;
  }
  WrittenNote EndsTie(int pair) const {
    WrittenNote n = *this;
    n.tieEnd = pair;
    return n;
  }

  // The note in a measure that starts at `measureTick`: its buffer and
  // notated values agree, and its value class follows from its length.
  ScoreNote At(int measureTick) const {
    ScoreNote n(pitch, length, offset, measureTick + offset);
    n.notatedOffset = offset;
    n.notatedLength = length;
    n.notatedTick = n.tick;
    n.chordGroup = chord;
    n.beamGroup = beam;
    n.tupletGroup = tuplet;
    n.splitGroup = split;
    n.tieStart = tieStart;
    n.tieEnd = tieEnd;
    if (tuplet > 0)
      CNoteValues::ClassifyTripletLength(n, length);
    else
      CNoteValues::ClassifyLength(n, length);
    return n;
  }
};

// Which model's measure: each makes its own class and leaves its own widths.
enum class MeasureModel { kStaff, kDrums, kJianPu };

inline std::unique_ptr<CScoreMeasure> NewMeasure(MeasureModel model, int index) {
  if (model == MeasureModel::kDrums) return std::make_unique<CDrumMeasure>(0, index);
  if (model == MeasureModel::kJianPu) return std::make_unique<CJianPuMeasure>(0, index);
  return std::make_unique<CScoreMeasure>(0, index);
}

// A measure of `beats` beats of `beatTicks`, 4 grid units per beat at 16 px.
// The staff model also files each note under the staff it sits on, for parts
// drawn on two; the numbered model leaves 10 px of signature room before the
// first digit.
inline std::unique_ptr<CScoreMeasure> WriteMeasure(MeasureModel model, int index, int beats, int beatTicks,
                                                   const std::vector<WrittenNote>& notes, int key = 0) {
  std::unique_ptr<CScoreMeasure> m = NewMeasure(model, index);
  m->beats = beats;
  m->beatLength = beatTicks;
  m->startTick = index * beats * beatTicks;
  m->key = key;
  m->unitsPerBeat = 4;
  m->noteScale = 16;
  for (const WrittenNote& w : notes) {
    const ScoreNote n = w.At(m->startTick);
    m->notes.push_back(n);
    if (model != MeasureModel::kJianPu) (n.pitch >= 60 ? m->upperNotes : m->lowerNotes).push_back(n);
  }
  m->width = m->NoteAreaWidth();
  if (model == MeasureModel::kJianPu) {
    m->signatureExtras = 10;
    m->width += m->signatureExtras;
  }
  return m;
}

// Hands the measures to a painter's page layout, as the model does at the end of a build.
inline int LayOut(IScorePart& painter, const std::vector<std::unique_ptr<CScoreMeasure>>& measures) {
  std::vector<CScoreMeasure*> raw;
  for (auto& m : measures) raw.push_back(m.get());
  return painter.LayoutMeasures(raw);
}

}  // namespace scoretest
