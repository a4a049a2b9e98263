#include "app/COSVersion.h"
#include "app/CTrayIcon.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace {

struct ShellCall {
  DWORD message;
  NOTIFYICONDATAA data;
};
std::vector<ShellCall> g_calls;

BOOL WINAPI RecordNotifyIcon(DWORD message, NOTIFYICONDATAA* data) {
  g_calls.push_back({message, *data});
  return TRUE;
}

class RecordingListener : public IMsgWndSink {
 public:
  int OnWndMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    seen.push_back(lParam);
    return 0;
  }
  std::vector<LPARAM> seen;
};

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    previous = CTrayIcon::SetNotifyIconFunction(RecordNotifyIcon);
  }
  void TearDown() override { CTrayIcon::SetNotifyIconFunction(previous); }
  CTrayIcon::NotifyIconFunction previous = nullptr;
};

TEST_F(TrayIconTest, RecordsOfAddTipAndRemove) {
  RecordingListener listener;
  const HICON icon = LoadIcon(nullptr, IDI_APPLICATION);
  {
    CTrayIcon tray;
    EXPECT_EQ(nullptr, tray.SetListener(&listener));
    tray.Add(icon, "Melodara");
    ASSERT_NE(nullptr, tray.GetHwnd());
    tray.SetTip(std::string(80, 'x').c_str());
    tray.Remove();
  }
  ASSERT_EQ(3u, g_calls.size());
  // The first version of the record at this build's size: its tip ends the record.
  for (const ShellCall& call : g_calls) {
    EXPECT_EQ(offsetof(NOTIFYICONDATAA, szTip) + 64, call.data.cbSize);
    EXPECT_EQ(1u, call.data.uID);
    EXPECT_EQ(1025u, call.data.uCallbackMessage);
  }
  EXPECT_EQ(static_cast<DWORD>(NIM_ADD), g_calls[0].message);
  EXPECT_EQ(7u, g_calls[0].data.uFlags);
  EXPECT_EQ(icon, g_calls[0].data.hIcon);
  EXPECT_STREQ("Melodara", g_calls[0].data.szTip);
  EXPECT_NE(nullptr, g_calls[0].data.hWnd);
  EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), g_calls[1].message);
  EXPECT_EQ(4u, g_calls[1].data.uFlags);
  EXPECT_EQ(std::string(63, 'x'), g_calls[1].data.szTip);
  EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), g_calls[2].message);
}

TEST_F(TrayIconTest, OnlyOurIconReachesTheListenerUntilRemoved) {
  RecordingListener listener;
  CTrayIcon tray;
  tray.SetListener(&listener);
  tray.Add(nullptr, "tip");
  const HWND window = tray.GetHwnd();
  ASSERT_NE(nullptr, window);
  SendMessageA(window, CTrayIcon::kCallbackMessage, 1, WM_LBUTTONUP);
  SendMessageA(window, CTrayIcon::kCallbackMessage, 2, WM_RBUTTONUP);
  SendMessageA(window, WM_USER + 2, 1, WM_MOUSEMOVE);
  EXPECT_EQ((std::vector<LPARAM>{WM_LBUTTONUP}), listener.seen);
  tray.Remove();
  EXPECT_FALSE(IsWindow(window));
  SendMessageA(window, CTrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
  EXPECT_EQ(1u, listener.seen.size());
  // A second Remove tells the shell nothing more.
  const size_t calls = g_calls.size();
  tray.Remove();
  EXPECT_EQ(calls, g_calls.size());
}

TEST(OSVersionTest, RuleTable) {
  struct Case {
    DWORD platform, major, minor;
    bool is98, isMe, is2000, isXP;
  };
  const Case cases[] = {
      {1, 4, 10, true, false, false, false}, {1, 4, 90, false, true, false, false},
      {2, 5, 0, false, false, true, false},  {2, 5, 1, false, false, false, true},
      {2, 6, 1, false, false, false, false}, {2, 4, 10, false, false, false, false},
      {1, 5, 1, false, false, false, false},
  };
  for (const Case& c : cases) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    info.dwPlatformId = c.platform;
    info.dwMajorVersion = c.major;
    info.dwMinorVersion = c.minor;
    SCOPED_TRACE(::testing::Message() << c.platform << " " << c.major << "." << c.minor);
    EXPECT_EQ(c.is98, COSVersion::IsWindows98(info));
    EXPECT_EQ(c.isMe, COSVersion::IsWindowsMe(info));
    EXPECT_EQ(c.is2000, COSVersion::IsWindows2000(info));
    EXPECT_EQ(c.isXP, COSVersion::IsWindowsXP(info));
  }
  EXPECT_EQ(148u, sizeof(OSVERSIONINFOA));
  // The system's answer decides too: Wine says 6.1 on NT, none of the four.
  OSVERSIONINFOA live = {};
  live.dwOSVersionInfoSize = sizeof(live);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ASSERT_TRUE(GetVersionExA(&live));
#pragma GCC diagnostic pop
  EXPECT_EQ(COSVersion::IsWindowsXP(live), COSVersion::IsWindowsXP());
  EXPECT_EQ(COSVersion::IsWindows98(live), COSVersion::IsWindows98());
}

}  // namespace
