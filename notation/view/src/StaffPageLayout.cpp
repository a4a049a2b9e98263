// Placement of a measure's notes on a staff page: lone notes, chords, beam
// groups, tuplets, rests and ties.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>

#include "KeyTable.h"
#include "NoteGlyphs.h"
#include "RestGlyphs.h"
#include "StaffMarks.h"
#include "StaffPage.h"
#include "StaffPainter.h"
#include "StaffRests.h"
#include "StaffSizes.h"
#include "NoteValues.h"

namespace {

int Level(const CStaffPainter* p) { return StaffSizes::Level(p->SizeLevel()); }

// Between the ink of one onset and the next.
constexpr int kOnsetGap = 2;

// Tuplet members and chord members: runs of consecutive notes sharing a number.
size_t RunEnd(const std::vector<ScoreNote>& list, size_t i, int ScoreNote::*field) {
  const int value = list[i].*field;
  size_t j = i + 1;
  while (j < list.size() && value > 0 && list[j].*field == value) ++j;
  return j;
}

// Notes the grid put together as one chord though they are played a 32nd or
// more apart (a fast pickup on a grid of sixteenths) are each time an onset
// of their own: the chord in time order, and where the onset from `from` ends.
constexpr int kOnsetApart = 12;  // ticks; strummed chords stay together

// Chords are a few notes, mostly in time order already: an insertion sort,
// stable and without a buffer.
template <typename T, typename Before>
void SortFew(T* first, T* last, Before before) {
  for (T* i = first + 1; i < last; ++i)
    for (T* j = i; j > first && before(*j, *(j - 1)); --j) std::swap(*j, *(j - 1));
}

void SortByTime(std::vector<const ScoreNote*>& chord) {
  if (chord.size() > 1)
    SortFew(chord.data(), chord.data() + chord.size(),
            [](const ScoreNote* a, const ScoreNote* b) { return a->tick < b->tick; });
}

size_t OnsetEnd(const std::vector<const ScoreNote*>& chord, size_t from) {
  size_t end = from + 1;
  while (end < chord.size() && chord[end]->tick - chord[from]->tick < kOnsetApart) ++end;
  return end;
}

// Calls place(onset) for each onset of the chord, copying only when it splits.
template <typename Place>
void ForEachOnset(std::vector<const ScoreNote*>& chord, Place place) {
  SortByTime(chord);
  for (size_t from = 0; from < chord.size();) {
    const size_t end = OnsetEnd(chord, from);
    if (from == 0 && end == chord.size()) {
      place(chord);
      return;
    }
    place(std::vector<const ScoreNote*>(chord.begin() + static_cast<std::ptrdiff_t>(from),
                                        chord.begin() + static_cast<std::ptrdiff_t>(end)));
    from = end;
  }
}

}  // namespace

std::vector<int> CStaffPage::LayoutVoices(const CScoreMeasure& m) const {
  if (painter_->StaffKind() == kGrandStaff) return {kUpperVoice, kLowerVoice};
  return {kSingleVoice};
}

void CStaffPage::Layout(const CScoreMeasure& m) {
  const std::vector<int> voices = LayoutVoices(m);
  for (int& x : nextFreeX_) x = INT_MIN / 2;
  spread_ = false;
  for (int voice : voices) LayoutVoice(m, voice);
  // Rests are centred with the final lead-in.
  leadIn_ = LeadInForNotes();
  for (int voice : voices) FillRests(m, voice);
  // Onsets moved apart may need more than the model's width: the last head
  // keeps the room after it that a head in the measure's last grid cell has.
  if (!spread_) return;
  const int w = StaffSizes::kHeadWidth[Level(painter_)];
  for (int x : nextFreeX_) {
    const int needed = noteOffset_ + leadIn_ + x - kOnsetGap + NoteLeadIn(scale_, w);
    if (x > INT_MIN / 2 && needed > width_) width_ = needed;
  }
}

