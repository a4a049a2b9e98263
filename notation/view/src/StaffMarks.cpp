#include "StaffMarks.h"

#include <algorithm>

#include "base/GdiHandles.h"
#include "ScoreGlyph.h"
#include "StaffPainter.h"
#include "StaffSigns.h"
#include "StaffSizes.h"

int MarkAnchor::WindowY(const StaffFrame& f) const {
  return f.geometry.RefFor(f.painter->StaffKind(), pitch) + y;
}

CTie::CTie(CScoreGlyph* first, CScoreGlyph* second, Span span, int length, int g)
    : first_(first),
      second_(second),
      span_(span),
      above_(first && first->StemDown()),
      // Flat for neighbours, rising with the length up to a gap and a half.
      height_(std::min(3 * g / 2, std::max(g / 2, length / 10))) {}

bool CTie::CurveFor(const StaffFrame& f, Curve* c) const {
  if (!f.painter || !first_) return false;
  const int g = f.painter->LineGap();
  const int w = CScoreGlyph::HeadWidth(*f.painter);
  // The ends lie just outside the heads' ink, above or below their middles.
  const int off = above_ ? -(g / 2 + 2) : g / 2 + 3;
  int x1, x2, y;
  switch (span_) {
    case kWithin:
      if (!second_) return false;
      x1 = first_->HeadLeft(f) + w / 2 + 1, x2 = second_->HeadLeft(f) + w / 2 - 1;
      y = first_->HeadY(f);
      break;
    case kToNext:
      x1 = first_->HeadLeft(f) + w / 2 + 1, y = first_->HeadY(f);
      if (f.nextShown && second_)
        x2 = f.nextOriginX + second_->X() + w / 2 - 1;
      else
        x2 = f.lineEndX - 2;  // half an arc toward the end of the line
      break;
    case kFromPrevious:
    default:
      if (f.prevShown || !second_) return false;  // the previous page drew the whole arc
      x2 = second_->HeadLeft(f) + w / 2 - 1, y = second_->HeadY(f);
      x1 = f.barX + f.placement.noteOffset + 1;
      break;
  }
  if (x2 < x1 + 4) x2 = x1 + 4;
  const int level = StaffSizes::Level(f.painter->SizeLevel());
  c->from = {x1, y + off};
  c->to = {x2, y + off};
  c->height = height_;
  c->thickness = level >= 2 ? 3 : 2;
  return true;
}

bool CTie::InkBox(const StaffFrame& f, RECT* box) const {
  Curve c;
  if (!CurveFor(f, &c)) return false;
  const int dir = above_ ? -1 : 1;
  const int peak = c.from.y + dir * (c.height + 1);
  *box = {c.from.x, std::min<int>(c.from.y, peak), c.to.x + 1, std::max<int>(c.from.y, peak) + 1};
  return true;
}

void CTie::Draw(HDC dc, const StaffFrame& f) {
  Curve c;
  if (!CurveFor(f, &c)) return;
  const int dir = above_ ? -1 : 1;
  // A cubic's middle reaches three quarters of its control points' offset.
  const int outer = dir * c.height * 4 / 3, inner = dir * (c.height - c.thickness + 1) * 4 / 3;
  const int quarter = (c.to.x - c.from.x) / 4;
  const POINT path[6] = {
      {c.from.x + quarter, c.from.y + outer}, {c.to.x - quarter, c.to.y + outer},     c.to,
      {c.to.x - quarter, c.to.y + inner},     {c.from.x + quarter, c.from.y + inner}, c.from};
  base::ScopedSelect pen(dc, f.painter->NotePen(1));
  base::ScopedSelect brush(dc, f.painter->NoteBrush());
  BeginPath(dc);
  MoveToEx(dc, c.from.x, c.from.y, nullptr);
  PolyBezierTo(dc, path, 6);
  CloseFigure(dc);
  EndPath(dc);
  StrokeAndFillPath(dc);
}

bool CBeam::InkBox(const StaffFrame& f, RECT* box) const {
  const int y = anchor_.WindowY(f);
  *box = {f.originX + x1_, y - thickness_ + 1, f.originX + x2_ + 1, y + 1};
  return true;
}

bool CTupletNumber::InkBox(const StaffFrame& f, RECT* box) const {
  const int y = anchor_.WindowY(f);
  const int height = -StaffSizes::kOctaveFontHeight[StaffSizes::Level(f.painter->SizeLevel())];
  *box = {f.originX + x_, y, f.originX + x_ + height * static_cast<int>(text_.size()), y + height + 3};
  return true;
}

bool CTupletBracket::InkBox(const StaffFrame& f, RECT* box) const {
  const int y = anchor_.WindowY(f);
  *box = {f.originX + x1_, y - 5, f.originX + x2_ + 1, y + 6};
  return true;
}

void CBeam::Draw(HDC dc, const StaffFrame& f) {
  if (!f.painter) return;
  const int y = anchor_.WindowY(f);
  base::ScopedSelect pen(dc, f.painter->NotePen(1));
  for (int k = 0; k < thickness_; ++k) StrokeLine(dc, f.originX + x1_, y - k, f.originX + x2_ + 1, y - k);
}

void CTupletNumber::Draw(HDC dc, const StaffFrame& f) {
  if (!f.painter) return;
  base::ScopedSelect font(dc, f.painter->OctaveFont());
  base::ScopedTextStyle style(dc, f.painter->NoteColor());
  TextOutA(dc, f.originX + x_, anchor_.WindowY(f), text_.data(), static_cast<int>(text_.size()));
}

void CTupletBracket::Draw(HDC dc, const StaffFrame& f) {
  if (!f.painter) return;
  const int y = anchor_.WindowY(f);
  const int x1 = f.originX + x1_, x2 = f.originX + x2_, mid = x1 + (x2 - x1) / 2;
  const int hook = above_ ? 5 : -5;  // toward the notes
  base::ScopedSelect pen(dc, f.painter->NotePen(1));
  StrokeLine(dc, x1, y + hook, x1, y);
  StrokeLine(dc, x1, y, mid - 3, y);
  StrokeLine(dc, mid + 3, y, x2, y);
  StrokeLine(dc, x2, y, x2, y + hook);
}
