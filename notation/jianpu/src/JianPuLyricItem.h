// A sung syllable under the digits of a numbered page: attached to the digit
// that starts with it, or free at its own tick. It turns to the highlight
// colour once sung.
#pragma once

#include <windows.h>

#include <string>

#include "JianPuFrame.h"
#include "PageLyrics.h"

class CJianPuNote;

class CJianPuLyricItem {
 public:
  CJianPuLyricItem(const CJianPuNote* note, const std::string& text, int tick)
      : note_(note), text_(text), tick_(tick) {}
  // Free: `x` from the note origin, where its tick falls in the measure.
  CJianPuLyricItem(int x, const std::string& text, int tick) : freeX_(x), text_(text), tick_(tick) {}

  // "," and "." only time the karaoke wipe: never drawn.
  bool IsPunctuation() const { return text_ == "," || text_ == "."; }
  bool Sung() const { return sung_; }
  void SetSung(bool on) { sung_ = on; }
  int Tick() const { return tick_; }
  const std::string& Text() const { return text_; }
  const CJianPuNote* Note() const { return note_; }
  // Syllables sharing a tick (verses) stand on lines below one another.
  int Line() const { return line_; }
  void SetLine(int line) { line_ = line < 0 ? 0 : (line < kMaxLyricLines ? line : kMaxLyricLines - 1); }
  // Top of the syllable's text for a frame.
  int Top(const JianPuFrame& f) const;

  // Draws after `previous` (drawn just before on the same page and lyric
  // line, or null): a free syllable moves right to clear it. A verse number
  // ends where its verse's first syllable starts.
  void Draw(HDC dc, const JianPuFrame& f, const CJianPuLyricItem* previous);
  int DrawnX() const { return drawnX_; }

 private:
  const CJianPuNote* note_ = nullptr;
  int freeX_ = 0;
  std::string text_;
  int tick_;
  bool sung_ = false;
  int line_ = 0;
  int drawnX_ = -1;
};
