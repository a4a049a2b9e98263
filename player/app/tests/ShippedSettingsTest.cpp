// Melodara.exe started with the settings file it ships with, as a new user
// first sees it, and looked at from outside: the play list's rows on the
// screen and the list the next start brings back.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "PlayerProcess.h"
#include "testsupport/ClientCapture.h"
#include "testsupport/SmfBuilder.h"

namespace {

using namespace playertest;

// @name The shipped settings

std::string ShippedSettingsText() {
  HRSRC found = FindResourceA(nullptr, "ShippedSettings", MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
  const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  return data ? std::string(data, SizeofResource(nullptr, found)) : std::string();
}

// The shipped file, with the play list shown and no update check (the test
// reaches no server).
void WriteShippedSettings(const std::string& ini) {
  std::ofstream(ini, std::ios::binary | std::ios::trunc) << ShippedSettingsText();
  WritePrivateProfileStringA("WINDOW_SETTING", "SHOW_PLAYLIST_WND", "1", ini.c_str());
  WritePrivateProfileStringA("GENERAL_SETTING", "HOME_URL", "http://127.0.0.1:9", ini.c_str());
}

COLORREF ColourSetting(const std::string& ini, const char* key) {
  COLORREF colour = 0;
  EXPECT_TRUE(GetPrivateProfileStructA("COLOR_SETTING", key, &colour, sizeof colour, ini.c_str())) << key;
  return colour;
}

// @name Pixels

int Distance(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
         std::abs(GetBValue(a) - GetBValue(b));
}

// A window's client area as it stands on the screen (the player is another
// program), as colours.
struct Capture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Capture CaptureClient(HWND hwnd) {
  const testsupport::ClientCapture shown = testsupport::CaptureClientFromScreen(hwnd);
  Capture capture;
  if (shown.pixels.empty()) return capture;
  capture.width = shown.width;
  capture.height = shown.height;
  for (uint32_t pixel : shown.pixels) capture.pixels.push_back(testsupport::ClientCapture::ToColorRef(pixel));
  return capture;
}

// One row of the list as drawn: its fill (its most common colour) and its
// text's colour (the most common of the pixels clearly apart from the fill).
struct DrawnRow {
  COLORREF fill = 0, text = 0;
  int textPixels = 0;
};

COLORREF MostCommon(const std::map<COLORREF, int>& counts) {
  COLORREF best = 0;
  int most = -1;
  for (const auto& entry : counts) {
    if (entry.second > most) {
      best = entry.first;
      most = entry.second;
    }
  }
  return best;
}

DrawnRow RowIn(const Capture& capture, const RECT& rect) {
  DrawnRow row;
  const int left = std::max<int>(rect.left, 0), right = std::min<int>(rect.right, capture.width);
  const int top = std::max<int>(rect.top, 0), bottom = std::min<int>(rect.bottom, capture.height);
  std::map<COLORREF, int> all, text;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) ++all[capture.At(x, y)];
  row.fill = MostCommon(all);
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      if (Distance(capture.At(x, y), row.fill) > 120) {
        ++text[capture.At(x, y)];
        ++row.textPixels;
      }
    }
  }
  row.text = MostCommon(text);
  return row;
}

// A row's rectangle in the list's client area, asked of the list in the
// player's process through a buffer made there.
bool RowRect(HWND list, DWORD process, int row, RECT* rect) {
  HANDLE handle = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
  if (!handle) return false;
  void* remote = VirtualAllocEx(handle, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
  RECT asked = {LVIR_BOUNDS, 0, 0, 0};
  bool ok = remote && WriteProcessMemory(handle, remote, &asked, sizeof asked, nullptr) &&
            SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote)) &&
            ReadProcessMemory(handle, remote, rect, sizeof *rect, nullptr);
  if (remote) VirtualFreeEx(handle, remote, 0, MEM_RELEASE);
  CloseHandle(handle);
  return ok;
}

// @name The player's windows

struct ListSearch {
  DWORD process;
  HWND list;
};

BOOL CALLBACK FindListChild(HWND hwnd, LPARAM context) {
  char name[64] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (lstrcmpiA(name, WC_LISTVIEWA) != 0 || !IsWindowVisible(hwnd)) return TRUE;
  reinterpret_cast<ListSearch*>(context)->list = hwnd;
  return FALSE;
}

BOOL CALLBACK FindListFrame(HWND hwnd, LPARAM context) {
  ListSearch* search = reinterpret_cast<ListSearch*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner != search->process || !IsWindowVisible(hwnd)) return TRUE;
  EnumChildWindows(hwnd, FindListChild, context);
  return search->list == nullptr;
}

// The play list's list control in the player's shown windows, once it holds
// rows songs; null when that does not come in time.
HWND WaitForList(const PlayerRun& run, int rows) {
  ListSearch search = {run.Id(), nullptr};
  testsupport::WaitUntil(
      [&] {
        search.list = nullptr;
        EnumWindows(FindListFrame, reinterpret_cast<LPARAM>(&search));
        return (search.list && SendMessageA(search.list, LVM_GETITEMCOUNT, 0, 0) == rows) || !run.Running();
      },
      kStartTimeoutMs, kLookStepMs);
  return search.list && SendMessageA(search.list, LVM_GETITEMCOUNT, 0, 0) == rows ? search.list : nullptr;
}