int CStaffPage::LeadInForNotes() const {
  const int level = Level(painter_);
  const int g = painter_->LineGap();
  int lead = NoteLeadIn(scale_, StaffSizes::kHeadWidth[level]);
  for (const auto& list : notes_) {
    for (const auto& glyph : list) {
      // Ledger lines start 4 px left of the head; a sign stands 2 px before it.
      int reach = 6;
      if (glyph->Accidental() > 0) reach = std::max(reach, glyph->AccidentalGap(g) + 2);
      lead = std::max(lead, reach - glyph->X());
    }
  }
  return lead;
}

CStaffPage::Placed CStaffPage::Place(const ScoreNote& n) const {
  Placed p{&n, DisplayPitch(n.pitch), 0, 0};
  painter_->PitchToStaffStep(p.pitch, key_, &p.step, &p.spelled);
  return p;
}

bool CStaffPage::IsStemDown(int pitch, int step) const {
  switch (painter_->StaffKind()) {
    case kTrebleStaff:
    case kTrebleOctaveStaff:
      return step > 5;
    case kBassStaff:
    case kBassOctaveStaff:
      return step > 7;
    case kGrandStaff:
      return pitch >= 60 ? step > 5 : step > 7;
    case kAltoStaff:
      return step >= 0;
    case kTenorStaff:
      return step > -3;
    default:
      return false;
  }
}

bool CStaffPage::BeamDirectionUp(int lowPitch, int highPitch) const {
  int s1 = 0, s2 = 0, acc = 0;
  painter_->PitchToStaffStep(lowPitch, key_, &s1, &acc);
  painter_->PitchToStaffStep(highPitch, key_, &s2, &acc);
  if (lowPitch == highPitch) return !IsStemDown(lowPitch, s1);
  return s1 + s2 < painter_->MiddleStepSum(highPitch);
}

int CStaffPage::AccidentalFor(int voice, int pitch, int step, int spelled) {
  auto& list = accidentals_[voice];
  int result = spelled;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].step != step) continue;
    const int entryPitch = list[i].pitch, shown = list[i].accidental;
    const int inKey = CKeyTable::KeyAccidentalForStep(key_, step);
    if (entryPitch == pitch) return kNoAccidental;
    if (shown == kNatural) {
      result = inKey < 0 ? kFlat : inKey > 0 ? kSharp : (entryPitch < pitch ? kSharp : kFlat);
    } else if (shown == kDoubleSharp && inKey > 0) {
      result = kSharp;
    } else if (shown == kDoubleSharp || shown == kDoubleFlat) {
      if (inKey >= 0) continue;
      result = kFlat;
    } else {
      result = spelled != kNoAccidental ? spelled : kNatural;
    }
    list.erase(list.begin() + static_cast<long>(i));
    break;
  }
  if (result != kNoAccidental) list.push_back({step, pitch, result});
  return result;
}

GlyphSpec CStaffPage::SpecFor(const ScoreNote& note, const Placed& p, int x) const {
  GlyphSpec s;
  s.pitch = p.pitch;
  s.notePitch = note.pitch;
  s.tick = note.tick;
  s.length = note.notatedLength;
  s.x = x;
  s.step = p.step;
  s.stemLength = StaffSizes::kStemLength[Level(painter_)];
  s.hasStem = note.valueClass != kWholeNote;
  s.dotted = note.dotted;
  s.tieStart = note.tieStart;
  s.tieEnd = note.tieEnd;
  s.splitGroup = note.splitGroup;
  return s;
}

std::vector<std::unique_ptr<CScoreGlyph>>& CStaffPage::VoiceList(int voice) {
  return notes_[voice >= 0 && voice <= 2 ? voice : 0];
}

const std::vector<std::unique_ptr<CScoreGlyph>>& CStaffPage::Notes(int voice) const {
  return notes_[voice >= 0 && voice <= 2 ? voice : 0];
}

