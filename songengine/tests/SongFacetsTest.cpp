#include <cstring>

#include <brevant/Brevant.h>
#include <scrivel/Scrivel.h>

#include "CModuleLoader.h"
#include "EngineFixture.h"
#include "SongFacets.h"

using testsupport::TrackBuilder;

namespace {

class SongFacetsTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    info_ = new CSongInfoImpl(CreateScrivel2(1));
  }
  void TearDown() override {
    info_->Release();
    EngineTest::TearDown();
  }
  CSongInfoImpl* info_ = nullptr;
};

testsupport::Bytes FiveTrackSong(const std::string& firstName) {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).EndOfTrack();
  std::vector<testsupport::Bytes> parts = {testsupport::Header(1, 5, 120), tempo.Chunk()};
  const uint8_t programs[] = {13, 0, 40, 73};
  for (int i = 0; i < 4; ++i) {
    TrackBuilder track;
    track.Text(0, 0x03, i == 0 ? firstName : "Track " + std::to_string(i + 1))
        .Event(0, {static_cast<uint8_t>(0xC0 | i), programs[i]})
        .Event(0, {static_cast<uint8_t>(0x90 | i), static_cast<uint8_t>(50 + i), 90})
        .Event(0, {static_cast<uint8_t>(0x90 | i), static_cast<uint8_t>(70 + i), 90})
        .Event(120, {static_cast<uint8_t>(0x80 | i), static_cast<uint8_t>(50 + i), 0})
        .Event(0, {static_cast<uint8_t>(0x80 | i), static_cast<uint8_t>(70 + i), 0})
        .EndOfTrack();
    parts.push_back(track.Chunk());
  }
  testsupport::Bytes song;
  for (const auto& part : parts) song.insert(song.end(), part.begin(), part.end());
  return song;
}

TEST_F(SongFacetsTest, AnswersTrackQuestionsOfTheOpenedSong) {
  ASSERT_EQ(0, info_->Open(WriteSong("five.mid", FiveTrackSong("Lead")).c_str()));
  EXPECT_EQ(4, info_->GetTrackCount());
  EXPECT_EQ(1, info_->GetTrackNumber(0));
  EXPECT_STREQ("Lead", info_->GetTrackName(1));
  EXPECT_STREQ("Xylopyhone", info_->GetInstrumentName(1));
  EXPECT_STREQ("Acoustic Grand Piano", info_->GetInstrumentName(2));
  EXPECT_STREQ("Violin", info_->GetInstrumentName(3));
  EXPECT_EQ(70, info_->GetHighestNote(1));
  EXPECT_EQ(50, info_->GetLowestNote(1));
  FakeSet("buffer.msPerTick", 3);
  EXPECT_EQ(360, info_->GetSongLength());
}

TEST_F(SongFacetsTest, ALongTrackNameIsCutToTheBuffer) {
  const std::string longName(300, 'n');
  ASSERT_EQ(0, info_->Open(WriteSong("long.mid", FiveTrackSong(longName)).c_str()));
  const char* name = info_->GetTrackName(1);
  ASSERT_NE(nullptr, name);
  EXPECT_EQ(255u, std::strlen(name));
  EXPECT_EQ(longName.substr(0, 255), name);
}

TEST_F(SongFacetsTest, AFailedOpenLeavesAnEmptySong) {
  ASSERT_EQ(0, info_->Open(WriteSong("five.mid", FiveTrackSong("Lead")).c_str()));
  EXPECT_EQ(1, info_->Open(dir_.File("absent.mid").c_str()));
  EXPECT_EQ(0, info_->GetTrackCount());
  // No song, no instrument: not the name of program 0.
  EXPECT_EQ(nullptr, info_->GetInstrumentName(1));
  EXPECT_EQ(1, info_->Open(WriteSong("none.mid", testsupport::Header(1, 0, 120)).c_str()));
  EXPECT_EQ(0, info_->GetTrackCount());
}

// The header's track count is only a claim: the facet counts the tracks read.
TEST_F(SongFacetsTest, TheTrackCountIsTheTracksLoaded) {
  TrackBuilder tempo;
  tempo.Tempo(0, 500000).EndOfTrack();
  TrackBuilder notes;
  notes.Event(0, {0x90, 60, 100}).Event(120, {0x80, 60, 0}).EndOfTrack();
  struct Case {
    const char* what;
    testsupport::Bytes song;
    int open;
    int tracks;
  };
  const Case cases[] = {
      {"65,535 claimed over two",
       testsupport::Cat({testsupport::Header(1, 65535, 120), tempo.Chunk(), notes.Chunk()}), 0, 1},
      {"a foreign chunk between them",
       testsupport::Cat({testsupport::Header(1, 3, 120), tempo.Chunk(), testsupport::Chunk("XFIH", {0x01}),
                         notes.Chunk(), notes.Chunk()}),
       0, 2},
      {"no track at all", testsupport::Header(1, 0, 120), 1, 0},
      {"only a foreign chunk",
       testsupport::Cat({testsupport::Header(1, 1, 120), testsupport::Chunk("XFIH", {})}), 1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.open, info_->Open(WriteSong("claims.mid", c.song).c_str())) << c.what;
    EXPECT_EQ(c.tracks, info_->GetTrackCount()) << c.what;
  }
}

TEST_F(SongFacetsTest, WithoutAParserOrSequencerTheFacetAnswersEmpty) {
  EXPECT_EQ(nullptr, info_->GetInstrumentName(1));
  CSongInfoImpl bare(nullptr);
  EXPECT_EQ(1, bare.Open("x.mid"));
  EXPECT_EQ(0, bare.GetTrackCount());
  EXPECT_EQ(nullptr, bare.GetTrackName(1));
  EXPECT_EQ(nullptr, bare.GetInstrumentName(1));
  EXPECT_EQ(0, bare.GetHighestNote(1));
  ASSERT_EQ(0, info_->Open(WriteSong("five.mid", FiveTrackSong("Lead")).c_str()));
  LibrariesAside aside({"Brevant"});
  ASSERT_TRUE(aside.AllMoved());
  EXPECT_EQ(0, info_->GetSongLength());
}

TEST_F(SongFacetsTest, MuteAndUnmuteTouchOnlyTheMuteBit) {
  IBrevantPlayer* player = ModuleLoader().GetBrevant();
  ASSERT_NE(nullptr, player);
  player->SetTrackFlags(3, 2 | 8);
  CTrackMixerImpl mixer(player);
  mixer.SetTrackEnabled(3, false);
  int flags = 0;
  player->GetTrackFlags(3, &flags);
  EXPECT_EQ(2 | 8 | 1, flags);
  mixer.SetTrackEnabled(3, true);
  player->GetTrackFlags(3, &flags);
  EXPECT_EQ(2 | 8, flags);
  CTrackMixerImpl silent(nullptr);
  EXPECT_EQ(1, silent.SetTrackEnabled(3, true));
}

}  // namespace
