// The row of one part in the staff view: a run of consecutive measures from
// a first measure, fitted into the line's rectangle, with the staff, the
// line's clef, key and time signature, and the final bar line when the row
// ends the piece. The pages belong to the part's painter; the line lends each
// page its placement (from the page controller's shared pool) as a frame.
#pragma once

#include <windows.h>

#include "PagedLine.h"
#include "StaffFrame.h"
#include "StaffGeometry.h"

class CStaffPainter;
class CScoreGlyph;
class CStaffPage;

class CStaffLine : public CPagedLine<CStaffLine, CStaffPainter, CStaffPage, CScoreGlyph> {
 public:
  using Frame = StaffFrame;

  CStaffLine(CStaffPainter* painter, const RECT& rect);

  // @name Set-up
  void SetRect(const RECT& rect);
  void MoveTo(int x, int y);
  void SetPart(CStaffPainter* painter);
  // Counts the measures that fit from the first one and fills the placement
  // pool and the shared signature record.
  void Fit();
  void UpdateStaffPosition();

  // @name State
  const StaffGeometry& Geometry() const { return geometry_; }
  // The frame a counted page is painted and measured with; false when the
  // measure is not counted. Its neighbours and line end are the drawn ones.
  bool FrameFor(int measure, StaffFrame* frame) const;

  // @name Header widths
  int HeaderWidth(int key) const;
  int KeyWidth(int key) const;
  int TimeWidth() const;

  void Paint(HDC dc);

 private:
  friend class CPagedLine<CStaffLine, CStaffPainter, CStaffPage, CScoreGlyph>;

  // Where a changed glyph of a shown measure is drawn; the whole line when it is tied
  // (its pieces may lie on other pages).
  RECT ChangedArea(int measure, const CScoreGlyph* glyph) const;
  int OriginOf(int measure, int barX, const StaffPlacement& placement) const;

  StaffGeometry geometry_;
};

extern template class CPagedLine<CStaffLine, CStaffPainter, CStaffPage, CScoreGlyph>;
