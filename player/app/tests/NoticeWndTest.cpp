#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CNoticeWnd.h"
#include "testsupport/MessagePump.h"
#include "ui/PngSnapshot.h"
#include "ui/WebPages.h"

namespace {

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(NoticePlacement, EdgeFromWorkAreaAndScreen) {
  const SIZE screen = {1024, 768};
  struct {
    RECT work;
    NoticeEdge edge;
  } const cases[] = {
      {{0, 0, 1024, 738}, kEdgeBottom}, {{0, 30, 1024, 768}, kEdgeTop},  {{60, 0, 1024, 768}, kEdgeLeft},
      {{0, 0, 964, 768}, kEdgeOther},   {{0, 0, 1024, 768}, kEdgeOther},  // no taskbar (Xvfb)
  };
  for (const auto& c : cases)
    EXPECT_EQ(ChooseNoticeEdge(c.work, screen), c.edge) << c.work.left << "," << c.work.top;
}

TEST(NoticePlacement, SlidesOutOfTheChosenEdge) {
  const RECT w = {0, 0, 1024, 738};
  struct {
    NoticeEdge edge;
    int visible;
    RECT expected;
  } const cases[] = {
      {kEdgeBottom, 1, {694, 732, 1014, 733}}, {kEdgeBottom, 145, {694, 588, 1014, 733}},
      {kEdgeOther, 20, {694, 713, 1014, 733}}, {kEdgeTop, 20, {694, 0, 1014, 20}},
      {kEdgeLeft, 20, {10, 713, 340, 733}},
  };
  for (const auto& c : cases)
    EXPECT_TRUE(NoticeRectAt(c.edge, w, 330, 145, c.visible) == c.expected) << c.edge << " " << c.visible;
}

std::vector<std::string> g_opened;

TEST(NoticeWnd, GrowsStaysShrinksAndFreesItself) {
  SetUrlLauncher([](const char* url, int) { g_opened.push_back(url); });
  RECT work;
  ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  CNoticeWnd* wnd = ShowNoticeWnd("Melodara 2.0 is out: new karaoke effects, faster start-up", 330, 145, 300,
                                  1, 10, 15, 325, 140, nullptr);
  ASSERT_NE(wnd, nullptr);
  ASSERT_TRUE(wnd->Show());
  const HWND hwnd = wnd->m_hWnd;
  bool grown = false, clicked = false;
  RECT full = {};
  testsupport::PumpUntil(
      [&] {
        if (!grown && ::IsWindow(hwnd) && wnd->GetVisibleHeight() > 145) {
          grown = true;
          ::GetWindowRect(hwnd, &full);
          ::UpdateWindow(hwnd);
          SaveScreenAreaPng(full, "notice_popup.png");
          ::SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
          clicked = true;
        }
        return !::IsWindow(hwnd);
      },
      15000);
  EXPECT_TRUE(grown);
  EXPECT_TRUE(clicked);
  EXPECT_FALSE(::IsWindow(hwnd));  // gone, and the object with it
  EXPECT_EQ(full.right, work.right - 10);
  EXPECT_EQ(full.bottom, work.bottom - 5);
  EXPECT_EQ(full.bottom - full.top, 145);
  ASSERT_EQ(g_opened.size(), 1u);
  EXPECT_NE(g_opened[0].find("/English_index.aspx"), std::string::npos);
  SetUrlLauncher(nullptr);
}

}  // namespace
