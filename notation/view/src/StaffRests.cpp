#include "StaffRests.h"

#include <algorithm>

int CRestFiller::ModeFor(int beats, int beatTicks) {
  if (beatTicks == 120) {
    if (beats == 1 || beats == 2) return kShortBar;
    return beats == 3 ? kTriple : kQuarters;
  }
  if (beatTicks == 60) {
    if (beats == 3) return kEighthTriple;
    if (beats > 3 && beats % 3 == 0) return kCompound;
  }
  return kQuarters;
}

CRestFiller::CRestFiller(int beats, int beatTicks)
    : barTicks_(beats > 0 && beatTicks > 0 ? beats * beatTicks : 0), mode_(ModeFor(beats, beatTicks)) {}

std::vector<RestSpec> CRestFiller::FillGap(int from, int to, int pitch) {
  out_.clear();
  pitch_ = pitch;
  Gap(from, to);
  return std::move(out_);
}

std::vector<RestSpec> CRestFiller::FillVoice(const std::vector<ScoreNote>& notes) {
  out_.clear();
  if (notes.empty()) return {};
  int end = 0;
  // Tuplet group seen last in this walk. Kept per walk: a value shared across
  // pages would make a measure's rests depend on what was laid out before it.
  int lastTuplet = -1;
  for (size_t i = 0; i < notes.size(); ++i) {
    const ScoreNote& n = notes[i];
    pitch_ = n.pitch;
    if (n.notatedOffset > end) Gap(end, n.notatedOffset);
    if (n.InTuplet()) {
      const int tupletEnd = n.NotatedEnd();
      if (i + 1 < notes.size()) {
        const ScoreNote& next = notes[i + 1];
        if (next.tupletGroup != lastTuplet) {
          lastTuplet = next.tupletGroup;
          pitch_ = next.pitch;
          if (next.notatedOffset > tupletEnd) Gap(tupletEnd, next.notatedOffset);
        }
        end = std::max(end, next.notatedOffset);
      } else {
        end = std::max(end, tupletEnd);
      }
      continue;
    }
    end = std::max(end, n.NotatedEnd());
    // The rest of a chord shares its first note's length.
    while (n.chordGroup > 0 && i + 1 < notes.size() && notes[i + 1].chordGroup == n.chordGroup &&
           !notes[i + 1].InTuplet())
      ++i;
  }
  if (!notes.empty()) pitch_ = notes.back().pitch;
  if (end < barTicks_) Gap(end, barTicks_);
  return std::move(out_);
}

void CRestFiller::Gap(int from, int to) {
  if (to <= from) return;
  switch (mode_) {
    case kShortBar:
    case kQuarters:
      // Through SplitRests, so that a gap is cut at the half bar first.
      SplitRests(from, to, 120, mode_ == kShortBar);
      break;
    case kTriple:
      FillCells(from, to, 120);
      break;
    case kEighthTriple:
      FillCells(from, to, 60);
      break;
    default:
      FillCompound(from, to);
      break;
  }
}

void CRestFiller::SplitRests(int from, int to, int unit, bool noDottedQuarter) {
  if (unit < 30) return;
  while (from < to) {
    const int length = to - from;
    int cut;
    if (length > 480)
      cut = (from / 480 + 1) * 480;
    else if (length == 480)
      break;
    else {
      cut = (from / 240 + 1) * 240;
      if (cut >= to) break;
    }
    SplitRests(from, cut, unit, false);
    from = cut;
    noDottedQuarter = false;
  }
  if (from < to) FillRests(from, to, unit, noDottedQuarter);
}

void CRestFiller::FillRests(int from, int to, int unit, bool noDottedQuarter) {
  const int length = to - from;
  if (length <= 0 || unit < 30) return;
  if (from % unit != 0) {
    const int grid = (from / unit + 1) * unit;
    if (grid >= to) {
      FillShort(from, to, unit);
      return;
    }
    // Up to the grid point as a short gap, then the rest on the grid: read
    // this way every gap on the 30-tick grid is filled completely.
    FillShort(from, grid, unit);
    SplitRests(grid, to, unit, false);
    return;
  }
  const int n = length / unit;
  if (n == 0) {
    FillRests(from, to, unit / 2, noDottedQuarter);
    return;
  }
  if (length % unit == 0) {
    Add(from, n, unit, false);
    return;
  }
  if (length == 180 && !noDottedQuarter && (from / unit) % 2 == 0 && unit == 120) {
    Add(from, 1, unit, true);
    return;
  }
  if (length == 90 && unit == 60) {
    Add(from, 1, 60, true);
    return;
  }
  Add(from, n, unit, false);
  SplitRests(from + n * unit, to, unit / 2, false);
}

void CRestFiller::FillShort(int from, int to, int unit) {
  const int length = to - from;
  if (length == 30 || length == 60) {
    Add(from, 1, length, false);
  } else if (length == 90 && from / 120 == (to - 1) / 120) {
    Add(from, 1, 60, true);
  } else if (length > 30 && length % 30 == 0 && unit > 30) {
    FillRests(from, to, unit / 2, false);
  }
  // Anything off the 30-tick grid gets no rest.
}

void CRestFiller::FillCells(int from, int to, int unit) {
  while (from < to) {
    const int cellEnd = std::min(to, (from / unit + 1) * unit);
    const int length = cellEnd - from;
    if (length == unit)
      Add(from, 1, unit, false);
    else if (length == 30 || length == 60)
      Add(from, 1, length, false);
    else if (length == 90)
      Add(from, 1, 60, true);
    from = cellEnd;
  }
}

void CRestFiller::FillCompound(int from, int to) {
  while (from < to) {
    const int groupStart = from / 180 * 180, groupEnd = groupStart + 180;
    if (from == groupStart && to >= groupEnd) {
      Add(from, 1, 120, true);
      from = groupEnd;
      continue;
    }
    const int end = std::min(to, groupEnd);
    FillCells(from, end, 60);
    from = end;
  }
}

void CRestFiller::Add(int from, int count, int length, bool dotted) {
  // Only these pairs have a glyph; three quarters are a dotted half.
  if (length == 120 && count == 3) {
    out_.push_back({from, 2, 120, true, pitch_});
    return;
  }
  const bool drawable =
      (length == 120 && count >= 1 && count <= 4) || ((length == 60 || length == 30) && count == 1);
  if (!drawable) {
    // Never reached for gaps on the 30-tick grid; split rather than lose time.
    for (int k = 0; k < count; ++k) out_.push_back({from + k * length, 1, length, false, pitch_});
    return;
  }
  out_.push_back({from, count, length, dotted, pitch_});
}