std::unique_ptr<CScoreGlyph> CStaffPage::CreateNoteGlyph(const ScoreNote& note, GlyphRole role,
                                                         const GlyphSpec& spec) {
  // Inside beams and tuplets the beam supplies the flags.
  const bool beamed = role != GlyphRole::kPlain;
  switch (note.valueClass) {
    case kWholeNote:
      return std::make_unique<CWholeNote>(spec);
    case kHalfNote:
      return std::make_unique<CHalfNote>(spec);
    case kQuarterNote:
      return std::make_unique<CQuarterNote>(spec);
    case kEighthNote:
      if (beamed) return std::make_unique<CQuarterNote>(spec);
      return std::make_unique<CEighthNote>(spec);
    case kSixteenthNote:
      if (beamed) return std::make_unique<CQuarterNote>(spec);
      return std::make_unique<CSixteenthNote>(spec);
    default:
      return nullptr;
  }
}

CScoreGlyph* CStaffPage::AddGlyph(int voice, const ScoreNote& note, GlyphRole role, const GlyphSpec& spec) {
  std::unique_ptr<CScoreGlyph> glyph = CreateNoteGlyph(note, role, spec);
  if (!glyph) return nullptr;
  CScoreGlyph* raw = glyph.get();
  VoiceList(voice).push_back(std::move(glyph));
  return raw;
}

void CStaffPage::LayoutVoice(const CScoreMeasure& m, int voice) {
  const std::vector<ScoreNote>& list = m.Voice(voice);
  const int g = painter_->LineGap();
  const int stem = StaffSizes::kStemLength[Level(painter_)];
  size_t i = 0;
  while (i < list.size()) {
    const ScoreNote& n = list[i];
    if (n.InTuplet()) {
      i = LayoutTuplet(m, voice, list, i);
      continue;
    }
    if (n.beamGroup > 0 && i + 1 < list.size() && list[i + 1].beamGroup == n.beamGroup) {
      i = LayoutBeamGroup(m, voice, list, i);
      continue;
    }
    const size_t end = n.chordGroup > 0 ? RunEnd(list, i, &ScoreNote::chordGroup) : i + 1;
    std::vector<const ScoreNote*>& whole = painter_->Scratch().onset;
    whole.clear();
    for (size_t k = i; k < end; ++k) whole.push_back(&list[k]);
    ForEachOnset(whole, [&](const std::vector<const ScoreNote*>& chord) {
      int lo = 1000, hi = -1000, loPitch = 0, hiPitch = 0;
      for (const ScoreNote* c : chord) {
        const Placed p = Place(*c);
        if (p.step < lo) lo = p.step, loPitch = p.pitch;
        if (p.step > hi) hi = p.step, hiPitch = p.pitch;
      }
      bool up;
      if (chord.size() == 1) {
        const Placed p = Place(*chord.front());
        up = !IsStemDown(p.pitch, p.step);
      } else {
        up = BeamDirectionUp(loPitch, hiPitch);
      }
      const int farStep = up ? hi : lo;
      PlaceChord(voice, chord, up, GlyphRole::kPlain, TickX(n.notatedOffset), farStep, stem);
    });
    (void)g;
    i = end;
  }
}

