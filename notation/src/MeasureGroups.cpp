// Value classes, chord groups, beam groups, group extents and the finest beat
// subdivision of a measure.
#include <algorithm>

#include "MeasurePasses.h"
#include "NoteValues.h"
#include "Rounding.h"

namespace {

// A note outside tuplets together with the later members of its chord: the
// beam passes move from onset to onset.
struct Head {
  size_t first;  // [first, last) in the list
  size_t last;
};

std::vector<Head> HeadsOf(const NoteList& list) {
  std::vector<Head> heads;
  for (size_t i = 0; i < list.size(); ++i) {
    const ScoreNote& n = list[i];
    if (!heads.empty() && n.chordGroup != 0 && list[heads.back().first].chordGroup == n.chordGroup &&
        heads.back().last == i) {
      heads.back().last = i + 1;
      continue;
    }
    heads.push_back(Head{i, i + 1});
  }
  return heads;
}

void Beam(NoteList& list, const Head& h, int group, bool grouped) {
  for (size_t i = h.first; i < h.last; ++i) {
    list[i].beamGroup = group;
    if (grouped) list[i].grouped = true;
  }
}

bool IsPlainEighth(const ScoreNote& n) {
  return n.valueClass == kEighthNote && !n.dotted && !n.InTuplet() && !n.grouped &&
         n.notatedLength == kEighthTicks;
}

// Beams `count` plain eighths chained from the note at `start`; false when
// the bar has no such run there.
bool BeamEighthsFrom(CScoreMeasure& m, NoteList& list, const std::vector<Head>& heads, int start, int count) {
  size_t k = 0;
  while (k < heads.size() && list[heads[k].first].notatedOffset != start) ++k;
  if (k + count > heads.size()) return false;
  for (int j = 0; j < count; ++j) {
    const ScoreNote& n = list[heads[k + j].first];
    if (!IsPlainEighth(n) || n.notatedOffset != start + kEighthTicks * j) return false;
  }
  const int group = ++m.beamCounter;
  for (int j = 0; j < count; ++j) Beam(list, heads[k + j], group, true);
  return true;
}

// 6/8 and its kin: whatever chains inside one dotted-quarter beat.
void BeamCompoundBeats(CScoreMeasure& m, NoteList& list, const std::vector<Head>& heads) {
  auto fits = [&](const ScoreNote& n) {
    return !n.InTuplet() && !n.grouped && n.notatedLength < kQuarterTicks &&
           n.notatedOffset / kDottedQuarterTicks == (n.NotatedEnd() - 1) / kDottedQuarterTicks;
  };
  size_t k = 0;
  while (k < heads.size()) {
    const ScoreNote& first = list[heads[k].first];
    size_t end = k + 1;
    if (fits(first)) {
      while (end < heads.size()) {
        const ScoreNote& prev = list[heads[end - 1].first];
        const ScoreNote& n = list[heads[end].first];
        if (!fits(n) || n.notatedOffset != prev.NotatedEnd() ||
            n.notatedOffset / kDottedQuarterTicks != first.notatedOffset / kDottedQuarterTicks)
          break;
        ++end;
      }
    }
    if (end - k >= 2) {
      const int group = ++m.beamCounter;
      for (size_t j = k; j < end; ++j) Beam(list, heads[j], group, true);
    }
    k = end;
  }
}

}  // namespace

void CMeasurePasses::MarkChords(CScoreMeasure& m, NoteList& list) {
  size_t i = 0;
  while (i < list.size()) {
    const bool tuplet = list[i].InTuplet();
    const int offset =
        static_cast<int>(tuplet ? RoundToMultiple(list[i].notatedOffset, 10) : list[i].notatedOffset);
    size_t end = i + 1;
    while (end < list.size() && list[end].InTuplet() == tuplet &&
           (tuplet ? RoundToMultiple(list[end].notatedOffset, 10) : list[end].notatedOffset) == offset)
      ++end;
    if (end - i >= 2) {
      const int group = ++m.chordCounter;
      int shortest = list[i].notatedLength;
      for (size_t k = i; k < end; ++k) shortest = std::min(shortest, list[k].notatedLength);
      for (size_t k = i; k < end; ++k) {
        list[k].chordGroup = group;
        if (!tuplet) list[k].notatedLength = shortest;
      }
      const auto first = list.begin() + static_cast<std::ptrdiff_t>(i);
      const auto last = list.begin() + static_cast<std::ptrdiff_t>(end);
      auto lower = [](const ScoreNote& a, const ScoreNote& b) { return a.pitch < b.pitch; };
      // A chord read from a file mostly lists its notes upward already.
      if (!std::is_sorted(first, last, lower)) std::stable_sort(first, last, lower);
    }
    i = end;
  }
}

