// The painter of a numbered part: its digit, key-and-time, italic and symbol
// fonts, the digit metrics measured from them, the numbered bar line, time
// signature and key text, and the part's pages (one per measure).
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ScorePainter.h"

class CJianPuPage;

class CJianPuPainter : public CScorePainter {
 public:
  CJianPuPainter();
  ~CJianPuPainter() override;

  // The first part of a view is taller: the line's key and time header sits
  // above its digits.
  void InitJianPu(HWND window, int track, int sizeLevel, bool firstPart);
  bool FirstPart() const { return firstPart_; }
  void SetFirstPart(bool on) { firstPart_ = on; }
  void SetSizeIndex(int level) override;
  int StaffKind() const override { return 0; }
  int KeySignatureWidth(int, int, int, int) const override { return 0; }

  // @name Metrics of the current size
  int HalfDigitWidth() const { return halfDigit_; }
  int DigitHeight() const { return digitHeight_; }
  int LowerDotOffset() const { return lowerDot_; }
  int UpperDotOffset() const { return upperDot_; }
  int KeyTextHeight() const { return keyHeight_; }
  // Pixels one underline covers from a digit's x: 2 × half digit + 2.
  int UnderlineSpan() const { return 2 * halfDigit_ + 2; }
  static int PartHeight(int level, bool firstPart);
  // y of the digits' centre line from the part's top.
  int ReferenceLine() const;
  // Top of the first lyric line below the reference line: large digits reach
  // further down than the fixed offset, so it keeps clear of their
  // underlines and a low octave dot.
  int LyricTop() const;
  // The part's height once its pages are laid out: its size's height, grown
  // at the bottom until every page's lyric lines fit.
  int LaidOutHeight() const;

  // @name Fonts
  HFONT DigitFont() const { return digitFont_.Get(); }
  HFONT KeyFont() const { return keyFont_.Get(); }
  HFONT ItalicFont() const { return italicFont_.Get(); }

  // @name Drawing (window coordinates)
  void DrawBarLine(HDC dc, int refY, int x) const;
  // Numerator over denominator, centred on x, from y down.
  void DrawTimeSignature(HDC dc, int x, int y, int beats, int beatTicks) const;
  // Height DrawTimeSignature takes.
  int TimeSignatureHeight() const { return 2 * keyHeight_ + 3; }
  // "1 = " and the key's name; returns the width drawn.
  int DrawKeyText(HDC dc, int x, int y, int key) const;

  // @name Pages
  int LayoutMeasures(const std::vector<CScoreMeasure*>& measures) override;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  CJianPuPage* Page(int index) const;
  void ClearPages();
  void ClearHighlights();

 protected:
  void SetKind(int) override {}

 private:
  void RecreateFonts();
  void MeasureDigits();

  bool firstPart_ = false;
  int halfDigit_ = 4;
  int digitHeight_ = 14;
  int lowerDot_ = 12;
  int upperDot_ = 0;
  int keyHeight_ = 16;
  base::GdiFont digitFont_, keyFont_, italicFont_, symbolFont_;
  std::vector<std::unique_ptr<CJianPuPage>> pages_;
};
