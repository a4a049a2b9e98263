// Members of CLinePager, for the one file of each view that instantiates it.
#pragma once

#include <algorithm>

#include "LinePager.h"

// @name Set-up by the view

template <class Line>
void CLinePager<Line>::AddLine(std::unique_ptr<Line> line) {
  line->SetShared(&pool_, &signature_);
  if (line->Part()) lineMap_[line->Part()->Track()] = line.get();
  lines_.push_back(std::move(line));
}

template <class Line>
void CLinePager<Line>::SetLineRect(int track, const RECT& rect) {
  for (auto& line : lines_)
    if (line->Part() && line->Part()->Track() == track) {
      line->SetRect(rect);
      return;
    }
}

// @name Paging

template <class Line>
bool CLinePager<Line>::ShowFromMeasure(int index, bool forwardTurn) {
  Line* first = First();
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

template <class Line>
int CLinePager<Line>::ScrollTo(int measure, int mode) {
  if (lines_.empty()) return -1;
  int target = -1;
  for (auto& line : lines_) {
    const int pages = line->PageCount();
    switch (mode) {
      case 0:
        target = measure;
        break;
      case 1:
        target = line->FirstMeasure() + measure;
        break;
      case 2:
        target = pages + measure - 1;
        break;
      default:
        target = -1;
        break;
    }
    if (target < 0 || target >= pages) {
      target = -1;
      continue;
    }
    line->SetFirstMeasure(target);
  }
  FitAll();
  Frame frame;
  if (First()->FrameFor(cursor_.AnchorMeasure(), &frame))
    cursor_.SetX(cursor_.RelativeX() + frame.barX);
  else
    cursor_.SetX(cursor_.RelativeX());
  Invalidate();
  return target;
}

template <class Line>
int CLinePager<Line>::PrevPage() {
  Line* first = First();
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

// @name Cursor

template <class Line>
void CLinePager<Line>::HomeCursor() {
  ResetCursor();
  Line* first = First();
  if (!first) return;
  Frame frame;
  const int x = first->FrameFor(first->FirstMeasure(), &frame) ? frame.originX - 2 : 0;
  cursor_.SetMeasure(first->Counter());
  PlaceCursor(first->FirstMeasure(), x, frame);
}

template <class Line>
void CLinePager<Line>::StepCursor(int step) {
  Line* first = First();
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
  Line* line = widest_ ? widest_ : first;
  if (line->PageCount() == 0) {
    MoveCursor(0);
    Invalidate();
    return;
  }
  int j = line->Counter() - 1;
  if (j < line->FirstMeasure()) j = line->FirstMeasure();
  Frame frame;
  if (line->FrameFor(j, &frame)) {
    const auto* page = line->Page(j);
    PlaceCursor(j, static_cast<int>(page->UnitsPerBeat() * page->Scale() * step * 0.25) + frame.originX - 2,
                frame);
  }
  Invalidate();
}

template <class Line>
bool CLinePager<Line>::ShowMeasure(int m, Frame* frame) {
  Line* first = First();
  if (first->Draws(m) && first->FrameFor(m, frame)) return true;
  ScrollTo(m, 0);
  return first->FrameFor(m, frame);
}

template <class Line>
void CLinePager<Line>::SeekTick(int tick) {
  Line* first = First();
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
    const auto* page = first->Page(m);
    counter = page->StartTick() < tick && tick < page->EndTick() ? m + 1 : m;
  }
  Frame frame;
  if (!ShowMeasure(m, &frame)) return;
  SetCurrentMeasure(counter);
  cursor_.SetMeasure(counter);
  const auto* page = first->Page(m);
  const int into = std::min(std::max(tick, page->StartTick()), page->EndTick()) - page->StartTick();
  const int beats = into / page->BeatTicks();
  PlaceCursor(m, frame.originX - 2 + static_cast<int>(beats * page->UnitsPerBeat() * page->Scale()), frame);
  Invalidate();
}

template <class Line>
int CLinePager<Line>::TickFromPoint(int x, int y) {
  Line* first = First();
  if (!first || first->DrawnCount() == 0) return -1;
  // Only drawn measures answer: right of them is the start of the next one.
  const int f = first->FirstMeasure(), n = first->DrawnCount();
  int measure = -1;
  Frame frame;
  for (int m = f; m < f + n; ++m) {
    if (first->FrameFor(m, &frame) && x >= frame.barX && x < frame.barX + frame.placement.width) {
      measure = m;
      break;
    }
  }
  if (measure < 0) {
    Frame firstFrame, lastFrame;
    first->FrameFor(f, &firstFrame);
    first->FrameFor(f + n - 1, &lastFrame);
    if (x < firstFrame.originX) {
      measure = f;
      x = firstFrame.originX;
      frame = firstFrame;
    } else {
      // Right of the line: the bar line that ends it, the start of the next measure.
      PlaceCursor(f + n - 1, lastFrame.barX + lastFrame.placement.width, lastFrame);
      const auto* next = first->Page(f + n);
      return next ? next->StartTick() : -1;
    }
  }
  PlaceCursor(measure, x, frame);
  const auto* page = first->Page(measure);
  if (!page) return -1;
  if (x <= frame.originX) return page->StartTick();
  const int beatWidth = static_cast<int>(page->UnitsPerBeat() * page->Scale());
  // A measure can be wider than its beats (a fixed width, room for a lyric):
  // a point in the space after the last beat still answers inside the measure.
  const int beat = std::min((x - frame.originX) / (beatWidth > 0 ? beatWidth : 1), page->Beats() - 1);
  return page->StartTick() + beat * page->BeatTicks();
}

template <class Line>
int CLinePager<Line>::Paint(HDC dc) {
  dirty_ = RECT{0, 0, 0, 0};
  for (auto& line : lines_)
    if (line->Part() && line->Part()->Visible()) line->Paint(dc);
  const Line* first = First();
  if (!cursorEnabled_ || !first) return 0;
  const int m = cursor_.Measure(), f = first->FirstMeasure(), n = first->DrawnCount();
  if (m < f || m > f + n) return 0;
  if (cursor_.X() < pageRect_.left || cursor_.X() >= pageRect_.right) return 0;
  cursor_.DrawCursor(dc);
  return 0;
}
