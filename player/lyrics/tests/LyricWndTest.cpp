// The lyrics window under Xvfb: a recording owner stands for the main window
// and a fake player host for its operations. Windows stay hidden.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "FakeLyricSource.h"
#include "FrameFixture.h"
#include "RecordingWnd.h"
#include "lyrics/CLyricWnd.h"
#include "testsupport/MessagePump.h"
#include "ui/CProfileHelper.h"
#include "ui/CSettings.h"
#include "ui/IPlayerHost.h"
#include "ui/SkinImageIds.h"

namespace {

// Also writes down dropped files and keys, which the frame forwards.
class OwnerWnd : public RecordingWnd {
 public:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_DROPFILES) {
      char path[MAX_PATH] = {};
      ::DragQueryFileA(reinterpret_cast<HDROP>(wParam), 0, path, sizeof(path));
      dropped = path;
      ::DragFinish(reinterpret_cast<HDROP>(wParam));
      return 0;
    }
    if (message == WM_KEYDOWN) keys.push_back(static_cast<int>(wParam));
    return RecordingWnd::WindowProc(message, wParam, lParam);
  }
  std::string dropped;
  std::vector<int> keys;
};

struct FakeHost : IPlayerHost {
  HWND window = nullptr;
  std::vector<std::string> calls;
  HWND GetHostWindow() override { return window; }
  void SetClickPosition(int index) override { calls.push_back("Click " + std::to_string(index)); }
  void PlayFromClickPosition() override { calls.push_back("Play"); }
  HMENU UpdatePopupMenu() override {
    calls.push_back("Menu");
    return nullptr;
  }
  void ShowPreferences(int page) override { calls.push_back("Preferences " + std::to_string(page)); }
};

void Pump(DWORD ms = 50) { testsupport::PumpFor(ms); }

std::string IniPath() {
  std::string path;
  CProfileHelper::GetIniFilePath(path);
  return path;
}

void SetLyricKey(const char* key, const char* value) {
  ::WritePrivateProfileStringA("LYRIC_SETTING", key, value, IniPath().c_str());
}

class LyricWndTest : public FrameFixture<CLyricWnd> {
 protected:
  void SetUp() override {
    ::DeleteFileA(IniPath().c_str());
    host_.window = owner_.m_hWnd;
  }
  void TearDown() override {
    FrameFixture::TearDown();
    ::DeleteFileA(IniPath().c_str());
  }
  void Make(IPlayerHost* host = nullptr) {
    frame_.reset();
    frame_ = std::make_unique<CLyricWnd>(owner_.m_hWnd, &source_, host);
    ASSERT_TRUE(frame_->IsCreated());
    Pump();
  }
  // Lines of one syllable each, loaded as the controller would.
  CLyricView* LoadLines(int lines) {
    for (int i = 0; i < lines; ++i) source_.Add("la", i * 500, 400, 480 + i * 120).Add(",", i * 500 + 400, 0);
    CLyricView* view = frame_->GetLyricView();
    view->SetLyricSource(&source_);
    view->LoadFromSong();
    return view;
  }
  HWND Pane() { return frame_->GetPane()->m_hWnd; }

  OwnerWnd owner_;
  FakeHost host_;
  FakeLyricSource source_;
};

TEST_F(LyricWndTest, EveryWayOfClosingAsksTheOwnerToHide) {
  Make();
  HWND hwnd = frame_->m_hWnd;
  ::SendMessageA(hwnd, WM_SKIN_CLOSE, 0, 0);
  ::SendMessageA(hwnd, WM_CLOSE, 0, 0);
  ::SendMessageA(hwnd, WM_SKIN_HIDE_CHILD, 0, 0);
  frame_->GetCaptionButtons()->GetButton(kCaptionBtnClose)->OnLButtonUp(0, 0);
  const auto hides = owner_.Of(WM_SKIN_HIDE_CHILD);
  ASSERT_EQ(hides.size(), 4u);
  for (const RecordedMessage& m : hides) EXPECT_EQ(m.wParam, kLyricFrameId);
  EXPECT_TRUE(::IsWindow(hwnd)) << "the frame is kept for showing again";
}

