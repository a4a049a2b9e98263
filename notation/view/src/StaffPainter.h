// The painter of a staff part: staff kind, line gap, strokes, staff fonts,
// the drawing of staves, clefs and signatures, and the part's pages (one per
// measure). CDrumPainter is the percussion kind. Defined in StaffPainter.cpp
// (set-up and page layout) and StaffPainterDraw.cpp (drawing).
#pragma once

#include <memory>
#include <vector>

#include "ScorePainter.h"
#include "StaffGeometry.h"
#include "StaffSigns.h"

class CScoreGlyph;
class CStaffPage;
struct ScoreNote;

class CStaffPainter : public CScorePainter {
 public:
  CStaffPainter();
  ~CStaffPainter() override;

  // @name Kind and size
  int StaffKind() const override { return staffKind_; }
  void SetStaffKind(int kind) { SetKind(kind); }
  void SetSizeIndex(int level) override;
  int LineGap() const { return lineGap_; }
  // Stems, ledger and staff lines are this many one-pixel strokes (0..2).
  int StrokeThickness() const { return hStroke_; }
  void SetStrokeThickness(int width) { hStroke_ = width < 3 ? (width < 0 ? 0 : width) : 2; }
  int BarStrokeThickness() const { return vStroke_; }
  // Staves relative to the part's own rectangle of its size's height.
  const StaffGeometry& Metrics() const { return metrics_; }
  int PartHeight() const;
  // The part's height once its pages are laid out: its size's height, grown
  // above and below just enough for every page's notes, lyric lines, bar
  // number and texts to fit inside.
  int LaidOutHeight() const;
  // How far the staves of a part of that height stand below its middle:
  // growth below the staves keeps them where the size's height puts them.
  int StaffShift() const;

  // @name Colours and pens of the staff
  COLORREF LineColor() const override { return lineColor_; }
  COLORREF ClefColor() const override { return clefColor_; }
  void SetLineColor(COLORREF c) override;
  void SetClefColor(COLORREF c) override { clefColor_ = c; }
  HPEN LinePen() const { return linePen_.Get(); }
  SignPens NoteSignPens() const { return {NotePen(1), NotePen(2), NoteBrush()}; }
  HFONT SymbolFont() const { return symbolFont_.Get(); }
  HFONT OctaveFont() const { return octaveFont_.Get(); }

  // @name Pitch naming
  // Staff step and printed accidental of a pitch in a key; false and outputs
  // untouched for a staff kind outside 0..7.
  virtual bool PitchToStaffStep(int pitch, int key, int* step, int* accidental) const;
  // True when stems go up for a group whose extreme steps are a and b.
  bool StemUp(int pitch, int a, int b) const;
  // Twice the step of the middle line of the staff the pitch is drawn on.
  int MiddleStepSum(int pitch) const;

  // @name Header widths
  int KeySignatureWidth(int key, int spacing, int c, int d) const override;
  bool HasKeySignature() const { return !noKeySignature_; }

  // @name Drawing (positions in window coordinates)
  void DrawStaffLines(HDC dc, const StaffGeometry& g, int x1, int x2) const;
  void DrawLineStart(HDC dc, const StaffGeometry& g, int x) const;
  void DrawBarLine(HDC dc, const StaffGeometry& g, int x) const;
  void DrawClef(HDC dc, const StaffGeometry& g, int x) const;
  void DrawKeySignature(HDC dc, const StaffGeometry& g, int x, int key, bool cancel) const;
  void DrawTimeSignature(HDC dc, const StaffGeometry& g, int x, int beats, int beatTicks) const;
  void DrawTrackNumber(HDC dc, const StaffGeometry& g, int x) const;

  // @name Pages
  int LayoutMeasures(const std::vector<CScoreMeasure*>& measures) override;
  int PageCount() const { return static_cast<int>(pages_.size()); }
  CStaffPage* Page(int index) const;
  void ClearPages();
  void ClearHighlights();

  // Lists the pages' layout fills and empties at every onset, kept here so
  // that placing a note allocates nothing but its glyph: a long song has
  // tens of thousands of onsets. One page lays out at a time.
  struct LayoutScratch {
    std::vector<const ScoreNote*> onset;  // the notes of the chord being split into onsets
    std::vector<const ScoreNote*> chord;  // the onset being placed, as its page orders it
    std::vector<CScoreGlyph*> groupGlyphs;
    std::vector<const ScoreNote*> groupNotes;
  };
  LayoutScratch& Scratch() { return scratch_; }

 protected:
  void SetKind(int staffKind) override;
  virtual std::unique_ptr<CStaffPage> CreatePage();
  void SetNoKeySignature(bool on) { noKeySignature_ = on; }

 private:
  void RecreateFonts();
  void DrawClefOn(HDC dc, int kind, int ref, int x) const;
  void DrawKeyOn(HDC dc, int ref, int x, int key, bool cancel) const;
  void LinkTiesAcrossPages(int voice);
  void MeasureGrowth();

  int staffKind_ = kTrebleStaff;
  int lineGap_ = 8;
  int hStroke_ = 1;
  int vStroke_ = 1;
  bool noKeySignature_ = false;
  COLORREF lineColor_ = PainterDefaults::kLine;
  COLORREF clefColor_ = PainterDefaults::kClef;
  base::GdiPen linePen_;
  base::GdiFont signatureFont_, octaveFont_, clefFont_, cClefFont_, symbolFont_;
  StaffGeometry metrics_;
  std::vector<std::unique_ptr<CStaffPage>> pages_;
  LayoutScratch scratch_;
  int growAbove_ = 0;  // pixels the laid-out pages need beyond the size's height
  int growBelow_ = 0;
};

// The percussion painter: pages of percussion measures, and no key signature
// at all when every part of the view is percussion.
class CDrumPainter : public CStaffPainter {
 public:
  explicit CDrumPainter(bool allPercussion);
  bool PitchToStaffStep(int pitch, int key, int* step, int* accidental) const override;
  int KeySignatureWidth(int key, int spacing, int c, int d) const override;

 protected:
  std::unique_ptr<CStaffPage> CreatePage() override;
};
