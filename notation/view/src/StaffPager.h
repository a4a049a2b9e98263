// The page controller of the staff view: owns the lines (one per shown
// part), keeps them on one common run of measures, turns the page as the
// play position advances, routes note, lyric and cursor events to the line
// of a track, answers position queries, and paints lines and play cursor.
// Every visible change invalidates the page rectangle without erasing.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "PlayCursor.h"
#include "StaffLine.h"

class CStaffPager {
public:
  explicit CStaffPager(HWND window);
  CStaffPager(const CStaffPager&) = delete;
  CStaffPager& operator=(const CStaffPager&) = delete;

  // @name Set-up by the view
  void SetWindow(HWND window) { window_ = window; }
  HWND Window() const { return window_; }
  void SetRects(const RECT& view, const RECT& page);
  void SetPageRect(const RECT& page) { pageRect_ = page; }
  const RECT& PageRect() const { return pageRect_; }
  void AddLine(std::unique_ptr<CStaffLine> line);
  void ClearLines();
  void SetLineRect(int track, const RECT& rect);
  const std::vector<std::unique_ptr<CStaffLine>>& Lines() const { return lines_; }

  // @name Paging
  // Shows the pages from a measure on every line, refitting them. A forward
  // turn is refused once the end of the piece is already shown.
  bool ShowFromMeasure(int index, bool forwardTurn = false);
  int ScrollTo(int measure, int mode);
  int PrevPage();
  int GetFirstMeasure() const;
  int GetLastMeasure() const;
  int GetPageMeasureCount(bool* fits) const;
  int GetMeasureCount(int track) const;

  // @name Cursor
  void ResetCursor();
  void HomeCursor();
  void StepCursor(int step);
  void SetCurrentMeasure(int value);
  void FindWidestLine();
  void SeekTick(int tick);
  int TickFromPoint(int x, int y);
  const CPlayCursor& Cursor() const { return cursor_; }
  void EnableCursor(bool on) { cursorEnabled_ = on; }

  // @name Events
  void NoteEvent(unsigned message, int tick, int track);
  void MarkLyric(int tick, int track);
  void UnmarkLyrics(int tick, int track);

  int Paint(HDC dc);
  void Invalidate();
  // What was invalidated since the last paint, also without a window.
  const RECT& Dirty() const { return dirty_; }

private:
  CStaffLine* First() const { return lines_.empty() ? nullptr : lines_.front().get(); }
  CStaffLine* LineOf(int track) const;
  void FitAll();
  // Makes measure m visible (scrolling to it when it is not shown) and returns its frame.
  bool ShowMeasure(int m, StaffFrame* frame);
  void MoveCursor(int x);
  void InvalidateArea(const RECT& area);

  HWND window_;
  std::vector<std::unique_ptr<CStaffLine>> lines_;
  std::vector<StaffPlacement> pool_;
  RECT viewRect_{};
  RECT pageRect_{};
  CPlayCursor cursor_;
  std::map<int, CStaffLine*> lineMap_;
  CStaffLine* widest_ = nullptr;
  LineSignature signature_;
  bool cursorEnabled_ = true;
  RECT dirty_{0, 0, 0, 0};
};
