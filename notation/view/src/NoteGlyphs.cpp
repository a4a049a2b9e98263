#include "NoteGlyphs.h"

#include "base/GdiHandles.h"
#include "StaffPainter.h"

void CWholeNote::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  CScoreGlyph::DrawGlyph(dc, f, ink);
  const int w = HeadWidth(*f.painter), h = f.painter->LineGap();
  const int left = HeadLeft(f), y = HeadY(f), top = y - h / 2;
  // Three outlines a pixel apart: thick at the sides, thin at top and bottom.
  base::ScopedSelect pen(dc, ink.pen1);
  for (int k = 0; k < 3; ++k)
    Arc(dc, left + k, top, left + k + w, top + h + 1, left + k + w, y, left + k + w, y);
}

void CHalfNote::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  CScoreGlyph::DrawGlyph(dc, f, ink);
  DrawOval(dc, f, ink, false);
  DrawStem(dc, f, ink, HeadWidth(*f.painter));
}

void CQuarterNote::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  CScoreGlyph::DrawGlyph(dc, f, ink);
  DrawOval(dc, f, ink, true);
  DrawStem(dc, f, ink, HeadWidth(*f.painter));
}

void CFlaggedNote::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  CQuarterNote::DrawGlyph(dc, f, ink);
  DrawFlags(dc, f, ink, StemEnd(), flags_);
}
