#include "LyricItem.h"

#include "base/GdiHandles.h"
#include "ScoreGlyph.h"
#include "StaffPainter.h"

CLyricItem::CLyricItem(const CScoreGlyph* note, const std::string& text, int tick)
    : note_(note), text_(text), tick_(tick) {}

CLyricItem::CLyricItem(int startTick, int barTicks, const std::string& text, int tick)
    : startTick_(startTick), barTicks_(barTicks), text_(text), tick_(tick) {}

bool CLyricItem::GetX(const StaffFrame& f, int* x) const {
  if (IsPunctuation()) return false;
  if (note_) {
    *x = note_->HeadLeft(f);
    return true;
  }
  // A free syllable: in proportion to its place in the measure's note area.
  const int area = f.barX + f.placement.width - f.originX;
  const int d = tick_ > startTick_ ? tick_ - startTick_ : 0;
  *x = f.originX +
       (barTicks_ > 0 && area > 0 ? static_cast<int>(static_cast<long long>(area) * d / barTicks_) : 0);
  return true;
}

void CLyricItem::Draw(HDC dc, const StaffFrame& f, const CLyricItem* previous) {
  drawnX_ = -1;
  int x = 0;
  if (!f.painter || !GetX(f, &x)) return;
  const CStaffPainter& p = *f.painter;
  base::ScopedSelect font(dc, p.LyricFont());
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
