// A plain score model used only while the notation library has no measure
// passes of its own: notes on the 30-tick grid, value classes, chords, beams
// by beat and widths, with no splitting, ties or tuplets. The build leaves
// this file out as soon as the real model is part of it.
#include <algorithm>
#include <cstdlib>

#include "IScorePart.h"
#include "KeyTable.h"
#include "NoteValues.h"
#include "Rounding.h"
#include "ScoreModel.h"

int OctaveShift(int staffKind, int pitch) {
  if (staffKind == 5) return pitch - 12;
  if (staffKind == 6) return pitch + 12;
  return pitch;
}

void CScoreModel::SetFixedWidth(bool on, int width) {
  fixedWidthOn_ = on;
  fixedWidth_ = width;
}

void CScoreModel::Clear() { tracks_.clear(); }

double CScoreModel::BaseUnitWidth(int level, bool numbered, bool accidental) {
  static const int kStaff[4] = {16, 18, 20, 26}, kWide[4] = {22, 24, 26, 32};
  level = level < 0 ? 0 : level > 3 ? 3 : level;
  return accidental ? kWide[level] : kStaff[level];
}

std::unique_ptr<CScoreTrack> CStaffScore::CreateTrack(int, IScorePart*) const { return nullptr; }
std::unique_ptr<CScoreTrack> CJianPuScore::CreateTrack(int, IScorePart*) const { return nullptr; }

namespace {

int Classify(ScoreNote& n, int length) {
  static const int kLengths[] = {480, 360, 240, 180, 120, 90, 60, 30};
  for (int l : kLengths)
    if (l <= length) {
      CNoteValues::ClassifyLength(n, l);
      return l;
    }
  CNoteValues::ClassifyLength(n, 30);
  return 30;
}

}  // namespace

int CScoreModel::Build(const std::vector<IScorePart*>& parts, const std::vector<ScoreTrackEntry>& entries,
                       const std::vector<ScoreKeySig>& keySigs, const std::vector<ScoreTimeSig>& timeSigs,
                       bool allPercussion) {
  const ScoreTimeSig sig = timeSigs.empty() ? ScoreTimeSig{0, 4, 120} : timeSigs.front();
  const int key = keySigs.empty() ? 0 : CKeyTable::ClampKey(keySigs.front().key);
  const int bar = sig.beatsPerBar * sig.ticksPerBeat;
  for (size_t t = 0; t < entries.size() && t < parts.size(); ++t) {
    IScorePart* part = parts[t];
    const int kind = part->PartStaffKind();
    std::vector<std::unique_ptr<CScoreMeasure>> measures;
    for (int b = 0; b < entries[t].barCount; ++b) {
      const ScoreBar& sb = entries[t].bars[b];
      auto m = kind == 7 ? std::make_unique<CDrumMeasure>(part->PartSizeLevel(), b)
                         : std::make_unique<CScoreMeasure>(part->PartSizeLevel(), b);
      m->beats = sig.beatsPerBar;
      m->beatLength = sig.ticksPerBeat;
      m->startTick = b * bar;
      m->key = key;
      m->keyChange = b == 0 && key != 0;
      m->timeSigChange = b == 0;
      for (const ScoreNoteNode* node = sb.firstNote; node; node = node->next) {
        ScoreNote n(OctaveShift(kind, node->note), node->length, node->offset, node->tick);
        n.notatedOffset = RoundTo30(node->offset);
        if (n.notatedOffset >= bar) continue;
        int length = RoundTo30(node->length > 0 ? node->length : 30);
        length = std::max(30, std::min(length, bar - n.notatedOffset));
        n.notatedLength = Classify(n, length);
        n.notatedTick = m->startTick + n.notatedOffset;
        m->notes.push_back(n);
      }
      std::stable_sort(m->notes.begin(), m->notes.end(),
                       [](const ScoreNote& a, const ScoreNote& c) { return a.notatedOffset < c.notatedOffset; });
      // Chords share the shortest length; the next onset cuts a long note.
      for (size_t i = 0; i < m->notes.size();) {
        size_t j = i + 1;
        while (j < m->notes.size() && m->notes[j].notatedOffset == m->notes[i].notatedOffset) ++j;
        int shortest = m->notes[i].notatedLength;
        for (size_t k = i; k < j; ++k) shortest = std::min(shortest, m->notes[k].notatedLength);
        if (j < m->notes.size()) shortest = std::min(shortest, m->notes[j].notatedOffset - m->notes[i].notatedOffset);
        for (size_t k = i; k < j; ++k) {
          m->notes[k].notatedLength = Classify(m->notes[k], shortest);
          if (j - i > 1) m->notes[k].chordGroup = static_cast<int>(i) + 1;
        }
        i = j;
      }
      // Eighths and sixteenths within one beat are beamed.
      int group = 0;
      for (size_t i = 0; i < m->notes.size(); ++i) {
        ScoreNote& n = m->notes[i];
        if (n.valueClass < kEighthNote) continue;
        const int beat = n.notatedOffset / std::max(1, m->beatLength);
        size_t j = i + 1, onsets = 1;
        while (j < m->notes.size() && m->notes[j].valueClass >= kEighthNote &&
               m->notes[j].notatedOffset / std::max(1, m->beatLength) == beat) {
          if (m->notes[j].notatedOffset != m->notes[j - 1].notatedOffset) ++onsets;
          ++j;
        }
        if (onsets > 1) {
          ++group;
          for (size_t k = i; k < j; ++k) m->notes[k].beamGroup = group;
        }
        i = j - 1;
      }
      if (kind == 2) {
        m->twoStaves = true;
        for (const ScoreNote& n : m->notes) (n.pitch < 60 ? m->lowerNotes : m->upperNotes).push_back(n);
      }
      bool accidental = false, sixteenth = false;
      for (const ScoreNote& n : m->notes) {
        accidental = accidental || CKeyTable::NeedsAccidental(key, n.pitch);
        sixteenth = sixteenth || n.valueClass == kSixteenthNote || n.dotted;
      }
      m->unitsPerBeat = sig.ticksPerBeat == 120 ? (sixteenth ? 4 : 2) : 1;
      m->noteScale = BaseUnitWidth(part->PartSizeLevel(), false, accidental && kind != 7);
      if (fixedWidthOn_) m->noteScale = fixedWidth_ / double(m->beats * m->unitsPerBeat + 1);
      m->signatureExtras = (m->keyChange && kind != 7 ? std::abs(key) * 7 : 0) + (m->timeSigChange ? 14 : 0);
      m->width = m->NoteAreaWidth() + m->signatureExtras;
      measures.push_back(std::move(m));
    }
    std::vector<CScoreMeasure*> raw;
    for (auto& m : measures) raw.push_back(m.get());
    if (const int rc = part->LayoutMeasures(raw)) return rc;
  }
  (void)allPercussion;
  return 0;
}
