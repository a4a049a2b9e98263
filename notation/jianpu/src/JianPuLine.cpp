#include "JianPuLine.h"

#include <algorithm>

#include "JianPuPage.h"
#include "JianPuPainter.h"
#include "JianPuSizes.h"
#include "PagedLineImpl.h"

CJianPuLine::CJianPuLine(CJianPuPainter* painter, const RECT& rect) : CPagedLine(painter, rect) {
  UpdateStaffPosition();
}

void CJianPuLine::SetRect(const RECT& rect) {
  rect_ = rect;
  UpdateStaffPosition();
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
  // The line draws the opening key and time above the digits, so its header
  // takes no width, and the first page gives up the room of its own time
  // signature. A numbered measure never reserved room for key signs, so
  // there is none to give up.
  FitRun(0,
         page && page->ShowTime() ? JianPuSizes::kTimeWidth[JianPuSizes::Level(painter_->SizeLevel())] : 0);
}

bool CJianPuLine::FrameFor(int measure, JianPuFrame* frame) const {
  *frame = JianPuFrame();
  if (!valid_ || !PlaceFrame(measure, frame)) return false;
  frame->painter = painter_;
  frame->refY = refY_;
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
  const int end = DrawnEnd();
  if (PageCount() == first_ + drawn && p.HeavyEndBar())
    for (int k = 3; k <= 5; ++k) p.DrawBarLine(dc, refY_, end + k);
}

// @name Play events

RECT CJianPuLine::ChangedArea(int measure, const CJianPuNote* note) const {
  JianPuFrame f;
  if (!FrameFor(measure, &f)) return RECT{0, 0, 0, 0};
  if (note && (note->NextTied() || note->PrevTied())) return rect_;
  return RECT{f.barX, rect_.top, f.barX + f.placement.width + 1, rect_.bottom};
}

template class CPagedLine<CJianPuLine, CJianPuPainter, CJianPuPage, CJianPuNote>;
