// The row of one part in the numbered view: a run of consecutive measures
// from a first measure, fitted into the line's rectangle, with the key text
// and time signature above the first digits and the heavy end when the row
// ends the piece. The pages belong to the part's painter; the line lends
// each page its placement from the page controller's shared pool.
#pragma once

#include <windows.h>

#include <vector>

#include "JianPuFrame.h"
#include "LineSignature.h"

class CJianPuPainter;
class CJianPuPage;

class CJianPuLine {
public:
  using Frame = JianPuFrame;
  static constexpr int kLeftMargin = 5;

  CJianPuLine(CJianPuPainter* painter, const RECT& rect);
  CJianPuLine(const CJianPuLine&) = delete;
  CJianPuLine& operator=(const CJianPuLine&) = delete;

  // @name Set-up
  void SetRect(const RECT& rect);
  void SetShared(std::vector<StaffPlacement>* pool, LineSignature* signature);
  // Ignored for an index beyond the part's pages.
  void SetFirstMeasure(int index);
  void Fit();
  void TakeCount(int count, bool fits) { count_ = count, fits_ = fits; }
  void UpdateStaffPosition();

  // @name State
  CJianPuPainter* Part() const { return painter_; }
  const RECT& Rect() const { return rect_; }
  int FirstMeasure() const { return first_; }
  int Count() const { return count_; }
  bool Fits() const { return fits_; }
  // Measures actually drawn: the counted measure that runs past the right
  // edge is left out unless it is the only one; the next page opens with it.
  int DrawnCount() const { return fits_ || count_ <= 1 ? count_ : count_ - 1; }
  bool Draws(int measure) const { return measure >= first_ && measure < first_ + DrawnCount(); }
  int Counter() const { return counter_; }
  void SetCurrentMeasure(int value) { counter_ = value; }
  int PageCount() const;
  CJianPuPage* Page(int measure) const;
  // y of the digits' centre line; the text line lies 12 above the middle.
  int ReferenceY() const { return refY_; }
  int TextLineY() const { return textLineY_; }
  int NoteAreaLeft() const { return rect_.left + kLeftMargin; }
  // The frame a counted page is painted and measured with; false when the
  // measure is not counted. Its neighbours and line end are the drawn ones.
  bool FrameFor(int measure, JianPuFrame* frame) const;

  // @name Play events
  // Each returns the window area whose drawing changed (empty when none).
  RECT NoteOn(int pitch, int tick, bool flag);
  RECT NoteOff(int pitch, int tick);
  void MarkLyric(int tick);
  void UnmarkLyrics(int tick);

  void Paint(HDC dc);

private:
  // A shown measure's column; the whole line when the change may reach
  // tied pieces in other measures.
  RECT ChangedArea(int measure, bool tied) const;
  int PageOfTick(int tick, bool startBelongsBefore) const;

  CJianPuPainter* painter_;
  RECT rect_;
  int first_ = 0;
  int count_ = 0;
  bool fits_ = false;
  int counter_ = 0;
  bool valid_ = false;
  int refY_ = 0;
  int textLineY_ = 0;
  std::vector<StaffPlacement>* pool_ = nullptr;
  LineSignature* signature_ = nullptr;
  LineSignature ownSignature_;
  std::vector<StaffPlacement> ownPool_;
};
