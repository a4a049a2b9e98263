#include <afxwin.h>

#include <gtest/gtest.h>

#include <vector>

#include "WindowTestSupport.h"

namespace {

// A memory DC with a 32-bit bitmap selected, for pixel checks.
class MemoryCanvas {
 public:
  MemoryCanvas(int cx, int cy) {
    CClientDC screen(nullptr);
    EXPECT_TRUE(m_dc.CreateCompatibleDC(&screen));
    EXPECT_TRUE(m_bitmap.CreateCompatibleBitmap(&screen, cx, cy));
    m_pOldBitmap = m_dc.SelectObject(&m_bitmap);
    m_dc.FillSolidRect(0, 0, cx, cy, RGB(255, 255, 255));
  }
  ~MemoryCanvas() { m_dc.SelectObject(m_pOldBitmap); }
  CDC& dc() { return m_dc; }

 private:
  CDC m_dc;
  CBitmap m_bitmap;
  CBitmap* m_pOldBitmap = nullptr;
};

TEST(Gdi, DrawingThroughTheWrappers) {
  MemoryCanvas canvas(40, 40);
  CDC& dc = canvas.dc();
  dc.FillSolidRect(CRect(0, 0, 10, 10), RGB(0, 0, 255));
  EXPECT_EQ(RGB(0, 0, 255), dc.GetPixel(5, 5));
  EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(10, 10));
  EXPECT_NE(RGB(0, 0, 255), dc.GetBkColor());  // FillSolidRect puts the background colour back

  CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
  CPen* pOldPen = dc.SelectObject(&pen);
  dc.MoveTo(0, 20);
  dc.LineTo(40, 20);
  EXPECT_EQ(RGB(255, 0, 0), dc.GetPixel(30, 20));
  CPen* pPrevious = dc.SelectObject(pOldPen);
  EXPECT_EQ(pen.m_hObject, pPrevious->m_hObject);

  dc.Draw3dRect(CRect(20, 25, 30, 35), RGB(0, 255, 0), RGB(0, 0, 0));
  EXPECT_EQ(RGB(0, 255, 0), dc.GetPixel(20, 25));  // top left
  EXPECT_EQ(RGB(0, 0, 0), dc.GetPixel(29, 34));    // bottom right
  EXPECT_EQ(RGB(255, 255, 255), dc.GetPixel(25, 30));

  CBrush brush(RGB(9, 9, 9));
  dc.FillRect(CRect(30, 0, 40, 10), &brush);
  EXPECT_EQ(RGB(9, 9, 9), dc.GetPixel(35, 5));

  CFont font;
  ASSERT_TRUE(font.CreatePointFont(90, "Arial"));
  LOGFONTA lf;
  font.GetLogFont(&lf);
  EXPECT_LT(lf.lfHeight, 0);  // a character height, from tenths of a point
  CFont* pOldFont = dc.SelectObject(&font);
  EXPECT_EQ(font.m_hObject, dc.GetCurrentFont()->m_hObject);
  EXPECT_GT(dc.GetTextExtent(CString("Wide text")).cx, dc.GetTextExtent("W", 1).cx);
  dc.SelectObject(pOldFont);
}

TEST(Gdi, OwnersDeleteTheirHandlesAndDetachHandsThemOn) {
  HGDIOBJ hPen = nullptr;
  {
    CPen pen(PS_SOLID, 2, RGB(1, 2, 3));
    hPen = pen.m_hObject;
    EXPECT_EQ(OBJ_PEN, ::GetObjectType(hPen));
  }
  EXPECT_EQ(0u, ::GetObjectType(hPen));

  HFONT hFont = nullptr;
  {
    CFont font;
    font.CreatePointFont(100, "Arial");
    hFont = (HFONT)font.Detach();
  }
  EXPECT_EQ(OBJ_FONT, ::GetObjectType(hFont));  // the new owner has it
  CFont adopted;
  adopted.Attach(hFont);
  EXPECT_TRUE(adopted.DeleteObject());
  EXPECT_EQ(0u, ::GetObjectType(hFont));

  CBrush* pNull = nullptr;
  EXPECT_EQ(nullptr, pNull->GetSafeHandle());  // through a null pointer, as callers expect
}

// Paints with fresh pens, brushes and fonts each time and notes their handles.
class CBusyPainter : public CWnd {
 public:
  int m_nPaints = 0;
  std::vector<HGDIOBJ> m_used;

 protected:
  afx_msg void OnPaint() {
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    CPen pen(PS_SOLID, 1, RGB(m_nPaints % 255, 0, 0));
    CBrush brush(RGB(0, m_nPaints % 255, 0));
    CFont font;
    font.CreatePointFont(80 + m_nPaints % 10, "Arial");
    CPen* pOldPen = dc.SelectObject(&pen);
    CBrush* pOldBrush = dc.SelectObject(&brush);
    CFont* pOldFont = dc.SelectObject(&font);
    dc.Rectangle(rc);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(2, 2, CString("karaoke"));
    dc.SelectObject(pOldFont);
    dc.SelectObject(pOldBrush);
    dc.SelectObject(pOldPen);
    m_used = {pen.m_hObject, brush.m_hObject, font.m_hObject};
    ++m_nPaints;
  }
  afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBusyPainter, CWnd)
  ON_WM_PAINT()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TEST(Gdi, ManyPaintsLeakNoObjectAndNoWrapper) {
  CBusyPainter wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "painter", WS_POPUP | WS_VISIBLE, mfctest::TestRect(), nullptr, 0));
  wnd.UpdateWindow();
  AfxDeleteTempMaps();
  DWORD gdiBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  CWinThread loop;
  for (int i = 0; i < 300; ++i) {
    int before = wnd.m_nPaints;
    wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_EQ(before + 1, wnd.m_nPaints);
    for (HGDIOBJ h : wnd.m_used) ASSERT_EQ(0u, ::GetObjectType(h)) << "paint " << i;
    // The wrappers SelectObject handed out (old and new objects) are freed at idle.
    EXPECT_EQ(6u, AfxGetTempObjectCount());
    loop.OnIdle(1);
    EXPECT_EQ(0u, AfxGetTempObjectCount());
  }
  DWORD gdiAfter = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
  EXPECT_LE(gdiAfter, gdiBefore + 2);
  wnd.DestroyWindow();
}

TEST(Gdi, ClientDcReleasesItsDc) {
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, "dc", WS_POPUP, mfctest::TestRect(), nullptr, 0));
  HDC hdc = nullptr;
  {
    CClientDC dc(&wnd);
    hdc = dc.m_hDC;
    EXPECT_NE(nullptr, hdc);
    EXPECT_EQ(&wnd, dc.GetWindow());
  }
  CDC* pTemp = CDC::FromHandle(hdc);
  EXPECT_EQ(hdc, pTemp->m_hDC);
  AfxDeleteTempMaps();  // a temporary never deletes the DC it borrowed
  EXPECT_EQ(0u, AfxGetTempObjectCount());
  wnd.DestroyWindow();
}

}  // namespace
