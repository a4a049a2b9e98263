#include "StaffLine.h"

#include <cstdlib>

#include "KeyTable.h"
#include "StaffPage.h"
#include "StaffPainter.h"
#include "StaffSizes.h"

CStaffLine::CStaffLine(CStaffPainter* painter, const RECT& rect) : painter_(painter), rect_(rect) {
  pool_ = &ownPool_;
  signature_ = &ownSignature_;
  UpdateStaffPosition();
}

void CStaffLine::SetRect(const RECT& rect) {
  rect_ = rect;
  UpdateStaffPosition();
}

void CStaffLine::MoveTo(int x, int y) {
  OffsetRect(&rect_, x - rect_.left, y - rect_.top);
  UpdateStaffPosition();
}

void CStaffLine::SetPart(CStaffPainter* painter) {
  painter_ = painter;
  UpdateStaffPosition();
}

void CStaffLine::SetShared(std::vector<StaffPlacement>* pool, LineSignature* signature) {
  pool_ = pool ? pool : &ownPool_;
  signature_ = signature ? signature : &ownSignature_;
}

int CStaffLine::PageCount() const { return painter_ ? painter_->PageCount() : 0; }

CStaffPage* CStaffLine::Page(int measure) const { return painter_ ? painter_->Page(measure) : nullptr; }

void CStaffLine::SetFirstMeasure(int index) {
  if (index >= 0 && index < PageCount()) first_ = index;
}

void CStaffLine::UpdateStaffPosition() {
  if (!painter_ || IsRectEmpty(&rect_)) return;
  const int middle = rect_.top + (rect_.bottom - rect_.top) / 2;
  geometry_ = StaffGeometry::Around(painter_->StaffKind(), middle, painter_->LineGap());
}

int CStaffLine::HeaderWidth(int key) const {
  if (!painter_) return 0;
  const int level = StaffSizes::Level(painter_->SizeLevel());
  return painter_->KeySignatureWidth(key, StaffSizes::kKeyStep[level], StaffSizes::kTimeWidth[level],
                                     StaffSizes::kClefWidth[level]);
}

int CStaffLine::KeyWidth(int key) const {
  if (!painter_) return 0;
  return std::abs(key) * StaffSizes::kKeyStep[StaffSizes::Level(painter_->SizeLevel())];
}

int CStaffLine::TimeWidth() const {
  return painter_ ? StaffSizes::kTimeWidth[StaffSizes::Level(painter_->SizeLevel())] : 0;
}

