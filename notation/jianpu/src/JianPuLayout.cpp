#include "JianPuLayout.h"

#include "JianPuDegrees.h"
#include "NoteValues.h"

NoteSpec MakeNoteSpec(int pitch, int tonic, int valueClass, bool dotted) {
  NoteSpec s;
  const int d = pitch - tonic;
  int index;
  if (d < 0) {
    s.octaveSign = -1;
    s.octaveCount = (11 - d) / 12;
    index = 11 - ((11 - d) % 12);
  } else if (d >= 12) {
    s.octaveSign = 1;
    s.octaveCount = d / 12;
    index = d % 12;
  } else {
    index = d;
  }
  const JianPuDegree degree = CJianPuDegrees::Degree(index);
  s.digit = degree.digit;
  s.accidental = degree.accidental;
  switch (valueClass) {
    case kWholeNote:
      s.dashes = 3;
      break;
    case kHalfNote:
      s.dashes = dotted ? 2 : 1;
      break;
    case kQuarterNote:
      s.dotted = dotted;
      break;
    case kEighthNote:
      s.underlines = 1, s.dotted = dotted;
      break;
    case kSixteenthNote:
      s.underlines = 2, s.dotted = dotted;
      break;
    default:
      break;
  }
  return s;
}

int CDegreeAccidentals::AccidentalFor(char digit, int pitch, int spelled) {
  int result = spelled;
  for (auto it = shown_.begin(); it != shown_.end(); ++it) {
    if (it->digit != digit) continue;
    if (it->accidental == spelled) return 0;
    if (it->accidental == 3)
      result = pitch > it->pitch ? 1 : (pitch == it->pitch ? 0 : 2);
    else
      result = spelled != 0 ? spelled : 3;
    shown_.erase(it);
    break;
  }
  if (result != 0) shown_.push_back({digit, pitch, result});
  return result;
}

void AddRests(int from, int length, int cell, std::vector<RestPiece>* out) {
  if (length < 1 || cell < 1) return;
  int end = from + length;
  // Bounded: every pass ends at least one cell boundary further on.
  while (from < end && from / cell != (end - 1) / cell) {
    if (from % cell == 0 && end % cell == 0) {
      for (; from < end; from += cell) out->push_back({from, cell, cell == 180, false});
      return;
    }
    if (from % cell != 0) {
      const int cut = (from / cell + 1) * cell;
      AddRests(from, cut - from, cell, out);
      from = cut;
    } else {
      const int cut = (end / cell) * cell;
      AddRests(from, cut - from, cell, out);
      from = cut;
    }
  }
  if (from >= end) return;
  const int n = end - from;
  out->push_back({from, n, n / 30 == 3 || (cell == 180 && n == 180), false});
}

std::vector<RestPiece> EmptyMeasureRests(int beats, int beatTicks) {
  std::vector<RestPiece> out;
  if (beats < 1) return out;
  if (beatTicks == 60) {
    if (beats == 3) {
      for (int i = 0; i < 3; ++i) out.push_back({i * 60, 60, false, true});
    } else if (beats % 3 == 0) {
      for (int i = 0; i < beats / 3; ++i) out.push_back({i * 180, 180, true, false});
    } else {
      AddRests(0, beats * 60, 120, &out);
    }
  } else if (beatTicks >= 120) {
    AddRests(0, beats * beatTicks, 120, &out);
  }
  return out;
}

void MakeMonophonic(std::vector<ScoreNote>& notes) {
  // Each change restarts the walk, so at most one pass per note removed or cut.
  for (size_t guard = 0; guard <= notes.size() * 2 + 2; ++guard) {
    bool changed = false;
    for (size_t i = 0; i + 1 < notes.size(); ++i) {
      ScoreNote& n = notes[i];
      const ScoreNote& next = notes[i + 1];
      if (next.notatedOffset >= n.NotatedEnd()) continue;
      if (next.notatedOffset == n.notatedOffset) {
        notes.erase(notes.begin() + static_cast<long>(i));
      } else {
        n.notatedLength = next.notatedOffset - n.notatedOffset;
        n.dotted = false;
        if (n.InTuplet())
          CNoteValues::ClassifyTripletLength(n, n.notatedLength);
        else
          CNoteValues::ClassifyLength(n, n.notatedLength);
      }
      changed = true;
      break;
    }
    if (!changed) return;
  }
}

std::vector<UnderlineSpan> JoinUnderlines(const std::vector<UnderlineInput>& digits, int beat,
                                          int digitSpan) {
  std::vector<UnderlineSpan> out;
  if (beat < 1) return out;
  auto takesPart = [beat](const UnderlineInput& d) {
    return d.length != 120 && d.length < beat && !(d.tuplet && d.length == 80) && d.length > 0;
  };
  size_t i = 0;
  while (i < digits.size()) {
    const UnderlineInput& d = digits[i];
    if (!takesPart(d)) {
      ++i;
      continue;
    }
    const int own = d.position / beat;
    const int end = d.position + d.length;
    if (end / beat == own + 1) {
      // Reaches the beat line by itself.
      out.push_back({d.x, d.x + digitSpan, 0});
      if (d.length <= 30) out.push_back({d.x, d.x + digitSpan, 1});
      ++i;
      continue;
    }
    // A run: the following digits that still end within this beat.
    const int beatEnd = (own + 1) * beat;
    size_t last = i;
    while (last + 1 < digits.size()) {
      const UnderlineInput& n = digits[last + 1];
      if (!takesPart(n) || n.position >= beatEnd || n.position + n.length > beatEnd) break;
      ++last;
    }
    out.push_back({d.x, digits[last].x + digitSpan, 0});
    for (size_t k = i; k <= last;) {
      if (digits[k].length > 30) {
        ++k;
        continue;
      }
      size_t s = k;
      while (s + 1 <= last && digits[s + 1].length <= 30) ++s;
      out.push_back({digits[k].x, digits[s].x + digitSpan, 1});
      k = s + 1;
    }
    i = last + 1;
  }
  return out;
}
