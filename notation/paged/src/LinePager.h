// The page controller shared by the staff and the numbered view: owns the
// lines (one per shown part), keeps them on one common run of measures,
// turns the page as the play position advances, routes note, lyric and
// cursor events to the line of a track, answers position queries, and paints
// lines and play cursor. Every visible change invalidates the page rectangle
// without erasing.
//
// The two views differ only in how a line fits and draws its measures, so
// the controller is written once over the line type. A line offers:
//   Part() (Track(), Visible()), SetShared, SetRect, UpdateStaffPosition,
//   SetFirstMeasure, Fit, TakeCount, FirstMeasure, Count, Fits, DrawnCount,
//   Draws, Counter, SetCurrentMeasure, PageCount, Page (StartTick, EndTick,
//   BeatTicks, UnitsPerBeat, Scale), FrameFor with its Frame type (barX,
//   originX, placement.width), NoteOn, NoteOff, MarkLyric, UnmarkLyrics and
//   Paint.
//
// The members are defined in LinePagerImpl.h and instantiated once per line
// type, beside the line's page and painter classes, which they need whole.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "LineSignature.h"
#include "PlayCursor.h"
#include "LineFrame.h"
#include "base/MidiShort.h"

template <class Line>
class CLinePager {
 public:
  using Frame = typename Line::Frame;
  using LineType = Line;

  explicit CLinePager(HWND window) : window_(window), pool_(10) {}
  CLinePager(const CLinePager&) = delete;
  CLinePager& operator=(const CLinePager&) = delete;

  // @name Set-up by the view
  void SetWindow(HWND window) { window_ = window; }
  HWND Window() const { return window_; }
  void SetRects(const RECT& view, const RECT& page) {
    viewRect_ = view;
    pageRect_ = page;
  }
  void SetPageRect(const RECT& page) { pageRect_ = page; }
  const RECT& PageRect() const { return pageRect_; }
  void AddLine(std::unique_ptr<Line> line);
  void ClearLines() {
    // The widest line goes with the lines: a cursor step after an empty
    // rebuild must not reach a deleted one.
    widest_ = nullptr;
    lineMap_.clear();
    lines_.clear();
  }
  void SetLineRect(int track, const RECT& rect);
  const std::vector<std::unique_ptr<Line>>& Lines() const { return lines_; }

  // @name Paging
  // Shows the pages from a measure on every line, refitting them. A forward
  // turn is refused once the end of the piece is already shown; explicit
  // repositioning (rewind, resize) always refits.
  bool ShowFromMeasure(int index, bool forwardTurn = false);
  int ScrollTo(int measure, int mode);
  int PrevPage();
  int GetFirstMeasure() const { return First() ? First()->FirstMeasure() : -1; }
  int GetLastMeasure() const {
    const Line* first = First();
    if (!first) return -1;
    return first->FirstMeasure() + first->Count() - (first->Fits() ? 0 : 1);
  }
  int GetPageMeasureCount(bool* fits) const {
    const Line* first = First();
    if (!first) return 0;
    if (fits) *fits = first->Fits();
    return first->Count();
  }
  int GetMeasureCount(int track) const {
    const Line* line = LineOf(track);
    return line ? line->PageCount() : 0;
  }

  // @name Cursor
  void ResetCursor() { cursor_.SetExtent(pageRect_.top, pageRect_.bottom); }
  void HomeCursor();
  void StepCursor(int step);
  void SetCurrentMeasure(int value) {
    for (auto& line : lines_) line->SetCurrentMeasure(value);
  }
  void FindWidestLine() {
    widest_ = nullptr;
    for (auto& line : lines_) {
      line->UpdateStaffPosition();
      if (!widest_ || line->PageCount() > widest_->PageCount()) widest_ = line.get();
    }
  }
  void SeekTick(int tick);
  int TickFromPoint(int x, int y);
  const CPlayCursor& Cursor() const { return cursor_; }
  void EnableCursor(bool on) { cursorEnabled_ = on; }

  // @name Events
  void NoteEvent(unsigned message, int tick, int track) {
    if (!base::IsNoteMessage(message)) return;
    Line* line = LineOf(track);
    if (!line) return;
    const int note = base::Data1Of(message);
    // Only what changed is repainted: a highlight must not cost a page.
    InvalidateArea(base::IsNoteOn(message) ? line->NoteOn(note, tick, window_ != nullptr)
                                           : line->NoteOff(note, tick));
  }
  void MarkLyric(int tick, int track) {
    if (Line* line = LineOf(track)) line->MarkLyric(tick);
    Invalidate();
  }
  void UnmarkLyrics(int tick, int track) {
    if (Line* line = LineOf(track)) line->UnmarkLyrics(tick);
    Invalidate();
  }

  int Paint(HDC dc);
  void Invalidate() { InvalidateArea(pageRect_); }
  // What was invalidated since the last paint, also without a window.
  const RECT& Dirty() const { return dirty_; }

 private:
  Line* First() const { return lines_.empty() ? nullptr : lines_.front().get(); }
  Line* LineOf(int track) const {
    auto it = lineMap_.find(track);
    return it == lineMap_.end() ? nullptr : it->second;
  }
  void FitAll() {
    Line* first = First();
    if (!first) return;
    first->Fit();
    for (auto& line : lines_) line->TakeCount(first->Count(), first->Fits());
  }
  // Makes measure m visible (scrolling to it when it is not shown) and returns its frame.
  bool ShowMeasure(int m, Frame* frame);
  void MoveCursor(int x) { cursor_.MoveTo(window_ && IsWindow(window_) ? window_ : nullptr, x); }
  void PlaceCursor(int measure, int x, const Frame& frame) {
    MoveCursor(x);
    cursor_.SetPosition(measure, x - frame.barX);
  }
  void InvalidateArea(const RECT& area) {
    if (IsRectEmpty(&area)) return;
    UnionRect(&dirty_, &dirty_, &area);
    if (window_ && IsWindow(window_)) InvalidateRect(window_, &area, FALSE);
  }

  HWND window_;
  std::vector<std::unique_ptr<Line>> lines_;
  std::vector<StaffPlacement> pool_;
  RECT viewRect_{};
  RECT pageRect_{};
  CPlayCursor cursor_;
  std::map<int, Line*> lineMap_;
  Line* widest_ = nullptr;
  LineSignature signature_;
  bool cursorEnabled_ = true;
  RECT dirty_{0, 0, 0, 0};
};
