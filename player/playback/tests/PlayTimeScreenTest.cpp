// The play-time display as a real window on the screen: a black 32 x 13
// child at (209, 77) of a parent, as the main window places it, showing
// "02:05" in green. Saves playtime.png beside the program for a look. Run
// again under a Chinese code page, where "Arial" maps to another face.
#include <gtest/gtest.h>
#include <windows.h>

#include "playback/CPlayTime.h"
#include "playback/CPlayTimeWnd.h"
#include "testsupport/MessagePump.h"
#include "ui/PngSnapshot.h"

namespace {

TEST(PlayTimeScreen, TheDisplayShowsTheTimeInGreenOnBlack) {
  HWND parent = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 100, 100, 300, 120,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  CPlayTimeWnd display(nullptr, nullptr);
  CPlayTime time;
  time.AddListener(&display);
  ASSERT_EQ(display.Create(parent, 0, WS_CHILD, nullptr), 0);
  SetWindowPos(display.GetSafeHwnd(), nullptr, 209, 77, 32, 13, SWP_NOZORDER | SWP_SHOWWINDOW);
  time.SetSeconds(3725);
  UpdateWindow(display.GetSafeHwnd());
  testsupport::PumpFor(300);
  RECT area;
  GetWindowRect(display.GetSafeHwnd(), &area);
  EXPECT_TRUE(SaveScreenAreaPng(area, "playtime.png"));
  HDC screen = GetDC(nullptr);
  int green = 0, black = 0, other = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      COLORREF c = GetPixel(screen, x, y);
      if (c == 0)
        ++black;
      else if (GetRValue(c) == 0 && GetBValue(c) == 0)
        ++green;
      else
        ++other;
    }
  // The face fits its box in every code page: the last digit is not cut at
  // the right edge, so the rightmost column stays clear.
  int rightEdge = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    const COLORREF c = GetPixel(screen, area.right - 1, y);
    if (c != 0 && GetRValue(c) == 0 && GetBValue(c) == 0) ++rightEdge;
  }
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(rightEdge, 0) << "the time is cut at its right edge";
  EXPECT_GT(green, 20);
  EXPECT_GT(black, 200);
  EXPECT_EQ(other, 0);
  DestroyWindow(parent);
}

}  // namespace
