// The play-list window under Xvfb against a recording owner and player host.
// Windows stay hidden except in the screenshot.
#include "app/CPlayListWnd.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "WindowFixture.h"
#include "testsupport/MessagePump.h"
#include "testsupport/TempDir.h"
#include "ui/CSettings.h"
#include "ui/SnapObjects.h"

namespace {

std::vector<std::string> g_dialogs;
std::string g_dialogAnswer;
OPENFILENAMEA g_lastDialog;
std::vector<std::string> g_messages;

BOOL WINAPI AnswerDialog(OPENFILENAMEA* dialog, const char* kind) {
  g_dialogs.push_back(kind);
  g_lastDialog = *dialog;
  if (g_dialogAnswer.empty()) return FALSE;
  lstrcpynA(dialog->lpstrFile, g_dialogAnswer.c_str(), dialog->nMaxFile);
  return TRUE;
}
BOOL WINAPI AnswerSave(OPENFILENAMEA* dialog) { return AnswerDialog(dialog, "save"); }
BOOL WINAPI AnswerOpen(OPENFILENAMEA* dialog) { return AnswerDialog(dialog, "open"); }
DWORD WINAPI NameTooLong() { return 0x3003; }  // FNERR_BUFFERTOOSMALL
int WINAPI RecordMessage(HWND, const char* text, const char*, UINT) {
  g_messages.push_back(text);
  return IDOK;
}

class PlayListWndTest : public WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    g_dialogs.clear();
    g_messages.clear();
    g_dialogAnswer.clear();
    CPlayListWnd::SetSaveDialogFunction(AnswerSave);
    CPlayListWnd::SetOpenDialogFunction(AnswerOpen);
    CPlayListWnd::SetMessageBoxFunction(RecordMessage);
  }
  void TearDown() override {
    frame.reset();
    CPlayListWnd::SetSaveDialogFunction(nullptr);
    CPlayListWnd::SetOpenDialogFunction(nullptr);
    CPlayListWnd::SetMessageBoxFunction(nullptr);
    CPlayListWnd::SetDialogErrorFunction(nullptr);
    WindowFixture::TearDown();
  }
  void Make() {
    frame = std::make_unique<CPlayListWnd>(owner.m_hWnd, &host);
    ASSERT_TRUE(frame->IsCreated());
    ASSERT_NE(nullptr, frame->GetPlayList());
    testsupport::PumpFor(50);
  }
  void AddSongs(int count) {
    for (int i = 0; i < count; ++i) {
      frame->AddSong(("C:\\Songs\\Song number " + std::to_string(i + 1) + ".mid").c_str(), 95 + 61 * i);
    }
  }
  std::vector<OwnerMessage> Hides() { return owner.Of(WM_SKIN_HIDE_CHILD); }

  std::unique_ptr<CPlayListWnd> frame;
};

