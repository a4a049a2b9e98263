// Its own program: the class name of the first window a process makes is an
// external interface ("MelodaraBmpWnd0": a second start of the player, the
// updater and the shell extension find the running player by it).
#include <gtest/gtest.h>

#include "ui/CBmpWnd.h"

namespace {

TEST(FirstWindow, IsFoundByTheClassNameOthersLookFor) {
  ASSERT_EQ(0, CBmpWnd::NextClassNumber()) << "no window may be made before this test";
  CBmpWnd main;
  ASSERT_EQ(0, main.Create(::GetModuleHandleA(nullptr), nullptr, 0, WS_POPUP, nullptr, 0, nullptr));
  ::SetWindowTextA(main.m_hWnd, "Melodara");
  EXPECT_EQ(main.m_hWnd, ::FindWindowA("MelodaraBmpWnd0", "Melodara"));
  CBmpWnd second;
  ASSERT_EQ(0, second.Create(::GetModuleHandleA(nullptr), nullptr, 0, WS_POPUP, nullptr, 0, nullptr));
  EXPECT_EQ(second.m_hWnd, ::FindWindowA("MelodaraBmpWnd1", nullptr));
}

}  // namespace
