// Layout of a numbered page: one voice of digits, the rests between them,
// tuplet groups, underlines within beats, and ties.
#include <algorithm>

#include "JianPuDegrees.h"
#include "JianPuPage.h"
#include "JianPuPainter.h"
#include "Rounding.h"

namespace {

constexpr int kSimpleCell = 120;
constexpr int kCompoundCell = 180;

}  // namespace

void CJianPuPage::AddDigit(const ScoreNote& n, int x, int tonic) {
  NoteSpec spec = MakeNoteSpec(n.pitch, tonic, n.valueClass, n.dotted);
  spec.accidental = accidentals_.AccidentalFor(spec.digit, n.pitch, spec.accidental);
  DigitPlacement place;
  place.x = x;
  place.pitch = n.pitch;
  place.tick = n.tick;
  place.offset = n.notatedOffset;
  place.length = n.notatedLength;
  place.tuplet = n.InTuplet();
  place.splitGroup = n.splitGroup;
  place.tieStart = n.tieStart;
  place.tieEnd = n.tieEnd;
  // A dash stands for one beat; beats of a half note count in quarters.
  const int beatWidth = static_cast<int>(unitsPerBeat_ * scale_);
  place.dashStep = beatTicks_ == 240 ? beatWidth / 2 : beatWidth;
  notes_.push_back(std::make_unique<CJianPuNote>(place, spec));
}

void CJianPuPage::AddRest(const RestPiece& r, int x) {
  DigitPlacement place;
  place.x = x;
  place.tick = startTick_ + r.from;
  place.offset = r.from;
  place.length = r.length;
  NoteSpec spec;
  spec.digit = '0';
  spec.dotted = r.dotted;
  notes_.push_back(std::make_unique<CJianPuNote>(place, spec));
  if (r.underline && painter_)
    elements_.push_back(
        std::make_unique<CJianPuUnderline>(UnderlineSpan{x, x + painter_->UnderlineSpan(), 0}));
}

void CJianPuPage::FillGap(int from, int to, bool compound) {
  if (to <= from) return;
  std::vector<RestPiece> rests;
  AddRests(from, to - from, compound ? kCompoundCell : kSimpleCell, &rests);
  for (const RestPiece& r : rests) AddRest(r, TickX(r.from));
}

void CJianPuPage::Layout(const CScoreMeasure& m) {
  notes_.clear();
  elements_.clear();
  accidentals_.Clear();
  tupletCounts_ = m.tupletCounts;
  std::vector<ScoreNote> list = m.notes;
  MakeMonophonic(list);
  const int bar = beats_ * beatTicks_;
  if (list.empty()) {
    for (const RestPiece& r : EmptyMeasureRests(beats_, beatTicks_)) AddRest(r, TickX(r.from));
    return;
  }
  FillGap(0, list.front().notatedOffset, false);
  const int tonic = CJianPuDegrees::Tonic(key_);
  const bool compound = beatTicks_ == 60;
  for (size_t i = 0; i < list.size();) {
    if (list[i].InTuplet()) {
      i = LayoutTuplet(list, i, tonic);
      continue;
    }
    const ScoreNote& n = list[i];
    AddDigit(n, TickX(n.notatedOffset), tonic);
    FillGap(n.NotatedEnd(), i + 1 < list.size() ? list[i + 1].notatedOffset : bar, compound);
    ++i;
  }
  std::stable_sort(notes_.begin(), notes_.end(),
                   [](const std::unique_ptr<CJianPuNote>& a, const std::unique_ptr<CJianPuNote>& b) {
                     return a->Place().offset < b->Place().offset;
                   });
  AddUnderlines();
}

