// Rests. Whole rests hang from the fourth staff line, the others stand on or
// around the middle line of the staff they belong to; the glyph's pitch only
// chooses that staff on a two-staff part.
#pragma once

#include "ScoreGlyph.h"

class CRestGlyph : public CScoreGlyph {
 public:
  using CScoreGlyph::CScoreGlyph;
  // y of the fourth line (counted from the bottom) of the rest's staff.
  int FourthLineY(const StaffFrame& f) const;
  int MiddleLineY(const StaffFrame& f) const;

 protected:
  void DrawDot(HDC dc, const StaffFrame& f, const GlyphInk& ink, int x, int y) const;
};

class CWholeRest : public CRestGlyph {
 public:
  using CRestGlyph::CRestGlyph;

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;
};

class CHalfRest : public CRestGlyph {
 public:
  using CRestGlyph::CRestGlyph;

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;
};

// The music font's quarter rest.
class CQuarterRest : public CRestGlyph {
 public:
  static constexpr char kGlyph = static_cast<char>(222);
  using CRestGlyph::CRestGlyph;

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;
};

// A slanted stroke with one hook (eighth) or two (sixteenth).
class CHookedRest : public CRestGlyph {
 public:
  CHookedRest(const GlyphSpec& spec, int hooks) : CRestGlyph(spec), hooks_(hooks) {}

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;

 private:
  int hooks_;
};

class CEighthRest : public CHookedRest {
 public:
  explicit CEighthRest(const GlyphSpec& spec) : CHookedRest(spec, 1) {}
};

class CSixteenthRest : public CHookedRest {
 public:
  explicit CSixteenthRest(const GlyphSpec& spec) : CHookedRest(spec, 2) {}
};
