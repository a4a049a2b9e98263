#include "DrumGlyphs.h"

#include "base/GdiHandles.h"
#include "StaffPainter.h"
#include "StaffSigns.h"

namespace {

// The circle round an open hi-hat head.
void DrawRing(HDC dc, const CScoreGlyph& glyph, const StaffFrame& f, const GlyphInk& ink) {
  const int w = CScoreGlyph::HeadWidth(*f.painter), h = f.painter->LineGap();
  const int left = glyph.HeadLeft(f) - 2, top = glyph.HeadY(f) - h / 2 - 2;
  const int right = left + w + 4, bottom = top + h + 5;
  base::ScopedSelect pen(dc, ink.pen1);
  Arc(dc, left, top, right, bottom, right, top + (bottom - top) / 2, right, top + (bottom - top) / 2);
}

}  // namespace

void CCrossNote::DrawCross(HDC dc, const StaffFrame& f, const GlyphInk& ink) const {
  const int w = HeadWidth(*f.painter), h = f.painter->LineGap();
  const int left = HeadLeft(f), y = HeadY(f), top = y - h / 2, bottom = top + h;
  base::ScopedSelect pen(dc, ink.pen1);
  StrokeLine(dc, left, top, left + w, bottom + 1);
  StrokeLine(dc, left, bottom, left + w, top - 1);
}

void CCrossNote::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  CScoreGlyph::DrawGlyph(dc, f, ink);
  DrawCross(dc, f, ink);
  const POINT tip = DrawStem(dc, f, ink, HeadWidth(*f.painter));
  DrawFlags(dc, f, ink, tip, flags_);
}

void CCircledCrossNote::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  CCrossNote::DrawGlyph(dc, f, ink);
  DrawRing(dc, *this, f, ink);
}

void CDiamondNote::DrawDiamond(HDC dc, const StaffFrame& f, const GlyphInk& ink) const {
  const int w = HeadWidth(*f.painter), h = f.painter->LineGap();
  const int left = HeadLeft(f), y = HeadY(f), mid = left + w / 2;
  const POINT diamond[5] = {{left, y}, {mid, y - h / 2}, {left + w - 1, y}, {mid, y + h / 2}, {left, y}};
  base::ScopedSelect pen(dc, ink.pen1);
  Polyline(dc, diamond, 5);
}

void CDiamondNote::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  CScoreGlyph::DrawGlyph(dc, f, ink);
  DrawDiamond(dc, f, ink);
  DrawStem(dc, f, ink, HeadWidth(*f.painter));
}

void CCircledDiamondNote::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  CDiamondNote::DrawGlyph(dc, f, ink);
  DrawRing(dc, *this, f, ink);
}

void CTriangleNote::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  CScoreGlyph::DrawGlyph(dc, f, ink);
  const int w = HeadWidth(*f.painter), h = f.painter->LineGap();
  const int left = HeadLeft(f), y = HeadY(f);
  const POINT triangle[4] = {
      {left, y + h / 2}, {left + w / 2, y - h / 2}, {left + w - 1, y + h / 2}, {left, y + h / 2}};
  base::ScopedSelect pen(dc, ink.pen1);
  if (filled_) {
    base::ScopedSelect brush(dc, ink.brush);
    Polygon(dc, triangle, 3);
  } else {
    Polyline(dc, triangle, 4);
  }
  const POINT tip = DrawStem(dc, f, ink, w);
  DrawFlags(dc, f, ink, tip, flags_);
}