// Places the notes of one onset (one note or a chord) at x: stems toward
// `extremeStep` lengthened by the step distance, neighbours a second apart
// on the farStep side of the stem.
int CStaffPage::PlaceChord(int voice, const std::vector<const ScoreNote*>& notes, bool up, GlyphRole role,
                           int x, int extremeStep, int stemBase) {
  // The page orders a copy: the caller's list stays as it was.
  std::vector<const ScoreNote*>& chord = painter_->Scratch().chord;
  chord.assign(notes.begin(), notes.end());
  SortChord(chord);
  constexpr size_t kFewNotes = 16;  // a chord of more takes its list from the heap
  Placed few[kFewNotes];
  std::vector<Placed> many;
  Placed* placed = few;
  if (chord.size() > kFewNotes) {
    many.resize(chord.size());
    placed = many.data();
  }
  const size_t count = chord.size();
  for (size_t k = 0; k < count; ++k) placed[k] = Place(*chord[k]);
  // Stable, as notes on one step keep the page's order.
  SortFew(placed, placed + count, [](const Placed& a, const Placed& b) { return a.step < b.step; });
  if (!up) std::reverse(placed, placed + count);
  const int g = painter_->LineGap();
  const int w = StaffSizes::kHeadWidth[Level(painter_)];
  int reference = 0;
  CScoreGlyph* previous = nullptr;
  int previousStep = 0;
  const size_t first = VoiceList(voice).size();
  for (size_t k = 0; k < count; ++k) {
    const Placed& p = placed[k];
    const bool inLine = k == 0 || std::abs(p.step - reference) > 1;
    GlyphSpec spec = SpecFor(*p.note, p, x);
    spec.stemDown = !up;
    spec.stemLength = std::abs(p.step - extremeStep) * g / 2 + stemBase;
    spec.accidental = AccidentalFor(voice, p.pitch, p.step, p.spelled);
    if (inLine) {
      reference = p.step;
    } else {
      spec.x += up ? w : -w;
      spec.hasStem = false;  // the in-line note carries the stem
    }
    CScoreGlyph* glyph = AddGlyph(voice, *p.note, role, spec);
    if (!inLine && previous) {
      previous->SetDisplacedNeighbour();
      if (p.step == previousStep && spec.accidental != kNoAccidental && spec.accidental != kNatural &&
          previous->Accidental() == kNoAccidental)
        previous->SetAccidental(kNatural);
    }
    if (glyph) previous = glyph, previousStep = p.step;
  }
  ArrangeAccidentals(voice, first);
  return KeepClear(voice, first, x);
}

// Onsets closer than the tick grid can show (32nd notes on a grid of
// sixteenths, a chord whose signs need room): the onset, the voice's glyphs
// from `first`, moves right until its signs and heads clear the heads and
// dots of the one before.
int CStaffPage::KeepClear(int voice, size_t first, int x) {
  auto& list = VoiceList(voice);
  if (first >= list.size()) return x;
  const int level = Level(painter_);
  const int g = painter_->LineGap(), w = StaffSizes::kHeadWidth[level];
  int& freeX = nextFreeX_[voice >= 0 && voice <= 2 ? voice : 0];
  int left = list[first]->X();
  for (size_t k = first; k < list.size(); ++k)
    left = std::min(left, list[k]->X() - list[k]->AccidentalGap(g));
  const int shift = freeX > left ? freeX - left : 0;
  spread_ = spread_ || shift > 0;
  for (size_t k = first; k < list.size(); ++k) {
    CScoreGlyph& glyph = *list[k];
    glyph.MoveBy(shift);
    const int dot = glyph.Spec().dotted ? 2 + StaffSizes::kDotDiameter[level] : 0;
    freeX = std::max(freeX, glyph.X() + w + dot + kOnsetGap);
  }
  return x + shift;
}

// The signs of a chord (the voice's glyphs from `first`) stand left of all
// its heads, a head displaced left of the stem included: from the top down,
// each in the first column where it clears the signs above it; a sign is
// about six steps tall.
void CStaffPage::ArrangeAccidentals(int voice, size_t first) const {
  const auto& list = notes_[voice >= 0 && voice <= 2 ? voice : 0];
  constexpr size_t kMaxSigns = 12;  // more share the last column
  CScoreGlyph* signs[kMaxSigns];
  size_t count = 0;
  int left = first < list.size() ? list[first]->X() : 0;
  for (size_t k = first; k < list.size(); ++k) {
    left = std::min(left, list[k]->X());
    if (list[k]->Accidental() > 0 && count < kMaxSigns) signs[count++] = list[k].get();
  }
  if (count == 0) return;
  SortFew(signs, signs + count,
          [](const CScoreGlyph* a, const CScoreGlyph* b) { return a->Step() > b->Step(); });
  constexpr int kSignSteps = 6;
  size_t column[kMaxSigns];
  size_t columns = 0;
  for (size_t i = 0; i < count; ++i) {
    size_t c = 0;
    for (; c < columns; ++c) {
      bool clear = true;
      for (size_t j = 0; j < i; ++j)
        if (column[j] == c && std::abs(signs[j]->Step() - signs[i]->Step()) < kSignSteps) clear = false;
      if (clear) break;
    }
    column[i] = c;
    if (c == columns) ++columns;
  }
  // Column edges from the chord's leftmost head: 2 px before it, 1 px between columns.
  const int g = painter_->LineGap();
  int edge = left - 2;
  for (size_t c = 0; c < columns; ++c) {
    int width = 0;
    for (size_t i = 0; i < count; ++i)
      if (column[i] == c) width = std::max(width, CStaffSigns::Width(signs[i]->Accidental(), g));
    edge -= width + (c > 0 ? 1 : 0);
    for (size_t i = 0; i < count; ++i)
      if (column[i] == c) signs[i]->SetAccidentalGap(signs[i]->X() - edge);
  }
}

