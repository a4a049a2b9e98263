#include <gtest/gtest.h>

#include <string>

#include "ServicesFixture.h"
#include "SkinFixture.h"
#include "testsupport/MessagePump.h"
#include "testsupport/TempDir.h"
#include "ui/FolderBrowser.h"

namespace {

TEST(FolderBrowserTest, OnlyExistingFoldersThatAreNoShortcutsMayBeChosen) {
  testsupport::TempDir temp;
  struct {
    std::string path;
    bool link;
    bool selectable;
  } cases[] = {
      {temp.Path(), false, true},
      {temp.Path(), true, false},
      {temp.Path() + "\\gone", false, false},
      {"", false, false},
  };
  for (auto& c : cases) EXPECT_EQ(c.selectable, IsSelectableFolderPath(c.path.c_str(), c.link)) << c.path;
  EXPECT_FALSE(IsSelectableFolderPath(nullptr, false));
}

TEST(FolderBrowserTest, ASmallBufferIsRefusedWithoutShowingTheBrowser) {
  char out[259] = "unchanged";
  DriveNextDialog([](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }, 500);
  EXPECT_FALSE(BrowseForFolder(nullptr, nullptr, out, sizeof(out)));
  EXPECT_STREQ("unchanged", out);
  EXPECT_FALSE(BrowseForFolder(nullptr, nullptr, nullptr, 260));
  testsupport::PumpFor(700);
  EXPECT_FALSE(DialogWasDriven());
}

TEST(FolderBrowserTest, TheBrowserIsLaidOutAndCancelLeavesNothing) {
  testsupport::TempDir temp;
  struct {
    RECT client = {}, tree = {}, ok = {}, cancel = {};
    bool found = false;
  } seen;
  DriveNextDialog([&](HWND dialog) {
    HWND tree = ::FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr);
    seen.found = tree != nullptr;
    ::GetClientRect(dialog, &seen.client);
    auto rectOf = [dialog](HWND h, RECT* r) {
      ::GetWindowRect(h, r);
      ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(r), 2);
    };
    if (tree) rectOf(tree, &seen.tree);
    rectOf(::GetDlgItem(dialog, IDOK), &seen.ok);
    rectOf(::GetDlgItem(dialog, IDCANCEL), &seen.cancel);
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  char out[260] = "previous";
  EXPECT_FALSE(BrowseForFolder(nullptr, temp.Path().c_str(), out, sizeof(out)));
  ASSERT_TRUE(DialogWasDriven());
  EXPECT_STREQ("", out);
  ASSERT_TRUE(seen.found);
  const int W = seen.client.right, H = seen.client.bottom;
  EXPECT_EQ(W - 5, seen.cancel.right);
  EXPECT_EQ(H - 5, seen.cancel.bottom);
  EXPECT_EQ(H - 5, seen.ok.bottom);
  EXPECT_EQ(seen.cancel.left - 10, seen.ok.right);
  EXPECT_EQ(seen.cancel.right - seen.cancel.left, seen.ok.right - seen.ok.left);
  EXPECT_EQ((RECT{5, 5, W - 5, seen.ok.top - 5}), seen.tree);
}

TEST(FolderBrowserTest, OkReturnsTheStartFolder) {
  testsupport::TempDir temp;
  DriveNextDialog([](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
  char out[260] = {};
  ASSERT_TRUE(BrowseForFolder(nullptr, temp.Path().c_str(), out, sizeof(out)));
  EXPECT_EQ(0, _stricmp(temp.Path().c_str(), out)) << out;
}

TEST(FolderBrowserTest, TheBrowserObjectKeepsFlagsAndTitle) {
  CFolderBrowser browser;
  EXPECT_EQ(0u, browser.GetFlags());
  EXPECT_EQ(static_cast<DWORD>(BIF_RETURNONLYFSDIRS | BIF_EDITBOX),
            browser.ModifyFlags(BIF_RETURNONLYFSDIRS | BIF_EDITBOX, 0));
  EXPECT_EQ(static_cast<DWORD>(BIF_RETURNONLYFSDIRS), browser.ModifyFlags(0, BIF_EDITBOX));
  EXPECT_EQ(static_cast<DWORD>(BIF_EDITBOX), browser.ModifyFlags(BIF_EDITBOX, BIF_RETURNONLYFSDIRS));
  browser.SetTitle(std::string(300, 'x').c_str());
  EXPECT_EQ(259u, strlen(browser.GetTitle()));
  EXPECT_EQ(1, browser.Browse(nullptr, nullptr));
  DriveNextDialog([](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
  char out[260] = {};
  EXPECT_EQ(0, browser.Browse(nullptr, out));
  EXPECT_TRUE(DialogWasDriven());
}

}  // namespace