void CMeasurePasses::ClassifyValues(NoteList& list, bool tupletsByBufferLength) {
  for (ScoreNote& n : list) {
    if (n.InTuplet())
      CNoteValues::ClassifyTripletLength(n,
                                         tupletsByBufferLength ? RoundLengthTo10(n.length) : n.notatedLength);
    else
      CNoteValues::ClassifyLength(n, n.notatedLength);
  }
}

void CMeasurePasses::BeamByMeter(CScoreMeasure& m, NoteList& list) {
  const int beats = m.beats, beat = m.beatLength;
  if (beats == 1 || (beats == 2 && beat == kQuarterTicks)) return;
  const std::vector<Head> heads = HeadsOf(list);
  if (beat == kEighthTicks && beats % 3 == 0) {
    BeamCompoundBeats(m, list, heads);
  } else if (beats == 3 && beat == kQuarterTicks) {
    if (!BeamEighthsFrom(m, list, heads, 0, 6)) {
      if (!BeamEighthsFrom(m, list, heads, 0, 4)) BeamEighthsFrom(m, list, heads, kQuarterTicks, 4);
    }
  } else if ((beats == 4 && beat == kQuarterTicks) || (beats == 2 && beat == kHalfTicks)) {
    BeamEighthsFrom(m, list, heads, 0, 4);
    BeamEighthsFrom(m, list, heads, kHalfTicks, 4);
  }
}

// The general rule, for notes the meter left unbeamed: within one beam unit
// (the beat, at most a quarter), notes shorter than the unit that follow one
// another without a gap are beamed together while their lengths add up to no
// more than the unit. Two neighbours that fill the unit exactly close their
// group; a note that reaches into the next unit, a gap, a rest between, a
// tuplet or a note the meter already beamed ends it.
void CMeasurePasses::BeamGeneral(CScoreMeasure& m, NoteList& list) {
  const int unit = std::min(m.beatLength, kQuarterTicks);
  if (unit <= 0) return;
  const std::vector<Head> heads = HeadsOf(list);
  int group = m.beamCounter + 1;
  bool groupHasNotes = false;
  int beamedBefore = 0;  // length of the run's notes before the current one
  auto closeGroup = [&]() {
    if (groupHasNotes) {
      m.beamCounter = group;
      ++group;
      groupHasNotes = false;
    }
    beamedBefore = 0;
  };
  auto addToGroup = [&](const Head& h) {
    Beam(list, h, group, false);
    groupHasNotes = true;
  };

  size_t k = 0;
  while (k < heads.size()) {
    const ScoreNote& note = list[heads[k].first];
    if (k + 1 == heads.size()) {
      closeGroup();
      break;
    }
    if (note.grouped || note.InTuplet() || note.notatedLength >= unit) {
      ++k;
      continue;
    }
    const ScoreNote& next = list[heads[k + 1].first];
    if (next.grouped || next.InTuplet()) {
      closeGroup();
      k += 2;
      continue;
    }
    const int start = note.notatedOffset, length = note.notatedLength;
    const int nextStart = next.notatedOffset, nextLength = next.notatedLength;
    const bool adjacent = start + length == nextStart;
    const bool sameUnit = start / unit == nextStart / unit;
    if (adjacent && sameUnit) {
      const int run = beamedBefore + length + nextLength;
      if (run < unit) {
        addToGroup(heads[k]);
        addToGroup(heads[k + 1]);
        const int unitEnd = (start / unit + 1) * unit;
        if (nextStart + nextLength <= unitEnd) {
          // The next note may chain on with the one after it.
          beamedBefore += length;
          ++k;
          continue;
        }
        closeGroup();
        k += 2;
        continue;
      }
      if (run == unit) {
        addToGroup(heads[k]);
        addToGroup(heads[k + 1]);
      }
      closeGroup();
      k += 2;
      continue;
    }
    closeGroup();
    ++k;
  }
}

