#include "ScoreModel.h"

#include <algorithm>
#include <new>

#include "IScorePart.h"
#include "MeasurePasses.h"
#include "MeasureSizes.h"
#include "score/ScoreRecords.h"

int OctaveShift(int staffKind, int pitch) {
  if (staffKind == kTrebleOctaveStaff) return pitch - 12;
  if (staffKind == kBassOctaveStaff) return pitch + 12;
  return pitch;
}

void CScoreModel::SetFixedWidth(bool on, int width) {
  // A fixed width of nothing would squeeze every measure to a point.
  fixedWidthOn_ = on && width > 0;
  fixedWidth_ = width;
}

void CScoreModel::Clear() { tracks_.clear(); }

double CScoreModel::BaseUnitWidth(int sizeLevel, bool numbered, bool accidental) {
  const int level = MeasureSizes::Level(sizeLevel);
  if (numbered)
    return accidental ? MeasureSizes::kJianPuUnitAccidental[level] : MeasureSizes::kJianPuUnit[level];
  return accidental ? MeasureSizes::kStaffUnitAccidental[level] : MeasureSizes::kStaffUnit[level];
}

int CScoreModel::Build(const std::vector<IScorePart*>& parts, const std::vector<ScoreTrackEntry>& entries,
                       const std::vector<ScoreKeySig>& keySigs, const std::vector<ScoreTimeSig>& timeSigs,
                       bool allPercussion) {
  Clear();
  try {
    for (size_t i = 0; i < entries.size() && i < parts.size(); ++i) {
      IScorePart* part = parts[i];
      if (!part) continue;
      std::unique_ptr<CScoreTrack> track = CreateTrack(part->PartStaffKind(), part);
      track->SetFixedWidth(fixedWidthOn_, fixedWidth_);
      track->SetSignatures(timeSigs, keySigs);
      track->Build(entries[i].bars, entries[i].bars ? entries[i].barCount : 0, allPercussion);
      tracks_.push_back(std::move(track));
    }
    if (!tracks_.empty()) PadAndAlign();
    for (auto& track : tracks_) {
      std::vector<CScoreMeasure*> measures;
      measures.reserve(track->Measures().size());
      for (auto& m : track->Measures()) measures.push_back(m.get());
      const int rc = track->Part()->LayoutMeasures(measures);
      if (rc != 0) {
        Clear();
        return rc;
      }
    }
  } catch (const std::bad_alloc&) {
    Clear();
    return 1;
  }
  Clear();
  return 0;
}

void CScoreModel::PadAndAlign() {
  std::vector<CScoreTrack*> bySize;
  for (auto& t : tracks_) bySize.push_back(t.get());
  std::stable_sort(bySize.begin(), bySize.end(), [](CScoreTrack* a, CScoreTrack* b) {
    return a->Measures().size() < b->Measures().size();
  });
  // Every part shows as many measures as the longest: the page controller
  // moves all lines together.
  CScoreTrack* longest = bySize.back();
  const size_t count = longest->Measures().size();
  const int firstLevel = tracks_.front()->Part() ? tracks_.front()->Part()->PartSizeLevel() : 0;
  for (CScoreTrack* t : bySize) {
    auto& measures = t->Measures();
    while (measures.size() < count) {
      const CScoreMeasure& model = *longest->Measures()[measures.size()];
      std::unique_ptr<CScoreMeasure> m = t->CreateMeasure(firstLevel, false);
      m->index = model.index;
      m->beats = model.beats;
      m->beatLength = model.beatLength;
      m->startTick = model.startTick;
      m->timeSigChange = model.timeSigChange;
      m->key = model.key;
      m->previousKey = model.previousKey;
      m->keyChange = model.keyChange;
      m->fixedWidthOn = fixedWidthOn_;
      m->fixedWidth = fixedWidth_;
      m->twoStaves = t->Part() && t->Part()->PartStaffKind() == kGrandStaff;
      measures.push_back(std::move(m));
    }
  }

  // Measure i of every part gets the widest grid unit and the finest
  // subdivision any part needs there, so that beats line up across parts.
  for (size_t i = 0; i < count; ++i) {
    double unitWidth = 0;
    int unitsPerBeat = 1;
    if (!fixedWidthOn_) {
      for (auto& t : tracks_) {
        CScoreMeasure& m = *t->Measures()[i];
        unitWidth = std::max(unitWidth, t->NeededUnitWidth(m));
        unitsPerBeat = std::max(unitsPerBeat, CMeasurePasses::FindBeatSubdivision(m));
      }
    }
    for (auto& t : tracks_) {
      CScoreMeasure& m = *t->Measures()[i];
      if (!fixedWidthOn_) {
        m.noteScale = unitWidth;
        m.unitsPerBeat = unitsPerBeat;
      }
      t->FinishWidth(m);
    }
  }
}

std::unique_ptr<CScoreTrack> CStaffScore::CreateTrack(int staffKind, IScorePart* part) const {
  if (staffKind == kPercussionStaff) return std::make_unique<CDrumTrack>(part);
  return std::make_unique<CStaffTrack>(part);
}

std::unique_ptr<CScoreTrack> CJianPuScore::CreateTrack(int, IScorePart* part) const {
  return std::make_unique<CJianPuTrack>(part);
}
