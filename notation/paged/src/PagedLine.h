// What the rows of the staff and the numbered view have in common: a run of
// consecutive measures from a first measure, fitted into the row's
// rectangle, the measures' placements lent from the page controller's pool,
// and the routing of note and lyric events to the pages they concern. The
// pages belong to the part's painter.
//
// Derived (CRTP) supplies ChangedArea(measure, glyph), the window area to
// repaint when a glyph of a shown measure changes its look, and
// OriginOf(measure, barX, placement), the window x of the measure's tick 0. Members that
// need the page whole are in PagedLineImpl.h, instantiated beside the row.
#pragma once

#include <windows.h>

#include <vector>

#include "LineSignature.h"
#include "LineFrame.h"

template <class Derived, class Painter, class PageT, class Glyph>
class CPagedLine {
 public:
  static constexpr int kLeftMargin = 5;

  CPagedLine(Painter* painter, const RECT& rect) : painter_(painter), rect_(rect) {}
  CPagedLine(const CPagedLine&) = delete;
  CPagedLine& operator=(const CPagedLine&) = delete;

  // @name Set-up
  void SetShared(std::vector<StaffPlacement>* pool, LineSignature* signature) {
    pool_ = pool ? pool : &ownPool_;
    signature_ = signature ? signature : &ownSignature_;
  }
  // Ignored for an index beyond the part's pages.
  void SetFirstMeasure(int index) {
    if (index >= 0 && index < PageCount()) first_ = index;
  }
  // Takes the first line's run of measures.
  void TakeCount(int count, bool fits) { count_ = count, fits_ = fits; }

  // @name State
  Painter* Part() const { return painter_; }
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
  PageT* Page(int measure) const;
  // Window x where the note area starts: left edge plus margin.
  int NoteAreaLeft() const { return rect_.left + kLeftMargin; }

  // @name Play events
  // Window area whose look changed (empty when nothing did).
  RECT NoteOn(int pitch, int tick, bool flag);
  RECT NoteOff(int pitch, int tick);
  void MarkLyric(int tick);
  void UnmarkLyrics(int tick);

 protected:
  // Counts the measures that fit from the first one after a header of the
  // given width, the first page giving up `own` of its width to the line,
  // and fills the placement pool and the shared signature record.
  void FitRun(int header, int own);
  // The frame fields both views share, for a counted measure; false when
  // the measure is not counted. Neighbours and line end are the drawn ones.
  bool PlaceFrame(int measure, LineFrame* frame) const;
  // Window x where the drawn measures end.
  int DrawnEnd() const;
  // The page holding the tick, searched from the first shown page; -1 when none.
  int PageOfTick(int tick, bool startBelongsBefore) const;

  Painter* painter_;
  RECT rect_;
  int first_ = 0;
  int count_ = 0;
  bool fits_ = false;
  int counter_ = 0;
  std::vector<StaffPlacement>* pool_ = &ownPool_;
  LineSignature* signature_ = &ownSignature_;

 private:
  LineSignature ownSignature_;
  std::vector<StaffPlacement> ownPool_;
};
