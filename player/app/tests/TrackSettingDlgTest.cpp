// The track and staff setting dialog over the real song engine and a song made
// here, run modally and driven from timers; and the general Preferences
// page's template.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/CPropPageGeneral.h"
#include "app/CSongValueMap.h"
#include "app/CTrackSettingDlg.h"
#include "base/Library.h"
#include "testsupport/SmfBuilder.h"
#include "tunewell/ISongEngine.h"
#include "testsupport/TempDir.h"
#include "ShippedSkin.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusSession.h"
#include "ui/PngSnapshot.h"

namespace {

// A dialog whose colour dialog answers at once with a fixed colour.
class TestTrackDialog : public CTrackSettingDlg {
 public:
  COLORREF offered = RGB(0x12, 0x34, 0x56);
  int chooserCalls = 0;

 protected:
  bool ChooseColour(COLORREF& colour) override {
    ++chooserCalls;
    colour = offered;
    return true;
  }
};

// Runs the dialog modally: each step runs from a timer once the previous one
// returned, and the last must end the dialog. A dialog the steps forget to
// end is cancelled after a generous time.
std::vector<std::function<void(TestTrackDialog&)>> g_steps;
TestTrackDialog* g_dialog = nullptr;
size_t g_next = 0;

void CALLBACK RunStep(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(nullptr, id);
  if (!g_dialog || g_next >= g_steps.size()) return;
  g_steps[g_next++](*g_dialog);
  if (g_next < g_steps.size()) ::SetTimer(nullptr, 0, 50, RunStep);
}

INT_PTR RunModal(TestTrackDialog& dialog, std::vector<std::function<void(TestTrackDialog&)>> steps) {
  g_steps = std::move(steps);
  g_dialog = &dialog;
  g_next = 0;
  ::SetTimer(nullptr, 0, 100, RunStep);
  UINT_PTR guard = ::SetTimer(nullptr, 0, 20000, [](HWND, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(nullptr, id);
    if (g_dialog) g_dialog->EndDialog(IDABORT);
  });
  const INT_PTR result = dialog.DoModal();
  ::KillTimer(nullptr, guard);
  g_dialog = nullptr;
  return result;
}

void Command(TestTrackDialog& d, int id, int code = 0) {
  HWND control = ::GetDlgItem(d.GetDialogHwnd(), id);
  ::SendMessageA(d.GetDialogHwnd(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
}

void Select(TestTrackDialog& d, std::initializer_list<int> rows) {
  d.GetList().SetItemState(-1, 0, LVIS_SELECTED);
  for (int row : rows) d.GetList().SetItemState(row, LVIS_SELECTED, LVIS_SELECTED);
}

std::string ComboText(TestTrackDialog& d) {
  HWND combo = ::GetDlgItem(d.GetDialogHwnd(), CTrackSettingDlg::kIdStaffKind);
  char text[64] = {};
  const LRESULT sel = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
  if (sel >= 0) ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
  return text;
}

class TrackSettingDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadShippedSkin();
    CSongValueMap::Release(CSongValueMap::GetInstance());
    // Three named tracks after the tempo track, each with its instrument.
    testsupport::TrackBuilder tempo;
    tempo.Tempo(0, 500000).EndOfTrack();
    const char* names[] = {"Melody", "Bass line", "Strings"};
    const uint8_t programs[] = {0, 33, 48};
    std::vector<testsupport::Bytes> chunks = {testsupport::Header(1, 4, 480), tempo.Chunk()};
    for (int i = 0; i < 3; ++i) {
      testsupport::TrackBuilder track;
      const uint8_t channel = static_cast<uint8_t>(i);
      track.Text(0, 0x03, names[i])
          .Event(0, {static_cast<uint8_t>(0xC0 | channel), programs[i]})
          .Event(0, {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(60 - 12 * i), 90})
          .Event(960, {static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(60 - 12 * i), 0})
          .EndOfTrack();
      chunks.push_back(track.Chunk());
    }
    testsupport::Bytes bytes;
    for (const auto& c : chunks) bytes.insert(bytes.end(), c.begin(), c.end());
    song_ = dir_.File("tracks.mid");
    ASSERT_TRUE(testsupport::WriteBytes(song_, bytes));

    ASSERT_TRUE(library_.Load(kTunewellLibrary));
    auto create = library_.Find<CreateTunewellInstanceFn>(kCreateTunewellInstanceName);
    ASSERT_NE(nullptr, create);
    engine_ = create(1);
    ASSERT_NE(nullptr, engine_);
    owner_ = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    engine_->Init(owner_);
  }
  void TearDown() override {
    if (engine_) engine_->Release();
    if (owner_) ::DestroyWindow(owner_);
    library_.Free();
    CSongValueMap::Release(CSongValueMap::GetInstance());
    ReleaseSkinManager();
  }

  GdiplusSession gdiplus_;
  testsupport::TempDir dir_;
  std::string song_;
  base::Library library_;
  ISongEngine* engine_ = nullptr;
  HWND owner_ = nullptr;
};

TEST_F(TrackSettingDlgTest, RowsShowTheSongsTracksWithTheStoredChoices) {
  SongValues& stored = (*CSongValueMap::GetInstance())[song_];
  stored.settings[2] = TrackSetting{1, 1, 2, 1};  // shown, muted, bass staff
  stored.colours[1] = TrackColours{1, 0x112233, 0x445566, 0x778899};

  TestTrackDialog dialog;
  dialog.SetSongEngine(engine_);
  dialog.SetSongPath(song_);
  std::vector<std::string> rows;
  std::string firstKind, secondKind;
  COLORREF firstNote = 0, firstLine = 0;
  int shownOnSecond = -1, mutedOnSecond = -1, mutedOnFirst = -1;
  TrackSettingMap takenOver;
  const INT_PTR result = RunModal(dialog, {[&](TestTrackDialog& d) {
                                    CXListCtrl& list = d.GetList();
                                    for (int row = 0; row < list.GetItemCount(); ++row)
                                      rows.push_back(std::string(list.GetItemText(row, 2)) + "|" +
                                                     std::string(list.GetItemText(row, 3)) + "|" +
                                                     std::string(list.GetItemText(row, 4)));
                                    // Row 0 is selected and shows its stored colours.
                                    firstKind = ComboText(d);
                                    firstNote = d.GetNoteColour();
                                    firstLine = d.GetLineColour();
                                    mutedOnFirst = list.GetCheckbox(0, 1);
                                    shownOnSecond = list.GetCheckbox(1, 0);
                                    mutedOnSecond = list.GetCheckbox(1, 1);
                                    Select(d, {1});
                                    Command(d, CTrackSettingDlg::kIdList);
                                    secondKind = ComboText(d);
                                    // A disabled row ends the take-over: it and the rows after it keep
                                    // their records.
                                    list.SetCheckbox(0, 1, 1);
                                    list.SetCheckbox(1, 1, 0);
                                    list.SetCheckbox(2, 1, 1);
                                    list.SetEnabled(1, FALSE);
                                    Select(d, {0, 1, 2});
                                    Command(d, CTrackSettingDlg::kIdList);
                                    takenOver = d.GetSettings();
                                    Command(d, IDCANCEL);
                                  }});
  EXPECT_EQ(IDCANCEL, result);
  ASSERT_EQ(3u, rows.size());
  EXPECT_EQ("1|Melody|Acoustic Grand Piano", rows[0]);
  EXPECT_EQ("2|Bass line|Electric Bass(finger)", rows[1]);
  EXPECT_EQ("3|Strings|String Ensemble 1", rows[2]);
  EXPECT_EQ("Default", firstKind);
  EXPECT_EQ(0x112233u, firstNote) << "the stored colours are loaded before row 0's";
  EXPECT_EQ(0x778899u, firstLine);
  EXPECT_EQ(0, mutedOnFirst);
  EXPECT_EQ(1, shownOnSecond);
  EXPECT_EQ(1, mutedOnSecond);
  EXPECT_EQ("Bass", secondKind);
  ASSERT_EQ(3u, takenOver.size());
  EXPECT_EQ(1, takenOver.at(1).mute);
  EXPECT_EQ(1, takenOver.at(2).mute) << "the disabled row keeps its record";
  EXPECT_EQ(0, takenOver.at(3).mute) << "so do the rows after it";
  // Cancel stores nothing.
  EXPECT_EQ(1u, (*CSongValueMap::GetInstance())[song_].settings.size());
}

TEST_F(TrackSettingDlgTest, ColoursGoToTheSelectedTracksAndOkStoresThem) {
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  const std::string shot = std::string(folder) + "\\track_dialog.png";
  ::DeleteFileA(shot.c_str());
  TestTrackDialog dialog;
  dialog.SetSongEngine(engine_);
  dialog.SetSongPath(song_);
  size_t coloursWithoutSelection = 99;
  COLORREF noteWithoutSelection = 0;
  int callsWithoutSelection = -1;
  const INT_PTR result =
      RunModal(dialog, {[&](TestTrackDialog& d) {
                          Select(d, {});
                          Command(d, CTrackSettingDlg::kIdNote, STN_CLICKED);
                          coloursWithoutSelection = d.GetColours().size();
                          noteWithoutSelection = d.GetNoteColour();
                          callsWithoutSelection = d.chooserCalls;
                          Select(d, {0, 1, 2});
                          Command(d, CTrackSettingDlg::kIdNote, STN_CLICKED);
                          // Track 3 muted and shown on the treble-and-bass staff.
                          Select(d, {2});
                          d.GetList().SetCheckbox(2, 0, 1);
                          d.GetList().SetCheckbox(2, 1, 1);
                          Command(d, CTrackSettingDlg::kIdList);
                          ::SendMessageA(::GetDlgItem(d.GetDialogHwnd(), CTrackSettingDlg::kIdStaffKind),
                                         CB_SETCURSEL, 3, 0);
                          Command(d, CTrackSettingDlg::kIdStaffKind, CBN_SELCHANGE);
                          Select(d, {0, 2});
                          ::RedrawWindow(d.GetDialogHwnd(), nullptr, nullptr,
                                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                        },
                        [&](TestTrackDialog& d) {
                          for (int id : {IDOK, IDCANCEL, int(CTrackSettingDlg::kIdViewToggle)}) {
                            RECT r = {};
                            HWND button = ::GetDlgItem(d.GetDialogHwnd(), id);
                            ::GetWindowRect(button, &r);
                            EXPECT_TRUE(::IsWindowVisible(button)) << id;
                            EXPECT_GT(r.right - r.left, 0) << id;
                          }
                          RECT area;
                          ::GetWindowRect(d.GetDialogHwnd(), &area);
                          SaveScreenAreaPng(area, shot);
                          Command(d, IDOK);
                        }});
  EXPECT_EQ(IDOK, result);
  EXPECT_EQ(0u, coloursWithoutSelection) << "no row selected: no track gets a colour";
  EXPECT_EQ(0x00FF00u, noteWithoutSelection);
  EXPECT_EQ(0, callsWithoutSelection) << "no colour dialog without a selected row";

  const SongValues& stored = (*CSongValueMap::GetInstance())[song_];
  ASSERT_EQ(3u, stored.colours.size());
  for (const auto& entry : stored.colours) {
    EXPECT_EQ(entry.first, entry.second.track);
    EXPECT_EQ(0x563412, entry.second.note);
    EXPECT_EQ(0x0000FF, entry.second.highlight);
    EXPECT_EQ(0xC8C8C8, entry.second.line);
  }
  ASSERT_EQ(3u, stored.settings.size());
  EXPECT_EQ(1, stored.settings.at(3).show);
  EXPECT_EQ(1, stored.settings.at(3).mute);
  EXPECT_EQ(2, stored.settings.at(3).kind);
  EXPECT_EQ(0, stored.settings.at(1).mute);
  EXPECT_EQ(-1, stored.settings.at(1).kind);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(shot.c_str())) << "the screenshot " << shot;
}

TEST_F(TrackSettingDlgTest, WithoutAnEngineTheListStaysEmptyAndTheDialogOpens) {
  TestTrackDialog dialog;
  dialog.SetSongPath(song_);
  int rows = -1;
  bool listThere = false;
  const INT_PTR result = RunModal(dialog, {[&](TestTrackDialog& d) {
                                    listThere = ::IsWindow(d.GetList().m_hWnd) != FALSE;
                                    rows = d.GetList().GetItemCount();
                                    Command(d, CTrackSettingDlg::kIdNote, STN_CLICKED);
                                    Command(d, CTrackSettingDlg::kIdList);
                                    Command(d, IDOK);
                                  }});
  EXPECT_EQ(IDOK, result);
  EXPECT_TRUE(listThere);
  EXPECT_EQ(0, rows);
  EXPECT_TRUE((*CSongValueMap::GetInstance())[song_].settings.empty());
}

int WindowHeight(TestTrackDialog& d) {
  RECT r = {};
  ::GetWindowRect(d.GetDialogHwnd(), &r);
  return r.bottom - r.top;
}

TEST_F(TrackSettingDlgTest, TheViewToggleShowsTheListAloneAndTheDialogOpensSoAgain) {
  TestTrackDialog dialog;
  dialog.SetSongEngine(engine_);
  dialog.SetSongPath(song_);
  int compactHeight = 0, fullHeight = 0, reopenedHeight = 0;
  bool compact = false, reopenedCompact = false;
  RunModal(dialog, {[&](TestTrackDialog& d) {
             Command(d, CTrackSettingDlg::kIdViewToggle);
             compact = d.IsCompact();
             compactHeight = WindowHeight(d);
             Command(d, CTrackSettingDlg::kIdViewToggle);
             fullHeight = WindowHeight(d);
             Command(d, CTrackSettingDlg::kIdViewToggle);
             Command(d, IDCANCEL);
           }});
  RunModal(dialog, {[&](TestTrackDialog& d) {
             reopenedCompact = d.IsCompact();
             reopenedHeight = WindowHeight(d);
             Command(d, IDCANCEL);
           }});
  EXPECT_TRUE(compact);
  EXPECT_EQ(CTrackSettingDlg::kCompactHeight, compactHeight);
  EXPECT_EQ(CTrackSettingDlg::kFullHeight, fullHeight);
  EXPECT_TRUE(reopenedCompact);
  EXPECT_EQ(CTrackSettingDlg::kCompactHeight, reopenedHeight);
}

// The caption of template 159 as the dialog manager reads it: UTF-16 after
// the class and menu fields of the extended template.
TEST(GeneralPage, CaptionIsReadBackAsUtf16) {
  HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(CPropPageGeneral::IDD), MAKEINTRESOURCEA(5));
  ASSERT_NE(nullptr, found);
  const auto* bytes = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
  ASSERT_NE(nullptr, bytes);
  const auto* words = reinterpret_cast<const WORD*>(bytes);
  ASSERT_EQ(1, words[0]);
  ASSERT_EQ(0xFFFF, words[1]) << "an extended template";
  const DWORD size = ::SizeofResource(nullptr, found);
  // dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy.
  size_t at = (2 + 2 + 4 + 4 + 4 + 2 + 2 * 4) / 2;
  EXPECT_EQ(0, words[(2 + 2 + 4 + 4 + 4) / 2]) << "no controls";
  auto skip = [&] {  // a menu or class field: 0, 0xFFFF + id, or a string
    if (words[at] == 0xFFFF) {
      at += 2;
    } else {
      while (at * 2 < size && words[at]) ++at;
      ++at;
    }
  };
  skip();
  skip();
  std::wstring caption;
  while (at * 2 < size && words[at]) caption += static_cast<wchar_t>(words[at++]);
  EXPECT_EQ(std::wstring(L"\u5E38\u89C4"), caption);

  CPropPageGeneral page;
  EXPECT_EQ(0u, page.m_psp.dwFlags & PSP_HASHELP);
}

}  // namespace
