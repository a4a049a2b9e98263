// A sung syllable under the notes of a staff page: attached to the note that
// starts with it, or free at its own tick when no note does. It turns to the
// highlight colour once sung.
#pragma once

#include <windows.h>

#include <string>

#include "PageLyrics.h"
#include "StaffFrame.h"

class CScoreGlyph;

class CLyricItem {
 public:
  // Attached to a note.
  CLyricItem(const CScoreGlyph* note, const std::string& text, int tick);
  // Free, in a measure from `startTick` lasting `barTicks`.
  CLyricItem(int startTick, int barTicks, const std::string& text, int tick);

  // "," and "." stand alone only to time the karaoke wipe: never drawn.
  bool IsPunctuation() const { return text_ == "," || text_ == "."; }
  bool Sung() const { return sung_; }
  void SetSung(bool on) { sung_ = on; }
  int Tick() const { return tick_; }
  const std::string& Text() const { return text_; }
  const CScoreGlyph* Note() const { return note_; }
  // Syllables sharing a tick (verses) stand on lines below one another.
  static constexpr int kMaxLines = kMaxLyricLines;
  static constexpr int kLineHeight = kLyricLineHeight;
  int Line() const { return line_; }
  void SetLine(int line) { line_ = line < 0 ? 0 : (line < kMaxLines ? line : kMaxLines - 1); }
  // Top of the syllable's text for a frame.
  int Top(const StaffFrame& f) const { return f.lyricY + line_ * kLineHeight; }

  // Where the syllable would start for a frame, false for punctuation. A
  // verse number ends where its verse's first syllable starts.
  bool GetX(const StaffFrame& f, int* x) const;
  // Draws after `previous` (the item drawn just before on the same page, or
  // null): a free syllable moves right to clear it.
  void Draw(HDC dc, const StaffFrame& f, const CLyricItem* previous);
  // x of the last draw, or -1 when the item did not draw.
  int DrawnX() const { return drawnX_; }

 private:
  const CScoreGlyph* note_ = nullptr;
  int startTick_ = 0;
  int barTicks_ = 0;
  std::string text_;
  int tick_;
  bool sung_ = false;
  int line_ = 0;
  int drawnX_ = -1;
};
