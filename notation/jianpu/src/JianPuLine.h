// The row of one part in the numbered view: a run of consecutive measures
// from a first measure, fitted into the line's rectangle, with the key text
// and time signature above the first digits and the heavy end when the row
// ends the piece. The pages belong to the part's painter; the line lends
// each page its placement from the page controller's shared pool.
#pragma once

#include <windows.h>

#include "JianPuFrame.h"
#include "PagedLine.h"

class CJianPuPainter;
class CJianPuPage;
class CJianPuNote;

class CJianPuLine : public CPagedLine<CJianPuLine, CJianPuPainter, CJianPuPage, CJianPuNote> {
 public:
  using Frame = JianPuFrame;

  CJianPuLine(CJianPuPainter* painter, const RECT& rect);

  // @name Set-up
  void SetRect(const RECT& rect);
  void Fit();
  void UpdateStaffPosition();

  // @name State
  // y of the digits' centre line; the text line lies 12 above the middle.
  int ReferenceY() const { return refY_; }
  int TextLineY() const { return textLineY_; }
  // The frame a counted page is painted and measured with; false when the
  // measure is not counted. Its neighbours and line end are the drawn ones.
  bool FrameFor(int measure, JianPuFrame* frame) const;

  void Paint(HDC dc);

 private:
  friend class CPagedLine<CJianPuLine, CJianPuPainter, CJianPuPage, CJianPuNote>;

  // A shown measure's column; the whole line when the change may reach
  // tied pieces in other measures.
  RECT ChangedArea(int measure, const CJianPuNote* note) const;
  int OriginOf(int, int barX, const StaffPlacement& placement) const { return barX + placement.noteOffset; }

  bool valid_ = false;
  int refY_ = 0;
  int textLineY_ = 0;
};

extern template class CPagedLine<CJianPuLine, CJianPuPainter, CJianPuPage, CJianPuNote>;
