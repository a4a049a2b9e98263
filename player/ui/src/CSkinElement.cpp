#include "ui/CSkinElement.h"

#include "ui/CSkinImage.h"
#include "ui/GdiplusInclude.h"

void CSkinElement::OnLButtonDown(WPARAM, LPARAM lParam) {
  m_pressed = true;
  m_downPoint = PointFromLParam(lParam);
}

void CSkinElement::OnLButtonUp(WPARAM, LPARAM) { m_pressed = false; }

void CSkinElement::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!m_draggable || !(wParam & MK_LBUTTON)) return;
  POINT pt = PointFromLParam(lParam);
  int newLeft = m_rect.left + (pt.x - m_downPoint.x);
  int newTop = m_rect.top;  // horizontal only
  if (m_bounded) {
    newLeft = std::max(newLeft, static_cast<int>(m_dragBounds.left));
    newTop = std::max(newTop, static_cast<int>(m_dragBounds.top));
    if (newLeft + Width() > m_dragBounds.right) newLeft = m_dragBounds.right - Width();
    if (newTop + Height() > m_dragBounds.bottom) newTop = m_dragBounds.bottom - Height();
  }
  MoveTo(newLeft, newTop);
  m_downPoint = pt;
  if (m_dragListener) m_dragListener->OnElementMoved();
}

void CSkinElement::MoveTo(int x, int y) {
  const int w = Width(), h = Height();
  m_rect = RECT{x, y, x + w, y + h};
}

bool CSkinElement::GetImageSize(int* width, int* height) const {
  if (!m_image || !m_image->IsLoaded()) return false;
  *width = m_image->GetWidth();
  *height = m_image->GetHeight();
  return true;
}

void CSkinElement::SetTipText(const char* text, const char* altText) {
  m_hasTipText = text != nullptr;
  m_tipText = text ? text : "";
  m_hasAltTipText = altText != nullptr;
  m_altTipText = altText ? altText : "";
}

int CSkinElement::CurrentFrame() const {
  if (!m_enabled) return 3;
  if (!m_hover) return 0;
  return m_pressed ? 2 : 1;
}

void CSkinElement::Draw(Gdiplus::Graphics* graphics) {
  if (!m_visible) return;
  DrawFrame(graphics, CurrentFrame());
}

void CSkinElement::DrawFrame(Gdiplus::Graphics* graphics, int frame) const {
  if (!graphics || !m_image || !m_image->IsLoaded()) return;
  const int w = m_image->GetWidth() / 4, h = m_image->GetHeight();
  graphics->DrawImage(m_image->GetImage(), Gdiplus::Rect(m_rect.left, m_rect.top, w, h), frame * w, 0, w, h,
                      Gdiplus::UnitPixel);
}
