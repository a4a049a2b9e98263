#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "SkinFixture.h"
#include "testsupport/MessagePump.h"
#include "ui/CSkinWnd.h"
#include "ui/CaptionElements.h"

namespace {

// Fixture ids of the frame images (the skin manager's ids of the main window).
enum {
  kTitleOn = 90,
  kTitleOff = 91,
  kLeft = 190,
  kRight = 191,
  kTop = 192,
  kBottom = 193,
  kTopLeft = 194,
  kTopRight = 195,
  kBottomLeft = 196,
  kBottomRight = 197
};
const COLORREF kBackground = RGB(0x20, 0x30, 0x40);

class SkinWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto img = [this](int w, int h, int id, int frames = 1) {
      images.emplace_back(MakeFlatImage(w, h, id, frames));
      return images.back().get();
    };
    CSkinFrameImages* f = wnd.GetFrameImages();
    f->SetTitle(img(150, 23, kTitleOn));
    f->SetTitleInactive(img(150, 23, kTitleOff));
    f->SetTopLeft(img(4, 23, kTopLeft));
    f->SetTopRight(img(4, 23, kTopRight));
    f->SetBottomLeft(img(4, 5, kBottomLeft));
    f->SetBottomRight(img(4, 5, kBottomRight));
    f->SetTopBorder(img(8, 23, kTop));
    f->SetBottomBorder(img(8, 5, kBottom));
    f->SetLeftBorder(img(4, 8, kLeft));
    f->SetRightBorder(img(4, 8, kRight));
    closeImage = img(60, 18, 201, 4);
    maxImage = img(60, 13, 200, 4);
    minImage = img(60, 13, 199, 4);
    CSkinFrameLayout* l = wnd.GetLayout();
    l->SetPos(100, 100);
    l->SetWidth(300);
    l->SetHeight(200);
    l->SetMinWidth(120);
    l->SetMinHeight(80);
    l->SetCaptionHeight(wnd.GetCaptionHeight());
    wnd.SetBkColor(kBackground);
    wnd.SetCaptionStyle(kCaptionClose);
    wnd.SetCaptionButton(closeImage, kCaptionBtnClose, true, "Close", nullptr);
  }
  // Hidden unless the test reads the screen: Wine waits two seconds for a
  // window manager to withdraw a shown window, and Xvfb has none.
  void Make(DWORD visible = 0) {
    ASSERT_EQ(0, wnd.Create(nullptr, WS_EX_TOOLWINDOW, WS_POPUP | visible, CS_DBLCLKS, nullptr));
    testsupport::PumpFor(30);  // the posted WM_SIZE lays the caption out
  }
  RECT WindowRect() const {
    RECT r;
    ::GetWindowRect(wnd.m_hWnd, &r);
    return r;
  }
  std::vector<std::unique_ptr<CSkinImage>> images;
  CSkinImage* closeImage = nullptr;
  CSkinImage* maxImage = nullptr;
  CSkinImage* minImage = nullptr;
  CSkinWnd wnd;
};

TEST_F(SkinWndTest, CreateSendsTheCreatedNoticeAndTakesTheStoredRectangle) {
  Make();
  RECT r = WindowRect();
  EXPECT_EQ(100, r.left);
  EXPECT_EQ(100, r.top);
  EXPECT_EQ(300, r.right - r.left);
  EXPECT_EQ(200, r.bottom - r.top);
}

TEST_F(SkinWndTest, HitTestReportsSizingBordersAndCorners) {
  Make();
  struct Row {
    int x, y;
    LRESULT code;
  } rows[] = {
      {299, 10, HTTOPRIGHT},   {1, 21, HTLEFT},           {1, 10, HTTOPLEFT},   {1, 185, HTBOTTOMLEFT},
      {298, 100, HTRIGHT},     {299, 185, HTBOTTOMRIGHT}, {150, 1, HTTOP},      {10, 1, HTTOPLEFT},
      {290, 2, HTTOPRIGHT},    {150, 100, HTCLIENT},      {150, 197, HTCLIENT}, {150, 198, HTBOTTOM},
      {10, 199, HTBOTTOMLEFT}, {290, 199, HTBOTTOMRIGHT}, {150, 10, HTCLIENT},
  };
  for (const Row& r : rows) {
    LRESULT code = ::SendMessageA(wnd.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(100 + r.x, 100 + r.y));
    EXPECT_EQ(r.code, code) << "(" << r.x << ", " << r.y << ")";
  }
}