size_t CStaffPage::LayoutBeamGroup(const CScoreMeasure& m, int voice, const std::vector<ScoreNote>& list,
                                   size_t i) {
  const int group = list[i].beamGroup;
  size_t end = i;
  while (end < list.size() && list[end].beamGroup == group && !list[end].InTuplet()) ++end;
  int lo = 1000, hi = -1000, loPitch = 0, hiPitch = 0;
  for (size_t k = i; k < end; ++k) {
    const Placed p = Place(list[k]);
    if (p.step < lo) lo = p.step, loPitch = p.pitch;
    if (p.step > hi) hi = p.step, hiPitch = p.pitch;
  }
  const bool up = BeamDirectionUp(loPitch, hiPitch);
  // The beam clears every head of the group: it lies a stem length beyond
  // the note farthest in the stem direction.
  const int farStep = up ? hi : lo;
  CStaffPainter::LayoutScratch& scratch = painter_->Scratch();
  std::vector<CScoreGlyph*>& glyphs = scratch.groupGlyphs;
  std::vector<const ScoreNote*>& onsets = scratch.groupNotes;
  glyphs.clear();
  onsets.clear();
  for (size_t k = i; k < end;) {
    const size_t chordEnd =
        list[k].chordGroup > 0 ? std::min(end, RunEnd(list, k, &ScoreNote::chordGroup)) : k + 1;
    std::vector<const ScoreNote*>& whole = scratch.onset;
    whole.clear();
    for (size_t c = k; c < chordEnd; ++c) whole.push_back(&list[c]);
    ForEachOnset(whole, [&](const std::vector<const ScoreNote*>& chord) {
      const size_t before = VoiceList(voice).size();
      PlaceChord(voice, chord, up, GlyphRole::kBeamed, TickX(list[k].notatedOffset), farStep,
                 StaffSizes::kStemLength[Level(painter_)]);
      // The glyph carrying the stem stands for the onset.
      CScoreGlyph* stemmed = nullptr;
      for (size_t g = before; g < VoiceList(voice).size(); ++g)
        if (VoiceList(voice)[g]->HasStem()) stemmed = VoiceList(voice)[g].get();
      if (stemmed) {
        glyphs.push_back(stemmed);
        onsets.push_back(chord.front());
      }
    });
    k = chordEnd;
  }
  AddBeams(glyphs, onsets, up, farStep, up ? hiPitch : loPitch);
  return end;
}

