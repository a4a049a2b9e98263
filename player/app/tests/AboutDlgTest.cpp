#include <gtest/gtest.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>

#include "app/CAboutDlg.h"
#include "ui/CProfileHelper.h"
#include "ui/PngSnapshot.h"

namespace {

CAboutDlg* g_dlg = nullptr;
int g_ticks = 0;
int g_startY = 0;
int g_lowestY = 1 << 20;
bool g_wrapped = false;
bool g_picture = false;

void CALLBACK Drive(HWND, UINT, UINT_PTR id, DWORD) {
  if (g_dlg == nullptr || !::IsWindow(g_dlg->m_hWnd)) return;
  CAboutStatic& credits = g_dlg->GetCredits();
  if (g_ticks == 0) {
    g_startY = credits.GetScrollY();
    g_picture = credits.HasPicture();
  }
  const int before = credits.GetScrollY();
  // Fast-forward the credits: the 40 ms timer keeps running alongside.
  for (int i = 0; i < 20; ++i) credits.Tick();
  const int after = credits.GetScrollY();
  if (after > before) g_wrapped = true;
  g_lowestY = std::min(g_lowestY, after);
  if (++g_ticks == 4) {
    RECT r;
    ::GetWindowRect(g_dlg->m_hWnd, &r);
    SaveScreenAreaPng(r, "about_box.png");
  }
  if (g_ticks == 40) {
    ::KillTimer(nullptr, id);
    ::PostMessageA(g_dlg->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
  }
}

TEST(AboutBox, CreditsScrollUpWrapAndEscapeCloses) {
  CAboutDlg dlg;
  g_dlg = &dlg;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 30, Drive);
  const UINT_PTR guard = ::SetTimer(nullptr, 0, 20000, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (g_dlg && ::IsWindow(g_dlg->m_hWnd)) g_dlg->EndDialog(-2);
  });
  const INT_PTR result = dlg.DoModal();
  ::KillTimer(nullptr, timer);
  ::KillTimer(nullptr, guard);
  g_dlg = nullptr;
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_GT(g_startY, 0);                                   // enters at the bottom
  EXPECT_LT(g_lowestY, -CAboutStatic::kCanvasHeight + 30);  // leaves at the top
  EXPECT_TRUE(g_wrapped);                                   // and starts again

  char folder[MAX_PATH] = {}, path[MAX_PATH] = {};
  GetAppFolder(folder, MAX_PATH);
  ::PathCombineA(path, folder, "res\\AboutImg.png");
  EXPECT_EQ(g_picture, ::PathFileExistsA(path) != FALSE);
}

TEST(AboutBox, VersionTextOfAModuleWithoutVersionIsEmpty) {
  // The test program carries no version resource; the system's DLL does.
  EXPECT_EQ(CAboutDlg::ModuleVersionText(), "");
  const std::string kernel = CAboutDlg::ModuleVersionText(::GetModuleHandleA("kernel32.dll"));
  EXPECT_EQ(std::count(kernel.begin(), kernel.end(), '.'), 3) << kernel;
}

}  // namespace
