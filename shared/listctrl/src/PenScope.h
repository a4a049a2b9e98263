// A one-pixel pen of one colour, selected for the scope of one drawing step.
#pragma once

#include <base/GdiHandles.h>

class PenScope {
 public:
  PenScope(HDC dc, COLORREF color) : m_pen(::CreatePen(PS_SOLID, 1, color)), m_select(dc, m_pen.Get()) {}

 private:
  base::GdiPen m_pen;
  base::ScopedSelect m_select;
};
