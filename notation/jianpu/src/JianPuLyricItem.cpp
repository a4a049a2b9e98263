#include "JianPuLyricItem.h"

#include "base/GdiHandles.h"
#include "JianPuItems.h"
#include "JianPuPainter.h"

int CJianPuLyricItem::Top(const JianPuFrame& f) const {
  return f.refY + (f.painter ? f.painter->LyricTop() : 0) + line_ * kLyricLineHeight;
}

void CJianPuLyricItem::Draw(HDC dc, const JianPuFrame& f, const CJianPuLyricItem* previous) {
  drawnX_ = -1;
  if (!f.painter || IsPunctuation()) return;
  const CJianPuPainter& p = *f.painter;
  base::ScopedSelect font(dc, p.LyricFont());
  int x = f.originX + (note_ ? note_->X() : freeX_);
  if (IsVerseNumber(text_)) {
    // In front of the syllable it numbers, which is drawn at this x.
    SIZE size{};
    if (GetTextExtentPoint32A(dc, text_.data(), static_cast<int>(text_.size()), &size)) x -= size.cx + 4;
  } else if (!note_ && previous && previous->DrawnX() >= 0) {
    SIZE size{};
    const std::string& t = previous->Text();
    if (GetTextExtentPoint32A(dc, t.data(), static_cast<int>(t.size()), &size) &&
        previous->DrawnX() + size.cx >= x)
      x = previous->DrawnX() + size.cx + 2;
  }
  base::ScopedTextStyle style(dc, sung_ ? p.HighlightColor() : p.NoteColor());
  TextOutA(dc, x, Top(f), text_.data(), static_cast<int>(text_.size()));
  drawnX_ = x;
}
