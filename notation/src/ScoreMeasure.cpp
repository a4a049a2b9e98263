#include "ScoreMeasure.h"

#include <algorithm>

#include "MeasureSizes.h"

CScoreMeasure::CScoreMeasure(int sizeLevel_, int index_)
    : index(index_),
      sizeLevel(MeasureSizes::Level(sizeLevel_)),
      noteScale(MeasureSizes::kStaffUnit[sizeLevel]) {}

std::vector<ScoreNote>& CScoreMeasure::Voice(int voice) {
  return voice == kUpperVoice ? upperNotes : voice == kLowerVoice ? lowerNotes : notes;
}

const std::vector<ScoreNote>& CScoreMeasure::Voice(int voice) const {
  return voice == kUpperVoice ? upperNotes : voice == kLowerVoice ? lowerNotes : notes;
}

std::vector<std::vector<ScoreNote>*> CScoreMeasure::StaffLists() {
  if (twoStaves) return {&upperNotes, &lowerNotes};
  return {&notes};
}

void CScoreMeasure::MergeStaves() {
  if (!twoStaves) return;
  notes.clear();
  notes.reserve(upperNotes.size() + lowerNotes.size());
  std::merge(upperNotes.begin(), upperNotes.end(), lowerNotes.begin(), lowerNotes.end(),
             std::back_inserter(notes),
             [](const ScoreNote& a, const ScoreNote& b) { return a.notatedOffset < b.notatedOffset; });
}

int CScoreMeasure::NoteAreaWidth() const { return static_cast<int>(noteScale * unitsPerBeat * beats); }
