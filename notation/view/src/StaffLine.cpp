#include "StaffLine.h"

#include <algorithm>
#include <cstdlib>

#include "KeyTable.h"
#include "PagedLineImpl.h"
#include "StaffPage.h"
#include "StaffPainter.h"
#include "StaffSizes.h"

CStaffLine::CStaffLine(CStaffPainter* painter, const RECT& rect) : CPagedLine(painter, rect) {
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

void CStaffLine::UpdateStaffPosition() {
  if (!painter_ || IsRectEmpty(&rect_)) return;
  const int middle = rect_.top + (rect_.bottom - rect_.top) / 2 + painter_->StaffShift();
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
  // The line draws the opening signatures; the first page drops its own.
  int own = 0;
  if (page->ShowKey()) own += KeyWidth(page->HeaderKey());
  if (page->ShowTime()) own += TimeWidth();
  FitRun(HeaderWidth(page->HeaderKey()), own);
}

int CStaffLine::OriginOf(int measure, int barX, const StaffPlacement& placement) const {
  const CStaffPage* page = Page(measure);
  return page ? page->OriginX(barX, placement) : 0;
}

bool CStaffLine::FrameFor(int measure, StaffFrame* frame) const {
  *frame = StaffFrame();
  if (!PlaceFrame(measure, frame)) return false;
  frame->painter = painter_;
  frame->geometry = geometry_;
  // One lyric line for the whole row, below the lowest of its measures.
  int top = painter_->LyricOffset();
  for (int m = first_, end = first_ + DrawnCount(); m < end; ++m)
    if (const CStaffPage* page = Page(m)) top = std::max(top, page->LyricTop());
  frame->lyricY = (painter_->StaffKind() == kGrandStaff ? geometry_.lowerRef : geometry_.upperRef) + top;
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
  const int end = shown ? DrawnEnd() : x0 + HeaderWidth(key);

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
    if (clipped &&
        (frame.barX + frame.placement.width + kReach <= clip.left || frame.barX - kReach >= clip.right))
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

template class CPagedLine<CStaffLine, CStaffPainter, CStaffPage, CScoreGlyph>;
