#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CPlayListView.h"
#include "app/PlayListSearch.h"
#include "FakeOwner.h"
#include "testsupport/MessagePump.h"

namespace {

struct SinkCall {
  std::string what;
  std::string path;
  bool operator==(const SinkCall& other) const { return what == other.what && path == other.path; }
};

class RecordingSink : public IPlayListSink {
 public:
  void Play(const char* path) override { calls.push_back({"Play", path}); }
  void Open(const char* path) override { calls.push_back({"Open", path}); }
  void ForgetPath(const char* path) override { calls.push_back({"Forget", path}); }
  std::vector<SinkCall> calls;
};

class RecordingScroll : public IScrollSink {
 public:
  void SetScrollRange(int upper, int lower, bool apply) override { range = upper; }
  void SetScrollPos(int pos, int unused, bool apply) override { top = pos; }
  int range = -1;
  int top = -1;
};

class PlayListCtrlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const RECT rect = {0, 0, 200, 120};
    ASSERT_TRUE(view.Create(owner.m_hWnd, rect, CPlayListView::kDefaultControlId));
    list = view.GetPlayList();
    ASSERT_NE(nullptr, list);
    list->SetSink(&sink);
    view.SetScrollSink(&scroll);
  }
  void Add(int count) {
    for (int i = 0; i < count; ++i) {
      const std::string path = "C:\\songs\\song" + std::to_string(i) + ".mid";
      list->AddEntry(path.c_str(), 60 + i);
    }
  }
  void Select(std::vector<int> rows) {
    CPlayListCtrl& ctrl = view.GetListCtrl();
    ctrl.SetItemState(-1, 0, LVIS_SELECTED);
    for (int row : rows) ctrl.SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
  }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (int row = 0; row < list->GetCount(); ++row) {
      char number[16];
      view.GetListCtrl().GetItemText(row, 0, number, sizeof(number));
      EXPECT_EQ(std::to_string(row + 1), number);
      EXPECT_EQ(row, list->GetEntry(row)->index);
      names.push_back(std::string(view.GetListCtrl().GetItemText(row, 1)));
    }
    return names;
  }

  FakeOwnerWnd owner;
  CPlayListView view{nullptr};
  IPlayListModel* list = nullptr;
  RecordingSink sink;
  RecordingScroll scroll;
};

TEST_F(PlayListCtrlTest, FirstAddOpensWithoutPlaying) {
  EXPECT_EQ(-1, list->GetCurrentIndex());
  Add(3);
  EXPECT_EQ((std::vector<SinkCall>{{"Open", "C:\\songs\\song0.mid"}}), sink.calls);
  EXPECT_EQ(0, list->GetCurrentIndex());
  EXPECT_EQ(0, list->GetSelectedIndex());
  EXPECT_EQ(3, list->GetCount());
  EXPECT_EQ((std::vector<std::string>{"song0", "song1", "song2"}), Names());
  EXPECT_EQ("1:01", std::string(view.GetListCtrl().GetItemText(1, 2)));
  EXPECT_EQ(2, list->FindPath("C:\\songs\\song2.mid"));
  EXPECT_EQ(-1, list->FindPath("c:\\songs\\song2.mid"));
  EXPECT_EQ("", list->GetEntryPath(3));
  EXPECT_EQ(nullptr, list->GetEntry(-1));
  EXPECT_GE(scroll.range, 0);
}

TEST_F(PlayListCtrlTest, BulkAddKeepsOrderNumbersAndTheFirstOpen) {
  Add(1);
  sink.calls.clear();
  view.GetListCtrl().AddEntries({{65, "t", "C:\\b\\x.mid"}, {3725, "u", "C:\\b\\y.kar"}});
  EXPECT_TRUE(sink.calls.empty());  // the first row was opened already
  EXPECT_EQ((std::vector<std::string>{"song0", "x", "y"}), Names());
  EXPECT_EQ("1:02:05", std::string(view.GetListCtrl().GetItemText(2, 2)));
  EXPECT_EQ(3725, list->GetEntry(2)->length);

  CPlayListView other{nullptr};
  const RECT rect = {0, 0, 200, 120};
  ASSERT_TRUE(other.Create(owner.m_hWnd, rect, 12));
  RecordingSink otherSink;
  other.GetPlayList()->SetSink(&otherSink);
  other.GetListCtrl().AddEntries({{1, "", "C:\\first.mid"}, {2, "", "C:\\second.mid"}});
  EXPECT_EQ((std::vector<SinkCall>{{"Open", "C:\\first.mid"}}), otherSink.calls);
  EXPECT_EQ(0, other.GetPlayList()->GetCurrentIndex());
  EXPECT_EQ(2, other.GetPlayList()->GetCount());
}

