// Accidental signs drawn with strokes: the key signatures of the painters and
// the accidentals in front of note heads share them.
#pragma once

#include <windows.h>

struct SignPens {
  HPEN thin;    // one pixel
  HPEN thick;   // two pixels, for the slanted strokes
  HBRUSH fill;  // the squares of a double sharp
};

class CStaffSigns {
 public:
  // Width a sign takes, gap = pixels between staff lines.
  static int Width(int accidental, int gap);
  // Draws an accidental code (1 sharp, 2 flat, 3 natural, 4 double sharp,
  // 5 double flat) with its left edge at x, centred on the staff step at y.
  // The selected pen is restored.
  static void Draw(HDC dc, int accidental, int x, int y, int gap, const SignPens& pens);

 private:
  static void Sharp(HDC dc, int x, int y, int g, const SignPens& pens);
  static void Flat(HDC dc, int x, int y, int g, const SignPens& pens);
  static void Natural(HDC dc, int x, int y, int g, const SignPens& pens);
  static void DoubleSharp(HDC dc, int x, int y, int g, const SignPens& pens);
};

// A straight one-pixel line from (x1, y1) up to but excluding (x2, y2).
inline void StrokeLine(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}
