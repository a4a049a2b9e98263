#include "ScorePainter.h"

HFONT CreatePainterFont(int height, int weight, BYTE charset, BYTE pitchFamily, const char* face) {
  return CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, charset, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitchFamily, face);
}

CScorePainter::CScorePainter()
    : textFont_(CreatePainterFont(-12, FW_NORMAL, DEFAULT_CHARSET, FF_SWISS, "Arial")),
      trackFont_(CreatePainterFont(-9, FW_NORMAL, DEFAULT_CHARSET, FF_SWISS, "Arial")),
      lyricFont_(CreatePainterFont(-11, FW_MEDIUM, DEFAULT_CHARSET, FF_SWISS, "Arial Bold")) {
  RefreshNotePens();
  RefreshHighlightPens();
}

CScorePainter::~CScorePainter() = default;

void CScorePainter::Init(HWND window, int track, int sizeLevel, int staffKind) {
  window_ = window;
  track_ = track;
  SetKind(staffKind);
  SetSizeIndex(sizeLevel);
}

void CScorePainter::SetSizeIndex(int level) {
  if (level < 0 || level > 3) return;
  sizeLevel_ = level;
}

void CScorePainter::SetNoteColor(COLORREF c) {
  noteColor_ = c;
  RefreshNotePens();
}

void CScorePainter::SetHighlightColor(COLORREF c) {
  highlightColor_ = c;
  RefreshHighlightPens();
}

void CScorePainter::RefreshNotePens() {
  notePen1_.Attach(CreatePen(PS_SOLID, 1, noteColor_));
  notePen2_.Attach(CreatePen(PS_SOLID, 2, noteColor_));
  noteBrush_.Attach(CreateSolidBrush(noteColor_));
}

void CScorePainter::RefreshHighlightPens() {
  highlightPen1_.Attach(CreatePen(PS_SOLID, 1, highlightColor_));
  highlightPen2_.Attach(CreatePen(PS_SOLID, 2, highlightColor_));
  highlightBrush_.Attach(CreateSolidBrush(highlightColor_));
}

void CScorePainter::MeasureLyricWidths(const std::vector<std::string>& texts, std::vector<int>* widths) {
  widths->assign(texts.size(), 0);
  // Making a DC and selecting the font costs more than measuring a syllable:
  // one DC serves the whole song.
  base::ScopedMemoryDC dc;
  if (!dc.Get()) return;
  base::ScopedSelect font(dc.Get(), lyricFont_.Get());
  for (size_t i = 0; i < texts.size(); ++i) {
    const std::string& text = texts[i];
    SIZE size{};
    if (!text.empty() && GetTextExtentPoint32A(dc.Get(), text.data(), static_cast<int>(text.size()), &size))
      (*widths)[i] = size.cx;
  }
}

const char* CScorePainter::DenominatorText(int beatTicks) {
  switch (beatTicks) {
    case 15:
      return "32";
    case 30:
      return "16";
    case 60:
      return "8";
    case 120:
      return "4";
    case 240:
      return "2";
    default:
      return "4";
  }
}
