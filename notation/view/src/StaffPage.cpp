#include "StaffPage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "base/GdiHandles.h"
#include "KeyTable.h"
#include "PageLyrics.h"
#include "StaffPainter.h"
#include "StaffSizes.h"

namespace {

// The bar number's text cell, and how far above the staff it stands when nothing is higher.
constexpr int kBarNumberHeight = 14;
constexpr int kBarNumberRise = 15;
// Free texts stand higher still, in the same font.
constexpr int kTextRise = 30;

// Tied pieces of one note are few; a bound keeps a damaged chain from looping.
constexpr int kMaxTieChain = 64;

template <typename Step>
void ForChain(CScoreGlyph* start, Step step, void (*apply)(CScoreGlyph*)) {
  int n = 0;
  for (CScoreGlyph* g = step(start); g && g != start && n < kMaxTieChain; g = step(g), ++n) apply(g);
}

}  // namespace

CStaffPage::CStaffPage(CStaffPainter* painter) : painter_(painter) {}

CStaffPage::~CStaffPage() = default;

void CStaffPage::SetMeasure(const CScoreMeasure& m, int x) {
  CMeasurePage::SetMeasure(m);
  x_ = x;
  leadIn_ = NoteLeadIn(scale_, StaffSizes::kHeadWidth[StaffSizes::Level(painter_->SizeLevel())]);
}

int CStaffPage::OriginX(int barX, const StaffPlacement& p) const { return barX + p.noteOffset + leadIn_; }

// @name Play events

int CStaffPage::PlayedPitch(int midiNote) const {
  // Notes of the octave-mark staves are recorded shifted.
  switch (painter_->StaffKind()) {
    case kTrebleOctaveStaff:
      return midiNote - 12;
    case kBassOctaveStaff:
      return midiNote + 12;
    default:
      return midiNote;
  }
}

int CStaffPage::VoiceOfPitch(int pitch) const {
  if (painter_->StaffKind() != kGrandStaff) return kSingleVoice;
  return pitch < 60 ? kLowerVoice : kUpperVoice;
}

bool CStaffPage::MarkNoteSounding(int midiNote, int tick, bool flag, const CScoreGlyph** changed) {
  if (tick < startTick_ - 30 || tick >= EndTick()) return false;
  const int pitch = PlayedPitch(midiNote);
  for (auto& glyph : VoiceList(VoiceOfPitch(pitch))) {
    if (glyph->Spec().notePitch != pitch || std::abs(glyph->Tick() - tick) >= 15) continue;
    glyph->SetSounding(true);
    if (flag) glyph->FlashOnce();
    if (changed) *changed = glyph.get();
    ForChain(
        glyph.get(), [](CScoreGlyph* g) { return g->NextTied(); },
        [](CScoreGlyph* g) { g->SetSounding(true); });
    return true;
  }
  return false;
}

bool CStaffPage::ClearNoteSounding(int midiNote, int tick, const CScoreGlyph** changed) {
  if (tick <= startTick_ || tick > EndTick() + 120) return false;
  const int pitch = PlayedPitch(midiNote);
  for (auto& glyph : VoiceList(VoiceOfPitch(pitch))) {
    if (glyph->Spec().notePitch != pitch || !glyph->Sounding()) continue;
    glyph->SetSounding(false);
    if (changed) *changed = glyph.get();
    ForChain(
        glyph.get(), [](CScoreGlyph* g) { return g->NextTied(); },
        [](CScoreGlyph* g) { g->SetSounding(false); });
    ForChain(
        glyph.get(), [](CScoreGlyph* g) { return g->PrevTied(); },
        [](CScoreGlyph* g) { g->SetSounding(false); });
    return true;
  }
  return false;
}

void CStaffPage::ClearHighlights() {
  for (auto& list : notes_)
    for (auto& glyph : list) glyph->ClearHighlight();
  for (auto& lyric : lyrics_) lyric->SetSung(false);
}

// @name Reach

StaffFrame CStaffPage::LayoutFrame() const {
  StaffFrame f;
  f.painter = painter_;
  f.geometry = painter_->Metrics();
  return f;
}

void CStaffPage::MeasureReach() {
  const StaffFrame f = LayoutFrame();
  const StaffGeometry& s = f.geometry;
  const bool two = painter_->StaffKind() == kGrandStaff;
  const int g = painter_->LineGap();
  const int lyricRef = two ? s.lowerRef : s.upperRef;
  // The staff lines themselves, then whatever reaches beyond them.
  int lowest = (two ? s.lowerTop : s.upperTop) + 4 * g + painter_->StrokeThickness();
  int highest = s.upperTop;
  auto reach = [&](const CNotationItem& item, bool lower) {
    RECT box;
    if (!item.InkBox(f, &box)) return;
    if (lower || !two) lowest = std::max<int>(lowest, box.bottom);
    if (!lower || !two) highest = std::min<int>(highest, box.top);
  };
  // Glyphs by their vertical ink alone, without a frame: a song has thousands.
  const int strokes = painter_->StrokeThickness();
  const int defaultStem = StaffSizes::kStemLength[StaffSizes::Level(painter_->SizeLevel())];
  for (int voice = 0; voice < 3; ++voice) {
    const bool lower = voice == kLowerVoice;
    for (const auto& glyph : notes_[voice]) {
      const GlyphSpec& spec = glyph->Spec();
      const int y = StaffGeometry::StepY(s.RefFor(painter_->StaffKind(), spec.pitch), spec.step, g);
      int top = 0, bottom = 0;
      glyph->VerticalInk(y, g, strokes, defaultStem, &top, &bottom);
      if (lower || !two) lowest = std::max(lowest, bottom);
      if (!lower || !two) highest = std::min(highest, top);
    }
  }
  for (const auto& element : elements_) {
    RECT box;
    if (!element->InkBox(f, &box)) continue;
    // Marks between the staves of a two-staff part belong to the nearer one.
    reach(*element, two && box.top > (s.upperTop + 4 * g + s.lowerTop) / 2);
  }
  constexpr int kClearance = 2;
  lyricTop_ = std::max(painter_->LyricOffset(), lowest + kClearance - lyricRef);
  barNumberTop_ = std::min(s.upperTop - kBarNumberRise, highest - kClearance - kBarNumberHeight) - s.upperRef;
  textTop_ = std::min(s.upperTop - kTextRise - s.upperRef, barNumberTop_ - kBarNumberHeight);
}

