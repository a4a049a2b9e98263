#include "JianPuLine.h"

#include <algorithm>

#include "JianPuPage.h"
#include "JianPuPainter.h"
#include "JianPuSizes.h"

CJianPuLine::CJianPuLine(CJianPuPainter* painter, const RECT& rect) : painter_(painter), rect_(rect) {
  pool_ = &ownPool_;
  signature_ = &ownSignature_;
  UpdateStaffPosition();
}

void CJianPuLine::SetRect(const RECT& rect) {
  rect_ = rect;
  UpdateStaffPosition();
}

void CJianPuLine::SetShared(std::vector<StaffPlacement>* pool, LineSignature* signature) {
  pool_ = pool ? pool : &ownPool_;
  signature_ = signature ? signature : &ownSignature_;
}

int CJianPuLine::PageCount() const { return painter_ ? painter_->PageCount() : 0; }

CJianPuPage* CJianPuLine::Page(int measure) const { return painter_ ? painter_->Page(measure) : nullptr; }

void CJianPuLine::SetFirstMeasure(int index) {
  if (index >= 0 && index < PageCount()) first_ = index;
}

void CJianPuLine::UpdateStaffPosition() {
  if (!painter_ || IsRectEmpty(&rect_)) return;
  textLineY_ = rect_.top + (rect_.bottom - rect_.top) / 2 - 12;
  refY_ = rect_.top + painter_->ReferenceLine();
  valid_ = true;
}

void CJianPuLine::Fit() {
  if (!painter_ || IsRectEmpty(&rect_)) return;
  const CJianPuPage* page = Page(first_);
  if (!page) {
    count_ = 0;
    return;
  }
  LineSignature& s = *signature_;
  s.startTick = page->StartTick();
  s.beats = page->Beats();
  s.beatTicks = page->BeatTicks();
  s.showTime = page->ShowTime();
  s.key = page->Key();
  s.previousKey = page->PreviousKey();
  s.showKey = page->ShowKey();

  // The line draws the opening key and time above the digits, so its header
  // takes no width, and the first page gives up the room of its own time
  // signature. A numbered measure never reserved room for key signs, so
  // there is none to give up.
  const int own = page->ShowTime() ? JianPuSizes::kTimeWidth[JianPuSizes::Level(painter_->SizeLevel())] : 0;
  int x = NoteAreaLeft();
  int n = 0;
  for (int m = first_; x < rect_.right; ++m, ++n) {
    const CJianPuPage* p = Page(m);
    if (!p) break;
    x += p->Width() - (m == first_ ? own : 0);
  }
  fits_ = x <= rect_.right;
  count_ = n;
  if (static_cast<int>(pool_->size()) < n) pool_->resize(n);
  int px = 0;
  for (int i = 0; i < n; ++i) {
    const CJianPuPage* p = Page(first_ + i);
    StaffPlacement& r = (*pool_)[i];
    r = StaffPlacement();
    r.x = px;
    r.width = p->Width() - (i == 0 ? own : 0);
    r.noteOffset = p->NoteOffset() - (i == 0 ? own : 0);
    r.headerSuppressed = i == 0;
    r.lastInLine = i == n - 1;
    px += r.width;
  }
}

bool CJianPuLine::FrameFor(int measure, JianPuFrame* frame) const {
  const int slot = measure - first_;
  if (!painter_ || !valid_ || slot < 0 || slot >= count_ || slot >= static_cast<int>(pool_->size())) return false;
  if (!Page(measure)) return false;
  const StaffPlacement& p = (*pool_)[slot];
  const int drawn = DrawnCount();
  const StaffPlacement& last = (*pool_)[drawn - 1];
  JianPuFrame& f = *frame;
  f = JianPuFrame();
  f.painter = painter_;
  f.placement = p;
  f.refY = refY_;
  f.barX = NoteAreaLeft() + p.x;
  f.originX = f.barX + p.noteOffset;
  f.lineStartX = NoteAreaLeft() + (*pool_)[0].x;
  f.lineEndX = NoteAreaLeft() + last.x + last.width;
  f.prevShown = slot > 0;
  f.nextShown = slot + 1 < drawn;
  if (f.nextShown) {
    const StaffPlacement& next = (*pool_)[slot + 1];
    f.nextOriginX = NoteAreaLeft() + next.x + next.noteOffset;
  }
  return true;
}

