// The parts of a skinned window's frame: its geometry (CSkinFrameLayout), the
// ten images it is drawn from (CSkinFrameImages) and the painter that draws
// corners, borders and the title from them (CSkinFramePainter).
#pragma once

#include <windows.h>

class CSkinImage;
class CSkinWnd;
namespace Gdiplus {
class Graphics;
}

// Geometry of one skinned window in screen pixels. Every move, resize and
// OnSize updates it; owners read it to save the window rectangle.
class CSkinFrameLayout {
 public:
  int GetMinWidth() const { return m_minWidth; }
  int GetMinHeight() const { return m_minHeight; }
  int GetWidth() const { return m_width; }
  int GetHeight() const { return m_height; }
  int GetLeft() const { return m_left; }
  int GetTop() const { return m_top; }
  int GetCaptionHeight() const { return m_captionHeight; }
  // Whether the window is active, so the active title shows.
  bool GetDrawFlag() const { return m_active; }
  bool IsActive() const { return m_active; }
  POINT GetPos() const { return POINT{m_left, m_top}; }

  void SetMinWidth(int v) { m_minWidth = v; }
  void SetMinHeight(int v) { m_minHeight = v; }
  void SetWidth(int v) { m_width = v; }
  void SetHeight(int v) { m_height = v; }
  void SetLeft(int v) { m_left = v; }
  void SetTop(int v) { m_top = v; }
  void SetCaptionHeight(int v) { m_captionHeight = v; }
  void SetDrawFlag(bool active) { m_active = active; }
  void SetActive(bool active) { m_active = active; }
  void SetPos(int left, int top) {
    m_left = left;
    m_top = top;
  }

 private:
  int m_minWidth = 100;
  int m_minHeight = 50;
  int m_width = 200;
  int m_height = 100;
  int m_left = 50;
  int m_top = 50;
  int m_captionHeight = 15;
  bool m_active = false;
};

// The ten frame images of a window; shared with the skin manager, not owned.
class CSkinFrameImages {
 public:
  CSkinImage* GetTitle() const { return m_title; }
  CSkinImage* GetTitleInactive() const { return m_titleInactive; }
  CSkinImage* GetTopBorder() const { return m_top; }
  CSkinImage* GetLeftBorder() const { return m_left; }
  CSkinImage* GetRightBorder() const { return m_right; }
  CSkinImage* GetBottomBorder() const { return m_bottom; }
  CSkinImage* GetTopLeft() const { return m_topLeft; }
  CSkinImage* GetTopRight() const { return m_topRight; }
  CSkinImage* GetBottomLeft() const { return m_bottomLeft; }
  CSkinImage* GetBottomRight() const { return m_bottomRight; }

  void SetTitle(CSkinImage* i) { m_title = i; }
  void SetTitleInactive(CSkinImage* i) { m_titleInactive = i; }
  void SetTopBorder(CSkinImage* i) { m_top = i; }
  void SetLeftBorder(CSkinImage* i) { m_left = i; }
  void SetRightBorder(CSkinImage* i) { m_right = i; }
  void SetBottomBorder(CSkinImage* i) { m_bottom = i; }
  void SetTopLeft(CSkinImage* i) { m_topLeft = i; }
  void SetTopRight(CSkinImage* i) { m_topRight = i; }
  void SetBottomLeft(CSkinImage* i) { m_bottomLeft = i; }
  void SetBottomRight(CSkinImage* i) { m_bottomRight = i; }

 private:
  CSkinImage* m_title = nullptr;
  CSkinImage* m_titleInactive = nullptr;
  CSkinImage* m_top = nullptr;
  CSkinImage* m_left = nullptr;
  CSkinImage* m_right = nullptr;
  CSkinImage* m_bottom = nullptr;
  CSkinImage* m_topLeft = nullptr;
  CSkinImage* m_topRight = nullptr;
  CSkinImage* m_bottomLeft = nullptr;
  CSkinImage* m_bottomRight = nullptr;
};

// Width and height of an image slot; an empty slot or an image that did not
// load counts as 0 (one missing corner file must not hide the whole frame).
int SkinImageWidth(const CSkinImage* image);
int SkinImageHeight(const CSkinImage* image);

class CSkinFramePainter {
 public:
  explicit CSkinFramePainter(CSkinWnd* owner) : m_owner(owner) {}
  // Corners at natural size, borders stretched between them. hdc is the DC
  // the graphics draws on (borders go through GDI StretchBlt).
  void DrawFrame(Gdiplus::Graphics* graphics, HDC hdc);
  // The active or inactive title, centred at the top, natural size.
  void DrawCaption(Gdiplus::Graphics* graphics);

 private:
  CSkinWnd* m_owner;
};

// Stretches the whole image over the rectangle with StretchBlt (SRCCOPY).
void StretchSkinImage(HDC hdc, CSkinImage* image, int x, int y, int cx, int cy);
// Draws the whole image at its natural size with GDI+.
void DrawSkinImage(Gdiplus::Graphics* graphics, CSkinImage* image, int x, int y);