TEST_F(PlayListCtrlTest, NextAndPreviousByPlayMode) {
  Add(3);
  struct Case {
    int mode, current, next, prev;
  };
  const Case cases[] = {
      {IPlayListModel::kOrdinal, 2, -1, 1},  {IPlayListModel::kOrdinal, 0, 1, -1},
      {IPlayListModel::kLoop, 2, 0, 1},      {IPlayListModel::kLoop, 0, 1, 2},
      {IPlayListModel::kOrdinal, -1, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " current " << c.current);
    list->SetPlayMode(c.mode);
    list->SetCurrentIndex(c.current);
    EXPECT_EQ(c.next, list->GetNextIndex());
    EXPECT_EQ(c.prev, list->GetPrevIndex());
    list->SetSingleLoop(1);
    EXPECT_EQ(c.current, list->GetIndexToPlay());
    list->SetSingleLoop(0);
    EXPECT_EQ(c.next, list->GetIndexToPlay());
  }
  // Random order: a seed gives a repeatable row, always a valid one.
  view.GetListCtrl().SetSeedSource([]() -> unsigned { return 7; });
  list->SetPlayMode(IPlayListModel::kRandom);
  const int first = list->GetNextIndex();
  EXPECT_GE(first, 0);
  EXPECT_LT(first, 3);
  EXPECT_EQ(first, list->GetNextIndex());
}

TEST_F(PlayListCtrlTest, EmptyListHasNoNextEntry) {
  EXPECT_EQ(-1, list->GetNextIndex());
  EXPECT_EQ(-1, list->GetPrevIndex());
  EXPECT_EQ(-1, list->GetIndexToPlay());
  EXPECT_FALSE(list->SelectEntry(0, 1));
  EXPECT_TRUE(sink.calls.empty());
}

TEST_F(PlayListCtrlTest, SelectEntryPlaysOrOpens) {
  Add(3);
  sink.calls.clear();
  EXPECT_TRUE(list->SelectEntry(2, 1));
  EXPECT_TRUE(list->SelectEntry(1, 0));
  EXPECT_EQ((std::vector<SinkCall>{{"Play", "C:\\songs\\song2.mid"}, {"Open", "C:\\songs\\song1.mid"}}),
            sink.calls);
  EXPECT_EQ(1, list->GetCurrentIndex());
}

TEST_F(PlayListCtrlTest, RemovingThePlayingRowForgetsItAndOpensTheFirst) {
  Add(4);
  list->SelectEntry(2, 1);
  sink.calls.clear();
  Select({1, 2});
  list->RemoveSelected();
  EXPECT_EQ((std::vector<SinkCall>{{"Forget", "C:\\songs\\song2.mid"}, {"Open", "C:\\songs\\song0.mid"}}),
            sink.calls);
  EXPECT_EQ(0, list->GetCurrentIndex());
  EXPECT_EQ((std::vector<std::string>{"song0", "song3"}), Names());

  // Removing another row keeps the current one where its song went.
  list->SelectEntry(1, 0);
  sink.calls.clear();
  Select({0});
  list->RemoveSelected();
  EXPECT_TRUE(sink.calls.empty());
  EXPECT_EQ(0, list->GetCurrentIndex());
  EXPECT_EQ("C:\\songs\\song3.mid", list->GetEntryPath(0));

  Select({0});
  list->RemoveSelected();
  EXPECT_EQ(0, list->GetCount());
  EXPECT_EQ(-1, list->GetCurrentIndex());
  EXPECT_EQ(-1, list->GetSelectedIndex());
}

TEST_F(PlayListCtrlTest, MovesKeepThePlayingMarkAndTheBlock) {
  Add(5);
  CPlayListCtrl& ctrl = view.GetListCtrl();
  list->SelectEntry(1, 1);
  Select({1, 2});
  ctrl.MoveSelection(1);
  EXPECT_EQ((std::vector<std::string>{"song0", "song3", "song1", "song2", "song4"}), Names());
  EXPECT_EQ(2, list->GetCurrentIndex());
  EXPECT_EQ(2, list->GetSelectedIndex());
  ctrl.MoveSelection(1);
  ctrl.MoveSelection(1);  // the block touches the end: nothing moves
  EXPECT_EQ((std::vector<std::string>{"song0", "song3", "song4", "song1", "song2"}), Names());
  EXPECT_EQ(3, list->GetCurrentIndex());
  ctrl.MoveSelection(-1);
  EXPECT_EQ((std::vector<std::string>{"song0", "song3", "song1", "song2", "song4"}), Names());
  EXPECT_EQ(2, list->GetCurrentIndex());
  EXPECT_EQ(LVIS_SELECTED, ctrl.GetItemState(2, LVIS_SELECTED));
  EXPECT_EQ(LVIS_SELECTED, ctrl.GetItemState(3, LVIS_SELECTED));
  // The menu's commands take the same path.
  ctrl.SendMessageA(WM_COMMAND, CPlayListCtrl::kCmdMoveUp, 0);
  ctrl.SendMessageA(WM_COMMAND, CPlayListCtrl::kCmdMoveUp, 0);
  ctrl.SendMessageA(WM_COMMAND, CPlayListCtrl::kCmdMoveUp, 0);
  EXPECT_EQ((std::vector<std::string>{"song1", "song2", "song0", "song3", "song4"}), Names());
  EXPECT_EQ(0, list->GetCurrentIndex());
  ctrl.SendMessageA(WM_COMMAND, CPlayListCtrl::kCmdLoopThisSong, 0);
  EXPECT_EQ(1, list->GetSingleLoop());
}

