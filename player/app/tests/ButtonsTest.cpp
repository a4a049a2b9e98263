#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CMainAlwaysVisibleToggle.h"
#include "app/CPlayListView.h"
#include "app/CPlayPausePair.h"
#include "app/CTransportButtons.h"
#include "app/CWindowToggleButtons.h"
#include "FakeOwner.h"
#include "FakePlayerHost.h"
#include "ui/CSettings.h"

namespace {

class RecordingSink : public IPlayListSink {
 public:
  void Play(const char* path) override { calls.push_back(std::string("Play ") + path); }
  void Open(const char* path) override { calls.push_back(std::string("Open ") + path); }
  void ForgetPath(const char* path) override { calls.push_back(std::string("Forget ") + path); }
  std::vector<std::string> calls;
};

class ButtonsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const RECT rect = {0, 0, 200, 100};
    ASSERT_TRUE(view.Create(owner.m_hWnd, rect, CPlayListView::kDefaultControlId));
    list = view.GetPlayList();
    list->SetSink(&sink);
  }
  // A press and release on the button's window, as the mouse gives them.
  static void Click(CSkinButton& button) {
    ::SendMessageA(button.GetHwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::SendMessageA(button.GetHwnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  }
  template <class T>
  void Make(T& button, int id) {
    ASSERT_EQ(0, button.Create(id, owner.m_hWnd, 0, 0, 20, 20));
  }
  void AddSongs(int count) {
    for (int i = 0; i < count; ++i) list->AddEntry(("C:\\list\\" + std::to_string(i) + ".mid").c_str(), 0);
    sink.calls.clear();
  }

  FakeOwnerWnd owner;
  FakePlayerHost host{owner.m_hWnd};
  CPlayListView view{&host};
  IPlayListModel* list = nullptr;
  RecordingSink sink;
};

TEST_F(ButtonsTest, TransportButtonsCallTheMainWindow) {
  CPreviousButton previous{&host};
  CStopButton stop{&host};
  CNextButton next{&host};
  CPauseButton pause{&host};
  CAddSongsButton add{&host};
  Make(previous, kIdPrevious);
  Make(stop, kIdStop);
  Make(next, kIdNext);
  Make(pause, kIdPause);
  Make(add, 108);
  host.playList = list;
  host.openDialogAdds = 2;
  for (CSkinButton* button : std::vector<CSkinButton*>{&previous, &stop, &next, &pause, &add}) Click(*button);
  EXPECT_EQ((std::vector<std::string>{"PlayPrevious", "Stop", "PlayNext", "Pause", "ShowOpenDialog"}),
            host.calls);
  // Adding from the play list never plays: the first song only opens.
  EXPECT_EQ((std::vector<std::string>{"Open C:\\added\\song0.mid"}), sink.calls);
}

TEST_F(ButtonsTest, OpenSongsPlaysTheFirstAddedSong) {
  COpenSongsButton open{&host};
  Make(open, kIdOpenSongs);
  host.playList = list;
  AddSongs(5);
  host.openDialogAdds = 3;
  Click(open);
  EXPECT_EQ((std::vector<std::string>{"Play C:\\added\\song0.mid"}), sink.calls);
  EXPECT_EQ(5, list->GetCurrentIndex());

  sink.calls.clear();
  host.openDialogAdds = -1;  // cancelled
  Click(open);
  host.openDialogAdds = 0;  // nothing playable chosen
  Click(open);
  EXPECT_TRUE(sink.calls.empty());
  EXPECT_EQ(8, list->GetCount());
}

TEST_F(ButtonsTest, PlayTakesTheCurrentOrTheNextEntry) {
  CPlayButton play{&host};
  Make(play, kIdPlay);
  Click(play);  // no play list yet: nothing
  host.playList = list;
  Click(play);  // empty list: nothing
  EXPECT_TRUE(sink.calls.empty());
  AddSongs(3);
  list->SelectEntry(2, 0);
  sink.calls.clear();
  Click(play);
  EXPECT_EQ((std::vector<std::string>{"Play C:\\list\\2.mid"}), sink.calls);

  // No current entry: the next by the order, the first in orders 0 and 1.
  for (int mode : {IPlayListModel::kOrdinal, IPlayListModel::kLoop}) {
    list->SetPlayMode(mode);
    list->SetCurrentIndex(-1);
    sink.calls.clear();
    Click(play);
    EXPECT_EQ((std::vector<std::string>{"Play C:\\list\\0.mid"}), sink.calls) << mode;
  }
}

TEST_F(ButtonsTest, PlayModeToggleGoesBackAfterTwoPresses) {
  CPlayModeButton mode{&host};
  Make(mode, kIdPlayMode);
  host.playOrder = 0;
  Click(mode);
  EXPECT_EQ(1, host.playOrder);
  EXPECT_TRUE(mode.GetCheck());
  Click(mode);
  EXPECT_EQ(0, host.playOrder);
  EXPECT_FALSE(mode.GetCheck());
  host.playOrder = 2;  // random: left alone
  Click(mode);
  EXPECT_EQ(2, host.playOrder);
  EXPECT_FALSE(mode.GetCheck());
}

TEST_F(ButtonsTest, WindowTogglesAskTheMainWindowAndShowWhatItDid) {
  CScoreToggleButton score{&host};
  CPlayListToggleButton playList{&host};
  Make(score, kIdScoreToggle);
  Make(playList, kIdPlayListToggle);
  // A frame not made yet is still asked for: the main window makes it on
  // showing. The button follows what the main window reports.
  Click(score);
  EXPECT_EQ((std::vector<std::string>{"SetChildVisible 1 on"}), host.calls);
  EXPECT_TRUE(score.GetCheck());
  Click(score);
  EXPECT_FALSE(score.GetCheck());
  host.unmakeable = ChildWndId::kScore;
  Click(score);
  EXPECT_FALSE(score.GetCheck()) << "a frame that could not be made leaves the button up";
  host.calls.clear();

  host.children[ChildWndId::kPlayList] = owner.m_hWnd;
  Click(playList);
  EXPECT_TRUE(playList.GetCheck());
  EXPECT_TRUE(host.visible[ChildWndId::kPlayList]);
  Click(playList);
  EXPECT_FALSE(playList.GetCheck());
  EXPECT_EQ((std::vector<std::string>{"SetChildVisible 2 on", "SetChildVisible 2 off"}), host.calls);
  EXPECT_EQ(ChildWndId::kLyrics, CLyricsToggleButton(&host).GetChild());
  EXPECT_EQ(ChildWndId::kSongMaker, CSongMakerToggleButton(&host).GetChild());
}

TEST_F(ButtonsTest, PlayPausePairShowsTheButtonForTheState) {
  CPlayPausePair pair;
  ASSERT_EQ(0, pair.Create(owner.m_hWnd, &host));
  pair.Move(30, 40);
  const HWND play = pair.GetPlayButton()->GetHwnd();
  const HWND pause = pair.GetPauseButton()->GetHwnd();
  EXPECT_EQ(kIdPlay, GetDlgCtrlID(play));
  EXPECT_EQ(kIdPause, GetDlgCtrlID(pause));
  struct Case {
    bool paused, stopped;
    int command;
    bool playShown, pauseShown;
  };
  const Case cases[] = {
      {false, false, SW_SHOW, false, true},   {true, false, SW_SHOW, true, false},
      {false, true, SW_SHOW, true, false},    {false, false, SW_HIDE, false, false},
      {true, false, SW_SHOWNA, false, false},
  };
  for (const Case& c : cases) {
    host.paused = c.paused;
    host.stopped = c.stopped;
    pair.Show(c.command);
    EXPECT_EQ(c.playShown, (GetWindowLongA(play, GWL_STYLE) & WS_VISIBLE) != 0) << c.paused << c.stopped;
    EXPECT_EQ(c.pauseShown, (GetWindowLongA(pause, GWL_STYLE) & WS_VISIBLE) != 0) << c.paused << c.stopped;
  }
  RECT r;
  GetWindowRect(pause, &r);
  POINT p = {r.left, r.top};
  ScreenToClient(owner.m_hWnd, &p);
  EXPECT_EQ(30, p.x);
  EXPECT_EQ(40, p.y);
  DRAWITEMSTRUCT other = {};
  other.hwndItem = owner.m_hWnd;
  EXPECT_FALSE(pair.DrawItem(&other));
}

TEST_F(ButtonsTest, AlwaysVisibleToggleFlipsTheMainWindow) {
  CMainAlwaysVisibleToggle toggle{&host};
  toggle.OnLButtonDown(0, 0);
  EXPECT_TRUE(host.topMost);
  EXPECT_TRUE(toggle.IsChecked());
  toggle.OnLButtonDown(0, 0);
  EXPECT_FALSE(host.topMost);
  EXPECT_FALSE(toggle.IsChecked());
}

}  // namespace
