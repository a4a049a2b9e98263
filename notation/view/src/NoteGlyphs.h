// Note glyphs with oval heads, whole to sixteenth.
#pragma once

#include "ScoreGlyph.h"

class CWholeNote : public CScoreGlyph {
 public:
  using CScoreGlyph::CScoreGlyph;

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;
};

class CHalfNote : public CScoreGlyph {
 public:
  using CScoreGlyph::CScoreGlyph;

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;
};

class CQuarterNote : public CScoreGlyph {
 public:
  using CScoreGlyph::CScoreGlyph;

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;
};

// A quarter head with one flag (eighth) or two (sixteenth).
class CFlaggedNote : public CQuarterNote {
 public:
  CFlaggedNote(const GlyphSpec& spec, int flags) : CQuarterNote(spec), flags_(flags) {}

 protected:
  void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) override;

 private:
  int flags_;
};

class CEighthNote : public CFlaggedNote {
 public:
  explicit CEighthNote(const GlyphSpec& spec) : CFlaggedNote(spec, 1) {}
};

class CSixteenthNote : public CFlaggedNote {
 public:
  explicit CSixteenthNote(const GlyphSpec& spec) : CFlaggedNote(spec, 2) {}
};