TEST_F(LyricWndTest, DroppedFilesAndKeysReachTheOwner) {
  Make();
  const char file[] = "C:\\songs\\dropped.mid";
  HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + sizeof(file) + 1);
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), file, sizeof(file));
  ::GlobalUnlock(memory);
  ::SendMessageA(frame_->m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  ::SendMessageA(Pane(), WM_KEYDOWN, 'P', 0);
  Pump(100);
  EXPECT_EQ(owner_.dropped, file);
  EXPECT_EQ(owner_.keys, std::vector<int>{'P'}) << "the pane's keys go through the frame to the owner";
}

TEST_F(LyricWndTest, KeysWheelAndScrollBarMoveTheView) {
  Make();
  CLyricView* view = LoadLines(40);
  const int line = view->GetLineHeight();
  const int height = view->GetRect()->bottom - view->GetRect()->top;
  SIZE content;
  view->GetContentSize(&content);
  ASSERT_GT(line, 0);
  ASSERT_GT(height, 0);
  struct Row {
    WPARAM key;
    int from, expected;
  } keys[] = {
      {VK_DOWN, 0, line}, {VK_UP, 3 * line, 2 * line}, {VK_NEXT, 0, height}, {VK_PRIOR, height + 7, 7},
      {VK_HOME, 99, 0},   {VK_END, 0, content.cy},     {VK_LEFT, 50, 50},    {VK_UP, 0, 0},
  };
  for (const Row& row : keys) {
    view->Scroll(0, row.from, 0);
    ::SendMessageA(Pane(), WM_KEYDOWN, row.key, 0);
    EXPECT_EQ(view->GetScrollY(), row.expected) << "key " << row.key;
  }
  struct Wheel {
    short delta;
    int expected;
  } wheels[] = {{120, 4 * line}, {60, 5 * line}, {-240, 7 * line}, {SHRT_MAX, 0}, {SHRT_MIN, content.cy}};
  for (const Wheel& w : wheels) {
    view->Scroll(0, 5 * line, 0);
    ::SendMessageA(Pane(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(w.delta)), 0);
    EXPECT_EQ(view->GetScrollY(), w.expected) << "delta " << w.delta;
  }
  // The bar counts lines: its range is the content in lines, its position
  // the line at the top.
  CSkinScrollBar* bar = frame_->GetScrollBar();
  EXPECT_EQ(bar->GetUpper(), (content.cy + line - 1) / line);
  view->Scroll(0, 2 * line + line / 2, 0);
  EXPECT_EQ(bar->GetPos(), 2);
  frame_->GetPane()->OnSliderTrack(1, 1);
  EXPECT_EQ(view->GetScrollY(), 3 * line + line / 2) << "an arrow click scrolls one line";
  frame_->GetPane()->OnSliderSet(4);
  EXPECT_EQ(view->GetScrollY(), 4 * line);
  frame_->GetPane()->OnSliderSet(INT_MAX);
  EXPECT_EQ(view->GetScrollY(), content.cy);
}

