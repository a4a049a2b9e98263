#include <gtest/gtest.h>

#include <string>

#include "ui/CBmpWnd.h"

namespace {

std::string ClassOf(HWND hwnd) {
  char name[64] = {};
  ::GetClassNameA(hwnd, name, sizeof(name));
  return name;
}

class CountingWnd : public CBmpWnd {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_DESTROY || message == WM_NCDESTROY) ++destroyMessages;
    if (message == WM_USER + 7) return 77;
    return CBmpWnd::WindowProc(message, wParam, lParam);
  }
  int destroyMessages = 0;
};

int Create(CBmpWnd& w) {
  return w.Create(::GetModuleHandleA(nullptr), nullptr, 0, WS_POPUP, nullptr, 0, nullptr);
}

TEST(BmpWnd, EveryWindowGetsTheNextClassNameEvenAfterAFailure) {
  CBmpWnd a, failed, b;
  const int first = CBmpWnd::NextClassNumber();
  ASSERT_EQ(0, Create(a));
  EXPECT_EQ("MelodaraBmpWnd" + std::to_string(first), ClassOf(a.m_hWnd));
  // A child window without a parent cannot be made.
  EXPECT_EQ(1, failed.Create(::GetModuleHandleA(nullptr), nullptr, 0, WS_CHILD, nullptr, 0, nullptr));
  EXPECT_EQ(nullptr, failed.m_hWnd);
  ASSERT_EQ(0, Create(b));
  EXPECT_EQ("MelodaraBmpWnd" + std::to_string(first + 2), ClassOf(b.m_hWnd));
  RECT r;
  ::GetWindowRect(b.m_hWnd, &r);
  EXPECT_EQ(1, r.right - r.left);
  EXPECT_EQ(1, r.bottom - r.top);
}

TEST(BmpWnd, MessagesReachTheObjectOnlyWhileBound) {
  CountingWnd w;
  ASSERT_EQ(0, Create(w));
  HWND hwnd = w.m_hWnd;
  EXPECT_EQ(&w, CBmpWnd::FromHandle(hwnd));
  EXPECT_EQ(77, ::SendMessageA(hwnd, WM_USER + 7, 0, 0));
  w.Detach();
  EXPECT_EQ(nullptr, w.m_hWnd);
  EXPECT_EQ(nullptr, CBmpWnd::FromHandle(hwnd));
  EXPECT_EQ(0, ::SendMessageA(hwnd, WM_USER + 7, 0, 0)) << "an unbound window gets DefWindowProc";
  w.Attach(hwnd);
  EXPECT_EQ(77, ::SendMessageA(hwnd, WM_USER + 7, 0, 0));
  // The destructor drops the binding first: teardown messages never reach the object.
  CountingWnd* heap = new CountingWnd;
  ASSERT_EQ(0, Create(*heap));
  HWND other = heap->m_hWnd;
  delete heap;
  EXPECT_FALSE(::IsWindow(other));
  w.Attach(nullptr);
  EXPECT_EQ(nullptr, w.m_hWnd);
  ::DestroyWindow(hwnd);
  EXPECT_EQ(0, w.destroyMessages);
}

TEST(BmpWnd, AttachOfASecondHandleDropsTheFirst) {
  CBmpWnd a, b, holder;
  ASSERT_EQ(0, Create(a));
  ASSERT_EQ(0, Create(b));
  HWND ha = a.m_hWnd, hb = b.m_hWnd;
  a.Detach();
  b.Detach();
  holder.Attach(ha);
  holder.Attach(hb);
  EXPECT_EQ(nullptr, CBmpWnd::FromHandle(ha));
  EXPECT_EQ(&holder, CBmpWnd::FromHandle(hb));
  ::DestroyWindow(ha);
}

TEST(BmpWnd, ShowAndDestroyCopeWithAWindowDestroyedFromOutside) {
  CBmpWnd* w = new CBmpWnd;
  ASSERT_EQ(0, Create(*w));
  ::DestroyWindow(w->m_hWnd);
  w->Show(true);  // no effect, no crash
  delete w;
  CBmpWnd empty;
  empty.Show(true);
}

}  // namespace