void CStaffPage::AddBeams(const std::vector<CScoreGlyph*>& glyphs, const std::vector<const ScoreNote*>& notes,
                          bool up, int extremeStep, int anchorPitch) {
  if (glyphs.size() < 2) return;
  const int level = Level(painter_);
  const int g = painter_->LineGap();
  const int w = StaffSizes::kHeadWidth[level], stem = StaffSizes::kStemLength[level];
  const int thickness = StaffSizes::kBeamThickness[level];
  const int stemX = up ? w - 1 : 0;
  const int beamY = up ? -stem - extremeStep * g / 2 + StaffSizes::kBeamOffsetUp[level] + thickness - 1
                       : stem - extremeStep * g / 2 + StaffSizes::kBeamOffsetDown[level];
  MarkAnchor anchor{anchorPitch, beamY};
  elements_.push_back(
      std::make_unique<CBeam>(glyphs.front()->X() + stemX, glyphs.back()->X() + stemX, anchor, thickness));
  // Stems end at the beam whatever the single note would have had.
  const int secondaryY =
      up ? beamY + StaffSizes::kSecondaryBeamGap[level] : beamY - StaffSizes::kSecondaryBeamGap[level];
  const MarkAnchor second{anchorPitch, secondaryY};
  const int stub = StaffSizes::kBeamStub[level];
  for (size_t k = 0; k < glyphs.size();) {
    if (notes[k]->valueClass != kSixteenthNote) {
      ++k;
      continue;
    }
    size_t runEnd = k + 1;
    while (runEnd < glyphs.size() && notes[runEnd]->valueClass == kSixteenthNote &&
           notes[runEnd]->notatedOffset - notes[runEnd - 1]->notatedOffset <= 30)
      ++runEnd;
    const int x = glyphs[k]->X() + stemX;
    if (runEnd - k >= 2) {
      elements_.push_back(std::make_unique<CBeam>(x, glyphs[runEnd - 1]->X() + stemX, second, thickness));
    } else {
      const bool last = k + 1 == glyphs.size();
      const bool afterDotted = k > 0 && notes[k - 1]->dotted;
      if (k > 0 && (last || afterDotted))
        elements_.push_back(std::make_unique<CBeam>(x - stub, x, second, thickness));
      else
        elements_.push_back(std::make_unique<CBeam>(x, x + stub - 1, second, thickness));
    }
    k = runEnd;
  }
}

namespace {
// Where a tuplet's number and bracket sit, in pixels at every size level:
// from the far end of the stems (past the beam when beamed), and the number
// centred on the group by half its width.
constexpr int kTupletNumberAboveBeam = 13;  // the digit's height and a gap
constexpr int kTupletNumberBelowBeam = 4;
constexpr int kTupletDigitHalfWidth = 3;
constexpr int kBracketAboveStems = 2;
constexpr int kBracketBelowStems = 3;
constexpr int kBracketNumberRise = 7;  // the number sits on the bracket's gap
constexpr int kBracketNumberHalfWidth = 4;
}  // namespace

