// Straightening of notated lengths. Played notes rarely last exactly until the
// next onset; these rules decide when a gap is a rest worth showing and when
// the note is meant to last, so that the bar reads like the sheet it came from.
#include <algorithm>
#include <cstdlib>

#include "MeasurePasses.h"
#include "NoteValues.h"

namespace {

// Length of a note at E lasting L when the next onset of the list is at A.
int BeforeNextOnset(const CScoreMeasure& m, int E, int L, int A) {
  const int F = E + L;
  const int G = A - F;
  if (G == 0) return L;
  if (G < 0 && L >= kEighthTicks && -G <= kEighthTicks)
    return std::max(A - E, kSixteenthTicks);  // a slight overlap: legato
  if (CMeasurePasses::IsCompoundBeat(m) && (F - 1) / 180 == E / 180) return L;
  if (E / kQuarterTicks == F / kQuarterTicks) {
    if (A / kQuarterTicks <= E / kQuarterTicks) return A - E;
    if (G <= kSixteenthTicks) return A % kQuarterTicks == 0 ? A - E : (A / kQuarterTicks) * kQuarterTicks - E;
    if (L <= kEighthTicks) return kEighthTicks;
    if (F % kQuarterTicks > 0) return (F / kQuarterTicks + 1) * kQuarterTicks - E;
    return L;
  }
  if (G <= 0) return L;
  if (E % kQuarterTicks == 0 && L > kQuarterTicks) {
    if (A % kQuarterTicks != 0) return (L / kQuarterTicks) * kQuarterTicks;
    if (G > kQuarterTicks) return kHalfTicks;
    if (G > kEighthTicks) return A - E - kQuarterTicks;
    return A - E;
  }
  if (A % kQuarterTicks == 0 && L > kEighthTicks) {
    if (G < kEighthTicks) return A - E - kEighthTicks;
    return F % kEighthTicks == 0 ? L : A - E;
  }
  if (A % kQuarterTicks != 0 && L > kEighthTicks && G <= kSixteenthTicks && F % kQuarterTicks != 0)
    return L + kSixteenthTicks;
  return L;
}

// Length of a note of the last onset group of a bar of D ticks; U is the grid.
int AtBarEnd(int E, int L, int D, int U) {
  const int F = E + L;
  const int H = D - F;
  if (H == 0) return L;
  if (std::abs(H) <= kSixteenthTicks) return D - E;
  if (E % U == 0 && L > U) {
    const int r = L % U;
    return r < U / 2 ? L - r : L - r + U;
  }
  if (E % kEighthTicks == 0 && L <= kEighthTicks) return kEighthTicks;
  if (E % kSixteenthTicks == 0 && L > kSixteenthTicks) {
    if (F % kEighthTicks == 0) return L;
    int length = (F / kEighthTicks) * kEighthTicks - E;
    if (length == kSixteenthTicks) length = 90;
    return std::min(length, D - E);
  }
  if (L >= kHalfTicks) return H < -kSixteenthTicks ? D - E : ((E + L) / U) * U - E;
  if (L > kEighthTicks && L < kQuarterTicks) return (E / U + 1) * U - E;
  if (L <= kEighthTicks && E % U >= kEighthTicks) return kSixteenthTicks;
  return L;
}

int Positive(int length) { return length > 0 ? length : kSixteenthTicks; }

}  // namespace

void CMeasurePasses::QuantizeMeasure(CScoreMeasure& m, NoteList& list) {
  const int barLength = m.BarLength();
  const int grid = m.beatLength == kEighthTicks ? kEighthTicks : kQuarterTicks;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].InTuplet()) continue;
    const int E = list[i].notatedOffset;
    // The group: this note and the later ones at its offset. Later notes of a
    // chord come back at their own turn with a smaller group.
    size_t end = i + 1;
    while (end < list.size() && list[end].notatedOffset == E) ++end;
    const bool hasNext = end < list.size();
    if (hasNext) {
      const int A = list[end].notatedOffset;
      if (list[i].NotatedEnd() == A) continue;
      for (size_t k = end; k-- > i;) {
        ScoreNote& s = list[k];
        if (s.InTuplet()) continue;
        s.notatedLength = Positive(BeforeNextOnset(m, E, s.notatedLength, A));
      }
      continue;
    }
    for (size_t k = list.size(); k-- > i;) {
      ScoreNote& s = list[k];
      if (s.InTuplet()) continue;
      s.notatedLength = Positive(AtBarEnd(s.notatedOffset, s.notatedLength, barLength, grid));
    }
    break;
  }
}

void CMeasurePasses::KeepInsideBar(const CScoreMeasure& m, NoteList& list) {
  const int barLength = m.BarLength();
  for (ScoreNote& n : list) {
    if (n.InTuplet()) continue;
    if (n.notatedOffset >= barLength) {
      const int slot = std::max(0, barLength - kSixteenthTicks);
      n.notatedTick -= n.notatedOffset - slot;
      n.notatedOffset = slot;
    }
    if (n.notatedOffset < 0) n.notatedOffset = 0;
    if (n.NotatedEnd() > barLength) n.notatedLength = barLength - n.notatedOffset;
    n.notatedLength = Positive(n.notatedLength);
  }
  SortByOffset(list);
}
