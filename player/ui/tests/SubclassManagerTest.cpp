#include <gtest/gtest.h>

#include <vector>

#include "ServicesFixture.h"
#include "ui/CSubclassManager.h"

namespace {

constexpr UINT kProbe = WM_APP + 7;

// Records what reaches it and how the subclassed procedure was called.
struct Recorder {
  std::vector<std::pair<WPARAM, LPARAM>> seen;
};
Recorder g_original;

LRESULT CALLBACK OriginalProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kProbe) {
    g_original.seen.emplace_back(wParam, lParam);
    return 1000 + static_cast<LRESULT>(wParam);
  }
  return TestWndProc(hwnd, msg, wParam, lParam);
}

// A handler that doubles wParam before passing the message on.
class DoublingHandler : public ISubclassHandler {
 public:
  LRESULT OnSubclassMessage(HWND hwnd, UINT msg, WPARAM* wParam, LPARAM* lParam) override {
    if (msg == kProbe) {
      ++calls;
      *wParam *= 2;
    }
    return GetSubclassManager()->CallOldProc(hwnd, msg, *wParam, *lParam);
  }
  int calls = 0;
};

// Consumes the probe without passing it on.
class SwallowingHandler : public ISubclassHandler {
 public:
  LRESULT OnSubclassMessage(HWND hwnd, UINT msg, WPARAM* wParam, LPARAM* lParam) override {
    if (msg == kProbe) return 7;
    return GetSubclassManager()->CallOldProc(hwnd, msg, *wParam, *lParam);
  }
};

class SubclassManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReleaseSubclassManager();
    g_original.seen.clear();
    hwnd = MakeTestWindow(RECT{50, 50, 150, 120}, WS_POPUP);
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OriginalProc));
  }
  void TearDown() override {
    ReleaseSubclassManager();
    if (::IsWindow(hwnd)) ::DestroyWindow(hwnd);
  }
  WNDPROC Proc() const { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC)); }
  HWND hwnd = nullptr;
};

TEST_F(SubclassManagerTest, HandlerSeesEveryMessageAndMayRewriteItsParameters) {
  DoublingHandler handler;
  GetSubclassManager()->Subclass(hwnd, &handler);
  EXPECT_EQ(&CSubclassManager::HookProc, Proc());
  EXPECT_EQ(1000 + 42, ::SendMessageA(hwnd, kProbe, 21, 5));
  EXPECT_EQ(1, handler.calls);
  ASSERT_EQ(1u, g_original.seen.size());
  EXPECT_EQ(42u, g_original.seen[0].first);
  EXPECT_EQ(5, g_original.seen[0].second);
}

TEST_F(SubclassManagerTest, NothingReachesTheOldProcedureUnlessTheHandlerPassesItOn) {
  SwallowingHandler handler;
  GetSubclassManager()->Subclass(hwnd, &handler);
  EXPECT_EQ(7, ::SendMessageA(hwnd, kProbe, 1, 1));
  EXPECT_TRUE(g_original.seen.empty());
}

TEST_F(SubclassManagerTest, AWindowWithoutHandlerAnswersZeroAndReachesNoProcedure) {
  GetSubclassManager()->Subclass(hwnd, nullptr);
  EXPECT_EQ(0, ::SendMessageA(hwnd, kProbe, 3, 3));
  EXPECT_TRUE(g_original.seen.empty());
}

TEST_F(SubclassManagerTest, UnsubclassPutsThePreviousProcedureBack) {
  // Another subclasser sits between the original and us: that is what
  // must come back, not the class procedure.
  DoublingHandler handler;
  GetSubclassManager()->Subclass(hwnd, &handler);
  GetSubclassManager()->Unsubclass(hwnd);
  EXPECT_EQ(&OriginalProc, Proc());
  EXPECT_FALSE(GetSubclassManager()->IsSubclassed(hwnd));
  EXPECT_EQ(1000 + 4, ::SendMessageA(hwnd, kProbe, 4, 0));
  EXPECT_EQ(0, handler.calls);
}

// A window with a Unicode procedure: what the A function reports as its
// procedure is a handle for the system's text conversion, not code.
LRESULT CALLBACK WideProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(SubclassManagerTest, AUnicodeWindowsProcedureIsReachedThroughTheSystem) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = &WideProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"MelodaraWideProbe";
  ::RegisterClassW(&wc);  // kept for the process, like every window class
  HWND wide = ::CreateWindowExW(0, L"MelodaraWideProbe", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
  ASSERT_NE(nullptr, wide);
  DoublingHandler handler;
  GetSubclassManager()->Subclass(wide, &handler);
  EXPECT_TRUE(::SendMessageA(wide, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Karaoke")));
  wchar_t text[16] = {};
  ::GetWindowTextW(wide, text, 16);
  EXPECT_STREQ(L"Karaoke", text);
  GetSubclassManager()->Unsubclass(wide);
  ::DestroyWindow(wide);
}

TEST_F(SubclassManagerTest, UnknownWindowsAreIgnored) {
  HWND other = MakeTestWindow(RECT{0, 0, 10, 10}, WS_POPUP);
  const LONG_PTR before = ::GetWindowLongPtrA(other, GWLP_WNDPROC);
  GetSubclassManager()->Unsubclass(other);
  GetSubclassManager()->Unsubclass(nullptr);
  EXPECT_EQ(before, ::GetWindowLongPtrA(other, GWLP_WNDPROC));
  EXPECT_EQ(0, GetSubclassManager()->CallOldProc(other, kProbe, 1, 1));
  WPARAM w = 1;
  LPARAM l = 1;
  EXPECT_EQ(0, GetSubclassManager()->Dispatch(other, kProbe, &w, &l));
  ::DestroyWindow(other);
}

TEST_F(SubclassManagerTest, ASecondSubclassKeepsTheFirstSavedProcedure) {
  DoublingHandler first, second;
  GetSubclassManager()->Subclass(hwnd, &first);
  GetSubclassManager()->Subclass(hwnd, &second);
  // Recording the hook as "old" would recurse until the stack is gone.
  EXPECT_EQ(1000 + 10, ::SendMessageA(hwnd, kProbe, 5, 0));
  EXPECT_EQ(0, first.calls);
  EXPECT_EQ(1, second.calls);
  GetSubclassManager()->Unsubclass(hwnd);
  EXPECT_EQ(&OriginalProc, Proc());
}

TEST_F(SubclassManagerTest, ReleasingTheManagerRestoresEveryWindowInOrder) {
  HWND other = MakeTestWindow(RECT{0, 0, 10, 10}, WS_POPUP);
  const LONG_PTR otherProc = ::GetWindowLongPtrA(other, GWLP_WNDPROC);
  DoublingHandler handler;
  GetSubclassManager()->Subclass(hwnd, &handler);
  GetSubclassManager()->Subclass(other, &handler);
  ReleaseSubclassManager();
  EXPECT_EQ(&OriginalProc, Proc());
  EXPECT_EQ(otherProc, ::GetWindowLongPtrA(other, GWLP_WNDPROC));
  ::DestroyWindow(other);
}

TEST_F(SubclassManagerTest, ADestroyedWindowLeavesTheRegistry) {
  DoublingHandler handler;
  GetSubclassManager()->Subclass(hwnd, &handler);
  ::DestroyWindow(hwnd);
  EXPECT_FALSE(GetSubclassManager()->IsSubclassed(hwnd));
}

}  // namespace