TEST(PlayListFormatTest, Durations) {
  const struct {
    int seconds;
    const char* text;
  } cases[] = {{0, "0"},       {59, "59"},        {60, "1:00"},      {65, "1:05"},
               {600, "10:00"}, {3600, "1:00:00"}, {3725, "1:02:05"}, {-1, ""}};
  for (const auto& c : cases) EXPECT_EQ(c.text, CPlayListCtrl::FormatDuration(c.seconds)) << c.seconds;
}

TEST_F(PlayListCtrlTest, PlayingRowDrawsInItsColour) {
  Add(3);
  list->SelectEntry(1, 0);
  view.GetListCtrl().SetPlayingColor(RGB(1, 2, 3));
  NMLVCUSTOMDRAW draw = {};
  draw.nmcd.hdr.hwndFrom = view.GetListCtrl().m_hWnd;
  draw.nmcd.hdr.code = NM_CUSTOMDRAW;
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  EXPECT_EQ(CDRF_NOTIFYITEMDRAW,
            ::SendMessageA(view.GetHwnd(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&draw)));
  for (int row = 0; row < 3; ++row) {
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = row;
    draw.clrText = RGB(9, 9, 9);
    ::SendMessageA(view.GetHwnd(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&draw));
    EXPECT_EQ(row == 1 ? RGB(1, 2, 3) : RGB(9, 9, 9), draw.clrText) << row;
  }
}

TEST_F(PlayListCtrlTest, KeysAndDropsReachTheWindowAbove) {
  ::SendMessageA(view.GetListCtrl().m_hWnd, WM_KEYDOWN, 'P', 0x190001);
  ::SendMessageA(view.GetHwnd(), WM_DROPFILES, 0x1234, 0);
  testsupport::PumpPending();
  ASSERT_EQ(1u, owner.Of(WM_KEYDOWN).size());
  EXPECT_EQ(static_cast<WPARAM>('P'), owner.Of(WM_KEYDOWN)[0].wParam);
  EXPECT_EQ(0x190001, owner.Of(WM_KEYDOWN)[0].lParam);
  ASSERT_EQ(1u, owner.Of(WM_DROPFILES).size());
  EXPECT_EQ(0x1234u, owner.Of(WM_DROPFILES)[0].wParam);
}

TEST_F(PlayListCtrlTest, DraggingARowMovesItOneRowPerStep) {
  Add(4);
  CPlayListCtrl& ctrl = view.GetListCtrl();
  Select({0});
  NMLISTVIEW begin = {};
  begin.hdr.hwndFrom = ctrl.m_hWnd;
  begin.hdr.code = LVN_BEGINDRAG;
  begin.iItem = 0;
  ::SendMessageA(view.GetHwnd(), WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&begin));
  ASSERT_TRUE(ctrl.IsDragging());
  EXPECT_EQ(view.GetHwnd(), ::GetCapture());
  // The mouse over row 2 (host coordinates): one row per step towards it.
  RECT row2;
  ctrl.GetItemRect(2, &row2, LVIR_BOUNDS);
  const LPARAM at = MAKELPARAM(row2.left + 5, (row2.top + row2.bottom) / 2);
  ::SendMessageA(view.GetHwnd(), WM_MOUSEMOVE, MK_LBUTTON, at);
  EXPECT_EQ((std::vector<std::string>{"song1", "song0", "song2", "song3"}), Names());
  ::SendMessageA(view.GetHwnd(), WM_MOUSEMOVE, MK_LBUTTON, at);
  ::SendMessageA(view.GetHwnd(), WM_MOUSEMOVE, MK_LBUTTON, at);  // there: no more moves
  EXPECT_EQ((std::vector<std::string>{"song1", "song2", "song0", "song3"}), Names());
  EXPECT_EQ(2, list->GetCurrentIndex());  // the opened song moved with its row
  ::SendMessageA(view.GetHwnd(), WM_LBUTTONUP, 0, at);
  EXPECT_FALSE(ctrl.IsDragging());
  EXPECT_NE(view.GetHwnd(), ::GetCapture());
  ::SendMessageA(view.GetHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ((std::vector<std::string>{"song1", "song2", "song0", "song3"}), Names());
}

