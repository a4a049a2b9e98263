// Measures and painters for the staff view's tests: measures are written
// note by note with their notated values, as the score model leaves them.
#pragma once

#include <memory>
#include <vector>

#include "NoteValues.h"
#include "ScoreMeasure.h"
#include "StaffPainter.h"

namespace viewtest {

struct NoteSpec {
  int pitch;
  int offset;
  int length;
  int chord = 0;
  int beam = 0;
  int tuplet = 0;
  int split = 0;  // pieces of one note cut at a beat share it
};

// A measure of `beats` beats of `beatTicks`, with 4 grid units per beat at 16 px.
inline std::unique_ptr<CScoreMeasure> MakeMeasure(int index, int beats, int beatTicks,
                                                  std::vector<NoteSpec> notes, bool percussion = false) {
  std::unique_ptr<CScoreMeasure> m =
      percussion ? std::make_unique<CDrumMeasure>(0, index) : std::make_unique<CScoreMeasure>(0, index);
  m->beats = beats;
  m->beatLength = beatTicks;
  m->startTick = index * beats * beatTicks;
  m->unitsPerBeat = 4;
  m->noteScale = 16;
  for (const NoteSpec& s : notes) {
    ScoreNote n(s.pitch, s.length, s.offset, m->startTick + s.offset);
    n.notatedOffset = s.offset;
    n.notatedLength = s.length;
    n.notatedTick = n.tick;
    n.chordGroup = s.chord;
    n.beamGroup = s.beam;
    n.tupletGroup = s.tuplet;
    n.splitGroup = s.split;
    if (s.tuplet > 0)
      CNoteValues::ClassifyTripletLength(n, s.length);
    else
      CNoteValues::ClassifyLength(n, s.length);
    m->notes.push_back(n);
    if (s.pitch >= 60)
      m->upperNotes.push_back(n);
    else
      m->lowerNotes.push_back(n);
  }
  m->width = m->NoteAreaWidth();
  return m;
}

// Hands the measures to the painter's page layout.
inline int LayOut(CStaffPainter& painter, const std::vector<std::unique_ptr<CScoreMeasure>>& measures) {
  std::vector<CScoreMeasure*> raw;
  for (auto& m : measures) raw.push_back(m.get());
  return painter.LayoutMeasures(raw);
}

inline std::unique_ptr<CStaffPainter> MakePainter(int kind, int track = 1) {
  std::unique_ptr<CStaffPainter> p =
      kind == 7 ? std::unique_ptr<CStaffPainter>(std::make_unique<CDrumPainter>(true))
                : std::make_unique<CStaffPainter>();
  p->Init(nullptr, track, 0, kind);
  return p;
}

}  // namespace viewtest
