#include <gtest/gtest.h>

#include <afxwin.h>

#include "ServicesFixture.h"
#include "SkinFixture.h"
#include "testsupport/MessagePump.h"
#include "ui/CColorButton.h"

namespace {

constexpr UINT kButtonId = 100;

// Counts the clicks that reach the parent.
class CClickParent : public CWnd {
 public:
  int clicks = 0;

 protected:
  afx_msg void OnButton() { ++clicks; }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickParent, CWnd)
  ON_BN_CLICKED(kButtonId, OnButton)
END_MESSAGE_MAP()

class RecordingSink : public IColorButtonSink {
 public:
  void OnColorChanged(int changed) override { calls.push_back(changed); }
  std::vector<int> calls;
};

// Sets the colour dialog's red, green and blue boxes, then presses OK.
void PickInDialog(HWND dialog, COLORREF colour) {
  ::SetDlgItemInt(dialog, 706, GetRValue(colour), FALSE);
  ::SetDlgItemInt(dialog, 707, GetGValue(colour), FALSE);
  ::SetDlgItemInt(dialog, 708, GetBValue(colour), FALSE);
  ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

class ColorButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        parent.CreateEx(0, nullptr, "colours", WS_POPUP | WS_VISIBLE, CRect(50, 50, 350, 150), nullptr, 0));
    // Made plain and subclassed afterwards, as DDX_Control does.
    HWND plain = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 100, 30,
                                   parent.m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kButtonId)),
                                   nullptr, nullptr);
    ASSERT_TRUE(button.SubclassWindow(plain));
    button.SetChangeSink(&sink);
    button.SetColor(RGB(10, 20, 30));
  }
  void TearDown() override {
    button.DestroyWindow();
    parent.DestroyWindow();
  }
  void Click() { parent.SendMessage(WM_COMMAND, MAKEWPARAM(kButtonId, BN_CLICKED), (LPARAM)button.m_hWnd); }
  void Draw(MemoryCanvas& canvas, UINT state) {
    DRAWITEMSTRUCT dis = {};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = kButtonId;
    dis.hwndItem = button.m_hWnd;
    dis.hDC = canvas.dc();
    dis.rcItem = RECT{0, 0, 100, 30};
    dis.itemState = state;
    button.DrawItem(&dis);
  }

  CClickParent parent;
  CColorButton button;
  RecordingSink sink;
};

TEST_F(ColorButtonTest, SubclassingMakesTheButtonOwnerDrawn) {
  EXPECT_EQ(static_cast<DWORD>(BS_OWNERDRAW), button.GetStyle() & BS_TYPEMASK);
}

TEST_F(ColorButtonTest, ADifferentColourIsTakenAndReported) {
  DriveNextDialog([](HWND dialog) { PickInDialog(dialog, RGB(200, 100, 50)); });
  Click();
  EXPECT_TRUE(DialogWasDriven());
  EXPECT_EQ(RGB(200, 100, 50), button.GetColor());
  EXPECT_EQ(std::vector<int>{1}, sink.calls);
  EXPECT_EQ(1, parent.clicks);  // the parent hears the click too
}

TEST_F(ColorButtonTest, TheSameColourOrCancelChangesNothing) {
  DriveNextDialog([](HWND dialog) { PickInDialog(dialog, RGB(10, 20, 30)); });
  EXPECT_FALSE(button.PickColor());
  EXPECT_TRUE(DialogWasDriven());
  DriveNextDialog([](HWND dialog) {
    ::SetDlgItemInt(dialog, 706, 255, FALSE);
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_FALSE(button.PickColor());
  EXPECT_TRUE(DialogWasDriven());
  EXPECT_EQ(RGB(10, 20, 30), button.GetColor());
  EXPECT_TRUE(sink.calls.empty());
}

TEST_F(ColorButtonTest, WithoutPickOnClickOnlyTheParentSeesTheClick) {
  button.SetPickOnClick(FALSE);
  DriveNextDialog([](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }, 600);
  Click();
  testsupport::PumpFor(800);
  EXPECT_FALSE(DialogWasDriven());
  EXPECT_EQ(1, parent.clicks);
  EXPECT_TRUE(sink.calls.empty());
}

TEST_F(ColorButtonTest, TheSwatchShowsTheColourAndADisabledOneACheckerboard) {
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  MemoryCanvas canvas(100, 30);
  Draw(canvas, 0);
  EXPECT_EQ(RGB(10, 20, 30), canvas.Pixel(50, 15));
  EXPECT_EQ(RGB(10, 20, 30), canvas.Pixel(6, 6));  // the swatch starts 5 px in
  EXPECT_EQ(face, canvas.Pixel(0, 0));

  button.EnableWindow(FALSE);
  MemoryCanvas disabled(100, 30);
  Draw(disabled, ODS_DISABLED);
  EXPECT_EQ(face, disabled.Pixel(50, 16));  // x + y even
  EXPECT_EQ(RGB(10, 20, 30), disabled.Pixel(51, 16));

  // For a person to look at: plain, dark frame with text, disabled with text.
  MemoryCanvas shot(320, 30, RGB(255, 255, 255));
  button.EnableWindow(TRUE);
  button.SetColor(RGB(230, 120, 20));
  Draw(shot, 0);
  ::SetViewportOrgEx(shot.dc(), 110, 0, nullptr);
  button.SetWindowText("Lyrics");
  button.SetDarkFrame(TRUE);
  Draw(shot, ODS_FOCUS);
  ::SetViewportOrgEx(shot.dc(), 220, 0, nullptr);
  button.EnableWindow(FALSE);
  Draw(shot, ODS_DISABLED);
  ::SetViewportOrgEx(shot.dc(), 0, 0, nullptr);
  EXPECT_TRUE(shot.SavePng(ShotPath("colour_button.png")));
}

}  // namespace
