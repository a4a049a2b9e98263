#include "JianPuPager.h"

#include <algorithm>

#include "JianPuPage.h"
#include "JianPuPainter.h"

CJianPuPager::CJianPuPager(HWND window) : window_(window), pool_(10) {}

void CJianPuPager::SetRects(const RECT& view, const RECT& page) {
  viewRect_ = view;
  pageRect_ = page;
}

void CJianPuPager::Invalidate() { InvalidateArea(pageRect_); }

void CJianPuPager::InvalidateArea(const RECT& area) {
  if (IsRectEmpty(&area)) return;
  UnionRect(&dirty_, &dirty_, &area);
  if (window_ && IsWindow(window_)) InvalidateRect(window_, &area, FALSE);
}

void CJianPuPager::AddLine(std::unique_ptr<CJianPuLine> line) {
  line->SetShared(&pool_, &signature_);
  if (line->Part()) lineMap_[line->Part()->Track()] = line.get();
  lines_.push_back(std::move(line));
}

void CJianPuPager::ClearLines() {
  // The widest line goes with the lines: a cursor step after an empty
  // rebuild must not reach a deleted one.
  widest_ = nullptr;
  lineMap_.clear();
  lines_.clear();
}

void CJianPuPager::SetLineRect(int track, const RECT& rect) {
  for (auto& line : lines_)
    if (line->Part() && line->Part()->Track() == track) {
      line->SetRect(rect);
      return;
    }
}

CJianPuLine* CJianPuPager::LineOf(int track) const {
  auto it = lineMap_.find(track);
  return it == lineMap_.end() ? nullptr : it->second;
}

void CJianPuPager::FitAll() {
  CJianPuLine* first = First();
  if (!first) return;
  first->Fit();
  for (auto& line : lines_) line->TakeCount(first->Count(), first->Fits());
}

// @name Paging

