#include "StaffPager.h"

#include <algorithm>

#include "StaffPage.h"
#include "StaffPainter.h"

CStaffPager::CStaffPager(HWND window) : window_(window), pool_(10) {}

void CStaffPager::SetRects(const RECT& view, const RECT& page) {
  viewRect_ = view;
  pageRect_ = page;
}

void CStaffPager::Invalidate() { InvalidateArea(pageRect_); }

void CStaffPager::InvalidateArea(const RECT& area) {
  if (IsRectEmpty(&area)) return;
  UnionRect(&dirty_, &dirty_, &area);
  if (window_ && IsWindow(window_)) InvalidateRect(window_, &area, FALSE);
}

void CStaffPager::AddLine(std::unique_ptr<CStaffLine> line) {
  line->SetShared(&pool_, &signature_);
  if (line->Part()) lineMap_[line->Part()->Track()] = line.get();
  lines_.push_back(std::move(line));
}

void CStaffPager::ClearLines() {
  // The widest line goes with the lines: a cursor step after an empty
  // rebuild must not reach a deleted one.
  widest_ = nullptr;
  lineMap_.clear();
  lines_.clear();
}

void CStaffPager::SetLineRect(int track, const RECT& rect) {
  for (auto& line : lines_)
    if (line->Part() && line->Part()->Track() == track) {
      line->SetRect(rect);
      return;
    }
}

CStaffLine* CStaffPager::LineOf(int track) const {
  auto it = lineMap_.find(track);
  return it == lineMap_.end() ? nullptr : it->second;
}

void CStaffPager::FitAll() {
  CStaffLine* first = First();
  if (!first) return;
  first->Fit();
  for (auto& line : lines_) line->TakeCount(first->Count(), first->Fits());
}

// @name Paging

bool CStaffPager::ShowFromMeasure(int index, bool forwardTurn) {
  CStaffLine* first = First();
  if (!first) return false;
  if (forwardTurn) {
    const int f = first->FirstMeasure(), n = first->Count(), pages = first->PageCount();
    if ((f + n == pages && first->Fits()) || pages < f + n) return false;
  }
  for (auto& line : lines_) line->SetFirstMeasure(index);
  FitAll();
  Invalidate();
  return true;
}

int CStaffPager::ScrollTo(int measure, int mode) {
  if (lines_.empty()) return -1;
  int target = -1;
  for (auto& line : lines_) {
    const int pages = line->PageCount();
    switch (mode) {
      case 0: target = measure; break;
      case 1: target = line->FirstMeasure() + measure; break;
      case 2: target = pages + measure - 1; break;
      default: target = -1; break;
    }
    if (target < 0 || target >= pages) {
      target = -1;
      continue;
    }
    line->SetFirstMeasure(target);
  }
  FitAll();
  StaffFrame frame;
  if (First()->FrameFor(cursor_.AnchorMeasure(), &frame))
    cursor_.SetX(cursor_.RelativeX() + frame.barX);
  else
    cursor_.SetX(cursor_.RelativeX());
  Invalidate();
  return target;
}

int CStaffPager::PrevPage() {
  CStaffLine* first = First();
  if (!first) return -1;
  const int a = first->FirstMeasure();
  int result = 0;
  for (int n = a - 1; n >= 0; --n) {
    ScrollTo(n, 0);
    // The page from n must end before a, and is the last such page: the
    // measures between it and a are then all shown on one of the two.
    if (first->FirstMeasure() + first->DrawnCount() <= a) {
      result = n;
      break;
    }
  }
  ScrollTo(a, 0);
  return result;
}

int CStaffPager::GetFirstMeasure() const { return First() ? First()->FirstMeasure() : -1; }

int CStaffPager::GetLastMeasure() const {
  const CStaffLine* first = First();
  if (!first) return -1;
  return first->FirstMeasure() + first->Count() - (first->Fits() ? 0 : 1);
}

int CStaffPager::GetPageMeasureCount(bool* fits) const {
  const CStaffLine* first = First();
  if (!first) return 0;
  if (fits) *fits = first->Fits();
  return first->Count();
}

int CStaffPager::GetMeasureCount(int track) const {
  const CStaffLine* line = LineOf(track);
  return line ? line->PageCount() : 0;
}

// @name Cursor

void CStaffPager::MoveCursor(int x) { cursor_.MoveTo(window_ && IsWindow(window_) ? window_ : nullptr, x); }

void CStaffPager::ResetCursor() { cursor_.SetExtent(pageRect_.top, pageRect_.bottom); }

void CStaffPager::HomeCursor() {
  ResetCursor();
  CStaffLine* first = First();
  if (!first) return;
  StaffFrame frame;
  const int x = first->FrameFor(first->FirstMeasure(), &frame) ? frame.originX - 2 : 0;
  MoveCursor(x);
  cursor_.SetMeasure(first->Counter());
  cursor_.SetPosition(first->FirstMeasure(), x - frame.barX);
}

void CStaffPager::SetCurrentMeasure(int value) {
  for (auto& line : lines_) line->SetCurrentMeasure(value);
}

void CStaffPager::FindWidestLine() {
  widest_ = nullptr;
  for (auto& line : lines_) {
    line->UpdateStaffPosition();
    if (!widest_ || line->PageCount() > widest_->PageCount()) widest_ = line.get();
  }
}

