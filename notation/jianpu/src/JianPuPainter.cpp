#include "JianPuPainter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "JianPuDegrees.h"
#include "JianPuPage.h"
#include "JianPuSizes.h"
#include "KeyTable.h"
#include "PageLyrics.h"

CJianPuPainter::CJianPuPainter() { RecreateFonts(); }

CJianPuPainter::~CJianPuPainter() = default;

void CJianPuPainter::InitJianPu(HWND window, int track, int sizeLevel, bool firstPart) {
  firstPart_ = firstPart;
  // Syllables sit below the underlines and low octave dots.
  SetLyricOffset(16);
  Init(window, track, sizeLevel, 0);
}

void CJianPuPainter::SetSizeIndex(int level) {
  if (level < 0 || level > 3) return;
  CScorePainter::SetSizeIndex(level);
  RecreateFonts();
}

int CJianPuPainter::PartHeight(int level, bool firstPart) {
  level = JianPuSizes::Level(level);
  return firstPart ? JianPuSizes::kFirstPartHeight[level] : JianPuSizes::kPartHeight[level];
}

int CJianPuPainter::ReferenceLine() const {
  const int h = PartHeight(sizeLevel_, firstPart_);
  return firstPart_ ? h / 2 + 6 : h / 2 - 12;
}

int CJianPuPainter::LyricTop() const { return std::max(LyricOffset(), lowerDot_ + 12); }

int CJianPuPainter::LaidOutHeight() const {
  const int height = PartHeight(sizeLevel_, firstPart_);
  int lines = 0;
  for (const auto& page : pages_) lines = std::max(lines, LyricLinesUsed(page->Lyrics()));
  // A pixel of room keeps the last line off the part below.
  const int bottom = ReferenceLine() + LyricTop() + lines * kLyricLineHeight + 1;
  return lines > 0 && bottom > height ? bottom : height;
}

void CJianPuPainter::RecreateFonts() {
  const int level = JianPuSizes::Level(sizeLevel_);
  digitFont_.Attach(
      CreatePainterFont(JianPuSizes::kDigitFontHeight[level], 600, ANSI_CHARSET, FF_SWISS, "Arial"));
  keyFont_.Attach(
      CreatePainterFont(JianPuSizes::kKeyFontHeight[level], 600, ANSI_CHARSET, FF_SWISS, "Arial"));
  italicFont_.Attach(CreatePainterFont(JianPuSizes::kItalicFontHeight[level], FW_MEDIUM, ANSI_CHARSET,
                                       FF_SWISS, "Arial Bold Italic"));
  symbolFont_.Attach(CreatePainterFont(JianPuSizes::kSymbolFontHeight[level], FW_MEDIUM, SYMBOL_CHARSET, 0,
                                       CMusicFont::kFaceName));
  MeasureDigits();
}

void CJianPuPainter::MeasureDigits() {
  // The window's DC when there is one, else a screen-compatible memory DC:
  // both measure the same fonts.
  HDC windowDc = window_ ? GetDC(window_) : nullptr;
  base::ScopedMemoryDC memory;
  HDC dc = windowDc ? windowDc : memory.Get();
  if (dc) {
    SIZE size{};
    TEXTMETRICA tm{};
    {
      base::ScopedSelect font(dc, keyFont_.Get());
      if (GetTextExtentPoint32A(dc, "0", 1, &size)) keyHeight_ = size.cy;
    }
    base::ScopedSelect font(dc, digitFont_.Get());
    if (GetTextExtentPoint32A(dc, "0", 1, &size) && size.cx > 0) {
      halfDigit_ = size.cx / 2;
      digitHeight_ = size.cy;
    }
    if (GetTextMetricsA(dc, &tm)) {
      lowerDot_ = tm.tmAscent - digitHeight_ / 2;
      upperDot_ = tm.tmInternalLeading - 3;
    }
  }
  if (windowDc) ReleaseDC(window_, windowDc);
}

// @name Drawing

void CJianPuPainter::DrawBarLine(HDC dc, int refY, int x) const {
  base::ScopedSelect pen(dc, NotePen(1));
  const int h = digitHeight_;
  MoveToEx(dc, x, refY - h / 2 - 3, nullptr);
  LineTo(dc, x, refY + h - h / 2 + 3);
}

void CJianPuPainter::DrawTimeSignature(HDC dc, int x, int y, int beats, int beatTicks) const {
  char numerator[16];
  snprintf(numerator, sizeof numerator, "%d", beats);
  const char* denominator = CScorePainter::DenominatorText(beatTicks);
  base::ScopedSelect font(dc, keyFont_.Get());
  base::ScopedTextStyle style(dc, SignatureColor(), TA_TOP | TA_CENTER);
  TextOutA(dc, x, y, numerator, static_cast<int>(strlen(numerator)));
  TextOutA(dc, x, y + keyHeight_ + 3, denominator, static_cast<int>(strlen(denominator)));
  SIZE size{};
  GetTextExtentPoint32A(dc, "0", 1, &size);
  const int digits = strlen(numerator) > 1 || strlen(denominator) > 1 ? 2 : 1;
  base::ScopedSelect pen(dc, NotePen(1));
  const int half = digits * size.cx / 2 + 1;
  MoveToEx(dc, x - half, y + keyHeight_ + 1, nullptr);
  LineTo(dc, x + half, y + keyHeight_ + 1);
}

int CJianPuPainter::DrawKeyText(HDC dc, int x, int y, int key) const {
  char text[16];
  snprintf(text, sizeof text, "1 = %s", CJianPuDegrees::KeyName(CKeyTable::ClampKey(key)));
  const int n = static_cast<int>(strlen(text));
  base::ScopedSelect font(dc, keyFont_.Get());
  base::ScopedTextStyle style(dc, SignatureColor());
  TextOutA(dc, x, y, text, n);
  SIZE size{};
  return GetTextExtentPoint32A(dc, text, n, &size) ? size.cx : 0;
}

// @name Pages

CJianPuPage* CJianPuPainter::Page(int index) const {
  if (index < 0 || index >= PageCount()) return nullptr;
  return pages_[index].get();
}

void CJianPuPainter::ClearPages() { pages_.clear(); }

void CJianPuPainter::ClearHighlights() {
  for (auto& page : pages_) page->ClearHighlights();
}

int CJianPuPainter::LayoutMeasures(const std::vector<CScoreMeasure*>& measures) {
  ClearPages();
  pages_.reserve(measures.size());
  for (const CScoreMeasure* m : measures) {
    auto page = std::make_unique<CJianPuPage>(this);
    page->SetMeasure(*m);
    for (const ScoreText& text : Texts())
      if (text.tick == m->startTick) page->AddText(text);
    pages_.push_back(std::move(page));
  }
  for (size_t i = 0; i < pages_.size(); ++i) pages_[i]->Layout(*measures[i]);
  for (auto& page : pages_) page->LinkTies();
  for (size_t i = 0; i + 1 < pages_.size(); ++i) pages_[i]->LinkTiesInto(*pages_[i + 1]);

  HandOutLyrics(PartLyrics(), pages_);
  return 0;
}