void CMeasurePasses::RecordExtents(CScoreMeasure& m, const NoteList& list) {
  for (const ScoreNote& n : list) {
    if (n.chordGroup) m.chordRanges[n.chordGroup].Add(n.pitch);
    if (n.beamGroup) m.beamRanges[n.beamGroup].Add(n.pitch);
    if (n.tupletGroup) m.tupletRanges[n.tupletGroup].Add(n.pitch);
  }
}

namespace {

// What one note asks of the grid: a number of units per beat, and whether
// that is the finest the beat can need.
struct Need {
  int units = 0;
  bool ending = false;
  void Raise(int u, bool end = false) {
    if (u > units) units = u;
    if (end) ending = true;
  }
};

Need TripletNeed(int beat, int length) {
  Need need;
  switch (beat) {
    case kQuarterTicks:
      if (length == kQuarterTripletTicks) need.Raise(2);
      if (length == kEighthTripletTicks) need.Raise(3);
      if (length == kSixteenthTripletTicks) need.Raise(6, true);
      break;
    case kEighthTicks:
      if (length == kEighthTripletTicks) need.Raise(2);
      if (length == kSixteenthTripletTicks) need.Raise(3, true);
      break;
    case kHalfTicks:
      if (length == kEighthTripletTicks) need.Raise(8);
      if (length == kSixteenthTripletTicks) need.Raise(12, true);
      break;
    default:
      break;
  }
  return need;
}

Need PlainNeed(int beat, int length, int offset) {
  Need need;
  const int into = offset % beat;
  switch (beat) {
    case kQuarterTicks:
      if (length == kSixteenthTicks) need.Raise(4, true);
      if (length == kEighthTicks) need.Raise(2);
      if (into == 0 && length == kDottedEighthTicks) need.Raise(4, true);
      if (into == kSixteenthTicks || into == kDottedEighthTicks) need.Raise(4, true);
      if (into == kEighthTicks) need.Raise(2);
      break;
    case kEighthTicks:
      if (length == kSixteenthTicks || into == kSixteenthTicks) need.Raise(2, true);
      break;
    case kHalfTicks:
      if (length == kSixteenthTicks) need.Raise(8, true);
      if (into == 0) {
        if (length == kDottedEighthTicks || length == kQuarterTicks + kSixteenthTicks ||
            length == kDottedQuarterTicks + kSixteenthTicks)
          need.Raise(8, true);
        if (length == kEighthTicks || length == kDottedQuarterTicks) need.Raise(4);
        if (length == kQuarterTicks) need.Raise(2);
      }
      if (into % kEighthTicks == kSixteenthTicks) need.Raise(8, true);
      if (into == kEighthTicks || into == kDottedQuarterTicks) need.Raise(4);
      if (into == kQuarterTicks) need.Raise(2);
      break;
    default:
      break;
  }
  return need;
}

}  // namespace

int CMeasurePasses::FindBeatSubdivision(const CScoreMeasure& m) {
  const int beat = m.beatLength;
  if (beat != kEighthTicks && beat != kQuarterTicks && beat != kHalfTicks) return 1;
  int result = 1;
  for (int voice : {kSingleVoice, kUpperVoice, kLowerVoice}) {
    if ((voice == kSingleVoice) == m.twoStaves) continue;
    for (const ScoreNote& n : m.Voice(voice)) {
      const bool triplet = n.InTuplet() && m.tripletsPresent;
      const Need need = triplet ? TripletNeed(beat, RoundLengthTo10(n.length))
                                : PlainNeed(beat, n.notatedLength, n.notatedOffset);
      result = std::max(result, need.units);
      if (need.ending && (triplet || !m.tripletsPresent)) return result;
    }
  }
  return result;
}
