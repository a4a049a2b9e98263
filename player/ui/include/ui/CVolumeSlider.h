// The main window's volume control: a windowless track with one draggable
// thumb element, drawn and fed with mouse messages by the main window. Every
// drag step posts the volume 0..255 to the owner as WM_SKIN_VOLUME.
#pragma once

#include <windows.h>

#include "ui/CSkinElementList.h"
#include "ui/PlayerMessages.h"

class CSkinImage;

class CVolumeSlider : public ISkinDragListener {
 public:
  CVolumeSlider();
  virtual ~CVolumeSlider() = default;

  void SetThumbImage(CSkinImage* image);
  void SetTrackImage(CSkinImage* image) { m_trackImage = image; }
  // Puts the track's top-left corner at (x, y); the thumb starts there.
  void SetPosition(int x, int y);
  void SetOwner(HWND owner);
  void SetToolTip(HWND owner, bool enable, const char* text);
  // Moves the thumb for a volume (clamped to 0..255); posts nothing.
  void SetValue(int value);
  // The volume the thumb stands for.
  int GetValue() const;
  void Draw(Gdiplus::Graphics* graphics);

  void OnLButtonDown(WPARAM wParam, LPARAM lParam) { m_elements.OnLButtonDown(wParam, lParam); }
  void OnLButtonUp(WPARAM wParam, LPARAM lParam) { m_elements.OnLButtonUp(wParam, lParam); }
  void OnMouseMove(WPARAM wParam, LPARAM lParam) { m_elements.OnMouseMove(wParam, lParam); }
  // From the owner's timer: a synthetic move so hover ends even when no
  // mouse message comes.
  void CheckHover();

  void OnElementMoved() override;

  CSkinElement* GetThumb() const { return m_thumb; }
  const RECT& GetTrackRect() const { return m_trackRect; }
  // Thumb travel: the drag bounds' width less the thumb's.
  int TrackLength() const;

 private:
  CSkinImage* m_trackImage = nullptr;
  CSkinElement* m_thumb;
  RECT m_trackRect = {164, 131, 164, 131};
  HWND m_ownerWnd = nullptr;
  CSkinElementList m_elements;
};
