// The main window over the real players, with the sound library set up
// before main on its silent output: an audio file handed over plays through
// the media helper, its positions move the play time and its end moves on to
// the next entry of the play list.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/CMainPlayerWnd.h"
#include "app/CPlayListCtrl.h"
#include "app/CPlayListView.h"
#include "app/CPlayListWnd.h"
#include "playback/CPlayTimeWnd.h"
#include "testsupport/MessagePump.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "LocalNotices.h"
#include "testsupport/WavBuilder.h"
#include "ShippedSkin.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusSession.h"

namespace {

std::string WriteTone(testsupport::TempDir& dir, const char* name, double seconds) {
  testsupport::WavSpec spec;
  spec.channels = 1;
  spec.rate = 22050;
  const auto samples = testsupport::Sine(440, 0.3, spec.rate, size_t(seconds * spec.rate), spec.channels);
  const auto bytes = testsupport::WavFile(spec, testsupport::WavSamples(spec, samples));
  const std::string path = dir.File(name);
  return testsupport::WriteBytes(path, bytes) ? path : "";
}

std::string PlayTimeText(const CMainPlayerWnd& wnd) {
  return wnd.GetPlayTimeWnd() ? wnd.GetPlayTimeWnd()->Text() : "";
}

TEST(MainWindowAudio, AWaveFilePlaysItsPositionsShowAndItsEndMovesOn) {
  GdiplusSession gdiplus;
  LoadShippedSkin();
  testsupport::TempDir dir;
  const std::string first = WriteTone(dir, "first.wav", 2.5);
  const std::string second = WriteTone(dir, "second.wav", 1.0);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  {
    KeepNoticesLocal();
    auto wnd = std::make_unique<CMainPlayerWnd>();
    ASSERT_EQ(0, wnd->CreateMainWindow());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !wnd->IsBusy(); }, 5000));
    for (const std::string* path : {&first, &second}) {
      COPYDATASTRUCT record = {path == &first ? 1u : 0u, static_cast<DWORD>(path->size()),
                               const_cast<char*>(path->data())};
      EXPECT_TRUE(::SendMessageA(wnd->m_hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record)));
    }
    EXPECT_EQ((std::vector<std::string>{first, second}), wnd->GetSongs());
    EXPECT_EQ(first, wnd->GetCurrentPath());
    EXPECT_TRUE(wnd->IsPlaying());
    EXPECT_FALSE(wnd->SetDelayTime(250)) << "a wave file carries no song to shift";
    EXPECT_TRUE(testsupport::PumpUntil([&] { return PlayTimeText(*wnd) == "00:01"; }, 10000))
        << "play time " << PlayTimeText(*wnd);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return wnd->GetCurrentPath() == second; }, 10000))
        << "current " << wnd->GetCurrentPath();
    EXPECT_TRUE(wnd->IsPlaying());
    wnd->Stop();
    ::DestroyWindow(wnd->m_hWnd);
  }
  ReleaseSkinManager();
}

// The play list's lengths while files are measured off the window thread.
class MainWindowAudioLengths : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadShippedSkin();
    KeepNoticesLocal();
    m_wnd = std::make_unique<CMainPlayerWnd>();
    ASSERT_EQ(0, m_wnd->CreateMainWindow());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !m_wnd->IsBusy(); }, 5000));
    m_list = m_wnd->GetPlayListModel();
    ASSERT_NE(nullptr, m_list);
  }
  void TearDown() override {
    if (m_wnd && ::IsWindow(m_wnd->m_hWnd)) ::DestroyWindow(m_wnd->m_hWnd);
    m_wnd.reset();
    ReleaseSkinManager();
  }
  // The length column of path's row; -2 when the row is not there.
  int LengthOf(const std::string& path) {
    const int row = m_list->FindPath(path.c_str());
    PlayListItemData* entry = row >= 0 ? m_list->GetEntry(row) : nullptr;
    return entry ? entry->length : -2;
  }

  GdiplusSession m_gdiplus;
  testsupport::TempDir m_dir;
  std::unique_ptr<CMainPlayerWnd> m_wnd;
  IPlayListModel* m_list = nullptr;
};

