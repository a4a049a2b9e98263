// The row of one part in the staff view: a run of consecutive measures from
// a first measure, fitted into the line's rectangle, with the staff, the
// line's clef, key and time signature, and the final bar line when the row
// ends the piece. The pages belong to the part's painter; the line lends each
// page its placement (from the page controller's shared pool) as a frame.
#pragma once

#include <windows.h>

#include <vector>

#include "LineSignature.h"
#include "StaffFrame.h"
#include "StaffGeometry.h"

class CStaffPainter;
class CScoreGlyph;
class CStaffPage;

class CStaffLine {
public:
  using Frame = StaffFrame;
  static constexpr int kLeftMargin = 5;

  CStaffLine(CStaffPainter* painter, const RECT& rect);
  CStaffLine(const CStaffLine&) = delete;
  CStaffLine& operator=(const CStaffLine&) = delete;

  // @name Set-up
  void SetRect(const RECT& rect);
  void MoveTo(int x, int y);
  void SetPart(CStaffPainter* painter);
  void SetShared(std::vector<StaffPlacement>* pool, LineSignature* signature);
  // Ignored for an index beyond the part's pages.
  void SetFirstMeasure(int index);
  // Counts the measures that fit from the first one and fills the placement
  // pool and the shared signature record.
  void Fit();
  // Takes the first line's run of measures.
  void TakeCount(int count, bool fits) { count_ = count, fits_ = fits; }
  void UpdateStaffPosition();

  // @name State
  CStaffPainter* Part() const { return painter_; }
  const RECT& Rect() const { return rect_; }
  int FirstMeasure() const { return first_; }
  int Count() const { return count_; }
  bool Fits() const { return fits_; }
  // Measures actually drawn: the counted measure that runs past the right
  // edge is left out unless it is the only one. The page still turns when
  // it starts and the next page opens with it, so cut in half here it would
  // only show clipped notes and syllables, and show them twice.
  int DrawnCount() const { return fits_ || count_ <= 1 ? count_ : count_ - 1; }
  bool Draws(int measure) const { return measure >= first_ && measure < first_ + DrawnCount(); }
  int Counter() const { return counter_; }
  void SetCurrentMeasure(int value) { counter_ = value; }
  int PageCount() const;
  CStaffPage* Page(int measure) const;
  const StaffGeometry& Geometry() const { return geometry_; }
  // Window x where the note area starts: left edge plus margin.
  int NoteAreaLeft() const { return rect_.left + kLeftMargin; }
  // The frame a counted page is painted and measured with; false when the
  // measure is not counted. Its neighbours and line end are the drawn ones.
  bool FrameFor(int measure, StaffFrame* frame) const;

  // @name Header widths
  int HeaderWidth(int key) const;
  int KeyWidth(int key) const;
  int TimeWidth() const;

  // @name Play events
  // Window area whose look changed (empty when nothing did).
  RECT NoteOn(int pitch, int tick, bool flag);
  RECT NoteOff(int pitch, int tick);
  void MarkLyric(int tick);
  void UnmarkLyrics(int tick);

  void Paint(HDC dc);

private:
  // Where a changed glyph of a shown measure is drawn; the whole line when it is tied
  // (its pieces may lie on other pages).
  RECT ChangedArea(int measure, const CScoreGlyph* glyph) const;
  // The page holding the tick, searched from the first shown page; -1 when none.
  int PageOfTick(int tick, bool startBelongsBefore) const;

  CStaffPainter* painter_;
  RECT rect_;
  int first_ = 0;
  int count_ = 0;
  bool fits_ = false;
  int counter_ = 0;
  std::vector<StaffPlacement>* pool_ = nullptr;
  LineSignature* signature_ = nullptr;
  LineSignature ownSignature_;
  std::vector<StaffPlacement> ownPool_;
  StaffGeometry geometry_;
};
