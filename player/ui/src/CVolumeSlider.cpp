#include "ui/CVolumeSlider.h"

#include "ui/CSkinFrame.h"
#include "ui/CSkinImage.h"
#include "ui/SliderMath.h"

CVolumeSlider::CVolumeSlider() : m_thumb(new CSkinElement) {
  m_thumb->SetDragListener(this);
  m_thumb->SetCaptureOnPress(true);
  m_thumb->SetDraggable(true);
  m_elements.Add(m_thumb);
}

void CVolumeSlider::SetThumbImage(CSkinImage* image) { m_thumb->SetImage(image); }

void CVolumeSlider::SetPosition(int x, int y) {
  m_thumb->SetRect(x, y, SkinImageWidth(m_thumb->GetImage()) / 4, SkinImageHeight(m_thumb->GetImage()));
  m_trackRect = RECT{x, y, x + SkinImageWidth(m_trackImage), y + SkinImageHeight(m_trackImage)};
  // The last two pixels of the track are its end cap, not travel.
  RECT bounds = m_trackRect;
  bounds.right -= 2;
  m_thumb->SetDragBounds(bounds);
  m_elements.SetRedrawRegion(m_trackRect);
}

void CVolumeSlider::SetOwner(HWND owner) {
  m_ownerWnd = owner;
  m_elements.SetOwner(owner);
}

void CVolumeSlider::SetToolTip(HWND owner, bool enable, const char* text) {
  if (!enable) return;
  m_elements.SetOwner(owner);
  m_thumb->SetTipText(text, nullptr);
  m_thumb->SetToolId(m_elements.NewToolId());
  m_elements.AddTool(m_thumb);
}

int CVolumeSlider::TrackLength() const {
  return (m_trackRect.right - 2 - m_trackRect.left) - m_thumb->Width();
}

void CVolumeSlider::SetValue(int value) {
  const int x = m_trackRect.left + VolumeThumbOffset(TrackLength(), value);
  m_thumb->MoveTo(x, m_thumb->GetRect().top);
  m_elements.UpdateToolRect(m_thumb);
}

int CVolumeSlider::GetValue() const {
  return VolumeFromOffset(m_thumb->GetRect().left - m_trackRect.left, TrackLength());
}

void CVolumeSlider::Draw(Gdiplus::Graphics* graphics) {
  if (m_trackImage) DrawSkinImage(graphics, m_trackImage, m_trackRect.left, m_trackRect.top);
  m_elements.Draw(graphics);
}

void CVolumeSlider::CheckHover() {
  if (!m_ownerWnd) return;
  POINT pt;
  RECT r;
  if (!::GetCursorPos(&pt) || !::GetWindowRect(m_ownerWnd, &r)) return;
  // All four edges count as inside.
  if (pt.x < r.left || pt.x > r.right || pt.y < r.top || pt.y > r.bottom) return;
  ::ScreenToClient(m_ownerWnd, &pt);
  OnMouseMove(0, MAKELPARAM(pt.x, pt.y));
}

void CVolumeSlider::OnElementMoved() {
  if (m_ownerWnd) ::PostMessageA(m_ownerWnd, WM_SKIN_VOLUME, 0, GetValue());
  m_elements.UpdateToolRect(m_thumb);
}
