// The play-time model and its display.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "base/GdiHandles.h"
#include "playback/CPlayTime.h"
#include "playback/CPlayTimeWnd.h"

namespace {

struct Recorder : IPlayTimeListener {
  std::vector<std::vector<int>> changes;
  void OnTimeChanged(int h, int m, int s) override { changes.push_back({h, m, s}); }
};

TEST(PlayTime, SplitsAndNotifiesOnlyOnChange) {
  CPlayTime time;
  Recorder a, b;
  time.AddListener(&a);
  time.AddListener(&a);  // once only
  time.AddListener(&b);
  struct Case {
    unsigned total;
    std::vector<int> hms;
  } cases[] = {{3725, {1, 2, 5}}, {59, {0, 0, 59}}, {60, {0, 1, 0}}, {3599, {0, 59, 59}}, {0, {0, 0, 0}}};
  for (const Case& c : cases) {
    time.SetSeconds(c.total);
    ASSERT_FALSE(a.changes.empty());
    EXPECT_EQ(a.changes.back(), c.hms) << c.total;
  }
  EXPECT_EQ(a.changes.size(), 5u);
  time.SetSeconds(0);
  EXPECT_EQ(a.changes.size(), 5u) << "the same total twice notifies once";
  time.SetSeconds(3599);
  time.Tick();
  EXPECT_EQ(a.changes.back(), (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(time.GetSeconds(), 3600u);
  time.RemoveListener(&b);
  time.SetSeconds(5);
  EXPECT_EQ(a.changes.size(), b.changes.size() + 1);
}

TEST(PlayTime, TheDisplayShowsMinutesAndSecondsInGreen) {
  EXPECT_EQ(CPlayTimeWnd::FormatField(7), "07");
  EXPECT_EQ(CPlayTimeWnd::FormatField(10), "10");
  EXPECT_EQ(CPlayTimeWnd::FormatField(0), "00");
  CPlayTimeWnd window(nullptr, nullptr);
  CPlayTime time;
  time.AddListener(&window);
  time.SetSeconds(3725);
  EXPECT_EQ(window.Text(), "02:05") << "hours are counted, not shown";

  // Drawn into a black 32 x 13 bitmap: green text pixels, nothing else.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = 32;
  info.bmiHeader.biHeight = -13;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  base::ScopedMemoryDC dc;
  base::GdiBitmap bitmap(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_TRUE(bitmap);
  base::ScopedSelect select(dc.Get(), bitmap.Get());
  long before = base::GdiLiveHandleCount();
  window.Draw(dc.Get());
  EXPECT_EQ(base::GdiLiveHandleCount(), before);
  int green = 0, other = 0;
  const uint32_t* pixels = static_cast<const uint32_t*>(bits);
  for (int i = 0; i < 32 * 13; ++i) {
    uint32_t p = pixels[i] & 0xFFFFFF;
    if (p == 0) continue;
    // Anti-aliasing may blend, but only toward green.
    if ((p & 0xFF00FF) == 0)
      ++green;
    else
      ++other;
  }
  EXPECT_GT(green, 20);
  EXPECT_EQ(other, 0);
}

// Another program reads the time from the window text, so the text follows
// every change the face shows, the reset included.
TEST(PlayTime, TheWindowTextIsTheTimeShown) {
  CPlayTimeWnd window(nullptr, nullptr);
  CPlayTime time;
  time.AddListener(&window);
  ASSERT_EQ(window.Create(nullptr, 0, WS_POPUP, nullptr), 0);
  char text[32] = {};
  GetWindowTextA(window.GetSafeHwnd(), text, sizeof text);
  EXPECT_STREQ(text, "00:00");
  for (unsigned total : {65u, 3725u, 9u}) {
    time.SetSeconds(total);
    GetWindowTextA(window.GetSafeHwnd(), text, sizeof text);
    EXPECT_EQ(window.Text(), text) << total;
  }
  EXPECT_STREQ(text, "00:09");
  window.StopTimer(true);
  GetWindowTextA(window.GetSafeHwnd(), text, sizeof text);
  EXPECT_STREQ(text, "00:00");
}

}  // namespace
