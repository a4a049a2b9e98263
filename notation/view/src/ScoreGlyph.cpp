#include "ScoreGlyph.h"

#include <algorithm>

#include "base/GdiHandles.h"
#include "StaffPainter.h"
#include "StaffSigns.h"
#include "StaffSizes.h"

namespace {

// Steps a head may take without ledger lines, by the staff it is drawn on.
void StaffRange(int kind, bool lower, int* lo, int* hi) {
  switch (kind) {
    case kBassStaff:
    case kBassOctaveStaff:
      *lo = 3, *hi = 13;
      break;
    case kGrandStaff:
      if (lower)
        *lo = 3, *hi = 13;
      else
        *lo = 1, *hi = 11;
      break;
    case kAltoStaff:
      *lo = -5, *hi = 5;
      break;
    case kTenorStaff:
      *lo = -7, *hi = 3;
      break;
    default:
      *lo = 1, *hi = 11;
      break;
  }
}

}  // namespace

int CScoreGlyph::HeadWidth(const CStaffPainter& p) {
  return StaffSizes::kHeadWidth[StaffSizes::Level(p.SizeLevel())];
}

int CScoreGlyph::StaffRef(const StaffFrame& f) const {
  return f.geometry.RefFor(f.painter->StaffKind(), spec_.pitch);
}

int CScoreGlyph::HeadY(const StaffFrame& f) const {
  return StaffGeometry::StepY(StaffRef(f), spec_.step, f.painter->LineGap());
}

int CScoreGlyph::AccidentalGap(int g) const {
  if (spec_.accidental <= 0) return 0;
  return spec_.accidentalGap > 0 ? spec_.accidentalGap : 2 + CStaffSigns::Width(spec_.accidental, g);
}

RECT CScoreGlyph::Bounds(const StaffFrame& f) const {
  const CStaffPainter& p = *f.painter;
  const int g = p.LineGap(), w = HeadWidth(p), left = HeadLeft(f), y = HeadY(f);
  const int stem = (spec_.stemLength > 0 ? spec_.stemLength : 4 * g) + 2 * g;
  return {left - AccidentalGap(g) - 8, y - stem, left + w + 2 * g + 4, y + stem + 1};
}

RECT CScoreGlyph::HeadBox(const StaffFrame& f) const {
  const CStaffPainter& p = *f.painter;
  const int g = p.LineGap(), left = HeadLeft(f), y = HeadY(f);
  return {left, y - g / 2 - 1, left + HeadWidth(p), y + g / 2 + 2};
}

RECT CScoreGlyph::AccidentalBox(const StaffFrame& f) const {
  if (spec_.accidental <= 0) return {0, 0, 0, 0};
  const int g = f.painter->LineGap(), y = HeadY(f);
  const int x = HeadLeft(f) - AccidentalGap(g);
  // Sharps and naturals reach a gap above and below, a flat's stem a gap and a half up.
  return {x, y - 3 * g / 2 - 1, x + CStaffSigns::Width(spec_.accidental, g) + 1, y + g + 2};
}

void CScoreGlyph::VerticalInk(int y, int g, int strokes, int defaultStem, int* top, int* bottom) const {
  *top = y - g / 2 - 1, *bottom = y + g / 2 + 2;
  if (spec_.hasStem && strokes > 0) {
    const int len = spec_.stemLength > 0 ? spec_.stemLength : defaultStem;
    if (spec_.stemDown)
      *bottom = std::max(*bottom, y + len + 1);
    else
      *top = std::min(*top, y - len);
  }
  // As AccidentalBox.
  if (spec_.accidental > 0) *top = std::min(*top, y - 3 * g / 2 - 1), *bottom = std::max(*bottom, y + g + 2);
}

RECT CScoreGlyph::InkBox(const StaffFrame& f) const {
  const CStaffPainter& p = *f.painter;
  const int level = StaffSizes::Level(p.SizeLevel());
  RECT box = HeadBox(f);
  int lo = 0, hi = 0;
  StaffRange(p.StaffKind(), f.geometry.UsesLowerStaff(p.StaffKind(), spec_.pitch), &lo, &hi);
  if (spec_.step < lo || spec_.step > hi) {
    const int x1 = HeadLeft(f) - 4;
    box.left = std::min<LONG>(box.left, x1);
    box.right = std::max<LONG>(box.right, x1 + StaffSizes::kLedgerWidth[level]);
  }
  if (spec_.accidental > 0) {
    const RECT sign = AccidentalBox(f);
    box.left = std::min(box.left, sign.left);
  }
  int top = 0, bottom = 0;
  VerticalInk(HeadY(f), p.LineGap(), p.StrokeThickness(), StaffSizes::kStemLength[level], &top, &bottom);
  box.top = top, box.bottom = bottom;
  return box;
}

GlyphInk CScoreGlyph::Ink(const StaffFrame& f) const {
  const CStaffPainter& p = *f.painter;
  if (Highlighted()) return {p.HighlightPen(1), p.HighlightPen(2), p.HighlightBrush(), p.HighlightColor()};
  return {p.NotePen(1), p.NotePen(2), p.NoteBrush(), p.NoteColor()};
}

void CScoreGlyph::Draw(HDC dc, const StaffFrame& f) {
  if (f.painter) DrawGlyph(dc, f, Ink(f));
  oneShot_ = false;
}

