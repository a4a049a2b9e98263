#pragma once
// The about box's picture control: credits that scroll up across a background
// picture like film credits, and the hint to press Escape. Everything is drawn
// into memory contexts prepared once; the 40 ms timer only blits.
#include <afxwin.h>

#include <memory>
#include <string>

#include "base/GdiHandles.h"

class CAboutStatic : public CStatic {
 public:
  static constexpr int kCanvasWidth = 220;
  static constexpr int kCanvasHeight = 290;

  CAboutStatic();
  ~CAboutStatic() override;
  // Takes effect when the control is subclassed.
  void SetText(const std::string& text) { m_text = text; }
  // Where the credits' top edge stands, in client pixels.
  int GetScrollY() const { return m_y; }
  bool HasPicture() const { return m_hasPicture; }
  // One timer step (tests call it directly).
  void Tick();

 protected:
  void PreSubclassWindow() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void DrawCredits();
  void LoadPicture();

  std::string m_text;
  int m_y = 0;
  SIZE m_client = {0, 0};
  bool m_hasPicture = false;
  // Bitmaps before the contexts and selections, so that the selections are
  // undone first and the bitmaps deleted last.
  base::GdiBitmap m_canvasBitmap;
  base::GdiBitmap m_pictureBitmap;
  base::GdiBitmap m_bufferBitmap;
  base::GdiFont m_hintFont;
  std::unique_ptr<base::ScopedMemoryDC> m_canvas;
  std::unique_ptr<base::ScopedMemoryDC> m_picture;
  std::unique_ptr<base::ScopedMemoryDC> m_buffer;
  std::unique_ptr<base::ScopedSelect> m_canvasSelect;
  std::unique_ptr<base::ScopedSelect> m_pictureSelect;
  std::unique_ptr<base::ScopedSelect> m_bufferSelect;
};
