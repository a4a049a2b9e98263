#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "RecordingWnd.h"
#include "SkinFixture.h"
#include "testsupport/MessagePump.h"
#include "ui/CSkinButton.h"
#include "ui/CSkinElementList.h"
#include "ui/PlayerMessages.h"
#include "ui/CSkinToolTip.h"

namespace {

class SkinButtonTest : public ::testing::Test {
 protected:
  void SetUp() override { strip.reset(MakeFlatImage(200, 30, 110, 4)); }
  template <class T>
  void Make(T& button, int id = 7, bool tip = false, const char* text = nullptr,
            const char* checked = nullptr) {
    button.SetImage(strip.get());
    button.EnableToolTip(tip);
    if (tip) button.SetToolTipText(text, checked);
    int w = 0, h = 0;
    button.GetFrameSize(&w, &h);
    ASSERT_EQ(0, button.Create(id, parent.m_hWnd, 0, 0, w, h));
  }
  void Click(CSkinButton& b) {
    ::SendMessageA(b.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    ::SendMessageA(b.GetHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  }
  // The frame DrawItem paints, read from a memory DC.
  int DrawnFrame(CSkinButton& b, UINT itemState) {
    MemoryCanvas canvas(60, 40);
    DRAWITEMSTRUCT item = {};
    item.hDC = canvas.dc();
    item.itemState = itemState;
    b.DrawItem(&item);
    for (int k = 0; k < 4; ++k)
      if (canvas.Pixel(0, 0) == StripColour(110, k) && canvas.Pixel(49, 29) == StripColour(110, k)) {
        EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(50, 29)) << "one frame wide, unscaled";
        return k;
      }
    return -1;
  }
  std::string TipText(const CSkinButton& b) {
    char text[80] = {};
    TOOLINFOA ti = MakeToolInfo(b.GetHwnd(), static_cast<UINT_PTR>(b.GetToolId()));
    ti.lpszText = text;
    ::SendMessageA(CSkinButton::GetSharedToolTip(), TTM_GETTEXTA, sizeof(text),
                   reinterpret_cast<LPARAM>(&ti));
    return text;
  }
  std::unique_ptr<CSkinImage> strip;
  RecordingWnd parent;
};

TEST_F(SkinButtonTest, IsOneFrameInSizeAndDrawsTheFrameOfItsState) {
  CSkinButton b;
  Make(b);
  RECT r;
  ::GetClientRect(b.GetHwnd(), &r);
  EXPECT_EQ(50, r.right);
  EXPECT_EQ(30, r.bottom);
  EXPECT_EQ(0, DrawnFrame(b, 0));
  EXPECT_EQ(3, DrawnFrame(b, ODS_DISABLED));
  ::SendMessageA(b.GetHwnd(), WM_MOUSEHOVER, 0, 0);
  EXPECT_EQ(1, DrawnFrame(b, 0));
  EXPECT_EQ(1, DrawnFrame(b, ODS_DISABLED)) << "hover wins over disabled";
  ::SendMessageA(b.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  EXPECT_EQ(2, DrawnFrame(b, 0));
  ::SendMessageA(b.GetHwnd(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(b.IsPressed());
  EXPECT_EQ(0, DrawnFrame(b, 0));
  EXPECT_EQ(1, ::SendMessageA(b.GetHwnd(), WM_ERASEBKGND, 0, 0));

  CSkinButton toggle(true);
  Make(toggle, 8);
  toggle.SetCheck(true);
  EXPECT_EQ(2, DrawnFrame(toggle, 0));
  ::SendMessageA(toggle.GetHwnd(), WM_MOUSEHOVER, 0, 0);
  EXPECT_EQ(1, DrawnFrame(toggle, 0)) << "hover wins over checked";
}

TEST_F(SkinButtonTest, WithoutAnImageItIsEmptyAndDrawsNothing) {
  CSkinButton b;
  int w = -1, h = -1;
  b.GetFrameSize(&w, &h);
  EXPECT_EQ(0, w);
  EXPECT_EQ(0, h);
  EXPECT_EQ(0, CreateSkinButton(&b, parent.m_hWnd, 5 /* not registered */, 9, false, nullptr, nullptr));
  MemoryCanvas canvas(10, 10);
  DRAWITEMSTRUCT item = {};
  item.hDC = canvas.dc();
  b.DrawItem(&item);
  EXPECT_EQ(RGB(1, 2, 3), canvas.Pixel(0, 0));
}

TEST_F(SkinButtonTest, CommandButtonSendsOneCommandOnRelease) {
  CSkinCmdButton b;
  Make(b, 1);
  ::SendMessageA(b.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  EXPECT_TRUE(parent.Of(WM_COMMAND).empty());
  ::SendMessageA(b.GetHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  testsupport::PumpFor(20);  // a standard button's notification would come now
  auto commands = parent.Of(WM_COMMAND);
  ASSERT_EQ(1u, commands.size());
  EXPECT_EQ(MAKEWPARAM(1, BN_CLICKED), commands[0].wParam);
  EXPECT_EQ(reinterpret_cast<LPARAM>(b.GetHwnd()), commands[0].lParam);

  CSkinCmdButton toggle(true);
  Make(toggle, 2);
  ::SendMessageA(toggle.GetHwnd(), WM_MOUSEHOVER, 0, 0);
  EXPECT_FALSE(toggle.IsHover()) << "a toggle command button shows no hover";
  Click(toggle);
  EXPECT_FALSE(toggle.GetCheck()) << "checked only through SetCheck";
}

TEST_F(SkinButtonTest, DerivedButtonsTellTheParent) {
  CSkinArrowButton arrow;
  Make(arrow, 1010);
  ::SendMessageA(arrow.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
  ASSERT_EQ(1u, parent.Of(WM_COMMAND).size()) << "an arrow acts on press";
  EXPECT_EQ(1010u, parent.Of(WM_COMMAND)[0].wParam);
  EXPECT_EQ(0, parent.Of(WM_COMMAND)[0].lParam);

  CSkinIconButton icon;
  Make(icon, 3);
  ::SendMessageA(icon.GetHwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
  EXPECT_EQ(1u, parent.Of(WM_SKIN_CLOSE).size());
  CSkinHideButton hide;
  Make(hide, 4);
  Click(hide);
  EXPECT_EQ(1u, parent.Of(WM_SKIN_HIDE_CHILD).size());
  CSkinCloseButton close;
  Make(close, 5);
  Click(close);
  EXPECT_EQ(1u, parent.Of(WM_CLOSE).size());
  CSkinMinimizeButton min;
  Make(min, 6);
  Click(min);
  ASSERT_EQ(1u, parent.Of(WM_SYSCOMMAND).size());
  EXPECT_EQ(static_cast<WPARAM>(SC_MINIMIZE), parent.Of(WM_SYSCOMMAND)[0].wParam);
}

TEST_F(SkinButtonTest, MaximizeButtonsCountTheirOwnClicks) {
  CSkinMaximizeButton a, b;
  Make(a, 1, true, "Maximize", "Restore Down");
  Make(b, 2, true, "Maximize", "Restore Down");
  Click(a);
  EXPECT_TRUE(a.GetCheck());
  EXPECT_EQ("Restore Down", TipText(a));
  Click(b);  // b's first click maximizes its window too
  Click(a);
  EXPECT_FALSE(a.GetCheck());
  EXPECT_EQ("Maximize", TipText(a));
  auto commands = parent.Of(WM_SYSCOMMAND);
  ASSERT_EQ(3u, commands.size());
  EXPECT_EQ(static_cast<WPARAM>(SC_MAXIMIZE), commands[0].wParam);
  EXPECT_EQ(static_cast<WPARAM>(SC_MAXIMIZE), commands[1].wParam);
  EXPECT_EQ(static_cast<WPARAM>(SC_RESTORE), commands[2].wParam);
}

TEST_F(SkinButtonTest, CheckedTextSurvivesANullAndTooltipsOutliveOtherButtons) {
  CSkinButton toggle(true);
  toggle.SetToolTipText("Show", "Hide");
  toggle.SetToolTipText("Show lyrics", nullptr);
  Make(toggle, 1, true, "Show lyrics", nullptr);
  toggle.SetCheck(true);
  EXPECT_EQ("Hide", TipText(toggle));
  toggle.SetCheck(false);
  EXPECT_EQ("Show lyrics", TipText(toggle));

  HWND tip = CSkinButton::GetSharedToolTip();
  ASSERT_NE(nullptr, tip);
  {
    CSkinButton passing;
    Make(passing, 2, true, "Passing", nullptr);
    EXPECT_EQ(2, ::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
  }
  EXPECT_TRUE(::IsWindow(tip)) << "one button going must not take the others' tooltips";
  EXPECT_EQ(1, ::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
  EXPECT_EQ("Show lyrics", TipText(toggle));
}

// Buttons and the frames' elements show their tips through one tooltip
// window, and either side going leaves the other's tips in it.
TEST_F(SkinButtonTest, ButtonsShareTheElementListsTooltipWindow) {
  struct Case {
    const char* what;
    bool buttonGoesFirst;
  };
  const Case cases[] = {{"the button goes first", true}, {"the element list goes first", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto list = std::make_unique<CSkinElementList>();
    list->SetOwner(parent.m_hWnd);
    auto* element = new CSkinElement;
    element->SetRect(0, 0, 10, 10);
    element->SetTipText("element", nullptr);
    element->SetToolId(list->NewToolId());
    list->Add(element);
    list->AddTool(element);
    auto button = std::make_unique<CSkinButton>();
    Make(*button, 3, true, "button", nullptr);

    HWND tip = CSkinToolTip::GetWindow();
    ASSERT_NE(nullptr, tip);
    EXPECT_EQ(tip, CSkinButton::GetSharedToolTip());
    EXPECT_EQ(2, ::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
    EXPECT_EQ("button", TipText(*button));

    if (c.buttonGoesFirst) {
      button.reset();
      EXPECT_EQ(nullptr, CSkinButton::GetSharedToolTip());
    } else {
      list.reset();
      EXPECT_EQ("button", TipText(*button));
    }
    ASSERT_TRUE(::IsWindow(tip)) << "the other side still shows its tip";
    EXPECT_EQ(1, ::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
    list.reset();
    button.reset();
    EXPECT_FALSE(::IsWindow(tip)) << "the last user takes the window with it";
    EXPECT_EQ(nullptr, CSkinToolTip::GetWindow());
  }
}

TEST_F(SkinButtonTest, DestroyingHandsTheWindowBackToTheStandardProcedure) {
  auto* b = new CSkinButton;
  Make(*b, 1);
  HWND h = b->GetHwnd();
  ::SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(::IsWindow(h));
  EXPECT_EQ(nullptr, b->GetHwnd());
  delete b;

  // Destroyed with its parent: the button forgets its handle.
  CSkinButton orphan;
  {
    RecordingWnd shortLived;
    orphan.SetImage(strip.get());
    ASSERT_EQ(0, orphan.Create(3, shortLived.m_hWnd, 0, 0, 50, 30));
  }
  EXPECT_EQ(nullptr, orphan.GetHwnd());
}

}  // namespace

namespace {

// The real path: the pointer moving onto a shown button makes Windows send
// the hover and leave notifications the button asked for.
TEST(SkinButtonOnScreen, PointerBringsHoverAndLeave) {
  std::unique_ptr<CSkinImage> strip(MakeFlatImage(200, 30, 110, 4));
  RecordingWnd parent;
  ::ShowWindow(parent.m_hWnd, SW_SHOWNOACTIVATE);
  CSkinButton b;
  b.SetImage(strip.get());
  ASSERT_EQ(0, b.Create(1, parent.m_hWnd, 10, 10, 50, 30));
  RECT r;
  ::GetWindowRect(b.GetHwnd(), &r);
  ::SetCursorPos(r.left + 20, r.top + 10);
  for (int i = 0; i < 100 && !b.IsHover(); ++i) {
    if (i % 10 == 0) ::SetCursorPos(r.left + 20 + (i / 10) % 2, r.top + 10);
    testsupport::PumpFor(10);
  }
  EXPECT_TRUE(b.IsHover());
  ::SetCursorPos(r.right + 100, r.bottom + 100);
  testsupport::PumpUntil([&] { return !b.IsHover(); }, 1000);
  EXPECT_FALSE(b.IsHover());
}

}  // namespace
