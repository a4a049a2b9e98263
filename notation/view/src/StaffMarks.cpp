#include "StaffMarks.h"

#include "base/GdiHandles.h"
#include "ScoreGlyph.h"
#include "StaffPainter.h"
#include "StaffSigns.h"
#include "StaffSizes.h"

int MarkAnchor::WindowY(const StaffFrame& f) const {
  return f.geometry.RefFor(f.painter->StaffKind(), pitch) + y;
}

void CTie::Draw(HDC dc, const StaffFrame& f) {
  if (!f.painter || !first_) return;
  const int g = f.painter->LineGap();
  const int w = CScoreGlyph::HeadWidth(*f.painter);
  // The arc bows away from the stems.
  const int bow = first_->StemDown() ? -(g / 2 + 2) : g / 2 + 2;
  int x1, y1, x2, y2;
  switch (span_) {
    case kWithin:
      if (!second_) return;
      x1 = first_->HeadLeft(f) + w + 1, y1 = first_->HeadY(f);
      x2 = second_->HeadLeft(f) - 1, y2 = second_->HeadY(f);
      break;
    case kToNext:
      x1 = first_->HeadLeft(f) + w + 1, y1 = first_->HeadY(f);
      if (f.nextShown && second_)
        x2 = f.nextOriginX + second_->X() - 1, y2 = y1;
      else
        x2 = f.lineEndX - 2, y2 = y1;  // half an arc toward the end of the line
      break;
    case kFromPrevious:
    default:
      if (f.prevShown || !second_) return;  // the previous page drew the whole arc
      y2 = second_->HeadY(f), x2 = second_->HeadLeft(f) - 1;
      x1 = f.barX + f.placement.noteOffset + 1, y1 = y2;
      break;
  }
  if (x2 <= x1) x2 = x1 + 2;
  y1 += bow / 2, y2 += bow / 2;
  const int third = (x2 - x1) / 3;
  base::ScopedSelect pen(dc, f.painter->NotePen(1));
  for (int k = 0; k < 2; ++k) {
    const int b = bow > 0 ? bow - k : bow + k;
    const POINT arc[4] = {{x1, y1}, {x1 + third, y1 + b}, {x2 - third, y2 + b}, {x2, y2}};
    PolyBezier(dc, arc, 4);
  }
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
