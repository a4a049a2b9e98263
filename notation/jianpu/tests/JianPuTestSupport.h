// Measures, painters and buffers for the numbered view's tests: the numbered
// model's measures, written note by note (WrittenMeasure.h), its painters,
// and buffers filled the way the song engine fills them.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "JianPuPainter.h"
#include "WrittenMeasure.h"
#include "score/IScoreBuffer.h"

namespace jianputest {

using scoretest::LayOut;

// A measure of `beats` beats of `beatTicks` in `key`.
inline std::unique_ptr<CScoreMeasure> MakeMeasure(int index, int beats, int beatTicks,
                                                  const std::vector<scoretest::WrittenNote>& notes,
                                                  int key = 0) {
  return scoretest::WriteMeasure(scoretest::MeasureModel::kJianPu, index, beats, beatTicks, notes, key);
}

inline std::unique_ptr<CJianPuPainter> MakePainter(int track = 1) {
  auto p = std::make_unique<CJianPuPainter>();
  p->InitJianPu(nullptr, track, 0, true);
  return p;
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
