#include <gtest/gtest.h>

#include <afxwin.h>

#include <cstdlib>

#include "ServicesFixture.h"
#include "SkinFixture.h"
#include "testsupport/MessagePump.h"
#include "ui/CPageFrame.h"

namespace {

// The abstract frame over a plain window, for its own layout rules.
class PlainFrame : public CPageFrame {
 public:
  explicit PlainFrame(CWnd* wnd) : m_wnd(wnd) {}
  CWnd* GetWnd() override { return m_wnd; }
  BOOL Create(DWORD, const RECT&, CWnd*, UINT) override { return FALSE; }

 private:
  CWnd* m_wnd;
};

bool Near(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
         std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

class PageFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        parent.CreateEx(0, nullptr, "frames", WS_POPUP | WS_VISIBLE, CRect(100, 400, 500, 560), nullptr, 0));
    ASSERT_TRUE(frame.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 310, 130), &parent, 0xFFFF));
  }
  void TearDown() override {
    frame.DestroyWindow();
    parent.DestroyWindow();
  }
  CWnd parent;
  CPageFrameWnd frame;
};

TEST_F(PageFrameTest, CaptionAndMessageAreas) {
  EXPECT_EQ(CRect(0, 0, 300, 0), frame.CaptionRect());  // caption off
  EXPECT_EQ(CRect(0, 0, 300, 120), frame.MessageRect());
  frame.SetCaptionHeight(20);
  EXPECT_EQ(CRect(0, 0, 300, 120), frame.MessageRect());
  frame.EnableCaption(TRUE);
  EXPECT_EQ(CRect(0, 0, 300, 20), frame.CaptionRect());
  EXPECT_EQ(CRect(0, 21, 300, 120), frame.MessageRect());  // the window leaves one pixel more

  PlainFrame plain(&frame);
  plain.SetCaptionHeight(20);
  plain.EnableCaption(TRUE);
  EXPECT_EQ(CRect(0, 20, 300, 120), plain.MessageRect());
}

TEST(PageFrameAlone, BeforeItsWindowExistsTheFrameOnlyStores) {
  CPageFrameWnd frame;
  frame.SetCaption("Audio", nullptr);
  frame.SetMessageText("nothing here");
  frame.SetMessageFormat(DT_LEFT);
  CString caption;
  HICON icon = reinterpret_cast<HICON>(1);
  frame.GetCaption(caption, &icon);
  EXPECT_STREQ("Audio", caption);
  EXPECT_EQ(nullptr, icon);
  EXPECT_STREQ("nothing here", frame.GetMessageText());
  EXPECT_EQ(static_cast<DWORD>(DT_LEFT), frame.GetMessageFormat());
  EXPECT_EQ(CRect(0, 0, 0, 0), frame.MessageRect());
}

TEST_F(PageFrameTest, TheCaptionRunsFromTheCaptionColourToTheBackground) {
  frame.SetCaptionHeight(20);
  frame.EnableCaption(TRUE);
  frame.SetCaption("Output", nullptr);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  MemoryCanvas canvas(300, 120, face);
  CDC* dc = CDC::FromHandle(canvas.dc());
  frame.PaintFrame(dc);
  EXPECT_EQ(::GetSysColor(COLOR_ACTIVECAPTION), canvas.Pixel(0, 0));
  EXPECT_EQ(::GetSysColor(COLOR_ACTIVECAPTION), canvas.Pixel(0, 19));
  EXPECT_TRUE(Near(face, canvas.Pixel(299, 10), 2));
  EXPECT_EQ(face, canvas.Pixel(150, 20));  // below the caption
  // A null icon: the text starts 2 pixels in, so columns 0 and 1 stay pure gradient.
  for (int y = 1; y < 20; ++y) {
    EXPECT_EQ(canvas.Pixel(0, 0), canvas.Pixel(0, y));
    EXPECT_EQ(canvas.Pixel(1, 0), canvas.Pixel(1, y));
  }
}

TEST_F(PageFrameTest, TheCaptionIconIsCopiedAndDrawnAtTheLeft) {
  HICON icon = MakeFlatIcon(RGB(255, 0, 0));
  ASSERT_NE(nullptr, icon);
  frame.SetCaptionHeight(24);
  frame.EnableCaption(TRUE);
  frame.SetCaption("Output", icon);
  EXPECT_EQ(1, frame.GetCaptionImageCount());
  ::DestroyIcon(icon);  // the frame keeps its own copy
  MemoryCanvas canvas(300, 120, ::GetSysColor(COLOR_BTNFACE));
  frame.PaintFrame(CDC::FromHandle(canvas.dc()));
  EXPECT_EQ(RGB(255, 0, 0), canvas.Pixel(3 + 8, 12));
  EXPECT_EQ(RGB(255, 0, 0), canvas.Pixel(3, 12 - 8));
  frame.SetCaption("Input", nullptr);
  EXPECT_EQ(0, frame.GetCaptionImageCount());
}

// A caption is one pen per column and a new caption a new image list: over
// more columns than the process has GDI handles, nothing may stay behind.
TEST_F(PageFrameTest, RepaintingAndRecaptioningLeaveNoGdiObjectBehind) {
  HICON icon = MakeFlatIcon(RGB(255, 0, 0));
  ASSERT_NE(nullptr, icon);
  frame.SetCaptionHeight(24);
  frame.EnableCaption(TRUE);
  MemoryCanvas canvas(300, 120, ::GetSysColor(COLOR_BTNFACE));
  for (int i = 0; i < 250; ++i) {  // 250 x 301 columns: beyond Wine's 65,480 handles
    frame.SetCaption("Output", icon);
    frame.PaintFrame(CDC::FromHandle(canvas.dc()));
  }
  ::DestroyIcon(icon);
  HDC probe = ::CreateCompatibleDC(nullptr);
  EXPECT_NE(nullptr, probe) << "GDI handles ran out";
  ::DeleteDC(probe);
  EXPECT_EQ(1, frame.GetCaptionImageCount());
  EXPECT_EQ(RGB(255, 0, 0), canvas.Pixel(3 + 8, 12)) << "the last paint still had its icon";
  EXPECT_EQ(::GetSysColor(COLOR_ACTIVECAPTION), canvas.Pixel(0, 0)) << "and its gradient";
}

TEST_F(PageFrameTest, Screenshot) {
  HICON icon = MakeFlatIcon(RGB(255, 0, 0));
  frame.SetCaptionHeight(22);
  frame.EnableCaption(TRUE);
  frame.SetCaption("Audio settings", icon);
  frame.SetMessageText("Please select a child item of 'Audio'.");
  ::DestroyIcon(icon);
  frame.RedrawWindow();
  testsupport::PumpFor(200);
  EXPECT_TRUE(CaptureWindowPng(frame.m_hWnd, ShotPath("page_frame.png")));
}

}  // namespace