size_t CJianPuPage::LayoutTuplet(const std::vector<ScoreNote>& list, size_t i, int tonic) {
  const int group = list[i].tupletGroup;
  size_t j = i;
  bool sixteenths = false;
  for (; j < list.size() && list[j].tupletGroup == group; ++j)
    if (list[j].valueClass == kSixteenthNote) sixteenths = true;
  const int perUnit = beatTicks_ / unitsPerBeat_ > 0 ? beatTicks_ / unitsPerBeat_ : 1;
  auto step = [&](int valueClass) -> int {
    if (fixedTupletSpacing_) {
      switch (valueClass) {
        case kQuarterNote:
          return static_cast<int>(scale_ * 8 / 3);
        case kEighthNote:
          return static_cast<int>(scale_ * 4 / 3);
        case kSixteenthNote:
          return static_cast<int>(scale_ * 2 / 3);
        default:
          return static_cast<int>(scale_);
      }
    }
    if (valueClass == kQuarterNote) return static_cast<int>(scale_ * (240 / perUnit) / 3);
    if (valueClass == kEighthNote) return static_cast<int>(scale_ * (120 / perUnit) / 3);
    return static_cast<int>(scale_);
  };
  const int firstX = TickX(list[i].notatedOffset);
  int x = firstX, lastX = firstX, octavesAbove = 0;
  for (size_t k = i; k < j; ++k) {
    AddDigit(list[k], x, tonic);
    const NoteSpec& spec = notes_.back()->Spec();
    if (spec.octaveSign > 0) octavesAbove = std::max(octavesAbove, spec.octaveCount);
    lastX = x;
    x += step(list[k].valueClass);
  }
  const int bar = beats_ * beatTicks_;
  const int next = j < list.size() ? list[j].notatedOffset : bar;
  const int lastEnd = list[j - 1].NotatedEnd();
  int count = static_cast<int>(j - i);
  if (!sixteenths) {
    FillGap(lastEnd, next, false);
    count = 3;
  } else {
    auto it = tupletCounts_.find(group);
    if (it != tupletCounts_.end()) count = it->second;
    const int first = list[i].notatedOffset;
    const int beatLine = (first / kSimpleCell + 1) * kSimpleCell;
    // A sixteenth triplet fills half a beat; the other half is an eighth rest.
    if (count == 3 && lastEnd < next && first % kSimpleCell == 0)
      AddRest({first + 60, 60, false, false}, TickX(first + 60));
    FillGap(std::max(beatLine, lastEnd), next, false);
  }
  elements_.push_back(std::make_unique<CJianPuTupletArc>(firstX, lastX, octavesAbove, count));
  return j;
}

void CJianPuPage::AddUnderlines() {
  if (!painter_) return;
  std::vector<UnderlineInput> digits;
  for (auto& n : notes_) {
    const DigitPlacement& p = n->Place();
    digits.push_back(
        {static_cast<int>(RoundToMultiple(p.offset, p.tuplet ? 10 : 30)), p.length, p.tuplet, p.x});
  }
  const int beat = beatTicks_ == 60 ? 180 : 120;
  for (const UnderlineSpan& s : JoinUnderlines(digits, beat, painter_->UnderlineSpan()))
    elements_.push_back(std::make_unique<CJianPuUnderline>(s));
}

// @name Ties

void CJianPuPage::LinkTies() {
  if (tiesSuppressed_) return;
  for (size_t i = 0; i < notes_.size(); ++i) {
    CJianPuNote* first = notes_[i].get();
    if (first->IsRest() || first->NextTied()) continue;
    const DigitPlacement& a = first->Place();
    for (size_t j = i + 1; j < notes_.size(); ++j) {
      CJianPuNote* second = notes_[j].get();
      const DigitPlacement& b = second->Place();
      if (second->IsRest() || second->PrevTied()) continue;
      // Pieces of a note cut at a beat read as one note only when tied.
      const bool tied = a.tieStart > 0
                            ? b.tieEnd == a.tieStart
                            : a.splitGroup > 0 && b.splitGroup == a.splitGroup && b.pitch == a.pitch;
      if (!tied) continue;
      elements_.push_back(std::make_unique<CJianPuTie>(first, second, CJianPuTie::kWithin));
      first->LinkNext(second);
      break;
    }
  }
}

void CJianPuPage::LinkTiesInto(CJianPuPage& next) {
  for (auto& note : notes_) {
    CJianPuNote* first = note.get();
    if (first->Place().tieStart <= 0 || first->NextTied()) continue;
    for (auto& other : next.notes_) {
      CJianPuNote* second = other.get();
      if (second->Place().tieEnd != first->Place().tieStart || second->PrevTied()) continue;
      elements_.insert(elements_.begin(), std::make_unique<CJianPuTie>(first, second, CJianPuTie::kIntoNext));
      next.elements_.push_back(std::make_unique<CJianPuTie>(first, second, CJianPuTie::kFromPrevious));
      first->LinkNext(second);
      break;
    }
  }
}