size_t CStaffPage::LayoutTuplet(const CScoreMeasure& m, int voice, const std::vector<ScoreNote>& list,
                                size_t i) {
  const size_t end = RunEnd(list, i, &ScoreNote::tupletGroup);
  const int level = Level(painter_);
  const int g = painter_->LineGap(), w = StaffSizes::kHeadWidth[level], stem = StaffSizes::kStemLength[level];
  const int valueClass = list[i].valueClass;
  int step;
  if (fixedTupletSpacing_) {
    static const double kFixed[4] = {16.0 / 3, 8.0 / 3, 4.0 / 3, 2.0 / 3};
    step = static_cast<int>(scale_ * kFixed[std::min(std::max(valueClass, 1), 4) - 1]);
  } else {
    const int perUnit = std::max(1, beatTicks_ / std::max(1, unitsPerBeat_));
    // Three members take the time of two plain notes of their value.
    const int span = valueClass == kHalfNote      ? kWholeTicks
                     : valueClass == kQuarterNote ? kHalfTicks
                     : valueClass == kEighthNote  ? kQuarterTicks
                                                  : 0;
    step = span > 0 ? static_cast<int>(scale_ * (span / perUnit) / 3) : static_cast<int>(scale_);
  }
  int lo = 1000, hi = -1000, loPitch = 0, hiPitch = 0;
  for (size_t k = i; k < end; ++k) {
    const Placed p = Place(list[k]);
    if (p.step < lo) lo = p.step, loPitch = p.pitch;
    if (p.step > hi) hi = p.step, hiPitch = p.pitch;
  }
  const bool groupUp = BeamDirectionUp(loPitch, hiPitch);
  const bool beamed = valueClass >= kEighthNote;
  int x = TickX(list[i].notatedOffset);
  CStaffPainter::LayoutScratch& scratch = painter_->Scratch();
  std::vector<CScoreGlyph*>& glyphs = scratch.groupGlyphs;
  std::vector<const ScoreNote*>& onsets = scratch.groupNotes;
  glyphs.clear();
  onsets.clear();
  int firstX = x, lastX = x;
  for (size_t k = i; k < end;) {
    const size_t chordEnd =
        list[k].chordGroup > 0 ? std::min(end, RunEnd(list, k, &ScoreNote::chordGroup)) : k + 1;
    std::vector<const ScoreNote*>& chord = scratch.onset;
    chord.clear();
    for (size_t c = k; c < chordEnd; ++c) chord.push_back(&list[c]);
    bool up = groupUp;
    int farStep = groupUp ? hi : lo;
    if (!beamed) {
      const Placed p = Place(list[k]);
      up = !IsStemDown(p.pitch, p.step);
      farStep = p.step;
      if (chord.size() > 1) {
        int clo = 1000, chi = -1000;
        for (const ScoreNote* c : chord) {
          const int s = Place(*c).step;
          clo = std::min(clo, s), chi = std::max(chi, s);
        }
        farStep = up ? chi : clo;
      }
    }
    const size_t before = VoiceList(voice).size();
    x = PlaceChord(voice, chord, up, chord.size() > 1 ? GlyphRole::kTupletChord : GlyphRole::kTuplet, x,
                   farStep, stem);
    if (k == i) firstX = x;
    for (size_t gi = before; gi < VoiceList(voice).size(); ++gi)
      if (VoiceList(voice)[gi]->HasStem()) {
        glyphs.push_back(VoiceList(voice)[gi].get());
        onsets.push_back(&list[k]);
        break;
      }
    lastX = x;
    x += step;
    k = chordEnd;
  }
  const int farStep = groupUp ? hi : lo;
  const int anchorPitch = groupUp ? hiPitch : loPitch;
  const int farY = -farStep * g / 2;
  std::string label = "3";
  auto count = m.tupletCounts.find(list[i].tupletGroup);
  if (beamed && count != m.tupletCounts.end()) label = std::to_string(count->second);
  if (beamed) {
    AddBeams(glyphs, onsets, groupUp, farStep, anchorPitch);
    const int y = groupUp ? farY - stem - StaffSizes::kBeamThickness[level] - kTupletNumberAboveBeam
                          : farY + stem + kTupletNumberBelowBeam;
    const int stemX = groupUp ? w - 1 : 0;
    elements_.push_back(std::make_unique<CTupletNumber>(
        label, (firstX + lastX) / 2 + stemX - kTupletDigitHalfWidth, MarkAnchor{anchorPitch, y}));
  } else {
    const bool above = groupUp;
    const int y = above ? farY - stem - kBracketAboveStems : farY + stem + kBracketBelowStems;
    const int shift = above ? w : 0;
    const int x1 = firstX - w / 2 + shift, x2 = lastX + w / 2 + shift;
    elements_.push_back(std::make_unique<CTupletBracket>(x1, x2, MarkAnchor{anchorPitch, y}, above));
    elements_.push_back(std::make_unique<CTupletNumber>("3", (x1 + x2) / 2 - kBracketNumberHalfWidth,
                                                        MarkAnchor{anchorPitch, y - kBracketNumberRise}));
  }
  return end;
}