void CScoreGlyph::DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink) {
  const CStaffPainter& p = *f.painter;
  const int level = StaffSizes::Level(p.SizeLevel());
  const int g = p.LineGap();
  const int left = HeadLeft(f), y = HeadY(f), w = HeadWidth(p);
  DrawLedgerLines(dc, f);
  if (spec_.accidental > 0) {
    const int x = left - AccidentalGap(g);
    CStaffSigns::Draw(dc, spec_.accidental, x, y, g, {ink.pen1, ink.pen2, ink.brush});
  }
  if (spec_.dotted) {
    const int d = StaffSizes::kDotDiameter[level];
    // A head on a line puts its dot in the space above.
    const int raise = (spec_.step % 2 == 0) ? g / 2 : StaffSizes::kDotRaise[level];
    const int dx = left + w + 2, dy = y - raise - d / 2;
    base::ScopedSelect pen(dc, ink.pen1);
    base::ScopedSelect brush(dc, ink.brush);
    Ellipse(dc, dx, dy, dx + d, dy + d);
  }
}

void CScoreGlyph::DrawLedgerLines(HDC dc, const StaffFrame& f) const {
  const CStaffPainter& p = *f.painter;
  const int strokes = p.StrokeThickness();
  if (strokes <= 0) return;
  int lo = 0, hi = 0;
  StaffRange(p.StaffKind(), f.geometry.UsesLowerStaff(p.StaffKind(), spec_.pitch), &lo, &hi);
  if (spec_.step >= lo && spec_.step <= hi) return;
  const int level = StaffSizes::Level(p.SizeLevel());
  const int g = p.LineGap(), ref = StaffRef(f);
  const int x1 = HeadLeft(f) - 4, x2 = x1 + StaffSizes::kLedgerWidth[level];
  base::ScopedSelect pen(dc, p.LinePen());
  // Ledger lines lie on the steps of the staff lines' parity, between the
  // staff and the head.
  auto line = [&](int step) {
    const int y = StaffGeometry::StepY(ref, step, g);
    for (int k = 0; k < strokes; ++k) StrokeLine(dc, x1, y + k, x2, y + k);
  };
  if (spec_.step < lo)
    for (int s = lo - 1; s >= spec_.step; s -= 2) line(s);
  else
    for (int s = hi + 1; s <= spec_.step; s += 2) line(s);
}

POINT CScoreGlyph::DrawStem(HDC dc, const StaffFrame& f, const GlyphInk& ink, int w) {
  const int strokes = f.painter->StrokeThickness();
  const int left = HeadLeft(f), y = HeadY(f);
  const int len = spec_.stemLength > 0 ? spec_.stemLength
                                       : StaffSizes::kStemLength[StaffSizes::Level(f.painter->SizeLevel())];
  POINT tip;
  if (spec_.stemDown)
    tip = {left, y + len};
  else
    tip = {left + w - 1, y - len};
  if (spec_.hasStem && strokes > 0) {
    base::ScopedSelect pen(dc, ink.pen1);
    for (int k = 0; k < strokes; ++k) {
      const int x = spec_.stemDown ? tip.x + k : tip.x - k;
      StrokeLine(dc, x, y, x, tip.y);
    }
  }
  stemEnd_ = tip;
  return tip;
}

void CScoreGlyph::DrawFlags(HDC dc, const StaffFrame& f, const GlyphInk& ink, POINT tip, int count) const {
  if (!spec_.hasStem || f.painter->StrokeThickness() <= 0) return;
  const int level = StaffSizes::Level(f.painter->SizeLevel());
  const int len = StaffSizes::kFlagLength[level], w = StaffSizes::kHeadWidth[level];
  const int dir = spec_.stemDown ? -1 : 1;  // flags hang toward the head
  base::ScopedSelect pen(dc, ink.pen1);
  for (int n = 0; n < count; ++n) {
    const int y0 = tip.y + dir * n * (f.painter->LineGap() - 1);
    for (int k = 0; k < 2; ++k) {
      const POINT flag[4] = {{tip.x, y0 + dir * k},
                             {tip.x + 1, y0 + dir * (len * 2 / 5 + k)},
                             {tip.x + w + 1, y0 + dir * (len / 2)},
                             {tip.x + w - 1, y0 + dir * len}};
      PolyBezier(dc, flag, 4);
    }
  }
}

void CScoreGlyph::DrawOval(HDC dc, const StaffFrame& f, const GlyphInk& ink, bool filled) const {
  const CStaffPainter& p = *f.painter;
  const int w = HeadWidth(p), h = p.LineGap();
  const int left = HeadLeft(f), right = left + w - 1, y = HeadY(f);
  // Control offset of a Bezier half-ellipse: with the slant the head is one
  // line gap tall, so that a head in a space leaves the staff lines whole.
  const int k = h / 2 + 1;
  // Slanted up to the right, as printed heads are.
  const POINT oval[7] = {{left, y + 1},      {left, y + 1 - k}, {right, y - 1 - k}, {right, y - 1},
                         {right, y - 1 + k}, {left, y + 1 + k}, {left, y + 1}};
  base::ScopedSelect pen(dc, ink.pen1);
  if (filled) {
    base::ScopedSelect brush(dc, ink.brush);
    BeginPath(dc);
    MoveToEx(dc, oval[0].x, oval[0].y, nullptr);
    PolyBezierTo(dc, oval + 1, 6);
    CloseFigure(dc);
    EndPath(dc);
    StrokeAndFillPath(dc);
    return;
  }
  // An open head: the outline again one pixel inward, three times at the
  // largest size, for the thick sides of a printed half note.
  const int rings = p.SizeLevel() >= 3 ? 3 : 2;
  for (int r = 0; r < rings; ++r) {
    POINT ring[7];
    for (int i = 0; i < 7; ++i) ring[i] = oval[i];
    ring[0].x += r, ring[1].x += r, ring[5].x += r, ring[6].x += r;
    ring[2].x -= r, ring[3].x -= r, ring[4].x -= r;
    PolyBezier(dc, ring, 7);
  }
}
