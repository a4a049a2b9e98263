#include "JianPuLyricItem.h"

#include <algorithm>

#include "base/GdiHandles.h"
#include "JianPuItems.h"
#include "JianPuPainter.h"

void CJianPuLyricItem::Draw(HDC dc, const JianPuFrame& f, const CJianPuLyricItem* previous) {
  drawnX_ = -1;
  if (!f.painter || IsPunctuation()) return;
  const CJianPuPainter& p = *f.painter;
  base::ScopedSelect font(dc, p.LyricFont());
  int x = f.originX + (note_ ? note_->X() : freeX_);
  if (!note_ && previous && previous->DrawnX() >= 0) {
    SIZE size{};
    const std::string& t = previous->Text();
    if (GetTextExtentPoint32A(dc, t.data(), static_cast<int>(t.size()), &size) &&
        previous->DrawnX() + size.cx >= x)
      x = previous->DrawnX() + size.cx + 2;
  }
  base::ScopedTextStyle style(dc, sung_ ? p.HighlightColor() : p.NoteColor());
  // Large digits reach further down than the fixed offset: keep clear of
  // their underlines and a low octave dot.
  const int below = std::max(p.LyricOffset(), p.LowerDotOffset() + 12);
  TextOutA(dc, x, f.refY + below, text_.data(), static_cast<int>(text_.size()));
  drawnX_ = x;
}
