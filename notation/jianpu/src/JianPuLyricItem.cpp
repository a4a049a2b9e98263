#include "JianPuLyricItem.h"

#include "GdiObjects.h"
#include "JianPuItems.h"
#include "JianPuPainter.h"

void CJianPuLyricItem::Draw(HDC dc, const JianPuFrame& f, const CJianPuLyricItem* previous) {
  drawnX_ = -1;
  if (!f.painter || IsPunctuation()) return;
  const CJianPuPainter& p = *f.painter;
  CSelectObject font(dc, p.LyricFont());
  int x = f.originX + (note_ ? note_->X() : freeX_);
  if (!note_ && previous && previous->DrawnX() >= 0) {
    SIZE size{};
    const std::string& t = previous->Text();
    if (GetTextExtentPoint32A(dc, t.data(), static_cast<int>(t.size()), &size) && previous->DrawnX() + size.cx >= x)
      x = previous->DrawnX() + size.cx + 2;
  }
  CTextStyle style(dc, sung_ ? p.HighlightColor() : p.NoteColor());
  TextOutA(dc, x, f.refY + p.LyricOffset(), text_.data(), static_cast<int>(text_.size()));
  drawnX_ = x;
}