void CStaffPager::StepCursor(int step) {
  CStaffLine* first = First();
  if (!first) {
    cursor_.SetMeasure(0);
    return;
  }
  if (step == 0) {
    const int k = first->Counter() + 1;
    first->SetCurrentMeasure(k);
    if (k - 1 < first->FirstMeasure() + first->DrawnCount()) {
      cursor_.SetMeasure(k);
    } else if (ShowFromMeasure(k - 1, true)) {
      // The page turns when the first measure it does not draw starts
      // playing, and opens with it: no measure is shown on two pages.
      SetCurrentMeasure(k);
      cursor_.SetMeasure(k);
    }
  }
  CStaffLine* line = widest_ ? widest_ : first;
  if (line->PageCount() == 0) {
    MoveCursor(0);
    Invalidate();
    return;
  }
  int j = line->Counter() - 1;
  if (j < line->FirstMeasure()) j = line->FirstMeasure();
  StaffFrame frame;
  if (line->FrameFor(j, &frame)) {
    CStaffPage* page = line->Part()->Page(j);
    const int x = static_cast<int>(page->UnitsPerBeat() * page->Scale() * step * 0.25) + frame.originX - 2;
    MoveCursor(x);
    cursor_.SetPosition(j, x - frame.barX);
  }
  Invalidate();
}

bool CStaffPager::ShowMeasure(int m, StaffFrame* frame) {
  CStaffLine* first = First();
  if (first->Draws(m) && first->FrameFor(m, frame)) return true;
  ScrollTo(m, 0);
  return first->FrameFor(m, frame);
}

void CStaffPager::SeekTick(int tick) {
  CStaffLine* first = First();
  if (!first || first->PageCount() == 0) return;
  CStaffPainter* painter = first->Part();
  const int pages = painter->PageCount();
  const CStaffPage* last = painter->Page(pages - 1);
  int m;
  int counter;
  if (tick >= last->EndTick()) {
    m = pages - 1;
    counter = m;
  } else {
    m = pages - 1;
    for (int i = 0; i < pages; ++i)
      if (painter->Page(i)->StartTick() > tick) {
        m = i > 0 ? i - 1 : 0;
        break;
      }
    const CStaffPage* page = painter->Page(m);
    counter = page->StartTick() < tick && tick < page->EndTick() ? m + 1 : m;
  }
  StaffFrame frame;
  if (!ShowMeasure(m, &frame)) return;
  SetCurrentMeasure(counter);
  cursor_.SetMeasure(counter);
  const CStaffPage* page = painter->Page(m);
  const int into = std::min(std::max(tick, page->StartTick()), page->EndTick()) - page->StartTick();
  const int beats = into / page->BeatTicks();
  const int x = frame.originX - 2 + static_cast<int>(beats * page->UnitsPerBeat() * page->Scale());
  MoveCursor(x);
  cursor_.SetPosition(m, x - frame.barX);
  Invalidate();
}

int CStaffPager::TickFromPoint(int x, int y) {
  CStaffLine* first = First();
  if (!first || first->DrawnCount() == 0) return -1;
  // Only drawn measures answer: right of them is the start of the next one.
  const int f = first->FirstMeasure(), n = first->DrawnCount();
  int measure = -1;
  StaffFrame frame;
  for (int m = f; m < f + n; ++m) {
    if (first->FrameFor(m, &frame) && x >= frame.barX && x < frame.barX + frame.placement.width) {
      measure = m;
      break;
    }
  }
  if (measure < 0) {
    StaffFrame firstFrame, lastFrame;
    first->FrameFor(f, &firstFrame);
    first->FrameFor(f + n - 1, &lastFrame);
    if (x < firstFrame.originX) {
      measure = f;
      x = firstFrame.originX;
      frame = firstFrame;
    } else {
      // Right of the line: the bar line that ends it, the start of the next measure.
      measure = f + n;
      x = lastFrame.barX + lastFrame.placement.width;
      MoveCursor(x);
      cursor_.SetPosition(f + n - 1, x - lastFrame.barX);
      const CStaffPage* next = first->Part()->Page(measure);
      return next ? next->StartTick() : -1;
    }
  }
  MoveCursor(x);
  cursor_.SetPosition(measure, x - frame.barX);
  const CStaffPage* page = first->Part()->Page(measure);
  if (!page) return -1;
  if (x <= frame.originX) return page->StartTick();
  const int beatWidth = static_cast<int>(page->UnitsPerBeat() * page->Scale());
  return page->StartTick() + ((x - frame.originX) / (beatWidth > 0 ? beatWidth : 1)) * page->BeatTicks();
}

// @name Events

void CStaffPager::NoteEvent(unsigned message, int tick, int track) {
  const unsigned status = message & 0xF0;
  if (status != 0x90 && status != 0x80) return;
  CStaffLine* line = LineOf(track);
  if (!line) return;
  const int note = (message >> 8) & 0x7F, velocity = (message >> 16) & 0x7F;
  // Only the glyphs that changed are repainted: a highlight must not cost a page.
  const RECT changed = status == 0x90 && velocity > 0 ? line->NoteOn(note, tick, window_ != nullptr)
                                                      : line->NoteOff(note, tick);
  InvalidateArea(changed);
}

void CStaffPager::MarkLyric(int tick, int track) {
  if (CStaffLine* line = LineOf(track)) line->MarkLyric(tick);
  Invalidate();
}

void CStaffPager::UnmarkLyrics(int tick, int track) {
  if (CStaffLine* line = LineOf(track)) line->UnmarkLyrics(tick);
  Invalidate();
}

int CStaffPager::Paint(HDC dc) {
  dirty_ = RECT{0, 0, 0, 0};
  for (auto& line : lines_)
    if (line->Part() && line->Part()->Visible()) line->Paint(dc);
  const CStaffLine* first = First();
  if (!cursorEnabled_ || !first) return 0;
  const int m = cursor_.Measure(), f = first->FirstMeasure(), n = first->DrawnCount();
  if (m < f || m > f + n) return 0;
  if (cursor_.X() < pageRect_.left || cursor_.X() >= pageRect_.right) return 0;
  cursor_.DrawCursor(dc);
  return 0;
}
