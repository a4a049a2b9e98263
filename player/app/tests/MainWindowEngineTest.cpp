// The main window over the real song engine, in a process of its own as the
// player has it (one engine a run): a song file handed over plays through
// Tunewell.dll, and the position it reports moves the play time.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/CMainPlayerWnd.h"
#include "playback/CPlayTimeWnd.h"
#include "testsupport/MessagePump.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "LocalNotices.h"
#include "ShippedSkin.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusSession.h"

namespace {

TEST(MainWindowEngine, ASongFilePlaysThroughTheEngineAndItsPositionShows) {
  GdiplusSession gdiplus;
  LoadShippedSkin();
  testsupport::TempDir dir;
  // Three seconds of one held note.
  testsupport::TrackBuilder tempo;
  tempo.Tempo(0, 500000).EndOfTrack();
  testsupport::TrackBuilder melody;
  melody.Event(0, {0x90, 60, 100}).Event(2880, {0x80, 60, 0}).EndOfTrack();
  const std::string song = dir.File("engine.mid");
  ASSERT_TRUE(testsupport::WriteBytes(
      song, testsupport::Cat({testsupport::Header(1, 2, 480), tempo.Chunk(), melody.Chunk()})));
  {
    KeepNoticesLocal();
    auto wnd = std::make_unique<CMainPlayerWnd>();
    ASSERT_EQ(0, wnd->CreateMainWindow());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !wnd->IsBusy(); }, 5000));
    ASSERT_NE(nullptr, wnd->GetSongEngine());
    COPYDATASTRUCT record = {0, static_cast<DWORD>(song.size()), const_cast<char*>(song.data())};
    EXPECT_TRUE(::SendMessageA(wnd->m_hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record)));
    EXPECT_EQ(song, wnd->GetCurrentPath());
    EXPECT_TRUE(wnd->IsPlaying());
    EXPECT_EQ(0, wnd->GetSongEngine()->GetPlayerState(0)) << "the engine plays";
    // The count-in and the first second pass; the play time follows the engine.
    const CPlayTimeWnd* playTime = wnd->GetPlayTimeWnd();
    ASSERT_NE(nullptr, playTime);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return playTime->Text() != "00:00"; }, 10000));
    wnd->Stop();
    EXPECT_NE(0, wnd->GetSongEngine()->GetPlayerState(0));
    ::DestroyWindow(wnd->m_hWnd);
  }
  ReleaseSkinManager();
}

}  // namespace
