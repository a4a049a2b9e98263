// The staff model's track: notes at their shown pitch, two staves divided at
// middle C, and every measure pass in the staff order.
#include <algorithm>
#include <cstdlib>

#include "IScorePart.h"
#include "KeyTable.h"
#include "MeasurePasses.h"
#include "MeasureSizes.h"
#include "ScoreModel.h"
#include "ScoreTrack.h"
#include "score/ScoreRecords.h"

void CStaffTrack::Build(const ScoreBar* firstBar, int barCount, bool percussion) {
  const int kind = part_ ? part_->PartStaffKind() : 0;
  const int level = part_ ? part_->PartSizeLevel() : 0;
  measures_.reserve(firstBar && barCount > 0 ? size_t(barCount) : 0);
  for (int b = 0; firstBar && b < barCount; ++b) {
    CScoreMeasure& m = AppendMeasure(firstBar[b], level, percussion);
    for (const ScoreNoteNode* node = firstBar[b].firstNote; node; node = node->next)
      m.notes.emplace_back(OctaveShift(kind, node->note), node->length, node->offset, node->tick);
  }
  AssignTimeSignatures();
  AssignKeys();

  const bool twoStaves = kind == kGrandStaff;
  if (twoStaves) {
    for (auto& m : measures_) {
      for (const ScoreNote& n : m->notes) (n.pitch < 60 ? m->lowerNotes : m->upperNotes).push_back(n);
      m->notes.clear();
      m->twoStaves = true;
    }
  }
  for (auto& m : measures_)
    for (NoteList* list : m->StaffLists()) CMeasurePasses::MarkTriplets(*m, *list);
  for (size_t i = 0; i < measures_.size(); ++i) {
    CScoreMeasure& m = *measures_[i];
    CScoreMeasure* next = i + 1 < measures_.size() ? measures_[i + 1].get() : nullptr;
    for (int voice : {kSingleVoice, kUpperVoice, kLowerVoice}) {
      if ((voice == kSingleVoice) == twoStaves) continue;
      CMeasurePasses::PutOnGrid(m, m.Voice(voice), next ? &next->Voice(voice) : nullptr);
    }
  }
  TieAcrossBarLines(twoStaves);
  for (auto& m : measures_) {
    for (NoteList* list : m->StaffLists()) {
      CMeasurePasses::QuantizeMeasure(*m, *list);
      CMeasurePasses::KeepInsideBar(*m, *list);
    }
  }
  for (auto& m : measures_) {
    for (NoteList* list : m->StaffLists()) {
      CMeasurePasses::SplitLongNotes(*m, *list, false);
      CMeasurePasses::SplitAtStaffGroups(*m, *list);
      CMeasurePasses::SplitAtBeats(*m, *list);
      CMeasurePasses::MarkChords(*m, *list);
      CMeasurePasses::ClassifyValues(*list, false);
      CMeasurePasses::BeamByMeter(*m, *list);
      CMeasurePasses::BeamGeneral(*m, *list);
      CMeasurePasses::RecordExtents(*m, *list);
    }
    m->MergeStaves();
  }
}

std::unique_ptr<CScoreMeasure> CStaffTrack::CreateMeasure(int sizeLevel, bool) const {
  return std::make_unique<CScoreMeasure>(sizeLevel, 0);
}

double CStaffTrack::NeededUnitWidth(const CScoreMeasure& m) {
  bool accidental = false;
  for (int voice : {kSingleVoice, kUpperVoice, kLowerVoice}) {
    for (const ScoreNote& n : m.Voice(voice))
      accidental = accidental || CKeyTable::NeedsAccidental(m.key, n.pitch);
  }
  const double plain = CScoreModel::BaseUnitWidth(m.sizeLevel, false, accidental);
  // The staff view draws a head in the middle of its grid cell.
  return std::max(plain, LyricUnitWidth(m, plain, 0.5));
}

void CStaffTrack::FinishWidth(CScoreMeasure& m) const {
  const int level = MeasureSizes::Level(m.sizeLevel);
  // A key change shows the new signs; a change to C shows naturals for the old ones.
  const int signs = m.keyChange ? std::abs(m.key != 0 ? m.key : m.previousKey) : 0;
  m.signatureExtras = MeasureSizes::kKeyStep[level] * signs + TimeSignatureExtras(m);
  if (fixedWidthOn_) {
    ApplyFixedWidth(m);
    return;
  }
  m.width = static_cast<int>(m.noteScale * m.unitsPerBeat * m.beats) + m.signatureExtras;
}

std::unique_ptr<CScoreMeasure> CDrumTrack::CreateMeasure(int sizeLevel, bool) const {
  return std::make_unique<CDrumMeasure>(sizeLevel, 0);
}

double CDrumTrack::NeededUnitWidth(const CScoreMeasure& m) {
  return CScoreModel::BaseUnitWidth(m.sizeLevel, false, false);
}

void CDrumTrack::FinishWidth(CScoreMeasure& m) const {
  m.signatureExtras = TimeSignatureExtras(m);
  if (fixedWidthOn_) {
    ApplyFixedWidth(m);
    return;
  }
  m.width = static_cast<int>(m.noteScale * m.unitsPerBeat * m.beats) + m.signatureExtras;
}
