// The main window in-process, hidden: its message protocol, keys, commands,
// the hand-over receiver, saving state and the playback control over a fake
// player.
#include <gtest/gtest.h>

#include <windows.h>
#include <cderr.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/CMainPlayerWnd.h"
#include "app/CPlayListWnd.h"
#include "app/CScoreWnd.h"
#include "app/PlayerResources.h"
#include "ui/CToolFrame.h"
#include "ui/CaptionElements.h"
#include "LocalNotices.h"
#include "RecordingEngine.h"
#include "lyrics/CLyricWnd.h"
#include "lyrics/CSongMakerDlg.h"
#include "testsupport/MessagePump.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "ShippedSkin.h"
#include "ui/CProfileHelper.h"
#include "ui/CSettings.h"
#include "ui/CSkinCaptionButtons.h"
#include "ui/CSkinManager.h"
#include "ui/CSkinSlider.h"
#include "ui/CSkinToolTip.h"
#include "ui/SkinImageIds.h"
#include "ui/GdiplusSession.h"
#include "ui/WebPages.h"

namespace {

using testsupport::TrackBuilder;

// The title and singer every fake player reports ("" for none).
std::string g_fakeTitle, g_fakeSinger;
// How many fake players were closed.
int g_fakeCloses = 0;

int FakeText(const std::string& value, char** text) {
  if (value.empty()) return 0;
  *text = new char[value.size() + 1];
  memcpy(*text, value.c_str(), value.size() + 1);
  return 1;
}

// Records what a player was asked to do; Open fails for paths containing "bad".
struct FakePlayer final : IMediaPlayer {
  explicit FakePlayer(std::vector<std::string>* log) : log(log) {}
  void Release() override { delete this; }
  int Open(const char* path) override {
    log->push_back(std::string("open ") + path);
    return std::string(path).find("bad") != std::string::npos ? 1 : 0;
  }
  int Close() override {
    ++g_fakeCloses;
    return 0;
  }
  int Play() override {
    log->push_back("play");
    return 0;
  }
  int Stop() override {
    log->push_back("stop");
    return 0;
  }
  int Pause() override {
    log->push_back("pause");
    return 0;
  }
  int Seek(int ms) override {
    log->push_back("seek " + std::to_string(ms));
    return 0;
  }
  int IsSeekable() override { return 1; }
  int GetTitle(char** text) override { return FakeText(g_fakeTitle, text); }
  int GetAuthor(char**) override { return 0; }
  int GetComposer(char**) override { return 0; }
  int GetLyrics(char**) override { return 0; }
  int GetAlbumTitle(char**) override { return 0; }
  int GetAlbumArtist(char** text) override { return FakeText(g_fakeSinger, text); }
  void SetVolume(double volume) override {
    log->push_back("volume " + std::to_string(static_cast<int>(volume)));
  }
  int GetPosition() override { return 0; }
  std::vector<std::string>* log;
};

std::string WriteSong(const testsupport::TempDir& dir, const std::string& name) {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).EndOfTrack();
  TrackBuilder melody;
  melody.Event(0, {0x90, 60, 100}).Event(480, {0x80, 60, 0}).EndOfTrack();
  const std::string path = dir.File(name);
  testsupport::WriteBytes(path,
                          testsupport::Cat({testsupport::Header(1, 2, 480), tempo.Chunk(), melody.Chunk()}));
  return path;
}

struct CMainPlayerWndTestAccess {
  static std::string LastPlayList() {
    char folder[MAX_PATH];
    GetAppFolder(folder, sizeof(folder));
    return std::string(folder) + "\\LastPlayList.mpl";
  }
};

class MainWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_gdiplus = new GdiplusSession();
    LoadShippedSkin();
  }
  static void TearDownTestSuite() {
    ReleaseSkinManager();
    delete s_gdiplus;
  }
  void SetUp() override {
    CProfileHelper::GetIniFilePath(m_ini);
    std::ofstream(m_ini) << "[GENERAL_SETTING]\nDEFAULT_SOUND_VOLUME=200\n";
    KeepNoticesLocal();
    CMainPlayerWnd::SetShellLauncher([this](const std::string& path) { m_launched.push_back(path); });
    // A file the player refuses is named in a message box: recorded here.
    CMainPlayerWnd::SetMessageShower([this](HWND, const char* text, const char*, UINT) {
      m_messages.push_back(text);
      return IDOK;
    });
  }
  void TearDown() override {
    if (m_wnd && ::IsWindow(m_wnd->m_hWnd)) ::DestroyWindow(m_wnd->m_hWnd);
    m_wnd.reset();
    testsupport::PumpPending();
    CMainPlayerWnd::SetPlayerFactory(nullptr);
    CMainPlayerWnd::SetEngineFactory(nullptr);
    CMainPlayerWnd::SetMenuTracker(nullptr);
    CMainPlayerWnd::SetShellLauncher(nullptr);
    CMainPlayerWnd::SetOpenDialog(nullptr);
    CMainPlayerWnd::SetMessageShower(nullptr);
    SetUrlLauncher(nullptr);
    g_fakeTitle.clear();
    g_fakeSinger.clear();
    ::DeleteFileA(m_ini.c_str());
  }
  // Makes the window and lets the deferred loading run.
  void Make(bool fakePlayer) {
    if (fakePlayer) {
      CMainPlayerWnd::SetPlayerFactory(
          [this](const std::string&, ISongEngine*) -> IMediaPlayer* { return new FakePlayer(&m_log); });
    }
    m_wnd = std::make_unique<CMainPlayerWnd>();
    ASSERT_EQ(0, m_wnd->CreateMainWindow());
    ASSERT_TRUE(testsupport::PumpUntil([this] { return !m_wnd->IsBusy(); }, 5000));
  }
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return ::SendMessageA(m_wnd->m_hWnd, message, wParam, lParam);
  }
  LRESULT HandOver(const std::string& path, bool last) {
    COPYDATASTRUCT record = {last ? 0u : 1u, static_cast<DWORD>(path.size()), const_cast<char*>(path.data())};
    return Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
  }

  static GdiplusSession* s_gdiplus;
  std::unique_ptr<CMainPlayerWnd> m_wnd;
  std::vector<std::string> m_log;
  std::vector<std::string> m_launched;
  std::vector<std::string> m_messages;
  std::string m_ini;
  testsupport::TempDir m_dir;
};
GdiplusSession* MainWindow::s_gdiplus = nullptr;

TEST_F(MainWindow, HandedOverFilesJoinTheListAndTheFirstNewOnePlays) {
  Make(true);
  const std::string a = WriteSong(m_dir, "a.mid"), b = WriteSong(m_dir, "b.mid");
  EXPECT_TRUE(HandOver(a, false));
  EXPECT_TRUE(HandOver(m_dir.File("missing.mid"), false));
  EXPECT_TRUE(HandOver(b, true));
  EXPECT_EQ((std::vector<std::string>{a, b}), m_wnd->GetSongs());
  EXPECT_EQ(a, m_wnd->GetCurrentPath());
  EXPECT_TRUE(m_wnd->IsPlaying());
  EXPECT_EQ((std::vector<std::string>{"\"missing.mid\" cannot be found."}), m_messages);
  // A second batch naming a file already present plays that entry.
  EXPECT_TRUE(HandOver(b, true));
  EXPECT_EQ(b, m_wnd->GetCurrentPath());
  EXPECT_EQ(2u, m_wnd->GetSongs().size());
}

