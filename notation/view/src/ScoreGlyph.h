// A note glyph of a staff page: head, stem and flags are the subclasses'
// (NoteGlyphs.h, DrumGlyphs.h); this base draws what every note has: ledger
// lines, the accidental and the augmentation dot, in the note or highlight
// colour.
#pragma once

#include "NotationItem.h"

class CStaffPainter;

// What the page layout decides for one note glyph.
struct GlyphSpec {
  int pitch = 60;         // display pitch (percussion: the mapped one)
  int notePitch = 60;     // the note's own pitch, which note events name
  int tick = 0;           // absolute start tick, for highlight and lyric matching
  int length = 0;         // notated length in ticks
  int x = 0;              // from the measure's note origin
  int step = 0;           // staff step; 0 at the staff's reference line
  int accidental = 0;     // 0 none, 1 sharp, 2 flat, 3 natural, 4 double sharp, 5 double flat
  int accidentalGap = 0;  // from the sign's left edge to the head's; 0: just before the head
  int stemLength = 0;
  bool stemDown = false;
  bool hasStem = true;
  bool dotted = false;
  int tieStart = 0;
  int tieEnd = 0;
  int splitGroup = 0;
};

// Pen, brush and colour a glyph draws with.
struct GlyphInk {
  HPEN pen1;
  HPEN pen2;
  HBRUSH brush;
  COLORREF color;
};

class CScoreGlyph : public CNotationItem {
 public:
  explicit CScoreGlyph(const GlyphSpec& spec) : spec_(spec) {}

  // Draws, then forgets the one-shot highlight.
  void Draw(HDC dc, const StaffFrame& frame) final;

  // @name Highlight
  bool Sounding() const { return sounding_; }
  void SetSounding(bool on) { sounding_ = on; }
  // A note that starts and stops between two paints still shows once.
  void FlashOnce() { oneShot_ = true; }
  bool Highlighted() const { return sounding_ || oneShot_; }
  void ClearHighlight() { sounding_ = oneShot_ = false; }

  // @name Layout results, read by ties, beams, lyrics and tests
  const GlyphSpec& Spec() const { return spec_; }
  int Pitch() const { return spec_.pitch; }
  int Tick() const { return spec_.tick; }
  int X() const { return spec_.x; }
  void MoveBy(int dx) { spec_.x += dx; }
  int Step() const { return spec_.step; }
  int Accidental() const { return spec_.accidental; }
  void SetAccidental(int accidental) { spec_.accidental = accidental; }
  void SetAccidentalGap(int gap) { spec_.accidentalGap = gap; }
  // Pixels from the left edge of the accidental to the head's left edge.
  int AccidentalGap(int lineGap) const;
  bool StemDown() const { return spec_.stemDown; }
  bool HasStem() const { return spec_.hasStem; }
  int TieStart() const { return spec_.tieStart; }
  int TieEnd() const { return spec_.tieEnd; }
  int SplitGroup() const { return spec_.splitGroup; }
  CScoreGlyph* NextTied() const { return next_; }
  CScoreGlyph* PrevTied() const { return prev_; }
  void SetNextTied(CScoreGlyph* g) { next_ = g; }
  void SetPrevTied(CScoreGlyph* g) { prev_ = g; }
  bool DisplacedNeighbour() const { return displacedNeighbour_; }
  void SetDisplacedNeighbour() { displacedNeighbour_ = true; }
  // Where the stem ended at the last paint.
  POINT StemEnd() const { return stemEnd_; }

  // @name Geometry in window coordinates for a frame
  int HeadLeft(const StaffFrame& f) const { return f.originX + spec_.x; }
  int HeadY(const StaffFrame& f) const;
  int StaffRef(const StaffFrame& f) const;
  static int HeadWidth(const CStaffPainter& p);
  // Everything the glyph may draw (accidental, head, stem, flags, dot), for repainting it alone.
  RECT Bounds(const StaffFrame& f) const;
  // The ink of the head alone, of its accidental (empty without one), and of
  // head, ledger lines, stem and accidental together: what the layout keeps
  // lyrics, bar numbers and other heads clear of.
  RECT HeadBox(const StaffFrame& f) const;
  RECT AccidentalBox(const StaffFrame& f) const;
  RECT InkBox(const StaffFrame& f) const;
  // InkBox's top and bottom for a head at y, without a frame.
  void VerticalInk(int y, int g, int strokes, int defaultStem, int* top, int* bottom) const;
  bool InkBox(const StaffFrame& f, RECT* box) const override {
    *box = InkBox(f);
    return true;
  }

 protected:
  // The glyph's own shapes; the base draws ledger lines, accidental and dot.
  virtual void DrawGlyph(HDC dc, const StaffFrame& f, const GlyphInk& ink);
  GlyphInk Ink(const StaffFrame& f) const;
  // Stem from the head's right edge up or its left edge down; returns the tip.
  POINT DrawStem(HDC dc, const StaffFrame& f, const GlyphInk& ink, int headWidth);
  void DrawFlags(HDC dc, const StaffFrame& f, const GlyphInk& ink, POINT tip, int count) const;
  // The oval head of two Bezier curves, filled or as an outline.
  void DrawOval(HDC dc, const StaffFrame& f, const GlyphInk& ink, bool filled) const;

 private:
  void DrawLedgerLines(HDC dc, const StaffFrame& f) const;

  GlyphSpec spec_;
  bool sounding_ = false;
  bool oneShot_ = false;
  bool displacedNeighbour_ = false;
  CScoreGlyph* next_ = nullptr;  // tied continuation, owned by its page
  CScoreGlyph* prev_ = nullptr;
  POINT stemEnd_{0, 0};
};
