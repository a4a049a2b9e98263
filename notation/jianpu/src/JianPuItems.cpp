#include "JianPuItems.h"

#include <algorithm>
#include <utility>

#include "base/GdiHandles.h"
#include "JianPuPainter.h"
#include "JianPuSizes.h"

namespace {

void Stroke(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

// A 3 by 3 dot centred on (cx, cy).
void Dot(HDC dc, int cx, int cy) { Ellipse(dc, cx - 1, cy - 1, cx + 2, cy + 2); }

}  // namespace

void DrawArc(HDC dc, int x1, int x2, int y, int lift, int minSpan) {
  if (x2 < x1) std::swap(x1, x2);
  while (x2 - x1 <= minSpan) --x1, ++x2;
  const int span = x2 - x1;
  // A cubic Bezier peaks at three quarters of its control height.
  const int cy = y - (lift * 4 + 2) / 3;
  POINT pts[4] = {{x1, y}, {x1, cy}, {x2, cy}, {x2, y}};
  if (span > JianPuSizes::kArcThreshold) {
    pts[1].x = x1 + span / 3;
    pts[2].x = x2 - span / 3;
  }
  PolyBezier(dc, pts, 4);
}

// @name Digits

void CJianPuNote::DrawAccidental(HDC dc, int x, int y, int level) const {
  switch (spec_.accidental) {
    case 1: {  // sharp: two uprights, the second a pixel higher, two rising bars
      const int l = x - JianPuSizes::kSharpShift[level];
      Stroke(dc, l + 1, y - 5, l + 1, y + 6);
      Stroke(dc, l + 4, y - 6, l + 4, y + 5);
      Stroke(dc, l - 1, y - 1, l + 6, y - 3);
      Stroke(dc, l - 1, y + 3, l + 6, y + 1);
      break;
    }
    case 2: {  // flat: an upright and a bowl
      const int l = x - 7;
      Stroke(dc, l, y - 7, l, y + 4);
      POINT bowl[4] = {{l, y + 3}, {l + 6, y - 3}, {l + 6, y + 2}, {l, y + 4}};
      PolyBezier(dc, bowl, 4);
      break;
    }
    case 3: {  // natural: two uprights of 8, four apart, joined by two bars
      const int l = x - 7;
      Stroke(dc, l, y - 6, l, y + 2);
      Stroke(dc, l + 4, y - 2, l + 4, y + 6);
      Stroke(dc, l, y - 2, l + 4, y - 3);
      Stroke(dc, l, y + 2, l + 4, y + 1);
      break;
    }
    default:
      break;
  }
}

void CJianPuNote::Draw(HDC dc, const JianPuFrame& f) {
  if (!f.painter) return;
  const CJianPuPainter& p = *f.painter;
  const bool lit = Highlighted();
  const COLORREF color = lit ? p.HighlightColor() : p.NoteColor();
  base::ScopedSelect pen(dc, lit ? p.HighlightPen(1) : p.NotePen(1));
  base::ScopedSelect brush(dc, lit ? p.HighlightBrush() : p.NoteBrush());
  const int w = p.HalfDigitWidth(), h = p.DigitHeight();
  const int x = f.originX + place_.x;
  const int top = f.refY - h / 2;
  {
    base::ScopedSelect font(dc, p.DigitFont());
    base::ScopedTextStyle style(dc, color);
    TextOutA(dc, x, top, &spec_.digit, 1);
  }
  const int cx = x + w;
  for (int k = 0; k < spec_.octaveCount && k < 4; ++k) {
    if (spec_.octaveSign > 0)
      Dot(dc, cx, top + p.UpperDotOffset() - 1 - 5 * k);
    else if (spec_.octaveSign < 0)
      Dot(dc, cx, f.refY + p.LowerDotOffset() + 3 * spec_.underlines + 4 + 5 * k);
  }
  DrawAccidental(dc, x, top + h / 3, JianPuSizes::Level(p.SizeLevel()));
  if (spec_.dotted) Dot(dc, x + 3 * w + 2, f.refY + h / 4);
  for (int i = 1; i <= spec_.dashes && place_.dashStep > 0; ++i) {
    const int dx = x + place_.dashStep * i;
    Stroke(dc, dx, f.refY, dx + 2 * w, f.refY);
    Stroke(dc, dx, f.refY + 1, dx + 2 * w, f.refY + 1);
  }
  oneShot_ = false;
}

// @name Lines and arcs

void CJianPuUnderline::Draw(HDC dc, const JianPuFrame& f) {
  if (!f.painter) return;
  const CJianPuPainter& p = *f.painter;
  base::ScopedSelect pen(dc, p.NotePen(1));
  const int y = f.refY + p.LowerDotOffset() + 2 + 3 * span_.level;
  Stroke(dc, f.originX + span_.x1, y, f.originX + span_.x2, y);
}

void CJianPuTie::Draw(HDC dc, const JianPuFrame& f) {
  if (!f.painter || !first_ || !second_) return;
  const CJianPuPainter& p = *f.painter;
  const int w = p.HalfDigitWidth();
  int x1, x2;
  switch (role_) {
    case kWithin:
      x1 = f.originX + first_->X() + w;
      x2 = f.originX + second_->X() + w;
      break;
    case kIntoNext:
      x1 = f.originX + first_->X() + w;
      x2 = f.nextShown ? f.nextOriginX + second_->X() + w : f.lineEndX;
      break;
    default:
      // The previous page draws the whole tie when it is on the line.
      if (f.prevShown) return;
      x1 = f.lineStartX;
      x2 = f.originX + second_->X() + w;
      break;
  }
  // Above the octave dots of either end.
  auto above = [](const CJianPuNote* n) { return n->Spec().octaveSign > 0 ? n->Spec().octaveCount : 0; };
  const int dots = std::max(above(first_), above(second_));
  base::ScopedSelect pen(dc, p.NotePen(1));
  DrawArc(dc, x1, x2, f.refY - p.DigitHeight() / 2 - 1 - 5 * dots, kTieLift, 2);
}

void CJianPuTupletArc::Draw(HDC dc, const JianPuFrame& f) {
  if (!f.painter) return;
  const CJianPuPainter& p = *f.painter;
  const int w = p.HalfDigitWidth();
  const int x1 = f.originX + x1_ + w, x2 = f.originX + x2_ + w;
  const int y = f.refY - p.DigitHeight() / 2 - 2 - 5 * octavesAbove_;
  {
    base::ScopedSelect pen(dc, p.NotePen(1));
    DrawArc(dc, x1, x2, y, 8, 4);
  }
  base::ScopedSelect font(dc, p.ItalicFont());
  base::ScopedTextStyle style(dc, p.NoteColor(), TA_BOTTOM | TA_CENTER);
  const char label = Label();
  TextOutA(dc, (x1 + x2) / 2, y - 6, &label, 1);
}