TEST_F(MainWindow, BadHandOverRecordsAreRefused) {
  Make(true);
  char bytes[8] = "a.mid";
  COPYDATASTRUCT empty = {0, 0, bytes};
  COPYDATASTRUCT huge = {0, 0x7FFFFFFF, bytes};
  EXPECT_FALSE(Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty)));
  EXPECT_FALSE(Send(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&huge)));
  EXPECT_FALSE(Send(WM_COPYDATA, 0, 0));
  EXPECT_TRUE(m_wnd->GetSongs().empty());
}

// A hand-over sent while the window is still starting waits for the
// deferred loading instead of reaching players that do not exist yet.
TEST_F(MainWindow, AHandOverDuringStartUpIsKeptForAfterTheLoading) {
  CMainPlayerWnd::SetPlayerFactory(
      [this](const std::string&, ISongEngine*) -> IMediaPlayer* { return new FakePlayer(&m_log); });
  m_wnd = std::make_unique<CMainPlayerWnd>();
  ASSERT_EQ(0, m_wnd->CreateMainWindow());
  ASSERT_TRUE(m_wnd->IsBusy());
  const std::string a = WriteSong(m_dir, "early.mid");
  EXPECT_TRUE(HandOver(a, true));
  EXPECT_TRUE(m_wnd->GetSongs().empty());
  ASSERT_TRUE(testsupport::PumpUntil([this] { return !m_wnd->IsBusy(); }, 5000));
  EXPECT_EQ(a, m_wnd->GetCurrentPath());
  EXPECT_TRUE(m_wnd->IsPlaying());
}

// Every control of the panel has its tip once the start is done: each
// button through its own window; the caption buttons, the always-visible
// toggle and the volume through the panel's.
TEST_F(MainWindow, EveryControlHasItsTipOnceTheStartIsDone) {
  Make(true);
  HWND tip = CSkinToolTip::GetWindow();
  ASSERT_NE(nullptr, tip);
  std::multimap<HWND, std::string> tools;  // owner window, text
  const int count = static_cast<int>(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[1024] = {};
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.lpszText = text;
    ASSERT_TRUE(::SendMessageA(tip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&ti)));
    tools.emplace(ti.hwnd, text);
  }
  int buttons = 0;
  for (HWND child = ::GetWindow(m_wnd->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    char cls[32] = {};
    ::GetClassNameA(child, cls, sizeof(cls));
    if (lstrcmpiA(cls, "Button") != 0) continue;
    ++buttons;
    auto tool = tools.find(child);
    ASSERT_NE(tools.end(), tool) << "button " << ::GetDlgCtrlID(child) << " has no tip";
    EXPECT_FALSE(tool->second.empty()) << "button " << ::GetDlgCtrlID(child);
  }
  EXPECT_EQ(11, buttons) << "the transport row, the play-mode and open buttons and the four toggles";
  std::vector<std::string> panel;
  for (auto [it, end] = tools.equal_range(m_wnd->m_hWnd); it != end; ++it) panel.push_back(it->second);
  for (UINT id : {kStrClose, kStrMinimize, kStrAlwaysVisible, kStrVolume}) {
    const std::string text = LoadPlayerString(id);
    ASSERT_FALSE(text.empty()) << id;
    EXPECT_NE(panel.end(), std::find(panel.begin(), panel.end(), text)) << text;
  }
}

// The buttons sit in their two rows, each one frame of its image in size:
// the transport row at y 109, the window toggles 5 pixels above the bottom.
TEST_F(MainWindow, TheButtonsSitInTheirRows) {
  Make(true);
  auto frameWidth = [](unsigned short image) {
    return GetSkinManager()->GetSkinImage(image)->GetWidth() / 4;
  };
  const int w = frameWidth(kSkinPlay);
  const int tw = frameWidth(kSkinShowStaff);
  const int ty = 150 - GetSkinManager()->GetSkinImage(kSkinShowStaff)->GetHeight() - 5;
  ASSERT_GT(w, 0);
  ASSERT_GT(tw, 0);
  struct Row {
    int id;
    unsigned short image;
    int x, y;
  };
  const Row rows[] = {
      {kIdPrevious, kSkinToBegin, 23, 109},
      {kIdPlay, kSkinPlay, 23 + w, 109},
      {kIdPause, kSkinPause, 23 + w, 109},
      {kIdStop, kSkinStop, 23 + 2 * w, 109},
      {kIdNext, kSkinToEnd, 23 + 3 * w, 109},
      {kIdPlayMode, kSkinPlayMode, 23 + 5 * w + 8, 109},
      {kIdOpenSongs, kSkinOpen, 23 + 6 * w + 6, 109},
      {kIdScoreToggle, kSkinShowStaff, 20, ty},
      {kIdLyricsToggle, kSkinShowLyric, 20 + tw, ty},
      {kIdPlayListToggle, kSkinShowSonglist, 20 + 2 * tw, ty},
      {kIdSongMakerToggle, kSkinShowSongMaker, 20 + 3 * tw, ty},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.id);
    HWND button = ::GetDlgItem(m_wnd->m_hWnd, row.id);
    ASSERT_NE(nullptr, button);
    RECT r;
    ASSERT_TRUE(::GetWindowRect(button, &r));
    ::MapWindowPoints(nullptr, m_wnd->m_hWnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(row.x, r.left);
    EXPECT_EQ(row.y, r.top);
    EXPECT_EQ(frameWidth(row.image), r.right - r.left);
    EXPECT_EQ(GetSkinManager()->GetSkinImage(row.image)->GetHeight(), r.bottom - r.top);
  }
}