TEST_F(SkinWndTest, SizingBelowTheMinimumKeepsTheFixedEdge) {
  Make();
  struct Row {
    WPARAM edge;
    RECT in, out;
  } rows[] = {
      {WMSZ_LEFT, {150, 100, 200, 300}, {100, 100, 200, 300}},
      {WMSZ_RIGHT, {100, 100, 150, 300}, {100, 100, 220, 300}},
      {WMSZ_TOP, {100, 250, 400, 300}, {100, 100, 400, 300}},
      {WMSZ_BOTTOM, {100, 100, 400, 130}, {100, 100, 400, 180}},
      {WMSZ_BOTTOMRIGHT, {100, 100, 150, 130}, {100, 100, 220, 180}},
      {WMSZ_TOPLEFT, {150, 250, 200, 300}, {100, 100, 200, 300}},
      {WMSZ_RIGHT, {100, 100, 400, 300}, {100, 100, 400, 300}},
  };
  for (const Row& r : rows) {
    RECT rect = r.in;
    EXPECT_EQ(1, ::SendMessageA(wnd.m_hWnd, WM_SIZING, r.edge, reinterpret_cast<LPARAM>(&rect)));
    EXPECT_TRUE(::EqualRect(&rect, &r.out)) << "edge " << r.edge << ": " << rect.left << "," << rect.top
                                            << "," << rect.right << "," << rect.bottom;
  }
}

TEST_F(SkinWndTest, ResizingBelowTheMinimumIsCorrectedAndStored) {
  Make();
  ::SetWindowPos(wnd.m_hWnd, nullptr, 100, 100, 50, 30, SWP_NOZORDER);
  testsupport::PumpFor(20);
  RECT r = WindowRect();
  EXPECT_EQ(120, r.right - r.left);
  EXPECT_EQ(80, r.bottom - r.top);
  EXPECT_EQ(120, wnd.GetLayout()->GetWidth());
  EXPECT_EQ(80, wnd.GetLayout()->GetHeight());
  // The caption buttons follow the new width.
  EXPECT_EQ(120 - 15 - 3, wnd.GetCaptionButtons()->GetButton(kCaptionBtnClose)->GetRect().left);
}

TEST_F(SkinWndTest, DraggingTheCaptionMovesTheWindow) {
  Make();
  HWND h = wnd.m_hWnd;
  ::SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 3));
  EXPECT_TRUE(wnd.IsDragging());
  ::SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 8));
  RECT r = WindowRect();
  EXPECT_EQ(110, r.left);
  EXPECT_EQ(105, r.top);
  EXPECT_EQ(110, wnd.GetLayout()->GetLeft());
  // The same move again is dropped, so the window does not walk on.
  ::SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 8));
  EXPECT_EQ(110, WindowRect().left);
  ::SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(60, 8));
  EXPECT_FALSE(wnd.IsDragging());
  EXPECT_EQ(300, WindowRect().right - WindowRect().left);
}

TEST_F(SkinWndTest, OnlyThePressesInTheCaptionStripStartADrag) {
  Make();
  struct Row {
    int x, y;
    bool drags;
  } rows[] = {{50, 3, true},   {50, 23, true}, {50, 24, false}, {50, 2, false},  {298, 10, false},
              {297, 10, true}, {2, 10, false}, {3, 10, true},   {290, 10, false} /* on the close button */};
  for (const Row& r : rows) {
    ::SendMessageA(wnd.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.x, r.y));
    EXPECT_EQ(r.drags, wnd.IsDragging()) << r.x << "," << r.y;
    ::SendMessageA(wnd.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(r.x, r.y));
  }
}

TEST_F(SkinWndTest, CaptionHeightAndMinimumFrameSizeComeFromTheImages) {
  EXPECT_EQ(23, wnd.GetCaptionHeight());
  EXPECT_EQ(4 + 150 + 4, wnd.GetMinFrameWidth());
  EXPECT_EQ(23 + 5, wnd.GetMinFrameHeight());
  std::unique_ptr<CSkinImage> low(MakeFlatImage(10, 15, 1, 1)), sixteen(MakeFlatImage(10, 16, 1, 1));
  wnd.GetFrameImages()->SetTitle(low.get());
  EXPECT_EQ(15, wnd.GetCaptionHeight());
  wnd.GetFrameImages()->SetTitle(sixteen.get());
  EXPECT_EQ(16, wnd.GetCaptionHeight());
  wnd.GetFrameImages()->SetTitle(nullptr);
  EXPECT_EQ(15, wnd.GetCaptionHeight());
  // Without a title the bottom corners may be the wider pair.
  wnd.GetFrameImages()->SetBottomLeft(images[0].get());
  EXPECT_EQ(150 + 4, wnd.GetMinFrameWidth());
}