TEST_F(MainWindowAudioLengths, AnAudioFileGoesInAtOnceAndItsLengthFollows) {
  const std::string first = WriteTone(m_dir, "first.wav", 2.5), later = WriteTone(m_dir, "later.wav", 1.2);
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(later.empty());
  ASSERT_TRUE(m_wnd->AddToPlayList(first));
  ASSERT_TRUE(m_wnd->AddToPlayList(later));
  EXPECT_EQ((std::vector<std::string>{first, later}), m_wnd->GetSongs());
  EXPECT_EQ(-1, LengthOf(later)) << "unknown until measured: shown empty";
  EXPECT_EQ("", CPlayListCtrl::FormatDuration(LengthOf(later)));
  EXPECT_TRUE(testsupport::PumpUntil([&] { return LengthOf(first) == 3 && LengthOf(later) == 2; }, 10000))
      << LengthOf(first) << " " << LengthOf(later);
  EXPECT_FALSE(m_wnd->AddToPlayList(later)) << "a path is in the list once";
}

TEST_F(MainWindowAudioLengths, ALateLengthLandsOnItsOwnEntryOrNowhere) {
  const std::string first = WriteTone(m_dir, "first.wav", 0.5);
  const std::string gone = WriteTone(m_dir, "gone.wav", 4.5), stays = WriteTone(m_dir, "stays.wav", 1.5);
  ASSERT_FALSE(first.empty() || gone.empty() || stays.empty());
  ASSERT_TRUE(m_wnd->AddToPlayList(first));
  ASSERT_TRUE(m_wnd->AddToPlayList(gone));
  ASSERT_TRUE(m_wnd->AddToPlayList(stays));
  // gone leaves before its length can come back; stays moves up into its row.
  CPlayListCtrl& ctrl = m_wnd->GetPlayListWnd()->GetView()->GetListCtrl();
  ctrl.SetItemState(-1, 0, LVIS_SELECTED);
  ctrl.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
  m_list->RemoveSelected();
  ASSERT_EQ((std::vector<std::string>{first, stays}), m_wnd->GetSongs());
  // One worker measures in order: once stays's length is in, gone's came first.
  EXPECT_TRUE(testsupport::PumpUntil([&] { return LengthOf(stays) >= 0; }, 10000));
  EXPECT_EQ(2, LengthOf(stays)) << "another entry's length landed here";
  EXPECT_EQ(1, LengthOf(first));
  EXPECT_EQ((std::vector<std::string>{first, stays}), m_wnd->GetSongs());
}

// A file found to have no length once measured leaves the list, as it would
// have stayed out had the window waited; a file the user named is reported.
TEST_F(MainWindowAudioLengths, AFileWithoutALengthLeavesTheListAndANamedOneIsReported) {
  const std::string good = WriteTone(m_dir, "good.wav", 1.5);
  const std::string dropped = m_dir.File("dropped.mp3"), named = m_dir.File("named.mp3");
  ASSERT_FALSE(good.empty());
  // A kind the player plays, with bytes, but no frame of sound in them.
  ASSERT_TRUE(testsupport::WriteBytes(dropped, testsupport::Bytes(3000, 0x33)));
  ASSERT_TRUE(testsupport::WriteBytes(named, testsupport::Bytes(3000, 0x33)));
  std::vector<std::string> shown;
  CMainPlayerWnd::SetMessageShower([&shown](HWND, const char* text, const char*, UINT) {
    shown.push_back(text);
    return IDOK;
  });
  ASSERT_TRUE(m_wnd->AddToPlayList(good));
  ASSERT_TRUE(m_wnd->AddToPlayList(dropped));
  m_wnd->AddRemoteFile(named, true);
  EXPECT_EQ((std::vector<std::string>{good, dropped, named}), m_wnd->GetSongs()) << "all go in at once";
  EXPECT_TRUE(testsupport::PumpUntil([&] { return m_wnd->GetSongs().size() == 1 && !shown.empty(); }, 10000));
  CMainPlayerWnd::SetMessageShower(nullptr);
  EXPECT_EQ((std::vector<std::string>{good}), m_wnd->GetSongs());
  ASSERT_EQ(1u, shown.size()) << "only the file the user named is reported";
  EXPECT_NE(std::string::npos, shown[0].find("named.mp3")) << shown[0];
}

}  // namespace
