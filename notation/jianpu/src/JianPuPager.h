// The page controller of the numbered view: owns the lines (one per part),
// keeps them on one common run of measures, turns the page as the play
// position advances, routes note, lyric and cursor events to the line of a
// track, answers position queries, and paints lines and play cursor. Every
// visible change invalidates the page rectangle without erasing.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "JianPuLine.h"
#include "PlayCursor.h"

class CJianPuPager {
public:
  explicit CJianPuPager(HWND window);
  CJianPuPager(const CJianPuPager&) = delete;
  CJianPuPager& operator=(const CJianPuPager&) = delete;

  // @name Set-up by the view
  void SetWindow(HWND window) { window_ = window; }
  void SetRects(const RECT& view, const RECT& page);
  void SetPageRect(const RECT& page) { pageRect_ = page; }
  void AddLine(std::unique_ptr<CJianPuLine> line);
  void ClearLines();
  void SetLineRect(int track, const RECT& rect);
  const std::vector<std::unique_ptr<CJianPuLine>>& Lines() const { return lines_; }

  // @name Paging
  // Shows the pages from a measure on every line, refitting them. A forward
  // turn is refused once the end of the piece is already shown; explicit
  // repositioning (rewind, resize) always refits.
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

  // @name Events
  void NoteEvent(unsigned message, int tick, int track);
  void MarkLyric(int tick, int track);
  void UnmarkLyrics(int tick, int track);

  int Paint(HDC dc);
  void Invalidate();
  // What changed since the last paint, in window coordinates.
  const RECT& Dirty() const { return dirty_; }

private:
  CJianPuLine* First() const { return lines_.empty() ? nullptr : lines_.front().get(); }
  CJianPuLine* LineOf(int track) const;
  void FitAll();
  bool ShowMeasure(int m, JianPuFrame* frame);
  void MoveCursor(int x);
  void InvalidateArea(const RECT& area);
  void PlaceCursor(int measure, int x, const JianPuFrame& frame);

  HWND window_;
  std::vector<std::unique_ptr<CJianPuLine>> lines_;
  std::vector<StaffPlacement> pool_;
  RECT viewRect_{};
  RECT pageRect_{};
  CPlayCursor cursor_;
  std::map<int, CJianPuLine*> lineMap_;
  CJianPuLine* widest_ = nullptr;
  LineSignature signature_;
  RECT dirty_{0, 0, 0, 0};
};
