// Preparing media files: the player by extension, the MIDI output, the song
// an audio file carries, the messages to the main window and the lengths.
#include <windows.h>

#include "FakeSongEngine.h"
#include "PlaybackTestUtil.h"
#include "playback/CMediaHelper.h"
#include "quillix/SongBlock.h"

namespace playbacktest {
namespace {

// A private temporary folder, so a leftover song file is seen.
class MediaHelper : public ManualClock {
 protected:
  void SetUp() override {
    ManualClock::SetUp();
    GetEnvironmentVariableA("TMP", oldTmp_, sizeof oldTmp_);
    SetEnvironmentVariableA("TMP", tmp_.Path().c_str());
    SetEnvironmentVariableA("TEMP", tmp_.Path().c_str());
    ASSERT_TRUE(helper_.Init());
    helper_.SetSongEngine(&engine_);
    helper_.SetNotifyHwnd(sink_.Window());
  }
  void TearDown() override {
    SetEnvironmentVariableA("TMP", oldTmp_);
    SetEnvironmentVariableA("TEMP", oldTmp_);
    CMediaHelper::SetQuillixLibraryName(nullptr);
    ManualClock::TearDown();
  }
  int TempFiles() {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((tmp_.Path() + "\\EXT*.tmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do ++n;
    while (FindNextFileA(find, &data));
    FindClose(find);
    return n;
  }
  std::string Packed(const char* name, const std::vector<quillix::SongChunkData>& chunks) {
    std::string wav = ToneWav(files_, name, 1000);
    FILE* file = std::fopen(wav.c_str(), "ab");
    EXPECT_NE(file, nullptr);
    if (!file) return wav;
    std::vector<uint8_t> block = quillix::BuildSongBlock(chunks);
    std::fwrite(block.data(), 1, block.size(), file);
    std::fclose(file);
    return wav;
  }

  testsupport::TempDir tmp_, files_;
  char oldTmp_[MAX_PATH] = {};
  FakeSongEngine engine_;
  MessageSink sink_;
  CMediaHelper helper_;
};

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST_F(MediaHelper, ThePathDecidesTheKind) {
  struct Case {
    const char* path;
    MediaKind kind;
  } cases[] = {
      {"a.mid", MediaKind::kSong},       {"A.MID", MediaKind::kSong},         {"b.Mp3", MediaKind::kAudio},
      {"c.wav", MediaKind::kAudio},      {"d.wma", MediaKind::kAudio},        {"e.asf", MediaKind::kAudio},
      {"f.wmv", MediaKind::kAudio},      {"song.mid.txt", MediaKind::kNone},  {"g.ogg", MediaKind::kNone},
      {"noextension", MediaKind::kNone}, {"dir.mp3\\file", MediaKind::kNone}, {"h.midi", MediaKind::kNone},
      {"i.kar", MediaKind::kNone}};
  for (const Case& c : cases) EXPECT_EQ(CMediaHelper::GetMediaType(c.path), c.kind) << c.path;
  EXPECT_EQ(MediaKindOf(nullptr), MediaKind::kNone);
  EXPECT_EQ(helper_.PrepareMediaFile(files_.File("missing.mp3").c_str()), 1);
  EXPECT_EQ(helper_.PrepareMediaFile(ToneWav(files_, "x.ogg", 100).c_str()), 1);
  EXPECT_EQ(helper_.GetCurrentPlayer(), nullptr);
  EXPECT_TRUE(engine_.Calls().empty()) << "a refused file changes nothing";
}

TEST_F(MediaHelper, AMidiFileGoesToTheSongPlayerWithTheMidiOutputOpen) {
  std::string mid = files_.File("song.MID");
  WriteBytes(mid, Bytes("MThd"));
  ASSERT_EQ(helper_.PrepareMediaFile(mid.c_str()), 0);
  auto posted = sink_.Take();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].message, WM_PLAYER_BEATS_PER_BAR);
  EXPECT_EQ(engine_.Calls().front(), "CloseMidiOut:0");
  IMediaPlayer* player = helper_.GetCurrentPlayer();
  ASSERT_NE(player, nullptr);
  engine_.listener->OnBeat(3, 4, 7);
  engine_.listener->OnPosition(2);
  engine_.listener->OnSongEnd(0);
  posted = sink_.Take();
  ASSERT_EQ(posted.size(), 3u);
  EXPECT_EQ(posted[0].message, WM_PLAYER_BEAT);
  EXPECT_EQ(posted[0].wParam, 7u);
  EXPECT_EQ(posted[0].lParam, 0x00040003);
  EXPECT_EQ(posted[1].message, WM_PLAYER_POSITION);
  EXPECT_EQ(posted[1].lParam, 2000);
  EXPECT_EQ(posted[2].message, WM_PLAYER_END);
  // A song the engine cannot open leaves no current player.
  WriteBytes(mid, {});
  EXPECT_EQ(helper_.PrepareMediaFile(mid.c_str()), 1);
  EXPECT_EQ(helper_.GetCurrentPlayer(), nullptr);
}

TEST_F(MediaHelper, AnAudioFileWithoutASongPlaysAloneAndIsMeasured) {
  std::string wav = ToneWav(files_, "plain.wav", 1200);
  ASSERT_EQ(helper_.PrepareMediaFile(wav.c_str()), 0);
  EXPECT_EQ(engine_.Calls(), (std::vector<std::string>{"CloseMidiOut:1"}));
  EXPECT_TRUE(sink_.Take().empty()) << "no beats-per-bar message for plain audio";
  IMediaPlayer* player = helper_.GetCurrentPlayer();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(helper_.GetSongTitle(), nullptr);
  player->Play();
  MelFmod_MixBlocks(130);
  auto posted = sink_.Take();
  ASSERT_FALSE(posted.empty());
  EXPECT_EQ(posted.back().message, WM_PLAYER_END);
  EXPECT_EQ(posted.front().message, WM_PLAYER_POSITION);
  EXPECT_EQ(helper_.GetDurationSeconds(wav.c_str()), 2);
  engine_.songLengthMs = 3001;
  EXPECT_EQ(helper_.GetDurationSeconds(files_.File("any.mid").c_str()), 4);
  EXPECT_EQ(helper_.GetDurationSeconds(files_.File("any.txt").c_str()), 0);
  // An undecodable audio file fails and leaves no current player.
  WriteBytes(files_.File("bad.mp3"), std::vector<uint8_t>(3000, 0x33));
  EXPECT_EQ(helper_.PrepareMediaFile(files_.File("bad.mp3").c_str()), 1);
  EXPECT_EQ(helper_.GetCurrentPlayer(), nullptr);
}

TEST_F(MediaHelper, AnAudioFileCarryingASongPlaysBothInStep) {
  std::string packed = Packed("packed.wav", {{quillix::kTagSong, Bytes("MThd-song")},
                                             {quillix::kTagOffset, {0x2C, 0x01, 0, 0}},  // 300
                                             {quillix::kTagTitle, Bytes("The title")},
                                             {quillix::kTagSinger, Bytes("A singer")}});
  ASSERT_EQ(helper_.PrepareMediaFile(packed.c_str()), 0);
  auto calls = engine_.Calls();
  EXPECT_EQ(calls,
            (std::vector<std::string>{"CloseMidiOut:1", "Open", "SetListener", "SetTracks:1",
                                      "SetTrackEnabled:1:1", "SetDelayTime:300", "SetListener", "Seek:0"}))
      << "the song stands at the audio's start with its delay";
  auto posted = sink_.Take();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].message, WM_PLAYER_BEATS_PER_BAR);
  EXPECT_EQ(posted[0].lParam, 3);
  EXPECT_EQ(TempFiles(), 0) << "the song's temporary file is gone";
  ASSERT_NE(helper_.GetSongTitle(), nullptr);
  EXPECT_STREQ(helper_.GetSongTitle(), "The title");
  EXPECT_STREQ(helper_.GetSinger(), "A singer");
  EXPECT_EQ(helper_.GetComposer(), nullptr);
  IMediaPlayer* player = helper_.GetCurrentPlayer();
  engine_.ClearCalls();
  player->Play();
  EXPECT_EQ(engine_.Count("Play"), 1);
  MelFmod_MixBlocks(22);
  // One tick every eleven blocks (counted for the whole program).
  EXPECT_GE(engine_.syncs, 1);
  EXPECT_GT(engine_.lastSync, 0);
  EXPECT_LE(engine_.lastSync, 220);
  EXPECT_TRUE(helper_.SetDelayTime(10));
}

