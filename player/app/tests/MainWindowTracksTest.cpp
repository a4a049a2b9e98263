// The main window applies the track and staff setting dialog's stored choices
// to the real song engine, in a process of its own (one engine a run): muted
// tracks stay silent in what the MIDI output records, shown tracks get their
// staff kind.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <scrivel/Scrivel.h>
#include <voxgate/Voxgate.h>

#include "app/CMainPlayerWnd.h"
#include "app/CSongValueMap.h"
#include "base/Library.h"
#include "playback/CPlayTimeWnd.h"
#include "testsupport/MessagePump.h"
#include "testsupport/SmfBuilder.h"
#include "testsupport/TempDir.h"
#include "testsupport/RecordedNotes.h"
#include "LocalNotices.h"
#include "ShippedSkin.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusSession.h"

namespace {

// The keys of the note-ons a recording holds.
std::set<int> RecordedNotes(const std::string& path) {
  std::set<int> notes;
  for (const testsupport::RecordedNote& note : testsupport::ReadRecordedNotes(path)) notes.insert(note.key);
  return notes;
}

class MainWindowTracksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadShippedSkin();
    CSongValueMap::Release(CSongValueMap::GetInstance());
    // Two tracks sounding together every quarter note from the second one on:
    // key 60 on channel 0 (track 1), key 72 on channel 1 (track 2).
    testsupport::TrackBuilder tempo;
    tempo.Tempo(0, 500000).EndOfTrack();
    testsupport::TrackBuilder first, second;
    first.Text(0, 0x03, "Low");
    second.Text(0, 0x03, "High");
    for (int beat = 0; beat < 6; ++beat) {
      first.Event(beat == 0 ? 480 : 240, {0x90, 60, 100}).Event(240, {0x80, 60, 0});
      second.Event(beat == 0 ? 480 : 240, {0x91, 72, 100}).Event(240, {0x81, 72, 0});
    }
    first.EndOfTrack();
    second.EndOfTrack();
    song_ = dir_.File("two tracks.mid");
    ASSERT_TRUE(testsupport::WriteBytes(
        song_,
        testsupport::Cat({testsupport::Header(1, 3, 480), tempo.Chunk(), first.Chunk(), second.Chunk()})));
    KeepNoticesLocal();
    wnd_ = std::make_unique<CMainPlayerWnd>();
    ASSERT_EQ(0, wnd_->CreateMainWindow());
    ASSERT_TRUE(testsupport::PumpUntil([&] { return !wnd_->IsBusy(); }, 10000));
    ASSERT_NE(nullptr, wnd_->GetSongEngine());
  }
  void TearDown() override {
    if (wnd_ && wnd_->m_hWnd) ::DestroyWindow(wnd_->m_hWnd);
    wnd_.reset();
    CSongValueMap::Release(CSongValueMap::GetInstance());
    ReleaseSkinManager();
  }
  bool Play() {
    COPYDATASTRUCT record = {0, static_cast<DWORD>(song_.size()), const_cast<char*>(song_.data())};
    ::SendMessageA(wnd_->m_hWnd, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
    return wnd_->IsPlaying() && wnd_->GetCurrentPath() == song_;
  }

  GdiplusSession gdiplus_;
  testsupport::TempDir dir_;
  std::string song_;
  std::unique_ptr<CMainPlayerWnd> wnd_;
};

TEST_F(MainWindowTracksTest, AMutedTrackIsSilentAndTheOtherPlays) {
  // Record what the engine sends, through a stand-in port, without a device.
  base::Library voxgate(kVoxgateLibrary);
  ASSERT_TRUE(voxgate);
  auto createManager = voxgate.Find<CreateVoxgateFn>(kCreateVoxgateName);
  auto createRecorder = voxgate.Find<CreateRecordCtrlFn>(kCreateRecordCtrlName);
  ASSERT_TRUE(createManager && createRecorder);
  IChannelManager* manager = createManager(1);
  IMidiRecorder* recorder = createRecorder(1);
  ASSERT_TRUE(manager && recorder);
  HMIDIOUT port = reinterpret_cast<HMIDIOUT>(static_cast<INT_PTR>(0x7E57));
  manager->AddPort(port);
  recorder->SetMute(1);

  SongValues& stored = (*CSongValueMap::GetInstance())[song_];
  stored.settings[1] = TrackSetting{1, 0, 1, -1};
  stored.settings[2] = TrackSetting{1, 1, 2, -1};
  recorder->StartRecording();
  ASSERT_TRUE(Play());
  // Opening resets the track flags: the mutes go on once the song is open,
  // before its first note half a second in.
  wnd_->ApplyTrackMutes();
  // Both tracks sound every half second from half a second on: once the play
  // time shows two seconds, each has had notes to send.
  const CPlayTimeWnd* playTime = wnd_->GetPlayTimeWnd();
  EXPECT_TRUE(playTime && testsupport::PumpUntil([&] { return playTime->Text() >= "00:02"; }, 10000))
      << "the song did not play two seconds";
  wnd_->Stop();
  recorder->StopRecording();
  const std::string recording = dir_.File("recorded.mid");
  recorder->Save(recording.c_str());
  manager->RemovePort(port);
  voxgate.Free();

  const std::set<int> notes = RecordedNotes(recording);
  EXPECT_EQ(1u, notes.count(60)) << "the track not muted plays";
  EXPECT_EQ(0u, notes.count(72)) << "the muted track is silent";
}

TEST_F(MainWindowTracksTest, ShownTracksGetTheirStaffKind) {
  ASSERT_TRUE(Play());
  wnd_->Stop();
  CScoreFacet* score = wnd_->GetSongEngine()->GetScoreFacet();
  ASSERT_NE(nullptr, score);
  int before = -1;
  ASSERT_EQ(0, score->GetTrackStaffKind(&before, 1));
  ASSERT_NE(2, before);

  SongValues& stored = (*CSongValueMap::GetInstance())[song_];
  stored.settings[1] = TrackSetting{0, 0, 1, 2};  // not shown: left alone
  wnd_->ApplyTrackStaffKinds();
  int kind = -1;
  score->GetTrackStaffKind(&kind, 1);
  EXPECT_EQ(before, kind);

  stored.settings[1].show = 1;
  wnd_->ApplyTrackStaffKinds();
  score->GetTrackStaffKind(&kind, 1);
  EXPECT_EQ(2, kind) << "treble and bass";
}

}  // namespace