void CStaffLine::Fit() {
  if (!painter_ || IsRectEmpty(&rect_)) return;
  const CStaffPage* page = Page(first_);
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

  // The line draws the opening signatures; the first page drops its own.
  const int header = HeaderWidth(page->HeaderKey());
  int own = 0;
  if (page->ShowKey()) own += KeyWidth(page->HeaderKey());
  if (page->ShowTime()) own += TimeWidth();

  int x = NoteAreaLeft() + header;
  int n = 0;
  for (int m = first_; x < rect_.right; ++m, ++n) {
    const CStaffPage* p = Page(m);
    if (!p) break;
    x += p->Width() - (m == first_ ? own : 0);
  }
  fits_ = x <= rect_.right;
  count_ = n;
  if (static_cast<int>(pool_->size()) < n) pool_->resize(n);
  int px = header;
  for (int i = 0; i < n; ++i) {
    const CStaffPage* p = Page(first_ + i);
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

bool CStaffLine::FrameFor(int measure, StaffFrame* frame) const {
  const int slot = measure - first_;
  if (!painter_ || slot < 0 || slot >= count_ || slot >= static_cast<int>(pool_->size())) return false;
  const CStaffPage* page = Page(measure);
  if (!page) return false;
  const StaffPlacement& p = (*pool_)[slot];
  const int drawn = DrawnCount();
  const StaffPlacement& last = (*pool_)[drawn - 1];
  StaffFrame& f = *frame;
  f = StaffFrame();
  f.painter = painter_;
  f.geometry = geometry_;
  f.placement = p;
  f.barX = NoteAreaLeft() + p.x;
  f.originX = page->OriginX(f.barX, p);
  f.lineStartX = NoteAreaLeft() + (*pool_)[0].x;
  f.lineEndX = NoteAreaLeft() + last.x + last.width;
  f.prevShown = slot > 0;
  f.nextShown = slot + 1 < drawn;
  if (f.nextShown) {
    const StaffPlacement& next = (*pool_)[slot + 1];
    if (const CStaffPage* np = Page(measure + 1)) f.nextOriginX = np->OriginX(NoteAreaLeft() + next.x, next);
  }
  return true;
}

void CStaffLine::Paint(HDC dc) {
  if (!painter_ || !geometry_.valid) return;
  // A highlight repaints a few glyphs: pages far from the clip box are skipped.
  RECT clip{};
  const int region = GetClipBox(dc, &clip);
  const bool clipped = region == SIMPLEREGION || region == COMPLEXREGION;
  if (clipped && (clip.bottom <= rect_.top - 60 || clip.top >= rect_.bottom + 60)) return;
  const int level = StaffSizes::Level(painter_->SizeLevel());
  const int x0 = NoteAreaLeft();
  const LineSignature& s = *signature_;
  const int key = s.showKey && s.key == 0 ? s.previousKey : s.key;
  const int drawn = DrawnCount();
  const bool shown = drawn > 0 && static_cast<int>(pool_->size()) >= drawn;
  const int end = shown ? x0 + (*pool_)[drawn - 1].x + (*pool_)[drawn - 1].width : x0 + HeaderWidth(key);

  painter_->DrawStaffLines(dc, geometry_, x0, end);
  painter_->DrawLineStart(dc, geometry_, x0);
  if (painter_->ShowTrackNumber()) painter_->DrawTrackNumber(dc, geometry_, x0);
  int x = x0 + StaffSizes::kClefWidth[level];
  if (painter_->StaffKind() != kPercussionStaff) {
    painter_->DrawKeySignature(dc, geometry_, x, key, s.showKey && s.key == 0);
    x += KeyWidth(key);
    // Signs are a key step wide with their strokes reaching a pixel or two
    // beyond: the time signature takes half of the header's spare key step
    // so that it does not touch the last sign.
    if (CKeyTable::ClampKey(key) != 0) x += StaffSizes::kKeyStep[level] / 2;
  }
  painter_->DrawTimeSignature(dc, geometry_, x, s.beats, s.beatTicks);
  if (!shown) return;

  for (int m = first_; m < first_ + drawn; ++m) {
    StaffFrame frame;
    if (!FrameFor(m, &frame)) continue;
    // Ties, lyrics and accidentals reach a little into the neighbouring measures.
    constexpr int kReach = 80;
    if (clipped && (frame.barX + frame.placement.width + kReach <= clip.left || frame.barX - kReach >= clip.right))
      continue;
    Page(m)->Paint(dc, frame);
  }
  if (PageCount() == first_ + drawn) {
    painter_->DrawBarLine(dc, geometry_, end);
    if (painter_->HeavyEndBar())
      for (int k = 3; k <= 5; ++k) painter_->DrawBarLine(dc, geometry_, end + k);
  } else if (end <= rect_.right) {
    // A row that ends inside the view closes its last measure.
    painter_->DrawBarLine(dc, geometry_, end);
  }
}

// @name Play events

RECT CStaffLine::ChangedArea(int measure, const CScoreGlyph* glyph) const {
  StaffFrame frame;
  if (!glyph || !FrameFor(measure, &frame)) return RECT{0, 0, 0, 0};
  if (glyph->NextTied() || glyph->PrevTied()) return rect_;
  return glyph->Bounds(frame);
}

RECT CStaffLine::NoteOn(int pitch, int tick, bool flag) {
  RECT area{0, 0, 0, 0};
  for (int m = first_; m < first_ + count_; ++m) {
    CStaffPage* page = Page(m);
    const CScoreGlyph* changed = nullptr;
    if (page && page->StartTick() - 30 < tick && tick < page->EndTick() &&
        page->MarkNoteSounding(pitch, tick, flag, &changed)) {
      const RECT r = ChangedArea(m, changed);
      UnionRect(&area, &area, &r);
    }
  }
  return area;
}

RECT CStaffLine::NoteOff(int pitch, int tick) {
  for (int m = first_; m < first_ + count_; ++m) {
    CStaffPage* page = Page(m);
    const CScoreGlyph* changed = nullptr;
    if (page && page->ClearNoteSounding(pitch, tick, &changed)) return ChangedArea(m, changed);
  }
  return RECT{0, 0, 0, 0};
}

int CStaffLine::PageOfTick(int tick, bool startBelongsBefore) const {
  const int n = PageCount();
  if (n == 0) return -1;
  int i = first_ < n ? first_ : n - 1;
  auto after = [&](const CStaffPage* p) { return startBelongsBefore ? tick > p->EndTick() : tick >= p->EndTick(); };
  auto before = [&](const CStaffPage* p) { return startBelongsBefore ? tick <= p->StartTick() : tick < p->StartTick(); };
  while (i < n && after(Page(i))) ++i;
  while (i >= 0 && i < n && before(Page(i))) --i;
  return i >= 0 && i < n ? i : -1;
}

void CStaffLine::MarkLyric(int tick) {
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

void CStaffLine::UnmarkLyrics(int tick) {
  for (int i = PageOfTick(tick, true); i >= 0; --i)
    if (Page(i)->UnmarkLyricsBefore(tick)) break;
}
