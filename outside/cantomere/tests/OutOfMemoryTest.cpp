// Memory running out at every allocation in turn, inside each entry point of
// the lyric buffer and the lyric controller: no exception may leave the
// library, and the objects must still take the next song. This program
// replaces operator new, so it runs apart from the other lyric tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "LyricFixtures.h"
#include "base/ReleasePtr.h"
#include "testsupport/FailingAllocator.h"

namespace {

// A short song: two lines of syllables with a phrase end between them.
struct Song {
  MetaEvents lyrics;
  MetaEvents markers;
  Song() {
    lyrics.Lyric(0, "Twin").Lyric(120, "kle").Lyric(240, ",").Lyric(360, "lit").Lyric(480, "tle");
    markers.Marker(250, "WDOF");
  }
};

struct Fixture {
  base::ReleasePtr<ICantomereLyricBuffer> buffer{CreateLyricBufferInstance(1)};
  base::ReleasePtr<ICantomereLyrics> lyrics{CreateCantomereInstance(1)};
  FakeSongEngine engine;
  RecordingLyricView view;
  Song song;

  void Load() {
    buffer->Clear();
    buffer->AddMarkers(3, song.markers.data(), song.markers.size());
    buffer->AddLyrics(1, song.lyrics.data(), song.lyrics.size());
    lyrics->Close();
    lyrics->SetLyrics(buffer->GetLyricData());
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
         base::ReleasePtr<ICantomereLyrics> lyrics(CreateCantomereInstance(1));
         base::ReleasePtr<ICantomereLyricBuffer> buffer(CreateLyricBufferInstance(1));
       }},
      {"AddMarkers",
       [](Fixture& f) { f.buffer->AddMarkers(3, f.song.markers.data(), f.song.markers.size()); }},
      {"AddLyrics", [](Fixture& f) { f.buffer->AddLyrics(1, f.song.lyrics.data(), f.song.lyrics.size()); }},
      {"GetFirstLyric", [](Fixture& f) { f.buffer->GetFirstLyric(1); }},
      {"SetLyrics", [](Fixture& f) { f.lyrics->SetLyrics(f.buffer->GetLyricData()); }},
      {"AttachView", [](Fixture& f) { f.lyrics->AttachView(1, &f.view); }},
      {"MarkLyric",
       [](Fixture& f) {
         f.lyrics->MarkLyric(0, 1);
         f.lyrics->MarkLyric(120, 1);
       }},
      {"SeekTick", [](Fixture& f) { f.lyrics->SeekTick(360); }},
      {"GetTokenText", [](Fixture& f) { f.lyrics->GetTokenText(1, 0); }},
      {"OnCountIn", [](Fixture& f) { f.lyrics->OnCountIn(1, 3); }},
      {"Rewind", [](Fixture& f) { f.lyrics->Rewind(1); }},
      {"Close", [](Fixture& f) { f.lyrics->Close(); }},
      {"DetachView", [](Fixture& f) { f.lyrics->DetachView(1, &f.view); }},
  };
}

TEST(CantomereOutOfMemoryTest, EveryEntryPointSurvivesEachFailedAllocation) {
  for (const Step& step : Steps()) {
    for (long k = 0;; ++k) {
      ASSERT_LT(k, 100000) << step.name;
      Fixture f;
      ASSERT_TRUE(f.buffer && f.lyrics);
      f.lyrics->SetEngine(&f.engine);
      f.Load();
      f.lyrics->AttachView(1, &f.view);
      testsupport::FailAllocationAfter(k, testsupport::AllocationFailure::kFromThenOn);
      EXPECT_NO_THROW(step.run(f)) << step.name << " failing allocation " << k;
      testsupport::FailAllocationAfter(-1);
      // What is left takes the next song as if nothing had happened.
      f.lyrics->DetachView(1, &f.view);
      f.Load();
      ASSERT_EQ(5, f.lyrics->GetTokenCount(1)) << step.name << " failing allocation " << k;
      EXPECT_EQ("Twin", f.lyrics->GetTokenText(1, 0)) << step.name << " failing allocation " << k;
      EXPECT_EQ(0, f.buffer->GetFirstLyric(1)) << step.name << " failing allocation " << k;
      if (!testsupport::AllocationFailed()) break;
    }
  }
}

// A failed load leaves no lyrics rather than marks that miss their tokens.
TEST(CantomereOutOfMemoryTest, ALoadThatRunsOutLeavesTokensAndMarksInStep) {
  int full = 0;
  {
    Fixture f;
    f.lyrics->SetEngine(&f.engine);
    f.buffer->AddLyrics(1, f.song.lyrics.data(), f.song.lyrics.size());
    f.buffer->AddLyrics(1, f.song.lyrics.data(), f.song.lyrics.size());  // twice the syllables
    f.lyrics->SetLyrics(f.buffer->GetLyricData());
    full = f.lyrics->GetTokenCount(1);
    ASSERT_GT(full, 5);
  }
  for (long k = 0;; ++k) {
    ASSERT_LT(k, 100000);
    Fixture f;
    f.lyrics->SetEngine(&f.engine);
    f.buffer->AddLyrics(1, f.song.lyrics.data(), f.song.lyrics.size());
    f.buffer->AddLyrics(1, f.song.lyrics.data(), f.song.lyrics.size());
    testsupport::FailAllocationAfter(k, testsupport::AllocationFailure::kFromThenOn);
    f.lyrics->SetLyrics(f.buffer->GetLyricData());
    testsupport::FailAllocationAfter(-1);
    const int count = f.lyrics->GetTokenCount(1);
    EXPECT_TRUE(count == 0 || count == full) << "failing allocation " << k << ": " << count << " tokens";
    // Marking every syllable reads the marks of every token.
    for (int tick = 0; tick <= 480; tick += 120) EXPECT_NO_THROW(f.lyrics->MarkLyric(tick, 1));
    if (!testsupport::AllocationFailed()) break;
  }
}

}  // namespace
