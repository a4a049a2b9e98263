#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <vector>

#include "ServicesFixture.h"
#include "SkinFixture.h"
#include "testsupport/MessagePump.h"
#include "ui/CLinkLabel.h"
#include "ui/CSkinToolTip.h"
#include "ui/WebPages.h"

namespace {

// The label on a dark parent, as the main window shows it.
class LinkLabelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LaunchedUrls().clear();
    WriteTestSetting("GENERAL_SETTING", "HOME_URL", nullptr);
    // Hidden: mapping windows under X costs seconds, and nothing here needs it.
    parent = MakeTestWindow(RECT{100, 100, 400, 140}, WS_POPUP);
    brush = ::CreateSolidBrush(RGB(0, 0, 0));
    label = std::make_unique<CLinkLabel>();
    label->SetBkBrush(brush);
    ASSERT_EQ(0, label->Create(parent, 0, WS_CHILD | WS_VISIBLE));
    label->MoveWindow(10, 10, 280, 20);
    text().SetPrefix("News:");
    text().SetLink("Visit Melodara");
  }
  void TearDown() override {
    label.reset();
    ::DestroyWindow(parent);
    ::DeleteObject(brush);
    WriteTestSetting("GENERAL_SETTING", "HOME_URL", nullptr);
  }
  CScrollText& text() { return label->GetScrollText(); }
  std::vector<int> Rotate(int steps) {
    std::vector<int> seen;
    for (int i = 0; i < steps; ++i) {
      text().OnTimer();
      seen.push_back(text().GetCurrent());
    }
    return seen;
  }
  LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }
  POINT LinkCentre() {
    const RECT r = text().GetLinkRect();
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  HWND parent = nullptr;
  HBRUSH brush = nullptr;
  std::unique_ptr<CLinkLabel> label;
};

// The tooltip window is shared: a label going away takes only its own tool.
TEST_F(LinkLabelTest, ALabelGoingAwayLeavesTheSharedTooltipToTheOthers) {
  HWND tip = CSkinToolTip::GetWindow();
  ASSERT_NE(nullptr, tip);
  auto other = std::make_unique<CLinkLabel>();
  other->SetBkBrush(brush);
  ASSERT_EQ(0, other->Create(parent, 0, WS_CHILD));
  const LRESULT both = ::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0);
  label.reset();
  ASSERT_TRUE(::IsWindow(tip));
  EXPECT_EQ(tip, CSkinToolTip::GetWindow());
  EXPECT_EQ(both - 1, ::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
}

TEST_F(LinkLabelTest, RotationSkipsAnEmptyTextAndWraps) {
  text().AddLine("first news");
  text().AddLine("second news");
  EXPECT_EQ((std::vector<int>{1, 2, 3, 1, 2, 3, 1}), Rotate(7));
  text().SetText("Melodara");
  EXPECT_EQ((std::vector<int>{2, 3, 0, 1, 2, 3, 0}), Rotate(7));
}

TEST_F(LinkLabelTest, AShorterNewsListWhileALaterLineShowsStillWraps) {
  text().SetText("Melodara");
  for (const char* line : {"a", "b", "c"}) text().AddLine(line);
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4}), Rotate(4));
  text().ClearLines();
  text().AddLine("only one");
  // Waiting for "current == lines + 1" would leave the label blank for good.
  EXPECT_EQ((std::vector<int>{0, 1, 2, 0}), Rotate(4));
}

