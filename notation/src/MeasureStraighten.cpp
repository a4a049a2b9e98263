// Straightening of notated lengths. Played notes rarely last exactly until the
// next onset; these rules decide when a gap is a rest worth showing and when
// the note is meant to last, so that the bar reads like the sheet it came from.
#include <algorithm>
#include <cstdlib>

#include "MeasurePasses.h"

namespace {

// Length of a note at E lasting L when the next onset of the list is at A.
int BeforeNextOnset(const CScoreMeasure& m, int E, int L, int A) {
  const int F = E + L;
  const int G = A - F;
  if (G == 0) return L;
  if (G < 0 && L >= 60 && -G <= 60) return std::max(A - E, 30);  // a slight overlap: legato
  if (CMeasurePasses::IsCompoundBeat(m) && (F - 1) / 180 == E / 180) return L;
  if (E / 120 == F / 120) {
    if (A / 120 <= E / 120) return A - E;
    if (G <= 30) return A % 120 == 0 ? A - E : (A / 120) * 120 - E;
    if (L <= 60) return 60;
    if (F % 120 > 0) return (F / 120 + 1) * 120 - E;
    return L;
  }
  if (G <= 0) return L;
  if (E % 120 == 0 && L > 120) {
    if (A % 120 != 0) return (L / 120) * 120;
    if (G > 120) return 240;
    if (G > 60) return A - E - 120;
    return A - E;
  }
  if (A % 120 == 0 && L > 60) {
    if (G < 60) return A - E - 60;
    return F % 60 == 0 ? L : A - E;
  }
  if (A % 120 != 0 && L > 60 && G <= 30 && F % 120 != 0) return L + 30;
  return L;
}

// Length of a note of the last onset group of a bar of D ticks; U is the grid.
int AtBarEnd(int E, int L, int D, int U) {
  const int F = E + L;
  const int H = D - F;
  if (H == 0) return L;
  if (std::abs(H) <= 30) return D - E;
  if (E % U == 0 && L > U) {
    const int r = L % U;
    return r < U / 2 ? L - r : L - r + U;
  }
  if (E % 60 == 0 && L <= 60) return 60;
  if (E % 30 == 0 && L > 30) {
    if (F % 60 == 0) return L;
    int length = (F / 60) * 60 - E;
    if (length == 30) length = 90;
    return std::min(length, D - E);
  }
  if (L >= 240) return H < -30 ? D - E : ((E + L) / U) * U - E;
  if (L > 60 && L < 120) return (E / U + 1) * U - E;
  if (L <= 60 && E % U >= 60) return 30;
  return L;
}

int Positive(int length) { return length > 0 ? length : 30; }

}  // namespace

void CMeasurePasses::QuantizeMeasure(CScoreMeasure& m, NoteList& list) {
  const int barLength = m.BarLength();
  const int grid = m.beatLength == 60 ? 60 : 120;
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
      const int slot = std::max(0, barLength - 30);
      n.notatedTick -= n.notatedOffset - slot;
      n.notatedOffset = slot;
    }
    if (n.notatedOffset < 0) n.notatedOffset = 0;
    if (n.NotatedEnd() > barLength) n.notatedLength = barLength - n.notatedOffset;
    n.notatedLength = Positive(n.notatedLength);
  }
  SortByOffset(list);
}
