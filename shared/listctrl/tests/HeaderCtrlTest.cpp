#include "ListTestSupport.h"

#include <gtest/gtest.h>

namespace {

using listtest::ListFixture;

// The header painted by DrawCtrl into a memory bitmap of its client size.
struct HeaderPicture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

HeaderPicture Paint(CXHeaderCtrl& header) {
  CRect client;
  header.GetClientRect(&client);
  HeaderPicture p;
  p.width = client.Width();
  p.height = client.Height();
  HDC screen = ::GetDC(nullptr);
  CDC dc;
  dc.Attach(::CreateCompatibleDC(screen));
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, p.width, p.height);
  HGDIOBJ old = ::SelectObject(dc.m_hDC, bitmap);
  header.DrawCtrl(&dc);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) p.pixels.push_back(::GetPixel(dc.m_hDC, x, y));
  }
  ::SelectObject(dc.m_hDC, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(dc.Detach());
  ::ReleaseDC(nullptr, screen);
  return p;
}

TEST(XHeaderCtrl, ImagesSeparatorsFrameAndCentredBlueCaption) {
  ListFixture f;
  ASSERT_TRUE(f.Create(false));
  CXListCtrl& list = f.list;
  list.InsertColumn(0, "", LVCFMT_LEFT, 100);
  list.InsertColumn(1, "Install", LVCFMT_LEFT, 80);
  list.InsertColumn(2, "Size", LVCFMT_RIGHT, 60);
  list.SetHeaderCheckedState(0, 0);
  list.SetHeaderCheckedState(1, 1);
  list.SetHeaderCheckedState(2, 2);
  ASSERT_TRUE(list.m_HeaderCtrl.m_hWnd != nullptr);
  HeaderPicture p = Paint(list.m_HeaderCtrl);
  ASSERT_GT(p.height, 10);
  const COLORREF face = ::GetSysColor(COLOR_3DFACE);
  const COLORREF shadow = ::GetSysColor(COLOR_3DSHADOW);
  const COLORREF light = ::GetSysColor(COLOR_3DHIGHLIGHT);
  const int mid = p.height / 2;
  // Separators after the first and second items only.
  EXPECT_EQ(shadow, p.At(99, mid));
  EXPECT_EQ(light, p.At(100, mid));
  EXPECT_EQ(shadow, p.At(179, mid));
  EXPECT_EQ(light, p.At(180, mid));
  // The 3D frame spans the three items exactly: its shadow edge is the last column of them.
  EXPECT_EQ(shadow, p.At(239, mid));
  EXPECT_EQ(face, p.At(240, mid));
  EXPECT_EQ(light, p.At(0, mid));
  // Image 0 draws nothing; images 1 and 2 stand at the item's left, inside the spacing.
  const int imageTop = mid - 8;
  EXPECT_EQ(face, p.At(6 + 1, imageTop + 1));
  EXPECT_EQ(RGB(0, 0, 0), p.At(106 + 1, imageTop + 1));        // the empty box's frame
  EXPECT_EQ(RGB(255, 255, 255), p.At(106 + 8, imageTop + 8));  // ... and its inside
  EXPECT_EQ(RGB(0, 0, 0), p.At(186 + 8, imageTop + 8));        // the tick of the checked box
  // The right-aligned caption is centred in what the image leaves, in blue.
  int blueCount = 0, blueSum = 0;
  for (int x = 180; x < 240; ++x) {
    for (int y = 0; y < p.height; ++y) {
      if (p.At(x, y) == RGB(0, 0, 255)) {
        ++blueCount;
        blueSum += x;
      }
    }
  }
  ASSERT_GT(blueCount, 5);
  const int textLeft = 186 + 16 + 6, textRight = 240 - 6;
  EXPECT_NEAR((textLeft + textRight) / 2.0, static_cast<double>(blueSum) / blueCount, 3.0);
}

TEST(XHeaderCtrl, DrawParametersAndDynamicCreation) {
  CXHeaderCtrl header;
  EXPECT_EQ(6, header.GetSpacing());
  EXPECT_TRUE(header.SetDrawParam(1, 9));
  EXPECT_EQ(9, header.GetSpacing());
  EXPECT_TRUE(header.SetDrawParam(3, 1));
  EXPECT_FALSE(header.SetDrawParam(5, 1));
  EXPECT_FALSE(header.SetDrawParam(0, 1));
  CObject* made = RUNTIME_CLASS(CXHeaderCtrl)->CreateObject();
  ASSERT_NE(nullptr, made);
  EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(CHeaderCtrl)));
  delete made;
}

}  // namespace