TEST_F(LinkLabelTest, HoverOnALinkPausesTheRotationUntilTheMouseLeaves) {
  text().AddLine("news");
  Rotate(1);
  ASSERT_EQ(1, text().GetCurrent());
  const POINT p = LinkCentre();
  ::SendMessageA(label->m_hWnd, WM_MOUSEMOVE, 0, Point(p.x, p.y));
  EXPECT_TRUE(text().IsHover());
  EXPECT_EQ((std::vector<int>{1, 1}), Rotate(2));
  ::SendMessageA(label->m_hWnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(text().IsHover());
  EXPECT_EQ((std::vector<int>{2}), Rotate(1));
}

TEST_F(LinkLabelTest, CheckHoverFindsThePointerRestingOnTheLink) {
  Rotate(1);
  const POINT centre = LinkCentre();
  POINT screen = centre;
  ::ClientToScreen(label->m_hWnd, &screen);
  ::SetCursorPos(screen.x, screen.y);
  label->CheckHover();
  EXPECT_TRUE(text().IsHover());
  ::SendMessageA(label->m_hWnd, WM_MOUSELEAVE, 0, 0);
  ::SetCursorPos(2, 2);
  label->CheckHover();
  EXPECT_FALSE(text().IsHover());
}

TEST_F(LinkLabelTest, TheFixedTextIsNoLink) {
  text().SetText("Melodara");
  ASSERT_EQ(0, text().GetCurrent());
  text().SetHover(true);
  EXPECT_FALSE(text().IsHover());
  const RECT r = text().GetLinkRect();
  EXPECT_TRUE(::IsRectEmpty(&r));
  ::SendMessageA(label->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(140, 8));
  EXPECT_TRUE(LaunchedUrls().empty());
}

TEST_F(LinkLabelTest, TheLinkRectangleExcludesItsEdgesAndIsMeasuredAgainAfterSetLink) {
  Rotate(1);
  ASSERT_EQ(1, text().GetCurrent());
  const RECT r = text().GetLinkRect();
  ASSERT_GT(r.right - r.left, 10);
  ASSERT_GT(r.bottom - r.top, 4);
  const int midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
  struct {
    int x, y;
    bool hit;
  } points[] = {{midX, midY, true},      {r.left, midY, false},     {r.left + 1, midY, true},
                {r.right, midY, false},  {r.right - 1, midY, true}, {midX, r.top, false},
                {midX, r.bottom, false}, {midX, r.bottom - 1, true}};
  for (auto& p : points) EXPECT_EQ(p.hit, text().HitLink(p.x, p.y)) << p.x << "," << p.y;

  text().SetLink("Visit the Melodara web site today");
  const RECT longer = text().GetLinkRect();
  EXPECT_GT(longer.right - longer.left, r.right - r.left);
}

TEST_F(LinkLabelTest, AClickOnTheLinkOpensTheHomePageFromTheSettings) {
  WriteTestSetting("GENERAL_SETTING", "HOME_URL", "http://127.0.0.1:8123/");
  text().AddLine("news line");
  Rotate(1);
  POINT p = LinkCentre();
  ::SendMessageA(label->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(p.x, p.y));
  ASSERT_EQ(1u, LaunchedUrls().size());
  EXPECT_EQ("http://127.0.0.1:8123/English_index.aspx", LaunchedUrls()[0].first);
  EXPECT_EQ(SW_SHOW, LaunchedUrls()[0].second);

  Rotate(1);  // a news line opens the same page
  p = LinkCentre();
  ::SendMessageA(label->m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, Point(p.x, p.y));
  ASSERT_EQ(2u, LaunchedUrls().size());
  EXPECT_EQ(LaunchedUrls()[0].first, LaunchedUrls()[1].first);
}

TEST(WebPagesTest, TheHomeAddressComesFromTheSettingsOrTheBuiltInDefault) {
  WriteTestSetting("GENERAL_SETTING", "HOME_URL", nullptr);
  EXPECT_EQ(DefaultHomeUrl(), GetHomeUrl());
  WriteTestSetting("GENERAL_SETTING", "HOME_URL", "  http://127.0.0.1:9/  ");
  std::string out;
  GetHomeUrl(out);
  EXPECT_EQ("http://127.0.0.1:9", out);
  LaunchedUrls().clear();
  EXPECT_EQ(0, OpenWebPage(SW_SHOWNORMAL));
  ASSERT_EQ(1u, LaunchedUrls().size());
  EXPECT_EQ("http://127.0.0.1:9/English_index.aspx", LaunchedUrls()[0].first);
  EXPECT_EQ(SW_SHOWNORMAL, LaunchedUrls()[0].second);
  WriteTestSetting("GENERAL_SETTING", "HOME_URL", nullptr);
}

TEST_F(LinkLabelTest, TheTooltipFollowsTheCurrentLine) {
  text().AddLine("tip of the day");
  Rotate(2);
  ASSERT_EQ(2, text().GetCurrent());
  HWND tip = CSkinToolTip::GetWindow();
  ASSERT_NE(nullptr, tip);
  char buffer[80] = {};
  TOOLINFOA ti = MakeToolInfo(label->m_hWnd, static_cast<UINT_PTR>(text().GetToolId()));
  ti.lpszText = buffer;
  ::SendMessageA(tip, TTM_GETTEXTA, sizeof(buffer), reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ("tip of the day", buffer);
}

// Records whether anyone switches the shared tooltip window off.
WNDPROC g_tipProc = nullptr;
std::vector<WPARAM> g_activations;
LRESULT CALLBACK RecordActivation(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TTM_ACTIVATE) g_activations.push_back(wParam);
  return ::CallWindowProcA(g_tipProc, hwnd, message, wParam, lParam);
}

TEST_F(LinkLabelTest, ALineWithoutTipSilencesOnlyTheLabelsOwnTool) {
  text().AddLine("news");
  text().AddLine("");
  HWND tip = CSkinToolTip::GetWindow();
  ASSERT_NE(nullptr, tip);
  auto tipText = [&] {
    char buffer[80] = "unread";
    TOOLINFOA ti = MakeToolInfo(label->m_hWnd, static_cast<UINT_PTR>(text().GetToolId()));
    ti.lpszText = buffer;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof(buffer), reinterpret_cast<LPARAM>(&ti));
    return std::string(buffer);
  };
  g_activations.clear();
  g_tipProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordActivation)));
  for (int i = 0; i < 10 && text().GetCurrent() != 3; ++i) text().OnTimer();
  ASSERT_EQ(3, text().GetCurrent());
  const std::string silent = tipText();
  text().OnTimer();  // wraps to the link
  ::SetWindowLongPtrA(tip, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_tipProc));
  EXPECT_EQ("", silent);
  EXPECT_EQ("Visit Melodara", tipText());
  for (WPARAM on : g_activations) EXPECT_TRUE(on) << "the shared tooltip stays on for the other windows";
}

