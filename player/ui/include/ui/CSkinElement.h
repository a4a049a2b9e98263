// A button-like area without a window of its own, drawn and fed with mouse
// messages by the window that hosts it (through its CSkinElementList):
// caption buttons, the window icon, toggles and the volume thumb. Its image
// is a strip of four equal frames: normal, hover, pressed, disabled.
#pragma once

#include <windows.h>

#include <string>

class CSkinImage;
namespace Gdiplus {
class Graphics;
}

class ISkinDragListener {
 public:
  virtual void OnElementMoved() = 0;

 protected:
  ~ISkinDragListener() = default;
};

class CSkinElement {
 public:
  CSkinElement() = default;
  virtual ~CSkinElement() = default;
  CSkinElement(const CSkinElement&) = delete;
  CSkinElement& operator=(const CSkinElement&) = delete;

  // Mouse handlers, called by the element list.
  virtual void OnLButtonDown(WPARAM wParam, LPARAM lParam);
  virtual void OnLButtonUp(WPARAM wParam, LPARAM lParam);
  virtual void OnLButtonDblClk(WPARAM wParam, LPARAM lParam) {}
  virtual void OnMouseMove(WPARAM wParam, LPARAM lParam);
  virtual void OnMouseHover(WPARAM wParam, LPARAM lParam) { m_hover = true; }
  virtual void OnMouseLeave(WPARAM wParam, LPARAM lParam) {
    m_hover = false;
    m_pressed = false;
  }
  virtual bool HitTest(int x, int y) { return PtInElement(POINT{x, y}); }
  // Right and bottom edges are outside.
  virtual bool PtInElement(POINT pt) {
    return pt.x >= m_rect.left && pt.x < m_rect.right && pt.y >= m_rect.top && pt.y < m_rect.bottom;
  }
  virtual void Draw(Gdiplus::Graphics* graphics);

  // Geometry
  void SetRect(const RECT& rect) { m_rect = rect; }
  void SetRect(int x, int y, int cx, int cy) { m_rect = RECT{x, y, x + cx, y + cy}; }
  void GetRect(RECT* rect) const { *rect = m_rect; }
  const RECT& GetRect() const { return m_rect; }
  void MoveTo(int x, int y);
  int Width() const { return m_rect.right - m_rect.left; }
  int Height() const { return m_rect.bottom - m_rect.top; }
  void SetDragBounds(const RECT& bounds) {
    m_dragBounds = bounds;
    m_bounded = true;
  }

  // Image and tooltip
  void SetImage(CSkinImage* image) { m_image = image; }
  CSkinImage* GetImage() const { return m_image; }
  // Size of the whole strip; false without an image.
  bool GetImageSize(int* width, int* height) const;
  // Replaces both texts; a null argument leaves that text empty.
  void SetTipText(const char* text, const char* altText);
  const std::string& GetTipText() const { return m_tipText; }
  const std::string& GetAltTipText() const { return m_altTipText; }
  bool HasTipText() const { return m_hasTipText; }
  bool HasAltTipText() const { return m_hasAltTipText; }
  void SetToolId(int id) { m_toolId = id; }
  int GetToolId() const { return m_toolId; }

  // Flags
  void SetVisible(bool visible) { m_visible = visible; }
  bool IsVisible() const { return m_visible; }
  void SetEnabled(bool enabled) { m_enabled = enabled; }
  bool IsEnabled() const { return m_enabled; }
  void SetCaptureOnPress(bool capture) { m_captureOnPress = capture; }
  bool CapturesOnPress() const { return m_captureOnPress; }
  void SetDraggable(bool draggable) { m_draggable = draggable; }
  void SetTakesDoubleClicks(bool takes) { m_doubleClicks = takes; }
  bool TakesDoubleClicks() const { return m_doubleClicks; }
  void SetDragListener(ISkinDragListener* listener) { m_dragListener = listener; }
  void SetInside(bool inside) { m_inside = inside; }
  bool IsInside() const { return m_inside; }
  bool IsHover() const { return m_hover; }
  bool IsPressed() const { return m_pressed; }
  void ResetState() {
    m_hover = false;
    m_pressed = false;
  }

  // The frame Draw shows now (0..3).
  virtual int CurrentFrame() const;

 protected:
  // Draws frame k of the strip at the element's top-left corner, unscaled.
  void DrawFrame(Gdiplus::Graphics* graphics, int frame) const;

  ISkinDragListener* m_dragListener = nullptr;
  CSkinImage* m_image = nullptr;
  RECT m_rect = {};
  POINT m_downPoint = {};
  RECT m_dragBounds = {};
  std::string m_tipText;
  std::string m_altTipText;
  bool m_hasTipText = false;
  bool m_hasAltTipText = false;
  int m_toolId = -1;
  bool m_visible = true;
  bool m_enabled = true;
  bool m_inside = false;
  bool m_captureOnPress = false;
  bool m_bounded = false;
  bool m_hover = false;
  bool m_pressed = false;
  bool m_draggable = false;
  bool m_doubleClicks = false;
};

// Signed client coordinates packed in a mouse message's lParam.
inline POINT PointFromLParam(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
