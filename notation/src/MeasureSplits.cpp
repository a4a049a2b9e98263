// Splits of notes at the group and beat boundaries of the meter. A split note
// becomes pieces that share a split group; the page ties consecutive pieces.
#include <functional>

#include "MeasurePasses.h"
#include "NoteValues.h"

namespace {

bool Crosses(int offset, int length, int step) { return offset / step != (offset + length - 1) / step; }
int NextMultiple(int offset, int step) { return (offset / step + 1) * step; }
bool IsWholeLength(int length) { return length == 360 || length == 720; }

// Cuts every note outside tuplets that is at least `minLength` long and
// crosses a multiple of `step` at the first such multiple, unless `keep` says
// the note reads well as it is. The pieces are checked again.
void SplitAcross(CScoreMeasure& m, NoteList& list, int step, int minLength,
                 const std::function<bool(int offset, int length)>& keep) {
  if (step <= 0) return;
  for (size_t i = 0; i < list.size(); ++i) {
    const ScoreNote& n = list[i];
    if (n.InTuplet() || n.notatedLength < minLength || n.notatedLength <= 0) continue;
    const int offset = n.notatedOffset, length = n.notatedLength;
    if (!Crosses(offset, length, step) || keep(offset, length)) continue;
    CMeasurePasses::SplitNote(m, list, i, NextMultiple(offset, step));
  }
  CMeasurePasses::SortByOffset(list);
}

bool KeepNothing(int, int) { return false; }

// A quarter-based beat: notes over a quarter line with an end off the beat.
void QuarterRules(CScoreMeasure& m, NoteList& list) {
  const int beat = m.beatLength;
  for (size_t i = 0; i < list.size(); ++i) {
    ScoreNote& note = list[i];
    const int n = note.notatedOffset, c = note.notatedLength;
    if (note.InTuplet() || c <= 0) continue;
    if (n % beat == 0 && (n + c) % beat == 0) continue;
    if (!Crosses(n, c, kQuarterTicks)) continue;
    switch (n % kQuarterTicks) {
      case 0:
        if ((n + c) % kQuarterTicks == 0) break;
        if (c == kDottedQuarterTicks) {
          note.dotted = true;
          break;
        }
        CMeasurePasses::SplitNote(m, list, i, n + c / kQuarterTicks * kQuarterTicks);
        break;
      case kSixteenthTicks:
      case kDottedEighthTicks:
        CMeasurePasses::SplitNote(m, list, i, NextMultiple(n, kQuarterTicks));
        break;
      case kEighthTicks:
        if (c == kQuarterTicks) break;
        if (c == kDottedQuarterTicks) {
          note.dotted = true;
          break;
        }
        CMeasurePasses::SplitNote(m, list, i, n + kEighthTicks);
        break;
      default:
        break;
    }
  }
  CMeasurePasses::SortByOffset(list);
}

// Dotted-quarter beats of 6/8 and its kin.
void CompoundBeatRules(CScoreMeasure& m, NoteList& list) {
  for (size_t i = 0; i < list.size(); ++i) {
    ScoreNote& note = list[i];
    const int n = note.notatedOffset, c = note.notatedLength;
    if (note.InTuplet() || c <= 0) continue;
    if (n % kEighthTicks == 0 && (n + c) % kEighthTicks == 0) continue;
    if (!Crosses(n, c, kEighthTicks)) continue;
    if (n % kSixteenthTicks != 0) {
      CMeasurePasses::SplitNote(m, list, i, NextMultiple(n, kQuarterTicks));
    } else if (n % kEighthTicks == kSixteenthTicks) {
      if (c == kEighthTicks) continue;
      if (c == kDottedEighthTicks) {
        note.dotted = true;
        continue;
      }
      CMeasurePasses::SplitNote(m, list, i, n + kEighthTicks);
    } else {
      if (c == kDottedEighthTicks) {
        note.dotted = true;
        continue;
      }
      CMeasurePasses::SplitNote(m, list, i, n + c / kQuarterTicks * kQuarterTicks);
    }
  }
  CMeasurePasses::SortByOffset(list);
}

}  // namespace

bool CMeasurePasses::SplitNote(CScoreMeasure& m, NoteList& list, size_t i, int boundary) {
  ScoreNote& first = list[i];
  const int n = first.notatedOffset, c = first.notatedLength;
  if (boundary <= n || boundary >= n + c) return false;
  const int firstLength = boundary - n;
  ScoreNote rest(first.pitch, c - firstLength, boundary, first.tick + firstLength);
  rest.notatedLength = c - firstLength;
  rest.notatedOffset = boundary;
  rest.notatedTick = first.notatedTick + firstLength;
  rest.tieStart = first.tieStart;
  first.tieStart = 0;
  if (first.splitGroup == 0) first.splitGroup = ++m.splitCounter;
  rest.splitGroup = first.splitGroup;
  first.length = firstLength;
  first.notatedLength = firstLength;
  first.dotted = false;
  list.insert(list.begin() + static_cast<std::ptrdiff_t>(i) + 1, rest);
  return true;
}

void CMeasurePasses::SplitLongNotes(CScoreMeasure& m, NoteList& list, bool numbered) {
  if (m.BarLength() <= 480) return;
  // Cut where the meter groups its beats (the dotted quarters of 9/8), else
  // at whole-note lines. A dotted whole that starts on a whole-note line (6/4,
  // 12/8) reads as one note.
  const bool compound = m.beats % 3 == 0 && m.beats > 3 && (numbered || m.beats % 4 != 0);
  const int step = compound ? 3 * m.beatLength : 480;
  SplitAcross(m, list, step, 481, [](int n, int c) { return n % 480 == 0 && c == 720; });
}

void CMeasurePasses::SplitAtStaffGroups(CScoreMeasure& m, NoteList& list) {
  const int beats = m.beats, beat = m.beatLength;
  if (beats % 4 == 0) {
    if (beats > 4 || (beat == kHalfTicks && beats > 2))
      SplitAcross(m, list, 480, 1, [](int n, int c) { return n % 480 == 0 && IsWholeLength(c); });
    SplitAcross(m, list, kHalfTicks, 1,
                [](int n, int c) { return n % kQuarterTicks == 0 && (n + c) % kQuarterTicks == 0; });
  } else if (beats % 3 == 0 && beats > 3) {
    const int group = 3 * beat;
    SplitAcross(m, list, group, beat,
                [group](int n, int c) { return n % group == 0 && (n + c) % group == 0 && IsWholeLength(c); });
  }
}

void CMeasurePasses::SplitAtJianPuGroups(CScoreMeasure& m, NoteList& list) {
  const int beats = m.beats, beat = m.beatLength;
  if (beats % 3 == 0 && beats > 3) {
    SplitAcross(m, list, 3 * beat, beat + 1, KeepNothing);
  } else if (beats % 4 == 0) {
    if (beats > 4) {
      const int whole = 4 * beat;
      SplitAcross(m, list, whole, 1, [whole](int n, int c) { return n % whole == 0 && IsWholeLength(c); });
    }
    if (beat <= kEighthTicks) return;
    SplitAcross(m, list, kHalfTicks, 1,
                [](int n, int c) { return n % kQuarterTicks == 0 && (n + c) % kQuarterTicks == 0; });
  }
}

void CMeasurePasses::SplitAtBeats(CScoreMeasure& m, NoteList& list) {
  if (m.beatLength <= 0) return;
  if (IsCompoundBeat(m))
    CompoundBeatRules(m, list);
  else
    QuarterRules(m, list);
}