TEST_F(LyricWndTest, NoLyricsLeaveAnEmptyRangeThatStillWorks) {
  Make();
  CLyricView* view = frame_->GetLyricView();
  view->SetLyricSource(&source_);
  view->LoadFromSong();
  CSkinScrollBar* bar = frame_->GetScrollBar();
  EXPECT_EQ(bar->GetUpper(), 0);
  EXPECT_EQ(bar->GetLower(), 0);
  frame_->OnScrollPos(0, 45);
  EXPECT_EQ(bar->GetPos(), 0);
  const int thumb = bar->ThumbPosition();
  EXPECT_GE(thumb, bar->TrackStart());
  frame_->GetPane()->OnSliderTrack(1, 1);
  ::SendMessageA(Pane(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  ::SendMessageA(Pane(), WM_KEYDOWN, VK_END, 0);
  ::UpdateWindow(Pane());
}

TEST_F(LyricWndTest, SettingsStyleTheView) {
  struct Row {
    const char* effect;  // null: no key
    const char* align;
    bool karaoke;
    int expectedAlign;
  } rows[] = {
      {"Karaoke", nullptr, true, 0}, {"karaoke", "2", true, 2}, {"Normal", "1", false, 1},
      {"", "7", false, 0},           {nullptr, "-1", false, 0},
  };
  for (const Row& row : rows) {
    ::DeleteFileA(IniPath().c_str());
    if (row.effect) SetLyricKey("LYRIC_EFFECT", row.effect);
    if (row.align) SetLyricKey("LYRIC_ALIGN", row.align);
    SetLyricKey("LYRIC_NORM_FONT", "not,a,font;at,all");
    ::WritePrivateProfileStringA("COLOR_SETTING", "LYRIC_NORM", "zz", IniPath().c_str());
    frame_.reset();
    Make();
    CLyricView* view = frame_->GetLyricView();
    EXPECT_EQ(view->IsKaraoke(), row.karaoke) << (row.effect ? row.effect : "(none)");
    EXPECT_EQ(view->GetAlign(), row.expectedAlign) << (row.align ? row.align : "(none)");
    EXPECT_NE(view->GetFont(), nullptr) << "an unreadable font setting still gives a font";
    EXPECT_EQ(view->GetColor(0), 0u) << "an unreadable colour reads as its default";
  }
}

TEST_F(LyricWndTest, AnAbsurdStoredRectangleKeepsTheMinimumSize) {
  const RECT bad[] = {{0, 0, 0, 0}, {500, 500, 10, 10}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}};
  for (const RECT& r : bad) {
    RECT stored = r;
    ::WritePrivateProfileStructA("WINDOW_SETTING", "LYRIC_WND_RECT", &stored, sizeof(stored),
                                 IniPath().c_str());
    frame_.reset();
    Make();
    RECT now;
    ::GetWindowRect(frame_->m_hWnd, &now);
    EXPECT_GE(now.right - now.left, frame_->GetMinFrameWidth());
    EXPECT_GE(now.bottom - now.top, frame_->GetMinFrameHeight());
    EXPECT_LE(now.right - now.left, 16384);
  }
}

TEST_F(LyricWndTest, TheTopMostToggleFlipsAndFlipsBack) {
  ::WritePrivateProfileStringA("GENERAL_SETTING", "LYRICSWND_SHOW_STATE", "1", IniPath().c_str());
  Make();
  auto topMost = [&] { return (::GetWindowLongA(frame_->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
  CTopMostButton* toggle = frame_->GetTopMostButton();
  ASSERT_TRUE(frame_->IsTopMost()) << "from LYRICSWND_SHOW_STATE";
  EXPECT_TRUE(topMost());
  const int frame = toggle->CurrentFrame();
  toggle->OnLButtonDown(0, 0);
  EXPECT_FALSE(frame_->IsTopMost());
  EXPECT_FALSE(topMost());
  EXPECT_NE(toggle->CurrentFrame(), frame);
  toggle->OnLButtonDown(0, 0);
  EXPECT_TRUE(topMost());
  EXPECT_EQ(toggle->CurrentFrame(), frame);
}

TEST_F(LyricWndTest, ClicksGoToTheHostWhenThereIsOne) {
  Make();
  CLyricView* view = LoadLines(3);
  view->SetAlign(0);
  const LyricLine& line = view->GetLines()[1];
  const LPARAM at = MAKELPARAM(line.x - view->GetScrollX() + 2, line.y - view->GetScrollY() + 2);
  ::SendMessageA(Pane(), WM_LBUTTONDBLCLK, 0, at);  // made without a host: nothing
  ::SendMessageA(Pane(), WM_COMMAND, kLyricPreferencesCommand, 0);
  // The same lines in a frame made with the host.
  ASSERT_NO_FATAL_FAILURE(Make(&host_));
  LoadLines(0)->SetAlign(0);
  ::SendMessageA(Pane(), WM_LBUTTONDBLCLK, 0, at);
  ::SendMessageA(Pane(), WM_RBUTTONUP, 0, MAKELPARAM(1, 1));
  ::SendMessageA(Pane(), WM_COMMAND, kLyricPreferencesCommand, 0);
  ::SendMessageA(Pane(), WM_COMMAND, 0x8001, 0);
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"Click " + std::to_string(480 + 120), "Play", "Click -1",
                                                   "Menu", "Preferences 2"}));
  const auto commands = owner_.Of(WM_COMMAND);
  ASSERT_EQ(commands.size(), 1u) << "other commands go to the main window";
  EXPECT_EQ(commands[0].wParam, 0x8001u);
}

TEST_F(LyricWndTest, CaptionStylesKeepWhatStays) {
  Make();
  CSkinCaptionButtons* caption = frame_->GetCaptionButtons();
  caption->SetStyleFlags(kCaptionClose);
  CSkinElement* close = caption->GetButton(kCaptionBtnClose);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(caption->GetButton(kCaptionBtnMax), nullptr);
  caption->SetStyleFlags(kCaptionCloseMinMax);
  EXPECT_EQ(caption->GetButton(kCaptionBtnClose), close) << "the close element is kept";
  EXPECT_NE(caption->GetButton(kCaptionBtnMax), nullptr);
  EXPECT_NE(caption->GetButton(kCaptionBtnMin), nullptr);
  caption->SetStyleFlags(kCaptionClose);
  EXPECT_EQ(caption->GetButton(kCaptionBtnMin), nullptr);
  EXPECT_EQ(caption->GetButton(kCaptionBtnMax), nullptr);
  // The bar's position: unchanged is false, beyond the range stops at its end.
  CSkinScrollBar* bar = frame_->GetScrollBar();
  bar->SetRange(5, 0);
  bar->SetPos(2);
  EXPECT_FALSE(bar->SetPos(2));
  EXPECT_TRUE(bar->SetPos(9));
  EXPECT_EQ(bar->GetPos(), 5);
  // DeleteAndNull frees once and leaves null.
  auto* extra = new CSkinScrollBar();
  DeleteAndNull(&extra);
  EXPECT_EQ(extra, nullptr);
  DeleteAndNull(&extra);
  EXPECT_TRUE(GetWindowPlacementShown(frame_->m_hWnd));
}

TEST_F(LyricWndTest, WearsTheLyricsChromeWithNamedTipsAndAGreyedMinimise) {
  Make();
  CSkinCaptionButtons* caption = frame_->GetCaptionButtons();
  EXPECT_EQ(caption->GetStyle(), kCaptionCloseMinMax);
  struct {
    int index;
    unsigned short image;
    const char* tip;
    const char* altTip;
    bool enabled;
  } buttons[] = {
      {kCaptionBtnClose, kSkinLyricsCloseBtn, "Close", "", true},
      {kCaptionBtnMax, kSkinLyricsMaxBtn, "Maximize", "Restore Down", true},
      {kCaptionBtnMin, kSkinLyricsMinBtn, "Minimize", "", false},
  };
  for (const auto& b : buttons) {
    CSkinElement* button = caption->GetButton(b.index);
    ASSERT_NE(button, nullptr) << b.tip;
    EXPECT_EQ(button->GetImage(), SchemeImage(b.image)) << b.tip;
    EXPECT_EQ(button->GetTipText(), b.tip);
    EXPECT_EQ(button->GetAltTipText(), b.altTip) << b.tip;
    EXPECT_EQ(button->IsEnabled(), b.enabled) << b.tip;
  }
  ASSERT_NE(caption->GetIcon(), nullptr);
  EXPECT_EQ(caption->GetIcon()->GetImage(), SchemeImage(kSkinLyricsIcon));
  const CSkinFrameImages* images = frame_->GetFrameImages();
  EXPECT_EQ(images->GetTitle(), SchemeImage(kSkinLyricTitleActive));
  EXPECT_EQ(images->GetBottomRight(), SchemeImage(kSkinLyricsBottomRight));
}

}  // namespace
