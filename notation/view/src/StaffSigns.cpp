#include "StaffSigns.h"

#include "base/GdiHandles.h"

int CStaffSigns::Width(int accidental, int g) {
  switch (accidental) {
    case 1:
      return g + 1;
    case 2:
      return g;
    case 3:
      return g - 1;
    case 4:
      return g + 1;
    case 5:
      return 2 * g - 1;
    default:
      return 0;
  }
}

void CStaffSigns::Draw(HDC dc, int accidental, int x, int y, int g, const SignPens& pens) {
  switch (accidental) {
    case 1:
      Sharp(dc, x, y, g, pens);
      break;
    case 2:
      Flat(dc, x, y, g, pens);
      break;
    case 3:
      Natural(dc, x, y, g, pens);
      break;
    case 4:
      DoubleSharp(dc, x, y, g, pens);
      break;
    case 5:
      Flat(dc, x, y, g, pens);
      Flat(dc, x + g - 1, y, g, pens);
      break;
    default:
      break;
  }
}

void CStaffSigns::Sharp(HDC dc, int x, int y, int g, const SignPens& pens) {
  base::ScopedSelect thin(dc, pens.thin);
  const int left = x + 1 + g / 6, right = x + g - 1 - g / 6;
  // Two uprights 2g long, the right one a pixel higher, as engraved.
  StrokeLine(dc, left, y - g, left, y + g);
  StrokeLine(dc, right, y - g - 1, right, y + g - 1);
  base::ScopedSelect thick(dc, pens.thick);
  const int rise = g / 4 + 1;
  StrokeLine(dc, x, y - g / 3 + rise / 2, x + g + 1, y - g / 3 - rise / 2);
  StrokeLine(dc, x, y + g / 3 + rise / 2, x + g + 1, y + g / 3 - rise / 2);
}

void CStaffSigns::Flat(HDC dc, int x, int y, int g, const SignPens& pens) {
  base::ScopedSelect thin(dc, pens.thin);
  const int stem = x + 1;
  // The bowl sits on the step; the upright reaches 2g + 1 over it.
  StrokeLine(dc, stem, y - 3 * g / 2, stem, y + g / 2 + 2);
  const POINT bowl[4] = {
      {stem, y}, {stem + g, y - g / 2 - 1}, {stem + g - 1, y + g / 4}, {stem, y + g / 2 + 1}};
  PolyBezier(dc, bowl, 4);
  const POINT inner[4] = {
      {stem + 1, y}, {stem + g - 1, y - g / 2}, {stem + g - 2, y + g / 4}, {stem + 1, y + g / 2}};
  PolyBezier(dc, inner, 4);
}

void CStaffSigns::Natural(HDC dc, int x, int y, int g, const SignPens& pens) {
  base::ScopedSelect thin(dc, pens.thin);
  const int left = x + 1, right = x + g - 2;
  StrokeLine(dc, left, y - g - 1, left, y + g / 2 + 1);
  StrokeLine(dc, right, y - g / 2 - 1, right, y + g + 1);
  base::ScopedSelect thick(dc, pens.thick);
  StrokeLine(dc, left, y - g / 3, right, y - g / 3 - 2);
  StrokeLine(dc, left, y + g / 3 + 1, right, y + g / 3 - 1);
}

void CStaffSigns::DoubleSharp(HDC dc, int x, int y, int g, const SignPens& pens) {
  // Four small filled squares at the corners, joined by the two diagonals.
  const int s = g / 3 > 1 ? g / 3 : 2;
  const int left = x, right = x + g - s + 1, top = y - g / 2, bottom = y + g / 2 - s + 1;
  const RECT squares[4] = {{left, top, left + s, top + s},
                           {right, top, right + s, top + s},
                           {left, bottom, left + s, bottom + s},
                           {right, bottom, right + s, bottom + s}};
  for (const RECT& r : squares) FillRect(dc, &r, pens.fill);
  base::ScopedSelect thin(dc, pens.thin);
  StrokeLine(dc, left + s, top + s, right, bottom);
  StrokeLine(dc, right, top + s, left + s, bottom);
}