TEST_F(LinkLabelTest, TheTimerRotatesOnItsOwn) {
  text().AddLine("news");
  text().SetPeriod(40);
  ASSERT_TRUE(text().IsScrolling());
  testsupport::PumpUntil([&] { return text().GetCurrent() >= 2; }, 3000);
  EXPECT_GE(text().GetCurrent(), 1);
  text().StopScroll();
  EXPECT_FALSE(text().IsScrolling());
}

TEST_F(LinkLabelTest, Screenshot) {
  text().SetText("Melodara karaoke player");
  text().AddLine("A new skin is out: download it now");
  // Three states stacked: fixed text, prefix with hovered link, a news line.
  MemoryCanvas canvas(280, 60, RGB(0, 0, 0));
  HDC dc = canvas.dc();
  text().Draw(dc);  // line 0
  ::SetViewportOrgEx(dc, 0, 20, nullptr);
  Rotate(1);
  text().SetHover(true);
  text().Draw(dc);
  text().SetHover(false);
  ::SetViewportOrgEx(dc, 0, 40, nullptr);
  Rotate(1);
  text().Draw(dc);
  ::SetViewportOrgEx(dc, 0, 0, nullptr);
  EXPECT_TRUE(canvas.SavePng(ShotPath("link_label.png")));
  // Some green text and, on the hovered link, some yellow.
  bool green = false, yellow = false;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 280; ++x) {
      const COLORREF c = canvas.Pixel(x, y);
      if (c == CScrollText::kPlainColour) green = true;
      if (c == CScrollText::kHoverColour && y >= 20 && y < 40) yellow = true;
    }
  EXPECT_TRUE(green);
  EXPECT_TRUE(yellow);
}

}  // namespace