// @name Lyrics

bool CStaffPage::AttachLyric(const ScoreLyric& lyric) {
  if (lyric.tick < startTick_ - 10 || lyric.tick >= EndTick()) return false;
  // A second verse on the same notes goes on a line of its own below the first.
  const int line = LyricLineFor(lyrics_, lyric.tick);
  auto attach = [&](int voice) -> bool {
    for (auto& glyph : VoiceList(voice)) {
      if (std::abs(glyph->Tick() - lyric.tick) < 10) {
        lyrics_.push_back(std::make_unique<CLyricItem>(glyph.get(), lyric.text, lyric.tick));
        lyrics_.back()->SetLine(line);
        return true;
      }
    }
    if (lyric.tick <= EndTick() - 10) {
      lyrics_.push_back(
          std::make_unique<CLyricItem>(startTick_, beats_ * beatTicks_, lyric.text, lyric.tick));
      lyrics_.back()->SetLine(line);
      return true;
    }
    return false;
  };
  if (painter_->StaffKind() == kGrandStaff) return attach(kUpperVoice) || attach(kLowerVoice);
  return attach(kSingleVoice);
}

bool CStaffPage::MarkLyric(int tick, bool* out) { return MarkSungLyric(lyrics_, tick, out); }

bool CStaffPage::UnmarkLastLyric() { return ::UnmarkLastLyric(lyrics_); }

bool CStaffPage::UnmarkLyricsBefore(int tick) { return UnmarkLyricBefore(lyrics_, tick); }

// @name Painting

void CStaffPage::PaintHeader(HDC dc, const StaffFrame& f) const {
  const CStaffPainter& p = *painter_;
  const int level = StaffSizes::Level(p.SizeLevel());
  const int step = StaffSizes::kKeyStep[level];
  p.DrawBarLine(dc, f.geometry, f.barX);
  // Signs start just after the bar line: the measure's note offset holds
  // exactly their width, so they stay clear of the first note.
  int x = f.barX + 5;
  if (showKey_) {
    p.DrawBarLine(dc, f.geometry, f.barX + 3);
    const int shown = HeaderKey();
    if (p.StaffKind() != kPercussionStaff) {
      p.DrawKeySignature(dc, f.geometry, x, shown, key_ == 0);
      x += step * std::abs(shown);
    }
  }
  if (showTime_) p.DrawTimeSignature(dc, f.geometry, x, beats_, beatTicks_);
}

void CStaffPage::PaintBarNumber(HDC dc, const StaffFrame& f) const {
  char text[16];
  snprintf(text, sizeof text, "%d", index_ + 1);
  base::ScopedSelect font(dc, painter_->TextFont());
  base::ScopedTextStyle style(dc, painter_->BarIndexColor());
  TextOutA(dc, f.barX + 1, f.geometry.upperRef + barNumberTop_, text, static_cast<int>(strlen(text)));
}

void CStaffPage::Paint(HDC dc, const StaffFrame& f) {
  if (!f.placement.headerSuppressed) PaintHeader(dc, f);
  if (painter_->StaffKind() == kGrandStaff) {
    for (auto& g : notes_[kUpperVoice]) g->Draw(dc, f);
    for (auto& g : notes_[kLowerVoice]) g->Draw(dc, f);
  } else {
    for (auto& g : notes_[kSingleVoice]) g->Draw(dc, f);
  }
  for (auto& e : elements_) e->Draw(dc, f);
  if (!texts_.empty()) {
    base::ScopedSelect font(dc, painter_->TextFont());
    base::ScopedTextStyle style(dc, painter_->NoteColor());
    for (const ScoreText& t : texts_) {
      // Placed by its offset in the measure, not its absolute tick.
      const int x = f.originX + TickX(t.tick > startTick_ ? t.tick - startTick_ : 0);
      TextOutA(dc, x, f.geometry.upperRef + textTop_, t.text.data(), static_cast<int>(t.text.size()));
    }
  }
  // Each lyric line pushes free syllables along on its own.
  const CLyricItem* previous[CLyricItem::kMaxLines] = {};
  for (auto& lyric : lyrics_) {
    const CLyricItem*& before = previous[lyric->Line()];
    lyric->Draw(dc, f, before);
    // Punctuation is not drawn and pushes nothing; a verse number stands
    // in front of its syllable, not in its way.
    if (lyric->DrawnX() >= 0 && !IsVerseNumber(lyric->Text())) before = lyric.get();
  }
  if (painter_->ShowBarIndex()) PaintBarNumber(dc, f);
}
