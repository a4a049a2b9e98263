// Members of CPagedLine that need the page whole, for the one file of each
// row type that instantiates it.
#pragma once

#include "PagedLine.h"

#define PAGED_LINE_TEMPLATE template <class Derived, class Painter, class PageT, class Glyph>
#define PAGED_LINE CPagedLine<Derived, Painter, PageT, Glyph>

PAGED_LINE_TEMPLATE
int PAGED_LINE::PageCount() const { return painter_ ? painter_->PageCount() : 0; }

PAGED_LINE_TEMPLATE
PageT* PAGED_LINE::Page(int measure) const { return painter_ ? painter_->Page(measure) : nullptr; }

PAGED_LINE_TEMPLATE
void PAGED_LINE::FitRun(int header, int own) {
  const PageT* page = Page(first_);
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

  int x = NoteAreaLeft() + header;
  int n = 0;
  for (int m = first_; x < rect_.right; ++m, ++n) {
    const PageT* p = Page(m);
    if (!p) break;
    x += p->Width() - (m == first_ ? own : 0);
  }
  fits_ = x <= rect_.right;
  count_ = n;
  if (static_cast<int>(pool_->size()) < n) pool_->resize(n);
  int px = header;
  for (int i = 0; i < n; ++i) {
    const PageT* p = Page(first_ + i);
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

PAGED_LINE_TEMPLATE
bool PAGED_LINE::PlaceFrame(int measure, LineFrame* frame) const {
  const int slot = measure - first_;
  if (!painter_ || slot < 0 || slot >= count_ || slot >= static_cast<int>(pool_->size())) return false;
  if (!Page(measure)) return false;
  const Derived& self = static_cast<const Derived&>(*this);
  const StaffPlacement& p = (*pool_)[slot];
  const int drawn = DrawnCount();
  const StaffPlacement& last = (*pool_)[drawn - 1];
  LineFrame& f = *frame;
  f.placement = p;
  f.barX = NoteAreaLeft() + p.x;
  f.originX = self.OriginOf(measure, f.barX, p);
  f.lineStartX = NoteAreaLeft() + (*pool_)[0].x;
  f.lineEndX = NoteAreaLeft() + last.x + last.width;
  f.prevShown = slot > 0;
  f.nextShown = slot + 1 < drawn;
  if (f.nextShown) {
    const StaffPlacement& next = (*pool_)[slot + 1];
    f.nextOriginX = self.OriginOf(measure + 1, NoteAreaLeft() + next.x, next);
  }
  return true;
}

PAGED_LINE_TEMPLATE
int PAGED_LINE::DrawnEnd() const {
  const int drawn = DrawnCount();
  const StaffPlacement& last = (*pool_)[drawn - 1];
  return NoteAreaLeft() + last.x + last.width;
}

// @name Play events

PAGED_LINE_TEMPLATE
RECT PAGED_LINE::NoteOn(int pitch, int tick, bool flag) {
  const Derived& self = static_cast<const Derived&>(*this);
  RECT area{0, 0, 0, 0};
  for (int m = first_; m < first_ + count_; ++m) {
    PageT* page = Page(m);
    const Glyph* changed = nullptr;
    if (page && page->StartTick() - 30 < tick && tick < page->EndTick() &&
        page->MarkNoteSounding(pitch, tick, flag, &changed)) {
      const RECT r = self.ChangedArea(m, changed);
      UnionRect(&area, &area, &r);
    }
  }
  return area;
}

PAGED_LINE_TEMPLATE
RECT PAGED_LINE::NoteOff(int pitch, int tick) {
  const Derived& self = static_cast<const Derived&>(*this);
  for (int m = first_; m < first_ + count_; ++m) {
    PageT* page = Page(m);
    const Glyph* changed = nullptr;
    if (page && page->ClearNoteSounding(pitch, tick, &changed)) return self.ChangedArea(m, changed);
  }
  return RECT{0, 0, 0, 0};
}

PAGED_LINE_TEMPLATE
int PAGED_LINE::PageOfTick(int tick, bool startBelongsBefore) const {
  const int n = PageCount();
  if (n == 0) return -1;
  int i = first_ < n ? first_ : n - 1;
  auto after = [&](const PageT* p) {
    return startBelongsBefore ? tick > p->EndTick() : tick >= p->EndTick();
  };
  auto before = [&](const PageT* p) {
    return startBelongsBefore ? tick <= p->StartTick() : tick < p->StartTick();
  };
  while (i < n && after(Page(i))) ++i;
  while (i >= 0 && i < n && before(Page(i))) --i;
  return i >= 0 && i < n ? i : -1;
}

PAGED_LINE_TEMPLATE
void PAGED_LINE::MarkLyric(int tick) {
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

PAGED_LINE_TEMPLATE
void PAGED_LINE::UnmarkLyrics(int tick) {
  for (int i = PageOfTick(tick, true); i >= 0; --i)
    if (Page(i)->UnmarkLyricsBefore(tick)) break;
}

#undef PAGED_LINE
#undef PAGED_LINE_TEMPLATE