TEST_F(PlayListCtrlTest, DeleteKeyRemovesTheSelection) {
  Add(3);
  Select({2});
  ::SendMessageA(view.GetListCtrl().m_hWnd, WM_KEYUP, VK_DELETE, 0);
  EXPECT_EQ(2, list->GetCount());
}

// The list holds no items of its own; finding a row by its number (the
// type-ahead's search) still answers as a list that held them would.
TEST_F(PlayListCtrlTest, ARowIsFoundByTheStartOfItsNumber) {
  Add(25);
  HWND ctrl = view.GetListCtrl().m_hWnd;
  struct Case {
    const char* text;
    UINT flags;
    int start;
    int row;
  } cases[] = {
      {"12", LVFI_STRING, -1, 11},
      {"2", LVFI_PARTIAL | LVFI_STRING, -1, 1},
      {"2", LVFI_PARTIAL | LVFI_STRING, 2, 19},   // from row 3 on, row 20 comes first
      {"1", LVFI_PARTIAL | LVFI_STRING, 20, -1},  // no wrap past the end
      {"1", LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP, 20, 0},
      {"26", LVFI_STRING, -1, -1},
  };
  for (const Case& c : cases) {
    LVFINDINFOA find = {};
    find.flags = c.flags;
    find.psz = c.text;
    EXPECT_EQ(c.row, ::SendMessageA(ctrl, LVM_FINDITEMA, c.start, reinterpret_cast<LPARAM>(&find)))
        << c.text << " from " << c.start;
  }
}

TEST(PlayListMenuTest, ContextMenuHoldsTheListCommands) {
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(CPlayListCtrl::kPopupMenuId));
  ASSERT_NE(nullptr, menu);
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(nullptr, popup);
  const UINT expected[] = {CPlayListCtrl::kCmdMoveUp,
                           CPlayListCtrl::kCmdMoveDown,
                           CPlayListCtrl::kCmdLoopThisSong,
                           CPlayListCtrl::kCmdRemove,
                           0,
                           CPlayListCtrl::kCmdSettings};
  ASSERT_EQ(6, GetMenuItemCount(popup));
  for (int i = 0; i < 6; ++i) EXPECT_EQ(expected[i], GetMenuItemID(popup, i)) << i;
  DestroyMenu(menu);
}

bool NothingPlays(const char*) { return false; }
bool OnlySong2Plays(const char* path) { return std::string(path) == "C:\\songs\\song2.mid"; }

TEST_F(PlayListCtrlTest, SearchForAPlayableEntryEnds) {
  Add(4);
  for (int mode : {IPlayListModel::kOrdinal, IPlayListModel::kLoop, IPlayListModel::kRandom}) {
    SCOPED_TRACE(mode);
    list->SetPlayMode(mode);
    list->SetCurrentIndex(0);
    EXPECT_EQ(-1, FindPlayableEntry(list, list->GetIndexToPlay(), SearchDirection::kToPlay, NothingPlays));
    EXPECT_EQ(-1, FindPlayableEntry(list, list->GetPrevIndex(), SearchDirection::kPrevious, NothingPlays));
  }
  list->SetSingleLoop(1);
  EXPECT_EQ(-1, FindPlayableEntry(list, 1, SearchDirection::kToPlay, NothingPlays));
  list->SetSingleLoop(0);

  // Each skipped entry becomes current on the way.
  list->SetPlayMode(IPlayListModel::kLoop);
  list->SetCurrentIndex(3);
  EXPECT_EQ(2, FindPlayableEntry(list, 0, SearchDirection::kToPlay, OnlySong2Plays));
  EXPECT_EQ(1, list->GetCurrentIndex());
  list->SetCurrentIndex(0);
  EXPECT_EQ(2, FindPlayableEntry(list, 3, SearchDirection::kPrevious, OnlySong2Plays));
  EXPECT_EQ(3, list->GetCurrentIndex());
  EXPECT_EQ(-1, FindPlayableEntry(list, -1, SearchDirection::kToPlay, OnlySong2Plays));
  EXPECT_EQ(-1, FindPlayableEntry(nullptr, 0, SearchDirection::kToPlay, OnlySong2Plays));
  // The default test asks the file system.
  EXPECT_FALSE(IsPlayablePath("C:\\songs\\song2.mid"));
  EXPECT_FALSE(IsPlayablePath(""));
}

}  // namespace
