// Measures, painters and buffers for the numbered view's tests: measures are
// written note by note with their notated values, as the score model leaves
// them; buffers are filled the way the song engine fills them.
#pragma once

#include <memory>
#include <vector>

#include "JianPuPainter.h"
#include "NoteValues.h"
#include "ScoreMeasure.h"
#include "score/IScoreBuffer.h"

namespace jianputest {

struct Written {
  int pitch;
  int offset;
  int length;
  int tuplet = 0;
  int tieStart = 0;
  int tieEnd = 0;
  int splitGroup = 0;
};

// A measure of `beats` beats of `beatTicks` in `key`, 4 grid units per beat at 16 px.
inline std::unique_ptr<CScoreMeasure> MakeMeasure(int index, int beats, int beatTicks,
                                                  std::vector<Written> notes, int key = 0) {
  auto m = std::make_unique<CJianPuMeasure>(0, index);
  m->beats = beats;
  m->beatLength = beatTicks;
  m->startTick = index * beats * beatTicks;
  m->key = key;
  m->unitsPerBeat = 4;
  m->noteScale = 16;
  for (const Written& w : notes) {
    ScoreNote n(w.pitch, w.length, w.offset, m->startTick + w.offset);
    n.notatedOffset = w.offset;
    n.notatedLength = w.length;
    n.notatedTick = n.tick;
    n.tupletGroup = w.tuplet;
    n.tieStart = w.tieStart;
    n.tieEnd = w.tieEnd;
    n.splitGroup = w.splitGroup;
    if (w.tuplet > 0)
      CNoteValues::ClassifyTripletLength(n, w.length);
    else
      CNoteValues::ClassifyLength(n, w.length);
    m->notes.push_back(n);
  }
  m->width = m->NoteAreaWidth() + 10;
  m->signatureExtras = 10;
  return m;
}

inline std::unique_ptr<CJianPuPainter> MakePainter(int track = 1) {
  auto p = std::make_unique<CJianPuPainter>();
  p->InitJianPu(nullptr, track, 0, true);
  return p;
}

inline int LayOut(CJianPuPainter& painter, const std::vector<std::unique_ptr<CScoreMeasure>>& measures) {
  std::vector<CScoreMeasure*> raw;
  for (auto& m : measures) raw.push_back(m.get());
  return painter.LayoutMeasures(raw);
}

struct Played {
  int tick;
  int length;
  int note;
};

// One track of notes, handed over as note-on and note-off events.
inline void AddMelody(IScoreBuffer* buffer, int track, const std::vector<Played>& notes, int bars) {
  std::vector<ScoreNoteEvent> events;
  for (const Played& n : notes) {
    events.push_back({n.tick, 0x90, static_cast<uint8_t>(n.note), 100, 0});
    events.push_back({n.tick + n.length, 0x80, static_cast<uint8_t>(n.note), 0, 0});
  }
  std::stable_sort(events.begin(), events.end(),
                   [](const ScoreNoteEvent& a, const ScoreNoteEvent& b) { return a.tick < b.tick; });
  buffer->AddTrackNotes(track, events.data(), static_cast<unsigned>(events.size()), bars, 0);
}

}  // namespace jianputest
