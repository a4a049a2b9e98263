#include "ui/CSkinImage.h"
#include "ui/CSkinWnd.h"
#include "ui/GdiplusInclude.h"

int SkinImageWidth(const CSkinImage* image) { return image ? image->GetWidth() : 0; }

int SkinImageHeight(const CSkinImage* image) { return image ? image->GetHeight() : 0; }

void StretchSkinImage(HDC hdc, CSkinImage* image, int x, int y, int cx, int cy) {
  if (!image || cx <= 0 || cy <= 0) return;
  HBITMAP bitmap = image->GetHBitmap();
  if (!bitmap) return;
  base::ScopedMemoryDC source(hdc);
  if (!source.Get()) return;
  base::ScopedSelect select(source.Get(), bitmap);
  ::SetStretchBltMode(hdc, COLORONCOLOR);
  ::StretchBlt(hdc, x, y, cx, cy, source.Get(), 0, 0, image->GetWidth(), image->GetHeight(), SRCCOPY);
}

void DrawSkinImage(Gdiplus::Graphics* graphics, CSkinImage* image, int x, int y) {
  if (!graphics || !image || !image->IsLoaded()) return;
  graphics->DrawImage(image->GetImage(), Gdiplus::Rect(x, y, image->GetWidth(), image->GetHeight()), 0, 0,
                      image->GetWidth(), image->GetHeight(), Gdiplus::UnitPixel);
}

void CSkinFramePainter::DrawFrame(Gdiplus::Graphics* graphics, HDC hdc) {
  CSkinFrameImages& i = *m_owner->GetFrameImages();
  const int W = m_owner->GetLayout()->GetWidth(), H = m_owner->GetLayout()->GetHeight();
  const int tlW = SkinImageWidth(i.GetTopLeft()), tlH = SkinImageHeight(i.GetTopLeft());
  const int trW = SkinImageWidth(i.GetTopRight()), trH = SkinImageHeight(i.GetTopRight());
  const int blW = SkinImageWidth(i.GetBottomLeft()), blH = SkinImageHeight(i.GetBottomLeft());
  const int brW = SkinImageWidth(i.GetBottomRight()), brH = SkinImageHeight(i.GetBottomRight());

  DrawSkinImage(graphics, i.GetTopLeft(), 0, 0);
  DrawSkinImage(graphics, i.GetTopRight(), W - trW, 0);
  DrawSkinImage(graphics, i.GetBottomLeft(), 0, H - blH);
  DrawSkinImage(graphics, i.GetBottomRight(), W - brW, H - brH);

  // GDI+ batches its drawing; the GDI calls below must come after it.
  graphics->Flush(Gdiplus::FlushIntentionSync);
  if (CSkinImage* top = i.GetTopBorder()) StretchSkinImage(hdc, top, tlW, 0, W - tlW - trW, top->GetHeight());
  if (CSkinImage* bottom = i.GetBottomBorder())
    StretchSkinImage(hdc, bottom, blW, H - bottom->GetHeight(), W - blW - brW, bottom->GetHeight());
  if (CSkinImage* left = i.GetLeftBorder())
    StretchSkinImage(hdc, left, 0, tlH, left->GetWidth(), H - blH - tlH);
  if (CSkinImage* right = i.GetRightBorder())
    StretchSkinImage(hdc, right, W - right->GetWidth(), trH, right->GetWidth(), H - brH - trH);
}

void CSkinFramePainter::DrawCaption(Gdiplus::Graphics* graphics) {
  const CSkinFrameLayout& layout = *m_owner->GetLayout();
  CSkinFrameImages& i = *m_owner->GetFrameImages();
  CSkinImage* title = layout.IsActive() ? i.GetTitle() : i.GetTitleInactive();
  if (!title || !title->IsLoaded()) return;
  DrawSkinImage(graphics, title, (layout.GetWidth() - title->GetWidth()) / 2, 0);
}

void CSkinWnd::DrawClient(Gdiplus::Graphics* graphics) { m_elements.Draw(graphics); }

void CSkinWnd::PaintTo(HDC dc) {
  RECT all = {0, 0, m_layout->GetWidth(), m_layout->GetHeight()};
  if (m_bkBrush) ::FillRect(dc, &all, m_bkBrush.Get());
  Gdiplus::Graphics graphics(dc);
  m_painter->DrawFrame(&graphics, dc);
  m_painter->DrawCaption(&graphics);
  DrawClient(&graphics);
  graphics.Flush(Gdiplus::FlushIntentionSync);
}

void CSkinWnd::PaintBuffered(HDC target) {
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  base::ScopedMemoryDC memory(target);
  base::GdiBitmap bitmap(::CreateCompatibleBitmap(target, client.right, client.bottom));
  if (!memory.Get() || !bitmap) return;
  base::ScopedSelect select(memory.Get(), bitmap.Get());
  PaintTo(memory.Get());
  ::BitBlt(target, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
}

void CSkinWnd::OnPaint() {
  PAINTSTRUCT ps;
  HDC paint = ::BeginPaint(m_hWnd, &ps);
  if (!paint) return;
  PaintBuffered(paint);
  ::EndPaint(m_hWnd, &ps);
}