TEST_F(MainWindow, KeysAndCommandsActOnlyFromTheirSources) {
  Make(true);
  const std::string a = WriteSong(m_dir, "a.mid");
  HandOver(a, true);
  ASSERT_TRUE(m_wnd->IsPlaying());
  // A button's notification with the singer commands' ids opens nothing.
  Send(WM_COMMAND, MAKEWPARAM(kCmdHelp, BN_CLICKED), reinterpret_cast<LPARAM>(m_wnd->m_hWnd));
  EXPECT_TRUE(m_launched.empty());
  Send(WM_COMMAND, kCmdHelp, 0);
  Send(WM_KEYDOWN, VK_F1, 0);
  ASSERT_EQ(2u, m_launched.size());
  EXPECT_NE(std::string::npos, m_launched[0].find("\\help.chm"));
  // Letters act only with Ctrl held.
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  Send(WM_KEYDOWN, 'S', 0);
  EXPECT_TRUE(m_wnd->IsPlaying());
  keys[VK_CONTROL] = 0x80;
  ::SetKeyboardState(keys);
  Send(WM_KEYDOWN, 'P', 0);
  EXPECT_TRUE(m_wnd->IsPaused());
  Send(WM_KEYDOWN, 'P', 0);
  EXPECT_TRUE(m_wnd->IsPlaying()) << "Ctrl+P resumes";
  Send(WM_KEYDOWN, 'S', 0);
  EXPECT_TRUE(m_wnd->IsStopped());
  keys[VK_CONTROL] = 0;
  ::SetKeyboardState(keys);
  // System commands compare the SC_ values without their low bits.
  m_wnd->SetChildVisible(ChildWndId::kLyrics, true);
  HWND lyrics = m_wnd->GetChildWindow(ChildWndId::kLyrics);
  Send(WM_SYSCOMMAND, SC_MINIMIZE | 2, 0);
  EXPECT_FALSE(::IsWindowVisible(m_wnd->m_hWnd));
  EXPECT_FALSE(::IsWindowVisible(lyrics)) << "the shown frames go with the panel";
  EXPECT_TRUE(m_wnd->IsChildVisible(ChildWndId::kLyrics));
  Send(WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(::IsWindowVisible(m_wnd->m_hWnd));
  EXPECT_TRUE(::IsWindowVisible(lyrics));
  m_wnd->SetChildVisible(ChildWndId::kLyrics, false);
  ::ShowWindow(m_wnd->m_hWnd, SW_HIDE);
}

TEST_F(MainWindow, OddPrivateMessagesChangeNothing) {
  Make(true);
  ASSERT_NE(nullptr, m_wnd->GetLyricWnd());
  m_wnd->SetChildVisible(ChildWndId::kLyrics, true);
  ASSERT_TRUE(m_wnd->IsChildVisible(ChildWndId::kLyrics));
  for (WPARAM odd : {0, 5, 1000}) Send(WM_SKIN_HIDE_CHILD, odd, 0);
  EXPECT_TRUE(m_wnd->IsChildVisible(ChildWndId::kLyrics));
  Send(WM_SKIN_HIDE_CHILD, ChildWndId::kLyrics, 0);
  EXPECT_FALSE(m_wnd->IsChildVisible(ChildWndId::kLyrics));
  EXPECT_FALSE(::IsWindowVisible(m_wnd->GetLyricWnd()->m_hWnd));
  // The song maker is made on its first showing, which its toggle asks for,
  // and hides on its own request.
  EXPECT_EQ(nullptr, m_wnd->GetChildWindow(ChildWndId::kSongMaker));
  HWND makerToggle = ::GetDlgItem(m_wnd->m_hWnd, kIdSongMakerToggle);
  ASSERT_NE(nullptr, makerToggle);
  ::SendMessageA(makerToggle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  ::SendMessageA(makerToggle, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(m_wnd->IsChildVisible(ChildWndId::kSongMaker));
  HWND maker = m_wnd->GetChildWindow(ChildWndId::kSongMaker);
  ASSERT_NE(nullptr, maker);
  EXPECT_TRUE(::IsWindowVisible(maker));
  Send(WM_SKIN_HIDE_CHILD, ChildWndId::kSongMaker, 0);
  EXPECT_FALSE(m_wnd->IsChildVisible(ChildWndId::kSongMaker));
  EXPECT_FALSE(::IsWindowVisible(maker));
  EXPECT_EQ(maker, m_wnd->GetChildWindow(ChildWndId::kSongMaker)) << "hidden, not destroyed";
  Send(WM_PLAYER_BEAT, 3, (4 << 16) | 1);
  Send(WM_PLAYER_BEATS_PER_BAR, 0, 3);
  Send(WM_SKIN_VOLUME, 0, 1000);
  EXPECT_EQ(255, m_wnd->GetVolume());
  Send(WM_SKIN_VOLUME, 0, -5);
  EXPECT_EQ(0, m_wnd->GetVolume());
  Send(WM_COMMAND, kCmdNext, 0);  // Ctrl+F with an empty list
  EXPECT_TRUE(m_wnd->GetCurrentPath().empty());
}

TEST_F(MainWindow, PlaybackControlKeepsAConsistentState) {
  Make(true);
  const std::string a = WriteSong(m_dir, "a.mid"), b = WriteSong(m_dir, "b.mid");
  HandOver(a, false);
  HandOver(b, true);
  m_wnd->Stop();
  // Next while stopped opens without playing.
  m_log.clear();
  EXPECT_TRUE(m_wnd->PlayNext());
  EXPECT_EQ(b, m_wnd->GetCurrentPath());
  EXPECT_TRUE(m_wnd->IsStopped());
  EXPECT_EQ((std::vector<std::string>{"open " + b}), m_log);
  // A second Play of the open path does not open it again; the volume is applied.
  m_log.clear();
  EXPECT_TRUE(m_wnd->OpenAndPlay(b));
  EXPECT_EQ((std::vector<std::string>{"volume 200", "play"}), m_log);
  // A failed open leaves no current path and the window stopped.
  const std::string bad = WriteSong(m_dir, "bad.mid");
  EXPECT_FALSE(m_wnd->OpenAndPlay(bad));
  EXPECT_TRUE(m_wnd->GetCurrentPath().empty());
  EXPECT_TRUE(m_wnd->IsStopped());
  // With every entry gone the search ends after one pass.
  ::DeleteFileA(a.c_str());
  ::DeleteFileA(b.c_str());
  m_wnd->SetPlayOrder(1);
  EXPECT_FALSE(m_wnd->PlayNext());
  EXPECT_FALSE(m_wnd->PlayPrevious());
  // An end of song reported after Stop starts nothing.
  m_log.clear();
  Send(WM_PLAYER_END);
  EXPECT_TRUE(m_log.empty());
}

TEST_F(MainWindow, ClosingSavesTheWindowsAndThePlayOptions) {
  Make(true);
  ::SetWindowPos(m_wnd->m_hWnd, nullptr, 120, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Send(WM_SKIN_VOLUME, 0, 77);
  m_wnd->SetPlayOrder(1);
  m_wnd->SetChildVisible(ChildWndId::kLyrics, true);
  Send(WM_CLOSE);
  EXPECT_FALSE(::IsWindow(m_wnd->m_hWnd));
  const RECT main = CSettings::GetMainWndRect();
  EXPECT_EQ(120, main.left);
  EXPECT_EQ(130, main.top);
  EXPECT_EQ(260, main.right - main.left);
  EXPECT_EQ(77, CSettings::GetDefaultSoundVolume());
  EXPECT_EQ(1, CSettings::GetPlayMode());
  EXPECT_TRUE(CSettings::GetShowWndFlag(ShowWndFlag::kLyrics));
  EXPECT_FALSE(CSettings::GetShowWndFlag(ShowWndFlag::kStaff));
  MSG quit;
  EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "closing ends the program";
}

// Alt+F4 on the play-list window only hides it; closing the player then
// saves the list whole, each entry once and in order.
TEST_F(MainWindow, ClosingSavesTheLastPlayListIntact) {
  Make(true);
  const std::string a = WriteSong(m_dir, "a.mid"), b = WriteSong(m_dir, "b.mid");
  HandOver(a, false);
  HandOver(b, true);
  HandOver(a, true);
  HWND list = m_wnd->GetChildWindow(ChildWndId::kPlayList);
  ASSERT_NE(nullptr, list);
  ::SendMessageA(list, WM_CLOSE, 0, 0);
  testsupport::PumpPending();
  ASSERT_TRUE(::IsWindow(list));
  const std::string saved = CMainPlayerWndTestAccess::LastPlayList();
  ::DeleteFileA(saved.c_str());
  Send(WM_CLOSE);
  std::ifstream in(saved);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  ::DeleteFileA(saved.c_str());
  // The entries are the lines that are not "#" directives.
  std::vector<std::string> entries;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '#') entries.push_back(line.substr(line.find_last_of('\\') + 1));
    start = end + 1;
  }
  EXPECT_EQ((std::vector<std::string>{"a.mid", "b.mid"}), entries) << text;
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

TEST_F(MainWindow, StartsWhereTheSettingsSayWithItsOneSize) {
  std::ofstream(m_ini) << "";
  KeepNoticesLocal();
  RECT stored = {100, 100, 900, 900};
  CSettings::SetMainWndRect(&stored);
  Make(true);
  RECT rect;
  ::GetWindowRect(m_wnd->m_hWnd, &rect);
  EXPECT_EQ(100, rect.left);
  EXPECT_EQ(100, rect.top);
  EXPECT_EQ(260, rect.right - rect.left);
  EXPECT_EQ(150, rect.bottom - rect.top);
  EXPECT_EQ(255, m_wnd->GetVolume()) << "no stored volume starts at full";
}

// A frame dragged within reach of the panel lands flush and docks; the
// panel moved then takes it along, and the panel going away with a docked
// frame leaves nothing behind that reaches a gone frame.
TEST_F(MainWindow, FramesSnapToThePanelAndTravelWithIt) {
  std::ofstream(m_ini) << "";
  KeepNoticesLocal();
  RECT stored = {300, 300, 560, 450};
  CSettings::SetMainWndRect(&stored);
  Make(true);
  m_wnd->SetChildVisible(ChildWndId::kLyrics, true);
  HWND lyrics = m_wnd->GetChildWindow(ChildWndId::kLyrics);
  ASSERT_NE(nullptr, lyrics);
  RECT main, frame;
  ::GetWindowRect(m_wnd->m_hWnd, &main);
  ::SetWindowPos(lyrics, nullptr, main.right + 7, main.top + 20, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::GetWindowRect(lyrics, &frame);
  EXPECT_EQ(main.right, frame.left) << "caught at 7 pixels";
  ASSERT_EQ(1u, m_wnd->GetSnapPart().GetDocked().size());
  ::SetWindowPos(m_wnd->m_hWnd, nullptr, main.left + 40, main.top + 30, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT moved;
  ::GetWindowRect(lyrics, &moved);
  EXPECT_EQ(frame.left + 40, moved.left);
  EXPECT_EQ(frame.top + 30, moved.top);
  // Torn away by more than the snap distance, it is free again.
  ::GetWindowRect(m_wnd->m_hWnd, &main);
  ::SetWindowPos(lyrics, nullptr, main.right + 60, main.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(m_wnd->GetSnapPart().GetDocked().empty());
  ::SetWindowPos(lyrics, nullptr, main.right + 3, main.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(1u, m_wnd->GetSnapPart().GetDocked().size());
  ::DestroyWindow(m_wnd->m_hWnd);
  m_wnd.reset();
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// True when window a is above window b in the z-order.
bool IsAbove(HWND a, HWND b) {
  for (HWND h = ::GetWindow(b, GW_HWNDPREV); h; h = ::GetWindow(h, GW_HWNDPREV))
    if (h == a) return true;
  return false;
}

// Another program's window between the panel and its frames goes under the
// shown frames when the panel is activated; hidden frames stay hidden, and a
// minimised panel brings nothing up.
TEST_F(MainWindow, ActivationBringsTheShownFramesForward) {
  Make(true);
  m_wnd->SetChildVisible(ChildWndId::kLyrics, true);
  m_wnd->SetChildVisible(ChildWndId::kPlayList, true);
  m_wnd->SetChildVisible(ChildWndId::kScore, false);
  HWND lyrics = m_wnd->GetChildWindow(ChildWndId::kLyrics);
  HWND list = m_wnd->GetChildWindow(ChildWndId::kPlayList);
  HWND score = m_wnd->GetChildWindow(ChildWndId::kScore);
  ASSERT_TRUE(lyrics && list && score);
  HWND other =
      ::CreateWindowExA(0, "STATIC", "other", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, other);
  auto putOtherOnTop = [&] {
    ::SetWindowPos(other, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ASSERT_TRUE(IsAbove(other, lyrics));
    ASSERT_TRUE(IsAbove(other, list));
  };
  putOtherOnTop();
  ::ShowWindow(m_wnd->m_hWnd, SW_SHOWMINNOACTIVE);
  Send(WM_ACTIVATE, WA_ACTIVE);
  EXPECT_TRUE(IsAbove(other, lyrics)) << "a minimised panel raises nothing";
  EXPECT_TRUE(IsAbove(other, list));
  ::ShowWindow(m_wnd->m_hWnd, SW_RESTORE);
  putOtherOnTop();
  Send(WM_ACTIVATE, WA_INACTIVE);
  EXPECT_TRUE(IsAbove(other, lyrics)) << "losing activation raises nothing";
  Send(WM_ACTIVATE, WA_ACTIVE);
  EXPECT_TRUE(IsAbove(lyrics, other));
  EXPECT_TRUE(IsAbove(list, other));
  EXPECT_TRUE(IsAbove(lyrics, list)) << "raised in order: score, play list, lyrics, song maker";
  EXPECT_FALSE(::IsWindowVisible(score));
  EXPECT_FALSE(m_wnd->GetShowFlag(ShowWndFlag::kStaff));
  ::DestroyWindow(other);
}

std::vector<std::string> g_urls;
void RecordUrl(const char* url, int) { g_urls.push_back(url); }

// The label sits on the panel, shows the song's title (else the file's
// stem) and rotates through the lines of the last notice.
TEST_F(MainWindow, TheLinkLabelShowsTheTitleAndTheNewsLines) {
  Make(true);
  CLinkLabel* label = m_wnd->GetLinkLabel();
  ASSERT_NE(nullptr, label);
  RECT r;
  ::GetWindowRect(label->m_hWnd, &r);
  POINT at = {r.left, r.top};
  ::ScreenToClient(m_wnd->m_hWnd, &at);
  EXPECT_EQ(130, at.x);
  EXPECT_EQ(48, at.y);
  EXPECT_EQ(120, r.right - r.left);
  EXPECT_EQ(25, r.bottom - r.top);
  EXPECT_TRUE(::IsWindowVisible(label->m_hWnd) || !::IsWindowVisible(m_wnd->m_hWnd));
  CScrollText& text = label->GetScrollText();
  EXPECT_TRUE(text.IsScrolling());
  // Line 1 is the vendor's address as the link.
  while (text.GetCurrent() != 1) text.OnTimer();
  EXPECT_EQ(LoadPlayerString(kStrVendorSite), text.GetCurrentTip());

  const std::string song = WriteSong(m_dir, "Stem Only.mid");
  ASSERT_TRUE(m_wnd->OpenFile(song));
  while (text.GetCurrent() != 0) text.OnTimer();
  EXPECT_EQ("Stem Only", text.GetCurrentTip());
  g_fakeTitle = "Moon River";
  ASSERT_TRUE(m_wnd->OpenFile(WriteSong(m_dir, "other.mid")));
  EXPECT_EQ("Moon River", text.GetCurrentTip());

  // CR LF line ends and empty lines of a notice leave no empty lines.
  m_wnd->SetNoticeText("first news\r\n\r\nsecond news\n");
  std::vector<std::string> tips;
  for (int i = 0; i < 4; ++i) {
    text.OnTimer();
    tips.push_back(text.GetCurrentTip());
  }
  EXPECT_EQ(
      (std::vector<std::string>{LoadPlayerString(kStrVendorSite), "first news", "second news", "Moon River"}),
      tips);
  // A new notice replaces the lines.
  m_wnd->SetNoticeText("only");
  text.OnTimer();
  text.OnTimer();
  EXPECT_EQ("only", text.GetCurrentTip());
  text.OnTimer();
  EXPECT_EQ(0, text.GetCurrent());
}

// The search address is the user's text with the singer in place of the
// first "%s"; nothing in it is ever taken as a format.
TEST_F(MainWindow, SingerPagesPutTheSingerInLiterally) {
  g_urls.clear();
  SetUrlLauncher(&RecordUrl);
  struct Case {
    const char* setting;
    const char* url;  // "" when nothing opens
  } cases[] = {
      {"http://find.example/?q=%s&n=1", "http://find.example/?q=Ann%20%26%20Lee&n=1"},
      {"%n%n%s%d", "%n%nAnn%20%26%20Lee%d"},
      {"http://a/%s/%s/%%", "http://a/Ann%20%26%20Lee/%s/%%"},
      {"http://find.example/", "http://find.example/"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.url, CMainPlayerWnd::SingerSearchUrl(c.setting, "Ann & Lee")) << c.setting;
  }
  g_fakeSinger = "Ann & Lee";
  Make(true);
  // No song: no singer, nothing opens.
  Send(WM_COMMAND, kCmdSingerSearch, 0);
  EXPECT_TRUE(g_urls.empty());
  ASSERT_TRUE(m_wnd->OpenFile(WriteSong(m_dir, "a.mid")));
  EXPECT_EQ("Ann & Lee", m_wnd->GetSinger());
  for (const Case& c : cases) {
    g_urls.clear();
    CProfileHelper::WriteProfileString("GENERAL_SETTING", "SEARCH_ENGINE_URL", c.setting);
    Send(WM_COMMAND, kCmdSingerSearch, 0);
    EXPECT_EQ(*c.url ? std::vector<std::string>{c.url} : std::vector<std::string>{}, g_urls) << c.setting;
  }
  g_urls.clear();
  Send(WM_COMMAND, kCmdSingerPage, 0);
  EXPECT_EQ((std::vector<std::string>{LoadPlayerString(kStrSingerSite) + "Ann%20%26%20Lee"}), g_urls);
  // The Next button's notification carries id 103 and opens nothing.
  g_urls.clear();
  Send(WM_COMMAND, MAKEWPARAM(kCmdSingerPage, BN_CLICKED), reinterpret_cast<LPARAM>(m_wnd->m_hWnd));
  EXPECT_TRUE(g_urls.empty());

  // The menu is rebuilt each time: one separator and one pair of items.
  HMENU menu = m_wnd->UpdatePopupMenu();
  ASSERT_NE(nullptr, menu);
  const int once = ::GetMenuItemCount(menu);
  menu = m_wnd->UpdatePopupMenu();
  ASSERT_EQ(once, ::GetMenuItemCount(menu));
  char item[128] = {};
  ::GetMenuStringA(menu, kCmdSingerSearch, item, sizeof(item), MF_BYCOMMAND);
  EXPECT_STREQ("Search Ann & Lee Latest News", item);
  EXPECT_TRUE(::GetMenuState(menu, once - 3, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_TRUE(::GetMenuState(menu, kCmdStop, MF_BYCOMMAND) & MF_GRAYED) << "nothing plays";
  // A song without a singer takes the items and their separator away.
  g_fakeSinger.clear();
  ASSERT_TRUE(m_wnd->OpenFile(WriteSong(m_dir, "b.mid")));
  menu = m_wnd->UpdatePopupMenu();
  EXPECT_EQ(once - 3, ::GetMenuItemCount(menu));
  EXPECT_FALSE(::GetMenuState(menu, once - 4, MF_BYPOSITION) & MF_SEPARATOR);
}

// @name The host operations the buttons and the song maker call

// The chosen names as the dialog leaves them: each text NUL-ended, one more
// NUL after the last.
std::string DialogAnswer(const std::vector<std::string>& parts) {
  std::string answer;
  for (const std::string& part : parts) answer += part + '\0';
  return answer + '\0';
}

// Answers the open dialog with a scripted choice, or fails with an error.
struct ScriptedDialog {
  std::string answer;
  DWORD error = 0;  // used when answer is empty
  int runs = 0;
  OPENFILENAMEA seen = {};
  bool operator()(OPENFILENAMEA* dialog, DWORD* why) {
    ++runs;
    seen = *dialog;
    if (answer.empty()) {
      *why = error;
      return false;
    }
    if (answer.size() > dialog->nMaxFile) return false;
    memcpy(dialog->lpstrFile, answer.data(), answer.size());
    return true;
  }
};

struct ShownMessage {
  HWND owner;
  std::string text, caption;
};

TEST_F(MainWindow, TheOpenDialogAddsEveryChosenFileOnce) {
  Make(true);
  auto script = std::make_shared<ScriptedDialog>();
  CMainPlayerWnd::SetOpenDialog([script](OPENFILENAMEA* d, DWORD* e) { return (*script)(d, e); });
  std::vector<ShownMessage> shown;
  CMainPlayerWnd::SetMessageShower([&shown](HWND owner, const char* text, const char* caption, UINT) {
    shown.push_back({owner, text, caption});
    return IDOK;
  });
  const std::string one = WriteSong(m_dir, "one.mid"), two = WriteSong(m_dir, "two.mid"),
                    three = WriteSong(m_dir, "three.mid");
  testsupport::WriteBytes(m_dir.File("junk.mid"),
                          std::vector<unsigned char>{'n', 'o', 't', ' ', 'a', ' ', 's'});
  // A drive root is the one folder the dialog names with its backslash.
  const std::string rootName = "melodara_open_" + std::to_string(::GetCurrentProcessId()) + ".mid";
  const std::string rootSong = "C:\\" + rootName;
  ASSERT_TRUE(::CopyFileA(one.c_str(), rootSong.c_str(), FALSE));
  struct Case {
    const char* what;
    std::string answer;
    DWORD error;
    int result;
    std::vector<std::string> added;
    size_t messages;
  } cases[] = {
      {"one file", DialogAnswer({one}), 0, 1, {one}, 0},
      {"several in a folder",
       DialogAnswer({m_dir.Path(), "two.mid", "junk.mid", "three.mid"}),
       0,
       2,
       {two, three},
       1},
      {"the same again", DialogAnswer({m_dir.Path(), "two.mid", "one.mid"}), 0, 0, {}, 1},
      {"a drive root", DialogAnswer({"C:\\", rootName, "one.mid"}), 0, 1, {rootSong}, 2},
      {"the root file again", DialogAnswer({rootSong}), 0, 0, {}, 2},
      {"cancelled", "", 0, -1, {}, 2},
      {"too many names", "", FNERR_BUFFERTOOSMALL, -1, {}, 3},
  };
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    script->answer = c.answer;
    script->error = c.error;
    EXPECT_EQ(c.result, m_wnd->ShowOpenDialog()) << c.what;
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(expected, m_wnd->GetSongs()) << c.what;
    EXPECT_EQ(c.messages, shown.size()) << c.what;
  }
  ::DeleteFileA(rootSong.c_str());
  // The list opens its first entry when it gets one; nothing plays.
  EXPECT_EQ(one, m_wnd->GetCurrentPath());
  EXPECT_EQ((std::vector<std::string>{"open " + one}), m_log);
  ASSERT_EQ(3u, shown.size());
  // The files that cannot go in are named, the others go in.
  EXPECT_EQ("\"junk.mid\" cannot be read as a song.", shown[0].text);
  EXPECT_EQ("\"one.mid\" cannot be found.", shown[1].text) << "C:\\one.mid does not exist";
  EXPECT_EQ(m_wnd->m_hWnd, shown[2].owner);
  EXPECT_EQ("Total file name is too long, Please select it again. ", shown[2].text);
  EXPECT_EQ("Melodara", shown[2].caption);
  // The dialog's record: owned by the panel, a 2600-character buffer, multiple
  // choice among existing files, the media kinds offered.
  EXPECT_EQ(m_wnd->m_hWnd, script->seen.hwndOwner);
  EXPECT_EQ(2600u, script->seen.nMaxFile);
  EXPECT_EQ(0x81A03u, script->seen.Flags);
  std::vector<std::string> filter;
  for (const char* at = script->seen.lpstrFilter; at && *at; at += strlen(at) + 1) filter.push_back(at);
  EXPECT_EQ((std::vector<std::string>{"All Supported Media Type", "*.mp3;*.wma;*.asf;*.wmv;*.mid",
                                      "MP3(*.mp3)", "*.mp3", "WMA(*.wma)", "*.wma", "ASF(*.asf)", "*.asf",
                                      "WMV(*.wmv)", "*.wmv", "MIDI(*.mid)", "*.mid"}),
            filter);
}

// The panel's Add Songs button plays the first song it added; the play-list
// window's Add button only adds.
TEST_F(MainWindow, TheAddButtonsReachTheOpenDialog) {
  Make(true);
  auto script = std::make_shared<ScriptedDialog>();
  CMainPlayerWnd::SetOpenDialog([script](OPENFILENAMEA* d, DWORD* e) { return (*script)(d, e); });
  const std::string first = WriteSong(m_dir, "first.mid");
  ASSERT_TRUE(m_wnd->AddToPlayList(first.c_str(), 0));
  const std::string a = WriteSong(m_dir, "a.mid"), b = WriteSong(m_dir, "b.mid"),
                    c = WriteSong(m_dir, "c.mid");
  auto click = [](HWND button) {
    ASSERT_NE(nullptr, button);
    ::SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  };
  HWND listAdd = ::GetDlgItem(m_wnd->GetChildWindow(ChildWndId::kPlayList), CPlayListWnd::kIdAdd);
  script->answer = DialogAnswer({c});
  click(listAdd);
  EXPECT_EQ(1, script->runs);
  EXPECT_EQ((std::vector<std::string>{first, c}), m_wnd->GetSongs());
  EXPECT_FALSE(m_wnd->IsPlaying()) << "the list's Add never plays";
  HWND panelAdd = ::GetDlgItem(m_wnd->m_hWnd, kIdOpenSongs);
  script->answer.clear();
  click(panelAdd);
  EXPECT_EQ(2, script->runs);
  EXPECT_FALSE(m_wnd->IsPlaying()) << "a cancelled dialog plays nothing";
  script->answer = DialogAnswer({m_dir.Path(), "a.mid", "b.mid"});
  click(panelAdd);
  EXPECT_EQ((std::vector<std::string>{first, c, a, b}), m_wnd->GetSongs());
  EXPECT_EQ(a, m_wnd->GetCurrentPath()) << "entry n - k";
  EXPECT_TRUE(m_wnd->IsPlaying());
  m_wnd->Stop();
}

// Each frame the main window makes acts on the main window: the commands
// their parts leave to it arrive, and the song maker's delay stops the song.
TEST_F(MainWindow, EachFrameActsOnTheMainWindow) {
  Make(true);
  HandOver(WriteSong(m_dir, "a.mid"), true);
  ASSERT_TRUE(m_wnd->IsPlaying());
  m_wnd->SetChildVisible(ChildWndId::kSongMaker, true);
  HWND maker = m_wnd->GetChildWindow(ChildWndId::kSongMaker);
  ASSERT_NE(nullptr, maker);
  HWND dialog = ::GetWindow(maker, GW_CHILD);
  while (dialog && !::GetDlgItem(dialog, kIdcMake)) dialog = ::GetWindow(dialog, GW_HWNDNEXT);
  ASSERT_NE(nullptr, dialog);
  HWND list = m_wnd->GetPlayListWnd()->GetView()->GetListCtrl().m_hWnd;
  HWND canvas = m_wnd->GetScoreWnd()->GetCanvas()->m_hWnd;
  HWND pane = m_wnd->GetLyricWnd()->GetPane()->m_hWnd;
  struct Step {
    const char* name;
    HWND window;
    WPARAM command;
    bool playing;
  };
  const Step steps[] = {
      {"play list", list, kCmdStop, false},
      {"score", canvas, kCmdPlayPause, true},
      {"lyrics", pane, kCmdStop, false},
      {"play list", list, kCmdPlayPause, true},
      {"song maker", dialog, kIdcApplyDelay, false},
  };
  for (const Step& step : steps) {
    ::SendMessageA(step.window, WM_COMMAND, step.command, 0);
    EXPECT_EQ(step.playing, m_wnd->IsPlaying()) << step.name << " " << step.command;
  }
  m_wnd->SetChildVisible(ChildWndId::kSongMaker, false);
}

TEST_F(MainWindow, TheSongMakerSuspendsAndResumesPlayback) {
  Make(true);
  IPlayerHost* host = m_wnd.get();
  const std::string a = WriteSong(m_dir, "a.mid");
  // Nothing was ever opened: there is no player to close.
  PlaybackState empty;
  empty.seconds = 9;
  EXPECT_TRUE(host->SuspendPlayback(&empty));
  EXPECT_EQ("", empty.path);
  EXPECT_EQ(0, empty.seconds);
  EXPECT_FALSE(empty.wasPlaying);
  EXPECT_FALSE(host->ResumePlayback(empty));
  EXPECT_TRUE(m_wnd->IsStopped());

  HandOver(a, true);
  ASSERT_TRUE(m_wnd->IsPlaying());
  Send(WM_PLAYER_POSITION, 0, 42000);
  m_log.clear();
  EXPECT_TRUE(host->SuspendPlayback(nullptr));
  EXPECT_TRUE(m_wnd->IsPlaying()) << "a null state suspends nothing";
  EXPECT_TRUE(m_log.empty());

  const int closes = g_fakeCloses;
  PlaybackState state;
  EXPECT_TRUE(host->SuspendPlayback(&state));
  EXPECT_EQ(a, state.path);
  EXPECT_EQ(42, state.seconds);
  EXPECT_TRUE(state.wasPlaying);
  EXPECT_EQ((std::vector<std::string>{"stop"}), m_log);
  EXPECT_EQ(closes + 1, g_fakeCloses) << "the file is let go while the pack program runs";
  EXPECT_TRUE(m_wnd->GetCurrentPath().empty());
  EXPECT_TRUE(m_wnd->IsStopped());
  m_log.clear();
  EXPECT_TRUE(host->ResumePlayback(state));
  EXPECT_EQ((std::vector<std::string>{"open " + a, "seek 42000", "volume 200", "play"}), m_log);
  EXPECT_EQ(a, m_wnd->GetCurrentPath());
  EXPECT_TRUE(m_wnd->IsPlaying());

  // A paused song comes back stopped at its place, and Play starts it there.
  Send(WM_PLAYER_POSITION, 0, 7500);
  m_wnd->Pause();
  ASSERT_TRUE(host->SuspendPlayback(&state));
  EXPECT_FALSE(state.wasPlaying);
  EXPECT_EQ(7, state.seconds);
  m_log.clear();
  EXPECT_TRUE(host->ResumePlayback(state));
  EXPECT_EQ((std::vector<std::string>{"open " + a, "seek 7000"}), m_log);
  EXPECT_TRUE(m_wnd->IsStopped());
  EXPECT_FALSE(m_wnd->IsPaused());
  EXPECT_EQ(a, m_wnd->GetCurrentPath());

  // A file that cannot be opened again leaves the window stopped.
  const std::string bad = WriteSong(m_dir, "bad.mid");
  state = {bad, 3, true};
  EXPECT_FALSE(host->ResumePlayback(state));
  EXPECT_TRUE(m_wnd->IsStopped());
  EXPECT_FALSE(m_wnd->IsPaused());
  EXPECT_TRUE(m_wnd->GetCurrentPath().empty());
}

TEST_F(MainWindow, TheSongMakerAddsMeasuredSongsAndPlaysTheLast) {
  Make(true);
  IPlayerHost* host = m_wnd.get();
  IPlayListModel* list = m_wnd->GetPlayListModel();
  ASSERT_NE(nullptr, list);
  host->PlayLastEntry();
  EXPECT_TRUE(m_wnd->GetCurrentPath().empty()) << "an empty list plays nothing";
  const std::string a = WriteSong(m_dir, "a.mid"), b = WriteSong(m_dir, "b.mid");
  testsupport::WriteBytes(m_dir.File("junk.mid"), std::vector<unsigned char>{'M', 'T', 'h', 'd'});
  EXPECT_TRUE(host->AddToPlayList(a.c_str(), 0));
  EXPECT_TRUE(host->AddToPlayList(b.c_str(), 7));
  EXPECT_FALSE(host->AddToPlayList(m_dir.File("junk.mid").c_str(), 0)) << "a song without a length";
  EXPECT_FALSE(host->AddToPlayList(nullptr, 5));
  ASSERT_EQ(2, list->GetCount());
  EXPECT_EQ(1, list->GetEntry(0)->length) << "half a second, measured and rounded up";
  EXPECT_EQ(7, list->GetEntry(1)->length) << "a given length is kept";
  EXPECT_TRUE(m_wnd->IsStopped()) << "adding never plays";
  host->PlayLastEntry();
  EXPECT_EQ(b, m_wnd->GetCurrentPath());
  EXPECT_TRUE(m_wnd->IsPlaying());
  // The delay only reaches a synchronised player: a song file has none.
  EXPECT_FALSE(host->SetDelayTime(250));
  m_wnd->Stop();
}

// Started without files, the player plays the first entry of the list it
// reloaded.
TEST_F(MainWindow, AStartWithoutFilesPlaysTheReloadedList) {
  const std::string a = WriteSong(m_dir, "a.mid"), b = WriteSong(m_dir, "b.mid");
  const std::string saved = CMainPlayerWndTestAccess::LastPlayList();
  std::ofstream(saved) << "#EXTM3U\n#EXTINF:1,a\n" << a << "\n#EXTINF:1,b\n" << b << "\n";
  CProfileHelper::WriteProfileInt("GENERAL_SETTING", "RELOAD_LAST_SONGLIST", 1);
  Make(true);
  ::DeleteFileA(saved.c_str());
  EXPECT_EQ((std::vector<std::string>{a, b}), m_wnd->GetSongs());
  EXPECT_EQ(a, m_wnd->GetCurrentPath());
  EXPECT_TRUE(m_wnd->IsPlaying());
  m_wnd->Stop();
}

std::vector<std::string> g_tips;
BOOL WINAPI RecordTip(DWORD message, NOTIFYICONDATAA* data) {
  if (message == NIM_MODIFY && (data->uFlags & NIF_TIP)) g_tips.push_back(data->szTip);
  return TRUE;
}

// The tray names the file that is open, whatever title the song carries.
TEST_F(MainWindow, TheTrayTipNamesTheOpenFile) {
  Make(true);
  g_tips.clear();
  const CTrayIcon::NotifyIconFunction previous = CTrayIcon::SetNotifyIconFunction(RecordTip);
  ASSERT_TRUE(m_wnd->OpenFile(WriteSong(m_dir, "Stem Only.mid")));
  g_fakeTitle = "Moon River";
  ASSERT_TRUE(m_wnd->OpenFile(WriteSong(m_dir, "other.song.mid")));
  EXPECT_FALSE(m_wnd->OpenFile(WriteSong(m_dir, "bad.mid")));
  CTrayIcon::SetNotifyIconFunction(previous);
  EXPECT_EQ((std::vector<std::string>{"Melodara - Stem Only", "Melodara - other.song"}), g_tips);
}

// A RECT as the profile's structure text: its bytes in upper-case hex, then
// the low byte of their sum.
std::string RectText(const RECT& rect) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&rect);
  std::string text;
  unsigned sum = 0;
  char hex[3];
  for (size_t i = 0; i < sizeof(rect); ++i) {
    snprintf(hex, sizeof(hex), "%02X", bytes[i]);
    text += hex;
    sum += bytes[i];
  }
  snprintf(hex, sizeof(hex), "%02X", sum & 0xFF);
  return text + hex;
}

TEST_F(MainWindow, ClosingSavesEachFramesTopMostModeAndTheSongMakersPlace) {
  // Only the score frame starts always visible; every key read after closing
  // differs from what the file held before.
  std::ofstream(m_ini) << "[GENERAL_SETTING]\nSCOREWND_SHOW_STATE=1\n";
  KeepNoticesLocal();
  Make(true);
  ASSERT_NE(nullptr, m_wnd->GetLyricWnd());
  ASSERT_NE(nullptr, m_wnd->GetScoreWnd());
  ASSERT_NE(nullptr, m_wnd->GetPlayListWnd());
  EXPECT_TRUE(m_wnd->GetScoreWnd()->IsTopMost());
  // The user's choice is the frames' always-visible buttons.
  for (CToolFrame* frame : std::vector<CToolFrame*>{m_wnd->GetLyricWnd(), m_wnd->GetScoreWnd()}) {
    ASSERT_NE(nullptr, frame->GetTopMostButton());
    frame->GetTopMostButton()->OnLButtonDown(MK_LBUTTON, 0);
  }
  EXPECT_TRUE(m_wnd->GetLyricWnd()->IsTopMost());
  EXPECT_FALSE(m_wnd->GetScoreWnd()->IsTopMost());
  // The song maker is made on its first showing; hidden again, it stays.
  m_wnd->SetChildVisible(ChildWndId::kSongMaker, true);
  m_wnd->SetChildVisible(ChildWndId::kSongMaker, false);
  HWND maker = m_wnd->GetChildWindow(ChildWndId::kSongMaker);
  ASSERT_NE(nullptr, maker);
  ::SetWindowPos(maker, nullptr, 70, 80, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT place;
  ::GetWindowRect(maker, &place);
  ASSERT_EQ(70, place.left);
  // A maximized frame is saved where it restores to.
  HWND score = m_wnd->GetScoreWnd()->m_hWnd;
  RECT scorePlace;
  ::GetWindowRect(score, &scorePlace);
  ::SendMessageA(score, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(m_wnd->GetScoreWnd()->IsMaximized());
  Send(WM_CLOSE);
  auto value = [this](const char* section, const char* key) {
    char text[128] = {};
    ::GetPrivateProfileStringA(section, key, "(none)", text, sizeof(text), m_ini.c_str());
    return std::string(text);
  };
  EXPECT_EQ("1", value("GENERAL_SETTING", "LYRICSWND_SHOW_STATE"));
  EXPECT_EQ("0", value("GENERAL_SETTING", "SCOREWND_SHOW_STATE"));
  EXPECT_EQ("0", value("GENERAL_SETTING", "PLAYLISTWND_SHOW_STATE"));
  EXPECT_EQ("0", value("GENERAL_SETTING", "MAINWND_SHOW_STATE"));
  EXPECT_EQ(RectText(place), value("WINDOW_SETTING", "QUILLIXEDITOR_WND_RECT"));
  EXPECT_EQ(RectText(scorePlace), value("WINDOW_SETTING", "STAFF_WND_RECT"));
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

// The window over a recording engine: what playback control asks of the
// engine and the score frame.
class MainWindowOverEngine : public MainWindow {
 protected:
  void MakeOverEngine() {
    CMainPlayerWnd::SetEngineFactory([this] { return &m_engine; });
    Make(true);
  }
  RecordingEngine m_engine;
};

TEST_F(MainWindowOverEngine, StopTakesTheSongAndItsScoreBackToTheStart) {
  MakeOverEngine();
  const std::string a = WriteSong(m_dir, "a.mid");
  ASSERT_TRUE(m_wnd->OpenFile(a));
  CSkinSlider* measures = m_wnd->GetScoreWnd()->GetMeasureSlider();
  ASSERT_NE(nullptr, measures);
  Send(WM_PLAYER_BEAT, 5, (4 << 16) | 1);
  ASSERT_EQ(5, measures->GetPos());
  ASSERT_TRUE(m_wnd->OpenAndPlay(a));
  m_log.clear();
  m_wnd->Stop();
  EXPECT_TRUE(m_wnd->IsStopped());
  EXPECT_EQ(1, m_engine.rewinds) << "the notation and the lyric wipe go back to the start";
  EXPECT_EQ(0, measures->GetPos());
  EXPECT_EQ((std::vector<std::string>{"stop"}), m_log);
  // Stopped already: nothing more happens.
  m_wnd->Stop();
  Send(WM_COMMAND, kCmdStop, 0);
  EXPECT_EQ(1, m_engine.rewinds);
  EXPECT_EQ((std::vector<std::string>{"stop"}), m_log);
  // A paused song stops too.
  ASSERT_TRUE(m_wnd->OpenAndPlay(a));
  m_wnd->Pause();
  m_wnd->Stop();
  EXPECT_EQ(2, m_engine.rewinds);
  EXPECT_TRUE(m_wnd->IsStopped());
}

TEST_F(MainWindowOverEngine, TheStoredScoreLyricFontReachesTheViewsWhenASongOpens) {
  std::ofstream(m_ini, std::ios::app)
      << "[LYRIC_SETTING]\nSCORE_LYRIC_FONT=-19,0,0,0,700,0,0,0,0,0,0,2,34,Arial,0\n";
  MakeOverEngine();
  EXPECT_TRUE(m_engine.views.lyricFace.empty()) << "no song, no views set";
  ASSERT_TRUE(m_wnd->OpenFile(WriteSong(m_dir, "a.mid")));
  EXPECT_EQ("Arial", m_engine.views.lyricFace);
  EXPECT_EQ(-19, m_engine.views.lyricHeight);
  EXPECT_EQ(-1, m_engine.views.lyricTrack) << "every track";
  EXPECT_EQ(1, m_engine.views.releases) << "the pair goes back at once";
}

// Only a playing song is sought and started again; a paused or stopped one
// only moves, and keeps its state.
TEST_F(MainWindow, AProgressDragStartsNothing) {
  Make(true);
  const std::string a = WriteSong(m_dir, "a.mid");
  struct Case {
    const char* what;
    std::function<void()> prepare;
    std::vector<std::string> calls;
    bool playing, paused, stopped;
  } cases[] = {
      {"stopped", [&] { m_wnd->Stop(); }, {"seek 30000"}, false, false, true},
      {"paused", [&] { m_wnd->OpenAndPlay(a), m_wnd->Pause(); }, {"seek 30000"}, false, true, false},
      {"playing", [&] { m_wnd->OpenAndPlay(a); }, {"seek 30000", "play"}, true, false, false},
  };
  ASSERT_TRUE(m_wnd->OpenFile(a));
  for (const Case& c : cases) {
    c.prepare();
    m_log.clear();
    m_wnd->OnSliderSet(30);
    EXPECT_EQ(c.calls, m_log) << c.what;
    EXPECT_EQ(c.playing, m_wnd->IsPlaying()) << c.what;
    EXPECT_EQ(c.paused, m_wnd->IsPaused()) << c.what;
    EXPECT_EQ(c.stopped, m_wnd->IsStopped()) << c.what;
  }
}

std::vector<std::string> g_openedUrls;

TEST_F(MainWindow, DonateHelpAndTheCaptionIconOpenWhatTheyName) {
  Make(true);
  g_openedUrls.clear();
  SetUrlLauncher([](const char* url, int) { g_openedUrls.push_back(url); });
  Send(WM_COMMAND, kCmdDonate, 0);
  EXPECT_EQ((std::vector<std::string>{GetHomeUrl() + "/English_DonateUs.htm"}), g_openedUrls);
  // Help from the tray menu, the system menu and F1: the program folder's help file.
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  const std::string help = std::string(folder) + "\\help.chm";
  Send(WM_COMMAND, kCmdHelp, 0);
  Send(WM_SYSCOMMAND, kCmdHelpSystem, 0);
  Send(WM_KEYDOWN, VK_F1, 0);
  EXPECT_EQ((std::vector<std::string>{help, help, help}), m_launched);
  // A click on the caption icon: the system menu, at the icon's lower-left
  // corner on the screen; a menu's command 3 is no click.
  struct Tracked {
    HMENU menu;
    POINT at;
    HWND owner;
  };
  std::vector<Tracked> tracked;
  CMainPlayerWnd::SetMenuTracker([&tracked](HMENU menu, POINT at, HWND owner) {
    tracked.push_back({menu, at, owner});
  });
  Send(WM_COMMAND, kCaptionIconCommand, 0);
  EXPECT_TRUE(tracked.empty());
  ::SetWindowPos(m_wnd->m_hWnd, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  Send(WM_COMMAND, kCaptionIconCommand, reinterpret_cast<LPARAM>(m_wnd->m_hWnd));
  ASSERT_EQ(1u, tracked.size());
  EXPECT_EQ(::GetSystemMenu(m_wnd->m_hWnd, FALSE), tracked[0].menu);
  EXPECT_EQ(m_wnd->m_hWnd, tracked[0].owner);
  RECT icon;
  m_wnd->GetCaptionButtons()->GetIcon()->GetRect(&icon);
  ASSERT_LT(icon.top, icon.bottom) << "the skin gives the icon a place";
  POINT corner = {icon.left, icon.bottom};
  ::ClientToScreen(m_wnd->m_hWnd, &corner);
  EXPECT_EQ(corner.x, tracked[0].at.x);
  EXPECT_EQ(corner.y, tracked[0].at.y);
  RECT window;
  ::GetWindowRect(m_wnd->m_hWnd, &window);
  EXPECT_TRUE(::PtInRect(&window, tracked[0].at)) << "below the icon, inside the panel";
}

TEST_F(MainWindow, MinimisingLeavesAlwaysVisibleFramesOnScreen) {
  Make(true);
  m_wnd->SetChildVisible(ChildWndId::kLyrics, true);
  m_wnd->SetChildVisible(ChildWndId::kPlayList, true);
  HWND lyrics = m_wnd->GetChildWindow(ChildWndId::kLyrics);
  HWND list = m_wnd->GetChildWindow(ChildWndId::kPlayList);
  m_wnd->GetPlayListWnd()->SetTopMost(true);
  ASSERT_TRUE(::GetWindowLongA(list, GWL_EXSTYLE) & WS_EX_TOPMOST);
  Send(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(::IsWindowVisible(m_wnd->m_hWnd));
  EXPECT_FALSE(::IsWindowVisible(lyrics));
  EXPECT_TRUE(::IsWindowVisible(list)) << "an always-visible frame stays";
  Send(WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_TRUE(::IsWindowVisible(lyrics));
  m_wnd->GetPlayListWnd()->SetTopMost(false);
  ::ShowWindow(m_wnd->m_hWnd, SW_HIDE);
}

// A drag of the volume thumb answers each real move; the same move again
// (the system repeats one when a window changes under a still cursor) is dropped.
TEST_F(MainWindow, ARepeatedMouseMoveIsDropped) {
  // The lowest volume puts the thumb at the track's left end (164, 133).
  std::ofstream(m_ini) << "[GENERAL_SETTING]\nDEFAULT_SOUND_VOLUME=1\n";
  Make(true);
  testsupport::PumpPending();
  auto volumes = [this] {
    int count = 0;
    MSG msg;
    while (::PeekMessageA(&msg, m_wnd->m_hWnd, WM_SKIN_VOLUME, WM_SKIN_VOLUME, PM_REMOVE)) ++count;
    return count;
  };
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(166, 136));
  volumes();
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(180, 136));
  ASSERT_GT(volumes(), 0) << "the thumb follows a real move";
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(180, 136));
  EXPECT_EQ(0, volumes());
  Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(174, 136));
  EXPECT_GT(volumes(), 0);
  Send(WM_LBUTTONUP, 0, MAKELPARAM(174, 136));
}

}  // namespace
