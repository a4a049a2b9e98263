// Memory running out at every allocation in turn, inside each exported
// method of the song buffer and the player: no exception may leave the
// library, and what is left must still play the next song. The timing thread
// allocates too (its reports); a failure there must not end the process. This
// program replaces operator new, so it runs apart from the other tests.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "../src/BrevantPlayer.h"
#include "../src/SongBuffer.h"
#include "SongFixtures.h"
#include "base/ReleasePtr.h"
#include "testsupport/FailingAllocator.h"

extern "C" IBrevantPlayer* CreateBrevant(int version);
extern "C" IBrevantSongBuffer* CreateSongBuffer(int version);

namespace {

// Eight quarters of a note and a lyric each, with a marker.
SongSpec Song() {
  SongSpec spec;
  for (uint32_t tick = 0; tick < 960; tick += 120) {
    spec.channel[2].Note(tick, 100, 0, 60 + int(tick / 120));
    spec.lyrics[1].Lyric(tick, "la");
  }
  spec.markers[3].Marker(480, "WDOF");
  spec.tempos.push_back({0, 500000});
  return spec;
}

int Ignore(const PlayEvent*, void*, int) { return 0; }

struct Fixture {
  ManualTime time;
  NullChannelManager out;
  SongSpec song = Song();
  base::ReleasePtr<IBrevantSongBuffer> buffer{new CSongBuffer()};
  base::ReleasePtr<IBrevantPlayer> player{new CBrevantPlayer(&time)};
  RecordingTimer timer;

  Fixture() {
    player->SetEventCallback(&Ignore, nullptr);
    player->SetOutput(&out);
    song.FillBuffer(buffer.get());
    player->SetSongBuffer(buffer.get());
  }
};

struct Step {
  const char* name;
  std::function<void(Fixture&)> run;
};

std::vector<Step> Steps() {
  return {
      {"Factories",
       [](Fixture&) {
         base::ReleasePtr<IBrevantPlayer> player(CreateBrevant(1));
         base::ReleasePtr<IBrevantSongBuffer> buffer(CreateSongBuffer(1));
       }},
      {"FillBuffer", [](Fixture& f) { f.song.FillBuffer(f.buffer.get()); }},
      // Each question after a change compiles the song again.
      {"Finish",
       [](Fixture& f) {
         f.buffer->SetTempos(f.song.tempos.data(), int(f.song.tempos.size()));
         f.buffer->Finish();
       }},
      {"FindTag",
       [](Fixture& f) {
         f.buffer->SetTempos(f.song.tempos.data(), int(f.song.tempos.size()));
         f.buffer->FindTag(SmfChunkId('W', 'D', 'O', 'F'));
       }},
      {"GetEventTime",
       [](Fixture& f) {
         f.buffer->SetTempos(f.song.tempos.data(), int(f.song.tempos.size()));
         f.buffer->GetEventTime(240);
       }},
      {"SetSongBuffer", [](Fixture& f) { f.player->SetSongBuffer(f.buffer.get()); }},
      {"AddTimer",
       [](Fixture& f) {
         f.player->GetClock()->AddTimer(&f.timer);
         f.player->GetClock()->RemoveTimer(&f.timer);
       }},
      {"PlayAndSeek",
       [](Fixture& f) {
         f.player->Play();
         f.time.Set(600);
         f.player->Seek(1200);
         f.player->Stop();
       }},
      {"SetTrackFlags", [](Fixture& f) { f.player->SetTrackFlags(2, 1); }},
      {"CloseSong", [](Fixture& f) { f.player->CloseSong(); }},
  };
}

TEST(BrevantOutOfMemoryTest, EveryExportedMethodSurvivesEachFailedAllocation) {
  const int length = Fixture().buffer->Finish();
  ASSERT_GT(length, 0);
  for (const Step& step : Steps()) {
    for (long k = 0;; ++k) {
      ASSERT_LT(k, 100000) << step.name;
      Fixture f;
      testsupport::FailAllocationAfter(k);
      EXPECT_NO_THROW(step.run(f)) << step.name << " failing allocation " << k;
      const bool failed = testsupport::AllocationFailed();
      testsupport::FailAllocationAfter(-1);
      // What is left takes the song again and plays it.
      f.song.FillBuffer(f.buffer.get());
      EXPECT_EQ(length, f.buffer->Finish()) << step.name << " failing allocation " << k;
      EXPECT_EQ(0, f.player->SetSongBuffer(f.buffer.get())) << step.name << " failing allocation " << k;
      EXPECT_EQ(0, f.player->Play()) << step.name << " failing allocation " << k;
      EXPECT_EQ(kBrevantPlaying, f.player->GetState()) << step.name << " failing allocation " << k;
      f.player->Stop();
      if (!failed) break;
    }
  }
}

}  // namespace
