#include "RestGlyphs.h"

#include "base/GdiHandles.h"
#include "MusicFont.h"
#include "StaffPainter.h"
#include "StaffSigns.h"
#include "StaffSizes.h"

int CRestGlyph::FourthLineY(const StaffFrame& f) const {
  const int g = f.painter->LineGap();
  const int kind = f.painter->StaffKind();
  const int ref = StaffRef(f);
  if (f.geometry.UsesLowerStaff(kind, Pitch())) return ref - 5 * g;
  switch (kind) {
    case kBassStaff:
    case kBassOctaveStaff:
      return ref - 5 * g;
    case kAltoStaff:
      return ref - g;
    case kTenorStaff:
      return ref;
    default:
      return ref - 4 * g;
  }
}

int CRestGlyph::MiddleLineY(const StaffFrame& f) const { return FourthLineY(f) + f.painter->LineGap(); }

void CRestGlyph::DrawDot(HDC dc, const StaffFrame& f, const GlyphInk& ink, int x, int y) const {
  if (!Spec().dotted) return;
  const int d = StaffSizes::kDotDiameter[StaffSizes::Level(f.painter->SizeLevel())];
  base::ScopedSelect pen(dc, ink.pen1);
  base::ScopedSelect brush(dc, ink.brush);
  Ellipse(dc, x, y - d / 2, x + d, y - d / 2 + d);
}

void CWholeRest::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  const int level = StaffSizes::Level(f.painter->SizeLevel());
  const int x = HeadLeft(f), y = FourthLineY(f);
  const RECT r{x, y, x + StaffSizes::kWholeRestWidth[level], y + StaffSizes::kWholeRestHeight[level]};
  FillRect(dc, &r, ink.brush);
}

void CHalfRest::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  const int level = StaffSizes::Level(f.painter->SizeLevel());
  const int x = HeadLeft(f), y = MiddleLineY(f);
  const RECT r{x, y - StaffSizes::kWholeRestHeight[level], x + StaffSizes::kWholeRestWidth[level], y + 1};
  FillRect(dc, &r, ink.brush);
  DrawDot(dc, f, ink, r.right + 2, y - f.painter->LineGap() / 2);
}

void CQuarterRest::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  const int level = StaffSizes::Level(f.painter->SizeLevel());
  const int x = HeadLeft(f), mid = MiddleLineY(f);
  {
    base::ScopedSelect font(dc, f.painter->SymbolFont());
    base::ScopedTextStyle style(dc, ink.color);
    CMusicFont::DrawSymbol(dc, kGlyph, x, mid, mid + StaffSizes::kQuarterRestY[level]);
  }
  DrawDot(dc, f, ink, x + StaffSizes::kQuarterRestDotX[level], mid + StaffSizes::kQuarterRestDotY[level]);
}

void CHookedRest::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  const int g = f.painter->LineGap();
  const int x = HeadLeft(f), mid = MiddleLineY(f);
  const int top = mid - g + 1, bottom = mid + g * hooks_;
  const int right = x + g - 1 + hooks_ - 1;
  base::ScopedSelect pen(dc, ink.pen1);
  base::ScopedSelect brush(dc, ink.brush);
  StrokeLine(dc, right, top, right - hooks_ * g / 2 - 1, bottom);
  for (int h = 0; h < hooks_; ++h) {
    // Each hook: a blob on the left, curving up into the stroke.
    const int hy = top + h * g, hx = x - h;
    Ellipse(dc, hx, hy - 1, hx + 4, hy + 3);
    const int sx = right - (h * g) / 2;
    const POINT hook[4] = {{hx + 1, hy + 2}, {hx + 3, hy + 4}, {sx - 2, hy + 3}, {sx, hy}};
    PolyBezier(dc, hook, 4);
  }
  DrawDot(dc, f, ink, right + 2, top + g / 2);
}
