#include "JianPuPage.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/GdiHandles.h"
#include "KeyTable.h"
#include "JianPuPainter.h"
#include "PageLyrics.h"

namespace {

// Tied pieces of one note are few; a bound keeps a damaged chain from looping.
constexpr int kMaxTieChain = 64;

template <typename Step>
void SetChain(CJianPuNote* start, Step step, bool on) {
  int n = 0;
  for (CJianPuNote* g = step(start); g && g != start && n < kMaxTieChain; g = step(g), ++n)
    g->SetSounding(on);
}

CJianPuNote* Next(CJianPuNote* g) { return g->NextTied(); }
CJianPuNote* Prev(CJianPuNote* g) { return g->PrevTied(); }

}  // namespace

CJianPuPage::CJianPuPage(CJianPuPainter* painter) : painter_(painter) {}

CJianPuPage::~CJianPuPage() = default;

// @name Play events

bool CJianPuPage::MarkNoteSounding(int pitch, int tick, bool flag, const CJianPuNote** changed) {
  if (tick < startTick_ - 30 || tick >= EndTick()) return false;
  for (auto& note : notes_) {
    if (note->IsRest() || note->Pitch() != pitch || std::abs(note->Tick() - tick) >= 15) continue;
    note->SetSounding(true);
    if (flag) note->FlashOnce();
    SetChain(note.get(), Next, true);
    if (changed) *changed = note.get();
    return true;
  }
  return false;
}

bool CJianPuPage::ClearNoteSounding(int pitch, int tick, const CJianPuNote** changed) {
  if (tick <= startTick_ || tick > EndTick() + 120) return false;
  for (auto& note : notes_) {
    if (note->IsRest() || note->Pitch() != pitch || !note->Sounding()) continue;
    note->SetSounding(false);
    SetChain(note.get(), Next, false);
    SetChain(note.get(), Prev, false);
    if (changed) *changed = note.get();
    return true;
  }
  return false;
}

void CJianPuPage::ClearHighlights() {
  for (auto& note : notes_) note->ClearHighlight();
  for (auto& lyric : lyrics_) lyric->SetSung(false);
}

// @name Lyrics

bool CJianPuPage::AttachLyric(const ScoreLyric& lyric) {
  if (lyric.tick < startTick_ - 10 || lyric.tick >= EndTick()) return false;
  // A second verse on the same notes goes on a line of its own below the first.
  const int line = LyricLineFor(lyrics_, lyric.tick);
  for (auto& note : notes_) {
    if (!note->IsRest() && std::abs(note->Tick() - lyric.tick) < 10) {
      lyrics_.push_back(std::make_unique<CJianPuLyricItem>(note.get(), lyric.text, lyric.tick));
      lyrics_.back()->SetLine(line);
      return true;
    }
  }
  if (lyric.tick > EndTick() - 10) return false;
  const int d = lyric.tick > startTick_ ? lyric.tick - startTick_ : 0;
  lyrics_.push_back(std::make_unique<CJianPuLyricItem>(TickX(d), lyric.text, lyric.tick));
  lyrics_.back()->SetLine(line);
  return true;
}

bool CJianPuPage::MarkLyric(int tick, bool* out) { return MarkSungLyric(lyrics_, tick, out); }

bool CJianPuPage::UnmarkLastLyric() { return ::UnmarkLastLyric(lyrics_); }

bool CJianPuPage::UnmarkLyricsBefore(int tick) { return UnmarkLyricBefore(lyrics_, tick); }

// @name Painting

int CJianPuPage::BarNumberTop(const JianPuFrame& f, int textHeight) const {
  const CJianPuPainter& p = *painter_;
  const int top = f.refY - p.DigitHeight() / 2 - p.KeyTextHeight() - 2;
  // A tie from the previous measure arcs over the bar line, higher by the
  // octave dots of either end (as CJianPuTie draws it).
  auto above = [](const CJianPuNote* n) { return n->Spec().octaveSign > 0 ? n->Spec().octaveCount : 0; };
  int dots = -1;
  for (const auto& note : notes_) {
    const CJianPuNote* before = note->PrevTied();
    if (before && before->Tick() < startTick_) dots = std::max({dots, above(note.get()), above(before)});
  }
  if (dots < 0) return top;
  const int arcTop = f.refY - p.DigitHeight() / 2 - 1 - 5 * dots - kTieLift;
  return std::min(top, arcTop - 1 - textHeight);
}

void CJianPuPage::PaintBarNumber(HDC dc, const JianPuFrame& f) const {
  char text[16];
  const int length = snprintf(text, sizeof text, "%d", index_ + 1);
  base::ScopedSelect font(dc, painter_->TextFont());
  base::ScopedTextStyle style(dc, painter_->BarIndexColor());
  SIZE size{};
  GetTextExtentPoint32A(dc, text, length, &size);
  TextOutA(dc, f.barX + 1, BarNumberTop(f, size.cy), text, length);
}

void CJianPuPage::Paint(HDC dc, const JianPuFrame& f) {
  const CJianPuPainter& p = *painter_;
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  // The measure's closing bar line; the line draws the opening one.
  p.DrawBarLine(dc, f.refY, f.barX + f.placement.width);
  const int aboveDigits = f.refY - p.DigitHeight() / 2 - p.KeyTextHeight() - 4;
  if (!f.placement.headerSuppressed) {
    if (showKey_) p.DrawKeyText(dc, f.barX + 5, aboveDigits - 6, key_);
    if (showTime_)
      p.DrawTimeSignature(dc, f.barX + 7 + p.HalfDigitWidth(), f.refY - p.TimeSignatureHeight() / 2, beats_,
                          beatTicks_);
  }
  if (!texts_.empty()) {
    base::ScopedSelect font(dc, p.TextFont());
    base::ScopedTextStyle style(dc, p.NoteColor());
    for (const ScoreText& t : texts_) {
      // Placed by its offset in the measure, not its absolute tick.
      const int x = f.originX + TickX(t.tick > startTick_ ? t.tick - startTick_ : 0);
      TextOutA(dc, x, aboveDigits - 9, t.text.data(), static_cast<int>(t.text.size()));
    }
  }
  if (p.ShowBarIndex()) PaintBarNumber(dc, f);
  for (auto& e : elements_) e->Draw(dc, f);
  for (auto& n : notes_) n->Draw(dc, f);
  // Each lyric line pushes free syllables along on its own; a verse number
  // stands in front of its syllable, not in its way.
  const CJianPuLyricItem* previous[kMaxLyricLines] = {};
  for (auto& lyric : lyrics_) {
    const CJianPuLyricItem*& before = previous[lyric->Line()];
    lyric->Draw(dc, f, before);
    if (lyric->DrawnX() >= 0 && !IsVerseNumber(lyric->Text())) before = lyric.get();
  }
  SetBkMode(dc, oldMode);
}