TEST_F(PlayListWndTest, TopMostToggleStartsFromTheSettings) {
  for (bool on : {false, true}) {
    WriteSettings(on ? "[GENERAL_SETTING]\nPLAYLISTWND_SHOW_STATE=1\n" : "");
    Make();
    EXPECT_EQ(on, frame->IsTopmost());
    EXPECT_EQ(on, (GetWindowLongA(frame->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    // A press turns both over.
    frame->GetTopMostButton()->OnLButtonDown(0, 0);
    EXPECT_EQ(!on, frame->IsTopmost());
    EXPECT_EQ(!on, (GetWindowLongA(frame->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    frame.reset();
  }
}

TEST_F(PlayListWndTest, ClosingHidesThroughTheOwnerAndKeepsTheSongs) {
  Make();
  AddSongs(3);
  // The close button's message, the hide message and Alt+F4's WM_CLOSE.
  ::SendMessageA(frame->m_hWnd, WM_SKIN_CLOSE, 0, 0);
  ::SendMessageA(frame->m_hWnd, WM_SKIN_HIDE_CHILD, 0, 0);
  ::SendMessageA(frame->m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
  testsupport::PumpFor(50);
  ASSERT_EQ(3u, Hides().size());
  for (const OwnerMessage& m : Hides()) {
    EXPECT_EQ(static_cast<WPARAM>(ChildWndId::kPlayList), m.wParam);
    EXPECT_EQ(0, m.lParam);
  }
  ASSERT_TRUE(IsWindow(frame->m_hWnd));
  EXPECT_EQ(3, frame->GetPlayList()->GetCount());
  EXPECT_EQ("C:\\Songs\\Song number 2.mid", frame->GetPlayList()->GetEntryPath(1));
}

TEST_F(PlayListWndTest, KeysAndDroppedFilesReachTheOwner) {
  Make();
  AddSongs(2);
  ::SendMessageA(frame->GetView()->GetListCtrl().m_hWnd, WM_KEYDOWN, 'P', 0x190001);
  ::SendMessageA(frame->GetView()->GetHwnd(), WM_DROPFILES, 0x4321, 0);
  ::SendMessageA(frame->m_hWnd, WM_DROPFILES, 0x5678, 0);
  testsupport::PumpFor(50);
  ASSERT_EQ(1u, owner.Of(WM_KEYDOWN).size());
  EXPECT_EQ(static_cast<WPARAM>('P'), owner.Of(WM_KEYDOWN)[0].wParam);
  ASSERT_EQ(2u, owner.Of(WM_DROPFILES).size());
  EXPECT_EQ(0x4321u, owner.Of(WM_DROPFILES)[0].wParam);
  EXPECT_EQ(0x5678u, owner.Of(WM_DROPFILES)[1].wParam);
}

// The list's Preferences item opens its page; the commands it leaves (the
// singer items among them) go to the main window.
TEST_F(PlayListWndTest, TheListsMenuCommandsReachTheHost) {
  Make();
  HWND list = frame->GetView()->GetListCtrl().m_hWnd;
  ::SendMessageA(list, WM_COMMAND, CPlayListCtrl::kCmdSettings, 0);
  ::SendMessageA(list, WM_COMMAND, 32777, 0);
  EXPECT_EQ((std::vector<std::string>{"ShowPreferences 3"}), host.calls);
  ASSERT_EQ(1u, owner.Of(WM_COMMAND).size());
  EXPECT_EQ(32777u, owner.Of(WM_COMMAND)[0].wParam);
}

TEST_F(PlayListWndTest, ExportAndImportGoThroughTheDialogsAndTheOwner) {
  Make();
  // An empty list has nothing to export: no dialog.
  ::SendMessageA(frame->m_hWnd, WM_COMMAND, CPlayListWnd::kIdExport, 0);
  EXPECT_TRUE(g_dialogs.empty());

  AddSongs(2);
  g_dialogAnswer = "C:\\lists\\mine.mpl";
  ::SendMessageA(frame->m_hWnd, WM_COMMAND, CPlayListWnd::kIdExport, 0);
  ASSERT_EQ((std::vector<std::string>{"save"}), g_dialogs);
  EXPECT_EQ(static_cast<DWORD>(0x80803), g_lastDialog.Flags);
  EXPECT_STREQ("mpl", g_lastDialog.lpstrDefExt);
  EXPECT_EQ(static_cast<DWORD>(MAX_PATH), g_lastDialog.nMaxFile);
  EXPECT_EQ(owner.m_hWnd, g_lastDialog.hwndOwner);
  EXPECT_STREQ("Melodara Player Play List File Format (*.mpl)", g_lastDialog.lpstrFilter);
  EXPECT_EQ((std::vector<std::string>{"SavePlayListFile C:\\lists\\mine.mpl"}), host.calls);
  EXPECT_TRUE(g_messages.empty());

  // A failed save names the file to the user.
  host.saveResult = false;
  ::SendMessageA(frame->m_hWnd, WM_COMMAND, CPlayListWnd::kIdExport, 0);
  ASSERT_EQ(1u, g_messages.size());
  EXPECT_NE(std::string::npos, g_messages[0].find("C:\\lists\\mine.mpl"));

  // A cancelled dialog asks nothing of the owner.
  host.calls.clear();
  g_dialogAnswer.clear();
  ::SendMessageA(frame->m_hWnd, WM_COMMAND, CPlayListWnd::kIdImport, 0);
  EXPECT_TRUE(host.calls.empty());
  g_dialogAnswer = "C:\\lists\\theirs.m3u";
  ::SendMessageA(frame->m_hWnd, WM_COMMAND, CPlayListWnd::kIdImport, 0);
  EXPECT_EQ(static_cast<DWORD>(0x81803), g_lastDialog.Flags);
  EXPECT_STREQ("Play List File (*.mpl,*.m3u)", g_lastDialog.lpstrFilter);
  EXPECT_EQ((std::vector<std::string>{"LoadPlayListFile C:\\lists\\theirs.m3u"}), host.calls);

  // A name too long for the dialog's buffer: the user is told to choose again.
  g_messages.clear();
  g_dialogAnswer.clear();
  CPlayListWnd::SetDialogErrorFunction(NameTooLong);
  ::SendMessageA(frame->m_hWnd, WM_COMMAND, CPlayListWnd::kIdImport, 0);
  ::SendMessageA(frame->m_hWnd, WM_COMMAND, CPlayListWnd::kIdExport, 0);
  EXPECT_EQ((std::vector<std::string>{"Total file name is too long, Please select it again. ",
                                      "Total file name is too long, Please select it again. "}),
            g_messages);
  EXPECT_EQ(1u, host.calls.size());
}

// The first shown dialog of this program; other test programs in the same
// Wine prefix may have dialogs of their own, shown or hidden.
HWND OwnShownDialog() {
  for (HWND dialog = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr); dialog;
       dialog = ::FindWindowExA(nullptr, dialog, "#32770", nullptr)) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(dialog, &process);
    if (process == ::GetCurrentProcessId() && ::IsWindowVisible(dialog)) return dialog;
  }
  return nullptr;
}

// Types a bare name into the system's save dialog once it shows, and saves.
// A dialog still setting itself up can lose the name or the OK, so both are
// given again while the dialog stays; one that never takes them is cancelled,
// and the test fails instead of waiting on the dialog for ever.
DWORD WINAPI TypeNameAndSave(void* name) {
  HWND typedInto = nullptr;
  for (int tries = 0; tries < 200; ++tries) {
    ::Sleep(50);
    if (typedInto && !::IsWindow(typedInto)) return 0;
    HWND dialog = OwnShownDialog();
    if (!dialog) continue;
    if (dialog == typedInto && tries % 10 != 0) continue;  // give the last OK time to be handled
    // The file-name field: the explorer-style combo box, or the old edit.
    if (!::SetDlgItemTextA(dialog, 0x47C, static_cast<const char*>(name))) {
      ::SetDlgItemTextA(dialog, 0x480, static_cast<const char*>(name));
    }
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    typedInto = dialog;
  }
  HWND left = typedInto ? typedInto : OwnShownDialog();
  if (left) ::PostMessageA(left, WM_COMMAND, IDCANCEL, 0);
  return 1;
}

TEST_F(PlayListWndTest, ANameTypedWithoutExtensionSavesAsMpl) {
  testsupport::TempDir dir;
  char previous[MAX_PATH];
  ::GetCurrentDirectoryA(MAX_PATH, previous);
  ::SetCurrentDirectoryA(dir.Path().c_str());
  // The dialogs remember the last folder of each program, and that memory beats
  // the current folder: an earlier run's folder would take the file elsewhere.
  ::RegDeleteTreeA(HKEY_CURRENT_USER,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedMRU");
  ::RegDeleteTreeA(HKEY_CURRENT_USER,
                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedPidlMRU");
  CPlayListWnd::SetSaveDialogFunction(nullptr);  // the system's own dialog
  Make();
  AddSongs(2);
  char name[] = "mine";
  HANDLE typist = ::CreateThread(nullptr, 0, TypeNameAndSave, name, 0, nullptr);
  ASSERT_NE(nullptr, typist);
  ::SendMessageA(frame->m_hWnd, WM_COMMAND, CPlayListWnd::kIdExport, 0);
  EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(typist, 15000));
  ::CloseHandle(typist);
  ::SetCurrentDirectoryA(previous);
  ASSERT_EQ(1u, host.calls.size());
  EXPECT_EQ("SavePlayListFile " + dir.File("mine.mpl"), host.calls[0]);
}

TEST_F(PlayListWndTest, RemoveButtonAndScrollBarWorkTheList) {
  Make();
  AddSongs(30);
  CPlayListCtrl& list = frame->GetView()->GetListCtrl();
  list.SetItemState(-1, 0, LVIS_SELECTED);
  list.SetItemState(4, LVIS_SELECTED, LVIS_SELECTED);
  ::SendMessageA(frame->m_hWnd, WM_COMMAND, CPlayListWnd::kIdRemove, 0);
  EXPECT_EQ(29, frame->GetPlayList()->GetCount());
  // The scroll bar's range follows the rows; a drag of 5 rows scrolls the list.
  EXPECT_GT(frame->GetScrollBar()->GetUpper(), 0);
  frame->OnSliderTrack(5, 1);
  EXPECT_EQ(5, list.GetTopIndex());
  frame->OnSliderTrack(-2, 1);
  EXPECT_EQ(3, list.GetTopIndex());
  EXPECT_EQ(-1, frame->GetSliderBackValue());
}

TEST_F(PlayListWndTest, ADockedEdgeDoesNotResize) {
  Make();
  RECT work;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  RECT r;
  GetWindowRect(frame->m_hWnd, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  // Moved next to the screen's right edge it snaps there and docks.
  SetWindowPos(frame->m_hWnd, nullptr, work.right - width - 4, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  ASSERT_TRUE(frame->GetSnapWnd()->GetDockState() & kSnapScreenRight);
  GetWindowRect(frame->m_hWnd, &r);
  RECT wider = r;
  wider.right += 40;
  frame->SetWindowRectSizing(wider, 2);
  RECT after;
  GetWindowRect(frame->m_hWnd, &after);
  EXPECT_TRUE(EqualRect(&r, &after));
  // The free bottom edge still sizes.
  RECT taller = r;
  taller.bottom += 40;
  frame->SetWindowRectSizing(taller, 8);
  GetWindowRect(frame->m_hWnd, &after);
  EXPECT_EQ(height + 40, after.bottom - after.top);
  // So does a drag by the system's sizing loop.
  RECT dragged = after;
  dragged.right += 30;
  SendMessageA(frame->m_hWnd, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&dragged));
  EXPECT_EQ(after.right, dragged.right);
}

TEST_F(PlayListWndTest, Screenshot) {
  WriteSettings(
      "[COLOR_SETTING]\nPLAYLIST_BKCOLOR=2020200060\nPLAYLIST_NORMTEXT_COLOR=D0D0D00070\n"
      "PLAYLIST_PLAYITEM_COLOR=FFFF0000FE\n[WINDOW_SETTING]\nPLAYLIST_WND_RECT="
      "6400000064000000C2010000900100001C\n");
  Make();
  AddSongs(12);
  frame->GetPlayList()->SelectEntry(2, 1);
  frame->ShowWindow(true);
  testsupport::PumpFor(300);
  EXPECT_TRUE(CaptureWindowPng(frame->m_hWnd, "playlist_window.png"));
  frame->ShowWindow(false);
}

}  // namespace
