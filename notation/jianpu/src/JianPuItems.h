// The drawable items of a numbered page: digits with their octave dots,
// accidentals, augmentation dot and dashes; underlines; ties; tuplet arcs.
// Geometry comes from the painter at paint time, so a size or colour change
// needs no new layout.
#pragma once

#include <windows.h>

#include <memory>

#include "JianPuFrame.h"
#include "JianPuLayout.h"

class CJianPuItem {
 public:
  virtual ~CJianPuItem() = default;
  virtual void Draw(HDC dc, const JianPuFrame& frame) = 0;

 protected:
  CJianPuItem() = default;
  CJianPuItem(const CJianPuItem&) = delete;
  CJianPuItem& operator=(const CJianPuItem&) = delete;
};

// What the layout decides for one digit.
struct DigitPlacement {
  int x = 0;       // from the measure's note origin
  int pitch = -1;  // the note as played; -1 for a rest
  int tick = 0;    // absolute start tick, as the buffer gave it
  int offset = 0;  // notated ticks from the measure start
  int length = 0;  // notated ticks
  bool tuplet = false;
  int splitGroup = 0;  // pieces of one note cut at a beat share it
  int tieStart = 0;
  int tieEnd = 0;
  int dashStep = 0;  // pixels between dashes
};

class CJianPuNote : public CJianPuItem {
 public:
  CJianPuNote(const DigitPlacement& place, const NoteSpec& spec) : place_(place), spec_(spec) {}

  // Draws, then forgets the one-shot highlight.
  void Draw(HDC dc, const JianPuFrame& frame) override;

  const DigitPlacement& Place() const { return place_; }
  const NoteSpec& Spec() const { return spec_; }
  bool IsRest() const { return spec_.digit == '0'; }
  int X() const { return place_.x; }
  int Tick() const { return place_.tick; }
  int Pitch() const { return place_.pitch; }

  // @name Highlight
  bool Sounding() const { return sounding_; }
  void SetSounding(bool on) { sounding_ = on; }
  void FlashOnce() { oneShot_ = true; }
  bool Highlighted() const { return sounding_ || oneShot_; }
  void ClearHighlight() { sounding_ = oneShot_ = false; }

  // @name Tied pieces of one note, linked by the layout
  CJianPuNote* NextTied() const { return nextTied_; }
  CJianPuNote* PrevTied() const { return prevTied_; }
  void LinkNext(CJianPuNote* next) {
    nextTied_ = next;
    if (next) next->prevTied_ = this;
  }

 private:
  void DrawAccidental(HDC dc, int x, int y, int level) const;

  DigitPlacement place_;
  NoteSpec spec_;
  bool sounding_ = false;
  bool oneShot_ = false;
  CJianPuNote* nextTied_ = nullptr;
  CJianPuNote* prevTied_ = nullptr;
};

class CJianPuUnderline : public CJianPuItem {
 public:
  explicit CJianPuUnderline(const UnderlineSpan& span) : span_(span) {}
  void Draw(HDC dc, const JianPuFrame& frame) override;
  const UnderlineSpan& Span() const { return span_; }

 private:
  UnderlineSpan span_;
};

// A tie between two digits. A tie into the next measure belongs to the first
// page and is drawn whole while the next measure is on the line, as a half
// arc to the line's end otherwise; the second page then draws the other half
// when its line starts with it.
class CJianPuTie : public CJianPuItem {
 public:
  enum Role { kWithin, kIntoNext, kFromPrevious };
  CJianPuTie(const CJianPuNote* first, const CJianPuNote* second, Role role)
      : first_(first), second_(second), role_(role) {}
  void Draw(HDC dc, const JianPuFrame& frame) override;
  Role GetRole() const { return role_; }
  const CJianPuNote* First() const { return first_; }
  const CJianPuNote* Second() const { return second_; }

 private:
  const CJianPuNote* first_;
  const CJianPuNote* second_;
  Role role_;
};

class CJianPuTupletArc : public CJianPuItem {
 public:
  CJianPuTupletArc(int x1, int x2, int octavesAbove, int count)
      : x1_(x1), x2_(x2), octavesAbove_(octavesAbove), count_(count) {}
  void Draw(HDC dc, const JianPuFrame& frame) override;
  // "3" for triplets, "6" for any other count.
  char Label() const { return count_ == 3 ? '3' : '6'; }
  int X1() const { return x1_; }
  int X2() const { return x2_; }

 private:
  int x1_, x2_;
  int octavesAbove_;
  int count_;
};

// Pixels a tie's arc rises above its ends.
constexpr int kTieLift = 4;

// An arc over [x1, x2] whose top lies `lift` pixels above y; the ends are
// pulled apart until they are more than `minSpan` pixels apart.
void DrawArc(HDC dc, int x1, int x2, int y, int lift, int minSpan);