TEST_F(MediaHelper, DamagedOrMissingSongsLeaveTheAudioPlayingAlone) {
  struct Case {
    const char* what;
    std::vector<quillix::SongChunkData> chunks;
    bool songOpens;
  } cases[] = {
      {"an empty song", {{quillix::kTagSong, {}}}, false},
      {"an offset of 8 bytes",
       {{quillix::kTagSong, Bytes("MThd")}, {quillix::kTagOffset, std::vector<uint8_t>(8, 1)}},
       true},
      {"an offset of 2 bytes", {{quillix::kTagSong, Bytes("MThd")}, {quillix::kTagOffset, {1, 1}}}, true},
      {"no offset", {{quillix::kTagSong, Bytes("MThd")}}, true},
  };
  for (const Case& c : cases) {
    engine_.ClearCalls();
    std::string packed =
        Packed((std::string("case") + std::to_string(&c - cases) + ".wav").c_str(), c.chunks);
    ASSERT_EQ(helper_.PrepareMediaFile(packed.c_str()), 0) << c.what;
    EXPECT_EQ(engine_.Count("SetTracks:1"), c.songOpens ? 1 : 0) << c.what;
    // The offset is taken only from a chunk of exactly four bytes.
    EXPECT_EQ(engine_.Count("SetDelayTime:0"), 1) << c.what;
    EXPECT_EQ(TempFiles(), 0) << c.what;
    IMediaPlayer* player = helper_.GetCurrentPlayer();
    ASSERT_NE(player, nullptr);
    engine_.ClearCalls();
    player->Play();
    EXPECT_EQ(engine_.Count("Play"), c.songOpens ? 1 : 0) << c.what;
    MelFmod_MixBlocks(3);
    EXPECT_GT(player->GetPosition(), 0) << "the audio plays " << c.what;
    sink_.Take();
  }
  // Without the song-block library every file is plain audio.
  CMediaHelper::SetQuillixLibraryName("NoSuchQuillix.dll");
  CMediaHelper helper;
  ASSERT_TRUE(helper.Init());
  helper.SetSongEngine(&engine_);
  engine_.ClearCalls();
  std::string packed = Packed("again.wav", {{quillix::kTagSong, Bytes("MThd")}});
  ASSERT_EQ(helper.PrepareMediaFile(packed.c_str()), 0);
  EXPECT_EQ(engine_.Calls(), (std::vector<std::string>{"CloseMidiOut:1"}));
}

}  // namespace
}  // namespace playbacktest
