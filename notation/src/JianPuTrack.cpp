// The numbered model's track: one melody line (the highest note of each
// onset), triplets found after straightening, and the numbered splitting rules.
#include <algorithm>
#include <cstdlib>
#include <set>

#include "IScorePart.h"
#include "JianPuDegrees.h"
#include "MeasurePasses.h"
#include "MeasureSizes.h"
#include "Rounding.h"
#include "ScoreModel.h"
#include "ScoreTrack.h"

namespace {

// Numbered notation shows one note at a time: of notes starting together the
// highest, of notes that the grid put on one tick the most telling.
bool Outranks(const ScoreNote& a, const ScoreNote& b) {
  if (std::abs(a.pitch - b.pitch) > 2) return a.pitch > b.pitch;
  return a.notatedLength > b.notatedLength;
}

void KeepOneNotePerTick(NoteList& list) {
  auto earlier = [](const ScoreNote& a, const ScoreNote& b) { return a.notatedTick < b.notatedTick; };
  // Mostly in order already; a stable sort would take a buffer from the heap.
  if (!std::is_sorted(list.begin(), list.end(), earlier)) std::stable_sort(list.begin(), list.end(), earlier);
  NoteList kept;
  kept.reserve(list.size());
  for (const ScoreNote& n : list) {
    if (!kept.empty() && !n.InTuplet()) {
      ScoreNote& last = kept.back();
      if (n.notatedTick == last.notatedTick) {
        if (Outranks(n, last)) last = n;
        continue;
      }
      if (n.notatedOffset <= last.notatedOffset) continue;
    }
    kept.push_back(n);
  }
  list.swap(kept);
}

// A melody line: whatever straightening kept of a long overlap, a note ends
// where the next one starts, so that no split piece lands on a later digit.
void EndAtNextOnset(NoteList& list) {
  for (size_t i = 0; i + 1 < list.size(); ++i) {
    ScoreNote& n = list[i];
    const int room = list[i + 1].notatedOffset - n.notatedOffset;
    if (!n.InTuplet() && room > 0 && n.notatedLength > room) n.notatedLength = room;
  }
}

}  // namespace

void CJianPuTrack::DropContinuationsUnderOnsets() {
  std::set<int> cutTies;  // ties whose continuation was dropped: the rest of the chain goes too
  for (size_t i = 1; i < measures_.size(); ++i) {
    NoteList& list = measures_[i]->notes;
    CMeasurePasses::SortByOffset(list);
    NoteList kept;
    auto drop = [&](const ScoreNote& n) {
      if (n.tieStart) cutTies.insert(n.tieStart);
      for (ScoreNote& origin : measures_[i - 1]->notes)
        if (n.tieEnd != 0 && origin.tieStart == n.tieEnd) origin.tieStart = 0;
    };
    for (const ScoreNote& n : list) {
      if (n.tieEnd != 0 && cutTies.count(n.tieEnd)) {
        drop(n);
        continue;
      }
      if (kept.empty() || kept.back().notatedOffset != n.notatedOffset) {
        kept.push_back(n);
        continue;
      }
      // Of the notes at one place the first struck one stays, else the first.
      if (kept.back().tieEnd != 0 && n.tieEnd == 0) {
        drop(kept.back());
        kept.back() = n;
      } else if (n.tieEnd != 0) {
        drop(n);
      }
    }
    list.swap(kept);
  }
}

void CJianPuTrack::Build(const ScoreBar* firstBar, int barCount, bool percussion) {
  const int level = part_ ? part_->PartSizeLevel() : 0;
  measures_.reserve(firstBar && barCount > 0 ? size_t(barCount) : 0);
  std::vector<const ScoreNoteNode*> nodes;
  for (int b = 0; firstBar && b < barCount; ++b) {
    CScoreMeasure& m = AppendMeasure(firstBar[b], level, percussion);
    nodes.clear();
    for (const ScoreNoteNode* node = firstBar[b].firstNote; node; node = node->next) nodes.push_back(node);
    std::stable_sort(nodes.begin(), nodes.end(), [](const ScoreNoteNode* a, const ScoreNoteNode* b) {
      const int64_t ta = RoundToMultiple(a->tick, 10), tb = RoundToMultiple(b->tick, 10);
      return ta != tb ? ta < tb : a->note > b->note;
    });
    int64_t lastTick = -1;
    for (const ScoreNoteNode* node : nodes) {
      const int64_t tick = RoundToMultiple(node->tick, 10);
      if (tick <= lastTick) continue;
      lastTick = tick;
      m.notes.emplace_back(node->note, node->length, node->offset, node->tick);
    }
  }
  AssignTimeSignatures();
  AssignKeys();

  for (size_t i = 0; i < measures_.size(); ++i) {
    CScoreMeasure* next = i + 1 < measures_.size() ? measures_[i + 1].get() : nullptr;
    CMeasurePasses::PutOnGrid(*measures_[i], measures_[i]->notes, next ? &next->notes : nullptr);
  }
  for (auto& m : measures_) KeepOneNotePerTick(m->notes);
  TieAcrossBarLines(false);
  DropContinuationsUnderOnsets();
  for (auto& m : measures_) {
    CMeasurePasses::QuantizeMeasure(*m, m->notes);
    CMeasurePasses::KeepInsideBar(*m, m->notes);
    CMeasurePasses::MarkTriplets(*m, m->notes);
    EndAtNextOnset(m->notes);
  }
  for (auto& m : measures_) {
    NoteList& list = m->notes;
    CMeasurePasses::SplitLongNotes(*m, list, true);
    CMeasurePasses::SplitAtJianPuGroups(*m, list);
    CMeasurePasses::SplitAtBeats(*m, list);
    CMeasurePasses::ClassifyValues(list, true);
    CMeasurePasses::BeamGeneral(*m, list);
  }
}

std::unique_ptr<CScoreMeasure> CJianPuTrack::CreateMeasure(int sizeLevel, bool) const {
  auto m = std::make_unique<CJianPuMeasure>(sizeLevel, 0);
  m->noteScale = MeasureSizes::kJianPuUnit[m->sizeLevel];
  return m;
}

double CJianPuTrack::NeededUnitWidth(const CScoreMeasure& m) {
  bool accidental = false;
  for (const ScoreNote& n : m.notes)
    accidental = accidental || CJianPuDegrees::NeedsAccidental(m.key, n.pitch);
  const double plain = CScoreModel::BaseUnitWidth(m.sizeLevel, true, accidental);
  // The numbered view draws a digit at the start of its grid cell.
  return std::max(plain, LyricUnitWidth(m, plain, 0));
}

void CJianPuTrack::FinishWidth(CScoreMeasure& m) const {
  const int gap = MeasureSizes::kLineGap[MeasureSizes::Level(m.sizeLevel)];
  const int time = TimeSignatureExtras(m);
  if (fixedWidthOn_) {
    m.signatureExtras = time;
    ApplyFixedWidth(m);
    m.signatureExtras = static_cast<int>(m.noteScale - gap) + time;
    return;
  }
  m.signatureExtras = static_cast<int>(m.noteScale - gap) + time;
  m.width = static_cast<int>(m.noteScale * m.unitsPerBeat * m.beats) + m.signatureExtras;
}