TEST_F(SkinWndTest, CaptionButtonsStandFromTheRightEdgeInwards) {
  Make();
  CSkinCaptionButtons* b = wnd.GetCaptionButtons();
  RECT close = b->GetButton(kCaptionBtnClose)->GetRect();
  EXPECT_EQ(282, close.left);
  EXPECT_EQ(5, close.top);
  EXPECT_EQ(15, close.right - close.left);
  EXPECT_EQ(18, close.bottom - close.top);
  CSkinElement* keep = b->GetButton(kCaptionBtnClose);

  wnd.SetCaptionStyle(kCaptionCloseMinMax);
  EXPECT_EQ(keep, b->GetButton(kCaptionBtnClose)) << "the close element is kept";
  EXPECT_EQ(0, wnd.SetCaptionButton(maxImage, kCaptionBtnMax, true, "Maximize", "Restore Down"));
  EXPECT_EQ(0, wnd.SetCaptionButton(minImage, kCaptionBtnMin, true, "Minimize", nullptr));
  wnd.OnSize(0, 0);
  EXPECT_EQ(267, b->GetButton(kCaptionBtnMax)->GetRect().left);
  EXPECT_EQ(252, b->GetButton(kCaptionBtnMin)->GetRect().left);
  EXPECT_EQ(4u, wnd.GetElementList()->GetCount() + 1) << "close, max, min";

  wnd.SetCaptionStyle(kCaptionClose);
  EXPECT_EQ(keep, b->GetButton(kCaptionBtnClose));
  EXPECT_EQ(nullptr, b->GetButton(kCaptionBtnMax));
  EXPECT_EQ(nullptr, b->GetButton(kCaptionBtnMin));
  EXPECT_EQ(1, wnd.SetCaptionButton(minImage, kCaptionBtnMin, true, "Minimize", nullptr));
  EXPECT_EQ(nullptr, b->GetButton(4));
  EXPECT_EQ(1u, wnd.GetElementList()->GetCount());

  wnd.SetCaptionStyle(kCaptionNone);
  EXPECT_EQ(0u, wnd.GetElementList()->GetCount());
}

TEST_F(SkinWndTest, CreateRegistersTheCaptionTooltips) {
  wnd.SetCaptionStyle(kCaptionCloseMinMax);
  wnd.SetCaptionButton(maxImage, kCaptionBtnMax, true, "Maximize", "Restore Down");
  wnd.SetCaptionButton(minImage, kCaptionBtnMin, true, "Minimize", nullptr);
  Make();
  HWND tip = CSkinToolTip::GetWindow();
  ASSERT_NE(nullptr, tip);
  int mine = 0;
  for (int i = 0, n = static_cast<int>(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0)); i < n; ++i) {
    TOOLINFOA ti = MakeToolInfo(nullptr, 0);
    ::SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&ti));
    if (ti.hwnd == wnd.m_hWnd) ++mine;
  }
  EXPECT_EQ(3, mine);
}

