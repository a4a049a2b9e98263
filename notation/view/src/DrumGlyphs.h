// Percussion note glyphs: cross heads (cymbals, closed hi-hat), crosses in a
// circle (open hi-hat), diamonds for the long values, and the triangle head
// of side stick and the small instruments.
#pragma once

#include "ScoreGlyph.h"

class CCrossNote : public CScoreGlyph {
 public:
  explicit CCrossNote(const GlyphSpec& spec, int flags = 0) : CScoreGlyph(spec), flags_(flags) {}

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;
  void DrawCross(HDC dc, const StaffFrame& f, const GlyphInk& ink) const;
  int flags_;
};

class CCrossNote8 : public CCrossNote {
 public:
  explicit CCrossNote8(const GlyphSpec& spec) : CCrossNote(spec, 1) {}
};

class CCrossNote16 : public CCrossNote {
 public:
  explicit CCrossNote16(const GlyphSpec& spec) : CCrossNote(spec, 2) {}
};

// The open hi-hat: a cross in a circle.
class CCircledCrossNote : public CCrossNote {
 public:
  explicit CCircledCrossNote(const GlyphSpec& spec, int flags = 0) : CCrossNote(spec, flags) {}

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;
};

class CCircledCrossNote8 : public CCircledCrossNote {
 public:
  explicit CCircledCrossNote8(const GlyphSpec& spec) : CCircledCrossNote(spec, 1) {}
};

class CCircledCrossNote16 : public CCircledCrossNote {
 public:
  explicit CCircledCrossNote16(const GlyphSpec& spec) : CCircledCrossNote(spec, 2) {}
};

// Whole and half values of the cross heads.
class CDiamondNote : public CScoreGlyph {
 public:
  using CScoreGlyph::CScoreGlyph;

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;
  void DrawDiamond(HDC dc, const StaffFrame& f, const GlyphInk& ink) const;
};

class CCircledDiamondNote : public CDiamondNote {
 public:
  using CDiamondNote::CDiamondNote;

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;
};

// Side stick: an outlined triangle for the long values, filled from the
// quarter on.
class CTriangleNote : public CScoreGlyph {
 public:
  CTriangleNote(const GlyphSpec& spec, bool filled, int flags = 0)
      : CScoreGlyph(spec), filled_(filled), flags_(flags) {}
  bool Filled() const { return filled_; }

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;

 private:
  bool filled_;
  int flags_;
};

class CTriangleNote8 : public CTriangleNote {
 public:
  explicit CTriangleNote8(const GlyphSpec& spec) : CTriangleNote(spec, true, 1) {}
};

class CTriangleNote16 : public CTriangleNote {
 public:
  explicit CTriangleNote16(const GlyphSpec& spec) : CTriangleNote(spec, true, 2) {}
};
