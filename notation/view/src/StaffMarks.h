// The marks a staff page draws besides notes and rests: ties, beams and the
// tuplet number and bracket. Positions are kept relative to the measure's
// note origin (x) and to the reference line of the staff the group sits on
// (y), so they follow the page wherever a line places it.
#pragma once

#include <string>

#include "NotationItem.h"

class CScoreGlyph;

// Where a mark sits vertically: y relative to the reference line of the
// staff of `pitch` (the lower staff of a two-staff part below 60).
struct MarkAnchor {
  int pitch = 60;
  int y = 0;
  int WindowY(const StaffFrame& f) const;
};

// A tie: a crescent of two Bezier curves, thick in the middle, from just
// outside one head to just outside the other on the side away from the
// stems, higher the longer it is.
class CTie : public CNotationItem {
 public:
  enum Span {
    kWithin,        // both notes on this page
    kToNext,        // the second note opens the next page
    kFromPrevious,  // the first note closes the previous page: drawn only when that page is not beside this
                    // one
  };
  // `length` is the tie's length in pixels as the layout expects the row to draw it.
  CTie(CScoreGlyph* first, CScoreGlyph* second, Span span, int length, int lineGap);
  void Draw(HDC dc, const StaffFrame& f) override;
  bool InkBox(const StaffFrame& f, RECT* box) const override;
  Span GetSpan() const { return span_; }
  const CScoreGlyph* First() const { return first_; }
  const CScoreGlyph* Second() const { return second_; }
  bool Above() const { return above_; }
  int Height() const { return height_; }

  // Where a tie runs for a frame: its ends, how far its middle rises or
  // sinks from them, and its thickness there.
  struct Curve {
    POINT from, to;
    int height;
    int thickness;
  };
  // False when the frame does not draw it.
  bool CurveFor(const StaffFrame& f, Curve* c) const;

 private:
  CScoreGlyph* first_;
  CScoreGlyph* second_;
  Span span_;
  bool above_;
  int height_;
};

class CBeam : public CNotationItem {
 public:
  bool InkBox(const StaffFrame& f, RECT* box) const override;
  CBeam(int x1, int x2, MarkAnchor anchor, int thickness)
      : x1_(x1), x2_(x2), anchor_(anchor), thickness_(thickness) {}
  void Draw(HDC dc, const StaffFrame& f) override;
  int X1() const { return x1_; }
  int X2() const { return x2_; }
  const MarkAnchor& Anchor() const { return anchor_; }

 private:
  int x1_, x2_;
  MarkAnchor anchor_;
  int thickness_;
};

class CTupletNumber : public CNotationItem {
 public:
  bool InkBox(const StaffFrame& f, RECT* box) const override;
  CTupletNumber(std::string text, int x, MarkAnchor anchor)
      : text_(std::move(text)), x_(x), anchor_(anchor) {}
  void Draw(HDC dc, const StaffFrame& f) override;
  const std::string& Text() const { return text_; }
  int X() const { return x_; }

 private:
  std::string text_;
  int x_;
  MarkAnchor anchor_;
};

class CTupletBracket : public CNotationItem {
 public:
  bool InkBox(const StaffFrame& f, RECT* box) const override;
  CTupletBracket(int x1, int x2, MarkAnchor anchor, bool above)
      : x1_(x1), x2_(x2), anchor_(anchor), above_(above) {}
  void Draw(HDC dc, const StaffFrame& f) override;
  int X1() const { return x1_; }
  int X2() const { return x2_; }
  bool Above() const { return above_; }
  const MarkAnchor& Anchor() const { return anchor_; }

 private:
  int x1_, x2_;
  MarkAnchor anchor_;
  bool above_;
};
