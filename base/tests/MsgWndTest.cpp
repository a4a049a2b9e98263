#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <base/CMsgWnd.h>

namespace {

struct Sink : IMsgWndSink {
  int OnWndMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message >= WM_USER)
      seen.push_back("sink " + std::to_string(message - WM_USER) + " " + std::to_string(wParam));
    return 0;
  }
  std::vector<std::string> seen;
};

std::vector<std::string>* g_seen = nullptr;
void Callback(HWND, UINT message, WPARAM wParam, LPARAM, LONG_PTR user) {
  if (message >= WM_USER)
    g_seen->push_back("callback " + std::to_string(message - WM_USER) + " " + std::to_string(user));
}

TEST(MsgWndTest, MessagesGoToTheSinkThenTheCallback) {
  CMsgWnd window;
  Sink sink;
  g_seen = &sink.seen;
  HWND hwnd = window.Create(nullptr);
  ASSERT_NE(nullptr, hwnd);
  EXPECT_EQ(&window, GetPropA(hwnd, "PROP_USERDATA"));
  char className[32] = {};
  GetClassNameA(hwnd, className, sizeof className);
  EXPECT_STREQ("MsgWnd", className);
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(nullptr, window.SetSink(&sink));
  window.SetCallback(&Callback, 42);
  SendMessageA(hwnd, WM_USER + 5, 7, 0);
  EXPECT_EQ((std::vector<std::string>{"sink 5 7", "callback 5 42"}), sink.seen);
  EXPECT_EQ(&sink, window.SetSink(nullptr));
  EXPECT_EQ(1, window.Destroy());
  EXPECT_EQ(nullptr, window.GetHwnd());
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(0, window.Destroy());
}

TEST(MsgWndTest, TheClassBelongsToTheModuleThatCompiledIt) {
  CMsgWnd first, second;
  HWND a = first.Create(nullptr);
  HWND b = second.Create(nullptr);
  ASSERT_TRUE(a && b);
  // Not the program's instance when compiled into a library; here the test
  // program compiled it, so its own module is the owner either way.
  WNDCLASSA wc = {};
  EXPECT_TRUE(
      GetClassInfoA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(a, GWLP_HINSTANCE)), "MsgWnd", &wc));
  // One window gone leaves the class for the other.
  first.Destroy();
  EXPECT_TRUE(IsWindow(b));
  SendMessageA(b, WM_USER, 0, 0);
  second.Destroy();
}

}  // namespace