// A short song with a melody of one key: each of the test's songs differs.
testsupport::Bytes Song(uint8_t key) {
  testsupport::TrackBuilder tempo;
  tempo.Tempo(0, 500000).TimeSig(0, 4, 2).EndOfTrack();
  testsupport::TrackBuilder melody;
  melody.Text(0, 0x03, "Melody").Event(0, {0xC0, 0});
  for (int i = 0; i < 40; ++i) melody.Event(i == 0 ? 0 : 20, {0x90, key, 100}).Event(460, {0x80, key, 0});
  melody.EndOfTrack();
  return testsupport::Cat({testsupport::Header(1, 2, 480), tempo.Chunk(), melody.Chunk()});
}

class ShippedSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(ShippedSettingsText().empty()) << "the shipped settings are not in the test's resources";
    // The player's window class is found by name: no other player may run.
    ASSERT_TRUE(testsupport::WaitUntil(
        [] { return !FindWindowA(testsupport::kPlayerWindowClass, testsupport::kPlayerWindowTitle); }, 10000,
        kLookStepMs))
        << "another player is running";
    ASSERT_TRUE(folder_.Install(WriteShippedSettings));
    const char* names[] = {"First Song.mid", "Second Song.mid", "Third Song.mid"};
    for (int i = 0; i < 3; ++i) {
      songs_.push_back(folder_.File(names[i]));
      ASSERT_TRUE(testsupport::WriteBytes(songs_.back(), Song(static_cast<uint8_t>(60 + i))));
    }
  }

  void Close(PlayerRun& run, HWND main) {
    PostMessageA(main, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(run.WaitForExit(kStartTimeoutMs, &code)) << "the player did not end after WM_CLOSE";
  }

  PlayerFolder folder_;
  std::vector<std::string> songs_;
};

// @name Tests

TEST_F(ShippedSettingsTest, ThePlayListShowsEveryRowAndMarksThePlayingOne) {
  const std::string ini = folder_.File("Melodara.ini");
  const COLORREF background = ColourSetting(ini, "PLAYLIST_BKCOLOR");
  const COLORREF normal = ColourSetting(ini, "PLAYLIST_NORMTEXT_COLOR");
  const COLORREF playing = ColourSetting(ini, "PLAYLIST_PLAYITEM_COLOR");

  PlayerRun run;
  ASSERT_TRUE(run.Start(folder_, songs_, ""));
  HWND main = run.WaitForMainWindow();
  ASSERT_NE(nullptr, main);
  HWND list = WaitForList(run, 3);
  ASSERT_NE(nullptr, list) << "no play list of three rows";

  // The first song plays; the selection goes to the last row, so the
  // playing row, a plain row and the selected row are all on screen.
  PostMessageA(list, WM_KEYDOWN, VK_END, 0);
  ASSERT_TRUE(testsupport::WaitUntil(
      [&] { return SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED) == 2; }, 10000, kLookStepMs));
  HWND frame = GetAncestor(list, GA_ROOT);
  SetWindowPos(frame, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  RECT rects[3] = {};
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(RowRect(list, run.Id(), i, &rects[i])) << i;

  // The rows as drawn, once the list has repainted them.
  std::vector<DrawnRow> rows;
  const bool drawn = testsupport::WaitUntil(
      [&] {
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const Capture capture = CaptureClient(list);
        if (capture.height == 0) return false;
        rows.clear();
        for (const RECT& rect : rects) rows.push_back(RowIn(capture, rect));
        // Below the rows the list shows its own background.
        return Distance(capture.At(capture.width / 2, capture.height - 2), background) <= 30 &&
               Distance(rows[2].fill, background) > 60;
      },
      10000, kLookStepMs);
  ASSERT_EQ(3u, rows.size());
  EXPECT_TRUE(drawn) << "the list's background is not the shipped one, or the selection did not show";

  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_GT(rows[i].textPixels, 20) << "no text to read";
    EXPECT_GT(Distance(rows[i].text, rows[i].fill), 150) << "the text is too close to its row's fill";
  }
  // The unselected rows lie on the list's background, the playing one in the
  // playing colour and the plain one in the normal colour: apart at a glance.
  EXPECT_LT(Distance(rows[0].fill, background), 30);
  EXPECT_LT(Distance(rows[1].fill, background), 30);
  EXPECT_LT(Distance(rows[0].text, playing), 60);
  EXPECT_LT(Distance(rows[1].text, normal), 60);
  EXPECT_GT(Distance(rows[0].text, rows[1].text), 150) << "the playing row is not marked";
  EXPECT_GT(Distance(rows[2].fill, background), 60) << "the selection is not marked";

  Close(run, main);
}

TEST_F(ShippedSettingsTest, TheNextStartBringsBackTheList) {
  {
    PlayerRun run;
    ASSERT_TRUE(run.Start(folder_, songs_, ""));
    HWND main = run.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    ASSERT_NE(nullptr, WaitForList(run, 3));
    Close(run, main);
  }
  // Started with no files, the player shows the list it had.
  PlayerRun again;
  ASSERT_TRUE(again.Start(folder_, {}, ""));
  ASSERT_NE(nullptr, again.WaitForMainWindow());
  EXPECT_NE(nullptr, WaitForList(again, 3)) << "the last list did not come back";
}

}  // namespace