TEST_F(SkinWndTest, PaintsCornersBordersTitleAndBackground) {
  Make();
  MemoryCanvas canvas(300, 200);
  wnd.GetLayout()->SetActive(true);
  wnd.PaintTo(canvas.dc());
  EXPECT_EQ(ImageColour(kTopLeft), canvas.Pixel(0, 0));
  EXPECT_EQ(ImageColour(kTopLeft), canvas.Pixel(3, 22));
  EXPECT_EQ(ImageColour(kTopRight), canvas.Pixel(296, 0));
  EXPECT_EQ(ImageColour(kBottomLeft), canvas.Pixel(0, 199));
  EXPECT_EQ(ImageColour(kBottomRight), canvas.Pixel(299, 195));
  EXPECT_EQ(ImageColour(kTop), canvas.Pixel(4, 0)) << "top border stretched from the corner";
  EXPECT_EQ(ImageColour(kTop), canvas.Pixel(281, 22));
  EXPECT_EQ(ImageColour(kLeft), canvas.Pixel(0, 23));
  EXPECT_EQ(ImageColour(kLeft), canvas.Pixel(3, 194));
  EXPECT_EQ(ImageColour(kRight), canvas.Pixel(299, 100));
  EXPECT_EQ(ImageColour(kBottom), canvas.Pixel(150, 199));
  EXPECT_EQ(ImageColour(kTitleOn), canvas.Pixel(75, 0)) << "title centred";
  EXPECT_EQ(ImageColour(kTitleOn), canvas.Pixel(224, 22));
  EXPECT_EQ(ImageColour(kTop), canvas.Pixel(74, 0));
  EXPECT_EQ(ImageColour(kTop), canvas.Pixel(225, 0));
  EXPECT_EQ(kBackground, canvas.Pixel(150, 100));
  EXPECT_EQ(StripColour(201, 0), canvas.Pixel(282, 5)) << "close button, frame 0";

  ::SendMessageA(wnd.m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
  MemoryCanvas inactive(300, 200);
  wnd.PaintTo(inactive.dc());
  EXPECT_EQ(ImageColour(kTitleOff), inactive.Pixel(150, 10));
  ::SendMessageA(wnd.m_hWnd, WM_ACTIVATE, WA_ACTIVE, 0);
  MemoryCanvas active(300, 200);
  wnd.PaintTo(active.dc());
  EXPECT_EQ(ImageColour(kTitleOn), active.Pixel(150, 10));
}

TEST_F(SkinWndTest, AMissingCornerOrBorderHidesOnlyItself) {
  CSkinImage emptyHolder;  // a slot whose file did not load
  wnd.GetFrameImages()->SetTopLeft(&emptyHolder);
  wnd.GetFrameImages()->SetTopBorder(nullptr);
  Make();
  MemoryCanvas canvas(300, 200);
  wnd.PaintTo(canvas.dc());
  EXPECT_EQ(ImageColour(kLeft), canvas.Pixel(0, 0)) << "left border starts at the top";
  EXPECT_EQ(ImageColour(kTopRight), canvas.Pixel(297, 0));
  EXPECT_EQ(ImageColour(kBottom), canvas.Pixel(150, 199));
  EXPECT_EQ(kBackground, canvas.Pixel(40, 5)) << "no top border";
}

TEST_F(SkinWndTest, LeavingTheWindowClearsTheElementsStates) {
  Make();
  CSkinElement* close = wnd.GetCaptionButtons()->GetButton(kCaptionBtnClose);
  ::SendMessageA(wnd.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(285, 8));
  EXPECT_TRUE(close->IsHover());
  ::SendMessageA(wnd.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(285, 8));
  EXPECT_TRUE(close->IsPressed());
  ::SendMessageA(wnd.m_hWnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(close->IsHover());
  EXPECT_FALSE(close->IsPressed());
  // Coming back onto the same button hovers it again.
  ::SendMessageA(wnd.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(286, 8));
  EXPECT_TRUE(close->IsHover());
}

TEST_F(SkinWndTest, SetWindowRectMovesTheWindowAndStoresIt) {
  Make();
  wnd.SetWindowRect(RECT{40, 60, 440, 360});
  RECT r = WindowRect();
  EXPECT_EQ(40, r.left);
  EXPECT_EQ(300, r.bottom - r.top);
  EXPECT_EQ(40, wnd.GetLayout()->GetLeft());
  EXPECT_EQ(60, wnd.GetLayout()->GetTop());
  EXPECT_EQ(400, wnd.GetLayout()->GetWidth());
  EXPECT_EQ(300, wnd.GetLayout()->GetHeight());
}

TEST_F(SkinWndTest, CloseDestroysTheWindowButNotTheObject) {
  Make();
  HWND h = wnd.m_hWnd;
  ::SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_EQ(nullptr, wnd.m_hWnd);
  EXPECT_EQ(nullptr, CBmpWnd::FromHandle(h));
}

// Counts the paints the window really receives and hands each on.
WNDPROC g_skinProc = nullptr;
int g_paints = 0;
LRESULT CALLBACK CountPaints(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) ++g_paints;
  return ::CallWindowProcA(g_skinProc, hwnd, message, wParam, lParam);
}

TEST_F(SkinWndTest, RepaintingLeavesNoGdiObjectBehind) {
  Make(WS_VISIBLE);
  ::RedrawWindow(wnd.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  g_paints = 0;
  g_skinProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(wnd.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountPaints)));
  // Each round: one real WM_PAINT and one copy of the same buffered paint
  // into a memory bitmap, which is read back instead of the shared screen.
  MemoryCanvas canvas(300, 200);
  const long before = base::GdiLiveHandleCount();
  for (int i = 0; i < 3000; ++i) {
    ::RedrawWindow(wnd.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ::SendMessageA(wnd.m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
  }
  EXPECT_EQ(before, base::GdiLiveHandleCount());
  ::SetWindowLongPtrA(wnd.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_skinProc));
  EXPECT_EQ(3000, g_paints) << "every round reached the window";
  HDC probe = ::CreateCompatibleDC(nullptr);
  EXPECT_NE(nullptr, probe);
  ::DeleteDC(probe);
  EXPECT_EQ(ImageColour(kBottom), canvas.Pixel(150, 199));
  EXPECT_EQ(ImageColour(kTopLeft), canvas.Pixel(0, 0));
  EXPECT_EQ(kBackground, canvas.Pixel(150, 100));
}

}  // namespace