void CStaffPage::FillRests(const CScoreMeasure& m, int voice) {
  const std::vector<ScoreNote>& list = m.Voice(voice);
  const int level = Level(painter_);
  if (list.empty()) {
    // One rest centred in the note area of the measure.
    const int restWidth = StaffSizes::kWholeRestWidth[level];
    int x = (width_ - noteOffset_) / 2 - restWidth / 2 - leadIn_;
    if (beats_ == 1) x += 5;
    GlyphSpec spec;
    spec.pitch = spec.notePitch = voice == kLowerVoice ? 48 : 72;
    spec.tick = startTick_;
    spec.length = beats_ * beatTicks_;
    spec.x = x;
    spec.hasStem = false;
    elements_.push_back(std::make_unique<CWholeRest>(spec));
    return;
  }
  CRestFiller filler(beats_, beatTicks_);
  for (const RestSpec& rest : filler.FillVoice(list)) AddRest(rest, voice);
}

void CStaffPage::AddRest(const RestSpec& rest, int voice) {
  GlyphSpec spec;
  spec.pitch = spec.notePitch = rest.pitch;
  if (painter_->StaffKind() == kGrandStaff) spec.pitch = spec.notePitch = voice == kLowerVoice ? 48 : 72;
  spec.tick = startTick_ + rest.from;
  spec.length = rest.Ticks();
  spec.x = TickX(rest.from);
  spec.hasStem = false;
  spec.dotted = rest.dotted;
  std::unique_ptr<CNotationItem> item;
  if (rest.length == 120) {
    if (rest.count == 1)
      item = std::make_unique<CQuarterRest>(spec);
    else if (rest.count <= 3)
      item = std::make_unique<CHalfRest>(spec);
    else if (rest.count == 4)
      item = std::make_unique<CWholeRest>(spec);
  } else if (rest.length == 60 && rest.count == 1) {
    item = std::make_unique<CEighthRest>(spec);
  } else if (rest.length == 30 && rest.count == 1) {
    item = std::make_unique<CSixteenthRest>(spec);
  }
  if (item) elements_.push_back(std::move(item));
}

void CStaffPage::LinkTies(int voice) {
  if (tiesSuppressed_) return;
  auto& list = VoiceList(voice);
  for (size_t i = 0; i < list.size(); ++i) {
    CScoreGlyph* first = list[i].get();
    if (first->NextTied() || (first->TieStart() <= 0 && first->SplitGroup() <= 0)) continue;
    for (size_t j = i + 1; j < list.size(); ++j) {
      CScoreGlyph* second = list[j].get();
      if (second->PrevTied()) continue;
      // Pieces of one note cut at a beat are held, not struck again: the
      // last piece carries the note's own tie on.
      const bool tied = first->TieStart() > 0 ? second->TieEnd() == first->TieStart()
                                              : second->SplitGroup() == first->SplitGroup() &&
                                                    second->Pitch() == first->Pitch();
      if (!tied) continue;
      elements_.push_back(std::make_unique<CTie>(first, second, CTie::kWithin, second->X() - first->X(),
                                                 painter_->LineGap()));
      first->SetNextTied(second);
      second->SetPrevTied(first);
      break;
    }
  }
}

void CStaffPage::LinkTiesInto(CStaffPage& next, int voice) {
  auto& mine = VoiceList(voice);
  auto& theirs = next.VoiceList(voice);
  for (auto& glyph : mine) {
    CScoreGlyph* first = glyph.get();
    if (first->TieStart() <= 0 || first->NextTied()) continue;
    for (auto& other : theirs) {
      CScoreGlyph* second = other.get();
      if (second->TieEnd() != first->TieStart() || second->PrevTied()) continue;
      // From the head to this bar's end, then from the next bar line to the head.
      const int length =
          width_ - noteOffset_ - leadIn_ - first->X() + next.noteOffset_ + next.leadIn_ + second->X();
      const int g = painter_->LineGap();
      elements_.insert(elements_.begin(), std::make_unique<CTie>(first, second, CTie::kToNext, length, g));
      next.elements_.push_back(std::make_unique<CTie>(first, second, CTie::kFromPrevious, length, g));
      first->SetNextTied(second);
      second->SetPrevTied(first);
      break;
    }
  }
}
