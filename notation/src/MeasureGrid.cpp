// Triplet marking and the 30-tick grid.
#include <algorithm>

#include "MeasurePasses.h"
#include "Rounding.h"

namespace {

// Notes of one list that share a start (rounded to 10): they count as one
// candidate with the shortest length among them.
struct Onset {
  size_t first;  // [first, last) in the list
  size_t last;
  int offset;
  int shortest;
};

std::vector<Onset> OnsetsOf(const NoteList& list) {
  std::vector<Onset> onsets;
  for (size_t i = 0; i < list.size(); ++i) {
    const ScoreNote& n = list[i];
    if (n.InTuplet()) continue;
    const int offset = static_cast<int>(RoundToMultiple(n.offset, 10));
    const int length = RoundLengthTo10(n.length);
    if (!onsets.empty() && onsets.back().offset == offset && onsets.back().last == i) {
      onsets.back().last = i + 1;
      onsets.back().shortest = std::min(onsets.back().shortest, length);
      continue;
    }
    onsets.push_back(Onset{i, i + 1, offset, length});
  }
  return onsets;
}

// How many onsets after k continue a run of notes of `length`, each starting
// where the previous one would end; at most `limit`.
int RunAfter(const std::vector<Onset>& onsets, size_t k, int length, int limit) {
  int further = 0;
  while (further < limit && k + further + 1 < onsets.size()) {
    const Onset& o = onsets[k + further + 1];
    if (o.offset != onsets[k].offset + length * (further + 1) || o.shortest != length) break;
    ++further;
  }
  return further;
}

// True when a group of `members` notes of `length` from b fills part of one
// `unit` of the bar: a triplet that reached over a beat line or the bar line
// could not be drawn as one.
bool FitsUnit(int b, int length, int members, int unit, int barLength) {
  const int end = b + length * members;
  return b / unit == (end - 1) / unit && end <= barLength;
}

// Members (3 or 6) of a triplet group starting at onset k, 0 for none.
int TripletAt(const std::vector<Onset>& onsets, size_t k, int barLength) {
  const Onset& o = onsets[k];
  if (o.offset % 60 != 0) return 0;
  const int b = o.offset;
  switch (o.shortest) {
    case 20: {
      if ((b / 60) % 2 == 1)
        return FitsUnit(b, 20, 3, 60, barLength) && RunAfter(onsets, k, 20, 2) == 2 ? 3 : 0;
      const int further = RunAfter(onsets, k, 20, 5);
      if (further == 5 && FitsUnit(b, 20, 6, 120, barLength)) return 6;
      return further >= 2 && FitsUnit(b, 20, 3, 60, barLength) ? 3 : 0;
    }
    case 40:
      return FitsUnit(b, 40, 3, 120, barLength) && RunAfter(onsets, k, 40, 2) == 2 ? 3 : 0;
    case 80:
      return FitsUnit(b, 80, 3, 240, barLength) && RunAfter(onsets, k, 80, 2) == 2 ? 3 : 0;
    case 160:
      // Half triplets fill a whole-note span that starts on a whole-note line.
      return FitsUnit(b, 160, 3, 480, barLength) && RunAfter(onsets, k, 160, 2) == 2 ? 3 : 0;
    default:
      return 0;
  }
}

}  // namespace

void CMeasurePasses::MarkTriplets(CScoreMeasure& m, NoteList& list) {
  const std::vector<Onset> onsets = OnsetsOf(list);
  size_t k = 0;
  while (k < onsets.size()) {
    const int members = TripletAt(onsets, k, m.BarLength());
    if (members == 0) {
      ++k;
      continue;
    }
    const int group = ++m.tupletCounter;
    m.tupletCounts[group] = members;
    m.tripletsPresent = true;
    const int length = onsets[k].shortest;
    for (size_t j = k; j < k + members; ++j) {
      for (size_t i = onsets[j].first; i < onsets[j].last; ++i) {
        ScoreNote& n = list[i];
        n.tupletGroup = group;
        n.notatedLength = length;
        n.notatedOffset = onsets[j].offset;
        n.notatedTick = static_cast<int>(RoundToMultiple(n.tick, 10));
      }
    }
    k += members;
  }
}

void CMeasurePasses::PutOnGrid(CScoreMeasure& m, NoteList& list, NoteList* next) {
  const int barLength = m.BarLength();
  const int lastSlot = std::max(0, barLength - 30);
  for (size_t i = 0; i < list.size();) {
    ScoreNote& n = list[i];
    if (n.InTuplet()) {
      ++i;
      continue;
    }
    int length = RoundTo30(n.length);
    if (length <= 0) length = 30;  // never closed, or a grace-length tap
    const int offset = RoundTo30(n.offset);
    const int tick = RoundTo30(n.tick);
    const bool onBarLine = offset >= barLength;
    const bool lateAndLong = length > 60 && n.offset > barLength - 30;
    if (!onBarLine && !lateAndLong) {
      n.notatedLength = length;
      n.notatedOffset = offset;
      n.notatedTick = tick;
      ++i;
      continue;
    }
    if (length <= 30 || !next) {
      // Stays in this bar, drawn in its last grid slot. In the last measure a
      // longer note stays as well; the tie pass cuts it at the bar line.
      n.notatedLength = length;
      n.notatedOffset = std::min(offset, lastSlot);
      n.notatedTick = tick - (offset - n.notatedOffset);
      ++i;
      continue;
    }
    // It sounds in the next bar: it starts that bar. The buffer tick stays, so
    // that the played note-on still finds it.
    ScoreNote moved = n;
    moved.offset = 0;
    moved.length = length;
    moved.notatedOffset = 0;
    moved.notatedLength = length;
    moved.notatedTick = m.EndTick();
    auto at = std::upper_bound(next->begin(), next->end(), 0,
                               [](int offset, const ScoreNote& x) { return offset < x.offset; });
    next->insert(at, moved);
    list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
  }
  SortByOffset(list);
}

void CMeasurePasses::SortByOffset(NoteList& list) {
  auto before = [](const ScoreNote& a, const ScoreNote& b) { return a.notatedOffset < b.notatedOffset; };
  // Most lists are in order already after a pass; a stable sort would still
  // take a buffer from the heap for every list of every measure.
  if (!std::is_sorted(list.begin(), list.end(), before)) std::stable_sort(list.begin(), list.end(), before);
}