bool CJianPuPager::ShowFromMeasure(int index, bool forwardTurn) {
  CJianPuLine* first = First();
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

int CJianPuPager::ScrollTo(int measure, int mode) {
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
  JianPuFrame frame;
  if (First()->FrameFor(cursor_.AnchorMeasure(), &frame))
    cursor_.SetX(cursor_.RelativeX() + frame.barX);
  else
    cursor_.SetX(cursor_.RelativeX());
  Invalidate();
  return target;
}

int CJianPuPager::PrevPage() {
  CJianPuLine* first = First();
  if (!first) return -1;
  const int a = first->FirstMeasure();
  int result = 0;
  for (int n = a - 1; n >= 0; --n) {
    ScrollTo(n, 0);
    if (first->FirstMeasure() + first->Count() + (first->Fits() ? 0 : 1) <= a) {
      result = n;
      break;
    }
  }
  ScrollTo(a, 0);
  return result;
}

int CJianPuPager::GetFirstMeasure() const { return First() ? First()->FirstMeasure() : -1; }

int CJianPuPager::GetLastMeasure() const {
  const CJianPuLine* first = First();
  if (!first) return -1;
  return first->FirstMeasure() + first->Count() - (first->Fits() ? 0 : 1);
}

int CJianPuPager::GetPageMeasureCount(bool* fits) const {
  const CJianPuLine* first = First();
  if (!first) return 0;
  if (fits) *fits = first->Fits();
  return first->Count();
}

int CJianPuPager::GetMeasureCount(int track) const {
  const CJianPuLine* line = LineOf(track);
  return line ? line->PageCount() : 0;
}

// @name Cursor

void CJianPuPager::MoveCursor(int x) { cursor_.MoveTo(window_ && IsWindow(window_) ? window_ : nullptr, x); }

void CJianPuPager::PlaceCursor(int measure, int x, const JianPuFrame& frame) {
  MoveCursor(x);
  cursor_.SetPosition(measure, x - frame.barX);
}

void CJianPuPager::ResetCursor() { cursor_.SetExtent(pageRect_.top, pageRect_.bottom); }

void CJianPuPager::HomeCursor() {
  ResetCursor();
  CJianPuLine* first = First();
  if (!first) return;
  JianPuFrame frame;
  const int x = first->FrameFor(first->FirstMeasure(), &frame) ? frame.originX - 2 : 0;
  PlaceCursor(first->FirstMeasure(), x, frame);
}

void CJianPuPager::SetCurrentMeasure(int value) {
  for (auto& line : lines_) line->SetCurrentMeasure(value);
}

void CJianPuPager::FindWidestLine() {
  widest_ = nullptr;
  for (auto& line : lines_) {
    line->UpdateStaffPosition();
    if (!widest_ || line->PageCount() > widest_->PageCount()) widest_ = line.get();
  }
}

void CJianPuPager::StepCursor(int step) {
  CJianPuLine* first = First();
  if (!first) {
    cursor_.SetMeasure(0);
    return;
  }
  if (step == 0) {
    const int k = first->Counter() + 1;
    first->SetCurrentMeasure(k);
    if (k < first->FirstMeasure() + first->Count()) {
      cursor_.SetMeasure(k);
    } else if (ShowFromMeasure(k - 1, true)) {
      // The page turns when its last measure starts playing and opens with it.
      SetCurrentMeasure(k);
      cursor_.SetMeasure(k);
    }
  }
  CJianPuLine* line = widest_ ? widest_ : first;
  if (line->PageCount() == 0) {
    MoveCursor(0);
    Invalidate();
    return;
  }
  int j = line->Counter() - 1;
  if (j < line->FirstMeasure()) j = line->FirstMeasure();
  JianPuFrame frame;
  if (line->FrameFor(j, &frame)) {
    const CJianPuPage* page = line->Page(j);
    PlaceCursor(j, static_cast<int>(page->UnitsPerBeat() * page->Scale() * step * 0.25) + frame.originX - 2, frame);
  }
  Invalidate();
}

bool CJianPuPager::ShowMeasure(int m, JianPuFrame* frame) {
  CJianPuLine* first = First();
  if (first->FrameFor(m, frame)) return true;
  ScrollTo(m, 0);
  return first->FrameFor(m, frame);
}

void CJianPuPager::SeekTick(int tick) {
  CJianPuLine* first = First();
  if (!first || first->PageCount() == 0) return;
  const int pages = first->PageCount();
  int m = pages - 1;
  int counter = m;
  if (tick < first->Page(pages - 1)->EndTick()) {
    for (int i = 0; i < pages; ++i)
      if (first->Page(i)->StartTick() > tick) {
        m = i > 0 ? i - 1 : 0;
        break;
      }
    const CJianPuPage* page = first->Page(m);
    counter = page->StartTick() < tick && tick < page->EndTick() ? m + 1 : m;
  }
  JianPuFrame frame;
  if (!ShowMeasure(m, &frame)) return;
  SetCurrentMeasure(counter);
  cursor_.SetMeasure(counter);
  const CJianPuPage* page = first->Page(m);
  const int into = std::min(std::max(tick, page->StartTick()), page->EndTick()) - page->StartTick();
  const int beats = into / page->BeatTicks();
  PlaceCursor(m, frame.originX - 2 + static_cast<int>(beats * page->UnitsPerBeat() * page->Scale()), frame);
  Invalidate();
}

int CJianPuPager::TickFromPoint(int x, int y) {
  CJianPuLine* first = First();
  if (!first || first->Count() == 0) return -1;
  const int f = first->FirstMeasure(), n = first->Count();
  int measure = -1;
  JianPuFrame frame;
  for (int m = f; m < f + n; ++m) {
    if (first->FrameFor(m, &frame) && x >= frame.barX && x < frame.barX + frame.placement.width) {
      measure = m;
      break;
    }
  }
  if (measure < 0) {
    JianPuFrame firstFrame, lastFrame;
    first->FrameFor(f, &firstFrame);
    first->FrameFor(f + n - 1, &lastFrame);
    if (x < firstFrame.originX) {
      measure = f;
      x = firstFrame.originX;
      frame = firstFrame;
    } else {
      // Right of the line: the bar line that ends it, the start of the next measure.
      PlaceCursor(f + n - 1, lastFrame.barX + lastFrame.placement.width, lastFrame);
      const CJianPuPage* next = first->Page(f + n);
      return next ? next->StartTick() : -1;
    }
  }
  PlaceCursor(measure, x, frame);
  const CJianPuPage* page = first->Page(measure);
  if (!page) return -1;
  if (x <= frame.originX) return page->StartTick();
  const int beatWidth = static_cast<int>(page->UnitsPerBeat() * page->Scale());
  return page->StartTick() + ((x - frame.originX) / (beatWidth > 0 ? beatWidth : 1)) * page->BeatTicks();
}

// @name Events

void CJianPuPager::NoteEvent(unsigned message, int tick, int track) {
  const unsigned status = message & 0xF0;
  if (status != 0x90 && status != 0x80) return;
  CJianPuLine* line = LineOf(track);
  if (!line) return;
  const int note = (message >> 8) & 0x7F, velocity = (message >> 16) & 0x7F;
  // Only the measures that changed are repainted: a highlight must not cost a page.
  InvalidateArea(status == 0x90 && velocity > 0 ? line->NoteOn(note, tick, window_ != nullptr)
                                                : line->NoteOff(note, tick));
}

void CJianPuPager::MarkLyric(int tick, int track) {
  if (CJianPuLine* line = LineOf(track)) line->MarkLyric(tick);
  Invalidate();
}

void CJianPuPager::UnmarkLyrics(int tick, int track) {
  if (CJianPuLine* line = LineOf(track)) line->UnmarkLyrics(tick);
  Invalidate();
}

int CJianPuPager::Paint(HDC dc) {
  dirty_ = RECT{0, 0, 0, 0};
  for (auto& line : lines_)
    if (line->Part() && line->Part()->Visible()) line->Paint(dc);
  const CJianPuLine* first = First();
  if (!first) return 0;
  const int m = cursor_.Measure(), f = first->FirstMeasure(), n = first->Count();
  if (m < f || m > f + n) return 0;
  if (cursor_.X() < pageRect_.left || cursor_.X() >= pageRect_.right) return 0;
  cursor_.DrawCursor(dc);
  return 0;
}