void CJianPuLine::Paint(HDC dc) {
  if (!painter_ || !valid_) return;
  const CJianPuPainter& p = *painter_;
  const int x0 = NoteAreaLeft();
  const LineSignature& s = *signature_;
  // The opening key and time stand above the first digits, where the first
  // part of a view has room for them.
  if (p.FirstPart()) {
    const int timeTop = refY_ - p.DigitHeight() / 2 - 10 - p.TimeSignatureHeight();
    const int keyWidth =
        p.DrawKeyText(dc, rect_.left + 9, timeTop + (p.TimeSignatureHeight() - p.KeyTextHeight()) / 2, s.key);
    // Clear of the key text however long its name is.
    const int timeX = std::max(rect_.left + 55, rect_.left + 9 + keyWidth + 8) + p.HalfDigitWidth();
    p.DrawTimeSignature(dc, timeX, timeTop, s.beats, s.beatTicks);
  }
  const int drawn = DrawnCount();
  const bool shown = drawn > 0 && static_cast<int>(pool_->size()) >= drawn;
  if (!shown) return;
  p.DrawBarLine(dc, refY_, x0);
  for (int m = first_; m < first_ + drawn; ++m) {
    JianPuFrame frame;
    if (FrameFor(m, &frame)) Page(m)->Paint(dc, frame);
  }
  const int end = x0 + (*pool_)[drawn - 1].x + (*pool_)[drawn - 1].width;
  if (PageCount() == first_ + drawn && p.HeavyEndBar())
    for (int k = 3; k <= 5; ++k) p.DrawBarLine(dc, refY_, end + k);
}

// @name Play events

RECT CJianPuLine::ChangedArea(int measure, bool tied) const {
  JianPuFrame f;
  if (!FrameFor(measure, &f)) return RECT{0, 0, 0, 0};
  if (tied) return rect_;
  return RECT{f.barX, rect_.top, f.barX + f.placement.width + 1, rect_.bottom};
}

RECT CJianPuLine::NoteOn(int pitch, int tick, bool flag) {
  RECT area{0, 0, 0, 0};
  for (int m = first_; m < first_ + count_; ++m) {
    CJianPuPage* page = Page(m);
    const CJianPuNote* lit = nullptr;
    if (page && page->StartTick() - 30 < tick && tick < page->EndTick() && page->MarkNoteSounding(pitch, tick, flag, &lit)) {
      const RECT r = ChangedArea(m, lit && (lit->NextTied() || lit->PrevTied()));
      UnionRect(&area, &area, &r);
    }
  }
  return area;
}

RECT CJianPuLine::NoteOff(int pitch, int tick) {
  for (int m = first_; m < first_ + count_; ++m) {
    CJianPuPage* page = Page(m);
    const CJianPuNote* cleared = nullptr;
    if (page && page->ClearNoteSounding(pitch, tick, &cleared))
      return ChangedArea(m, cleared && (cleared->NextTied() || cleared->PrevTied()));
  }
  return RECT{0, 0, 0, 0};
}

int CJianPuLine::PageOfTick(int tick, bool startBelongsBefore) const {
  const int n = PageCount();
  if (n == 0) return -1;
  int i = first_ < n ? first_ : n - 1;
  auto after = [&](const CJianPuPage* p) { return startBelongsBefore ? tick > p->EndTick() : tick >= p->EndTick(); };
  auto before = [&](const CJianPuPage* p) { return startBelongsBefore ? tick <= p->StartTick() : tick < p->StartTick(); };
  while (i < n && after(Page(i))) ++i;
  while (i >= 0 && i < n && before(Page(i))) --i;
  return i >= 0 && i < n ? i : -1;
}

void CJianPuLine::MarkLyric(int tick) {
  int i = PageOfTick(tick, false);
  if (i < 0) return;
  bool out = false;
  if (!Page(i)->MarkLyric(tick, &out)) {
    // A syllable refused at the end of its measure sits on the next page.
    if (!Page(i + 1) || !Page(i + 1)->MarkLyric(tick, &out)) return;
    ++i;
  }
  if (out) return;
  for (int k = i - 1; k >= 0; --k)
    if (Page(k)->UnmarkLastLyric()) break;
}

void CJianPuLine::UnmarkLyrics(int tick) {
  for (int i = PageOfTick(tick, true); i >= 0; --i)
    if (Page(i)->UnmarkLyricsBefore(tick)) break;
}
