// Tempo map, bar grid and the song buffer's answers about times and tags.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "../src/MeterMap.h"
#include "../src/TempoMap.h"
#include "SongFixtures.h"

namespace {

TEST(TempoMap, TempoChangesGivenOutOfOrderFormOneTimeline) {
  // Read track by track, a song lists a late tempo before an early one.
  SmfTempoEntry entries[] = {{60.0f, 480}, {120.0f, 0}, {240.0f, 960}};
  TempoMap map(entries, 3, 120.0);
  struct Row {
    double tick, ms;
  } rows[] = {
      {0, 0},       {120, 500},   {480, 2000},  // 120 BPM: 500 ms a quarter
      {600, 3000},  {960, 6000},                // 60 BPM: 1000 ms a quarter
      {1080, 6250}, {2040, 8250},               // 240 BPM, going on past the last entry
  };
  for (const Row& r : rows) {
    EXPECT_NEAR(map.TickToMs(r.tick), r.ms, 1e-6) << "tick " << r.tick;
    EXPECT_NEAR(map.MsToTick(r.ms), r.tick, 1e-6) << "ms " << r.ms;
  }
}

TEST(TempoMap, FirstTempoAlsoHoldsBeforeItsTick) {
  SmfTempoEntry entries[] = {{60.0f, 240}};
  TempoMap map(entries, 1, 120.0);
  EXPECT_NEAR(map.TickToMs(120), 1000, 1e-6);
  EXPECT_NEAR(map.FirstBpm(), 60, 1e-9);
}

TEST(TempoMap, BrokenTemposAreSkippedOrHeldToTheRange) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Row {
    const char* what;
    std::vector<SmfTempoEntry> entries;
    double fallback;
    double msOfQuarter;
  } rows[] = {
      {"nothing: the fallback", {}, 90.0, 60000.0 / 90},
      {"nothing and no usable fallback: 120", {}, 0.0, 500},
      {"not a number, zero and negative skipped", {{nan, 0}, {0.0f, 0}, {-5.0f, 0}, {150.0f, 0}}, 120.0, 400},
      {"too fast held to 1000", {{5000.0f, 0}}, 120.0, 60},
      {"too slow held to 1", {{0.01f, 0}}, 120.0, 60000},
      {"two on one tick: the later wins", {{100.0f, 0}, {200.0f, 0}}, 120.0, 300},
  };
  for (const Row& r : rows) {
    TempoMap map(r.entries.data(), int(r.entries.size()), r.fallback);
    EXPECT_NEAR(map.TickToMs(120), r.msOfQuarter, 1e-6) << r.what;
  }
}

// The steps of the first bars, as (tick, bar, step, beats).
std::vector<GridPoint> Walk(const MeterMap& map, int count) {
  std::vector<GridPoint> points{map.FirstAtOrAfter(0)};
  while (int(points.size()) < count) points.push_back(map.Next(points.back()));
  return points;
}

// Ticks timed in rising order, as a compile times a song's events, get the
// very times the map's own search gives, across every tempo change; a tick
// asked out of order is still right.
TEST(TempoMap, RisingTicksTimeAsTheSearchDoes) {
  SmfTempoEntry entries[] = {{90.0f, 0}, {45.5f, 100}, {200.0f, 100}, {33.3f, 457}, {999.0f, 1000}};
  TempoMap map(entries, 5, 120.0);
  TempoMap::RisingTicks rising(map);
  for (double tick : {-5.0, 0.0, 0.0, 1.0, 99.0, 100.0, 100.5, 456.0, 457.0, 458.0, 999.0, 1000.0, 5000.0,
                      300.0, 301.0, 1000.0, 1e9}) {
    EXPECT_EQ(rising.TickToMs(tick), map.TickToMs(tick)) << "tick " << tick;
  }
}

TEST(MeterMap, QuarterBeatStepsInSeveralMetres) {
  struct Row {
    const char* what;
    std::vector<SmfTimeSigEntry> entries;
    int beats;
    uint32_t beatTicks;
  } rows[] = {
      {"no signature: 4/4", {}, 4, 120},
      {"3/4", {{0, 3, 2}}, 3, 120},
      {"6/8: six beats of an eighth", {{0, 6, 3}}, 6, 60},
      {"2/2", {{0, 2, 1}}, 2, 240},
      {"numerator 0 and a beat below one tick are skipped", {{0, 0, 2}, {0, 3, 2}, {1, 4, 9}}, 3, 120},
  };
  for (const Row& r : rows) {
    MeterMap map(r.entries.data(), int(r.entries.size()));
    int perBar = 4 * r.beats;
    std::vector<GridPoint> points = Walk(map, 2 * perBar + 1);
    for (int i = 0; i < int(points.size()); ++i) {
      const GridPoint& p = points[i];
      SCOPED_TRACE(std::string(r.what) + ", point " + std::to_string(i));
      EXPECT_EQ(p.bar, i / perBar);
      EXPECT_EQ(p.step, i % perBar);
      EXPECT_EQ(p.beats, r.beats);
      EXPECT_EQ(p.tick, uint32_t(p.bar) * r.beats * r.beatTicks + uint32_t(p.step) * r.beatTicks / 4);
    }
  }
}

TEST(MeterMap, SignatureChangesStartAtTheirMeasure) {
  // Two bars of 3/4 (360 ticks each), then 6/8 from measure 2.
  SmfTimeSigEntry entries[] = {{2, 6, 3}, {0, 3, 2}};
  MeterMap map(entries, 2);
  GridPoint third = map.FirstAtOrAfter(720);
  EXPECT_EQ(third.bar, 2);
  EXPECT_EQ(third.step, 0);
  EXPECT_EQ(third.beats, 6);
  GridPoint last = map.FirstAtOrAfter(719);  // the last quarter-beat of bar 1 is at 690
  EXPECT_EQ(last.tick, 720u);
  GridPoint fourth = map.FirstAtOrAfter(721);
  EXPECT_EQ(fourth.tick, 735u);  // quarter beats of 15 ticks
  EXPECT_EQ(fourth.step, 1);
  EXPECT_EQ(map.FirstAtOrAfter(1080).bar, 3);
}

TEST(SongBuffer, AnswersTimesTagsAndLength) {
  SongSpec spec;
  spec.tempos = {{60.0f, 240}, {120.0f, 0}};
  spec.channel[1].Note(0, 120, 0, 60).Note(480, 120, 0, 62);
  spec.markers[2].Marker(240, "CLST").Marker(360, "WDOF").Marker(480, "CLST");
  spec.markers[2].Meta(300, 0x80, {'A', 'B'});  // too short to be a tag
  CSongBuffer buffer;
  spec.FillBuffer(&buffer);
  EXPECT_EQ(buffer.GetEventTime(-1), -1);
  EXPECT_EQ(buffer.GetEventTime(0), 0);
  EXPECT_EQ(buffer.GetEventTime(240), 1000);
  EXPECT_EQ(buffer.GetEventTime(360), 2000);
  EXPECT_EQ(buffer.GetEventTime(1200), 9000);  // past the last event
  EXPECT_EQ(buffer.FindTag(SmfChunkId('C', 'L', 'S', 'T')), 240);
  EXPECT_EQ(buffer.FindTag(SmfChunkId('X', 'X', 'X', 'X')), -1);
  EXPECT_EQ(buffer.Finish(), 1000 + 360 * 1000 / 120);  // the last note-off at 600
  EXPECT_EQ(buffer.Finish(), buffer.Finish());
}

TEST(SongBuffer, EmptyOrClearedBufferHasNoLength) {
  CSongBuffer buffer;
  EXPECT_EQ(buffer.Finish(), 0);
  SongSpec spec;
  spec.channel[0].Note(0, 480, 0, 60);
  spec.FillBuffer(&buffer);
  EXPECT_GT(buffer.Finish(), 0);
  buffer.Clear();
  EXPECT_EQ(buffer.Finish(), 0);
  buffer.AddTrackEvents(0, nullptr, 5);
  buffer.AddLyrics(0, nullptr, 5);
  EXPECT_EQ(buffer.Finish(), 0);
}

TEST(SongBuffer, KeepsCopiesOfTheEventsItWasGiven) {
  CSongBuffer buffer;
  {
    testsupport::Bytes note = {0x90, 60, 100};
    SmfEvent event{480, 1, 3, note.data()};
    buffer.AddTrackEvents(0, &event, 1);
    note.assign({0x00, 0x00, 0x00});  // the parser's bytes change or go
  }
  std::shared_ptr<const CompiledSong> song = buffer.Compile(120);
  ASSERT_EQ(song->events.size(), 1u);
  EXPECT_EQ(song->events[0].value, 0x643C90u);
  EXPECT_EQ(buffer.Finish(), 2000);
}

TEST(SongBuffer, MalformedChannelEventsAreSkipped) {
  TrackEvents track;
  track.Add(0, 1, {});                  // no bytes
  track.Add(0, 1, {0x90, 60});          // a note cut short
  track.Add(0, 1, {0x3C, 60, 100});     // no status
  track.Add(0, 1, {0xF0, 0x7E, 0xF7});  // system exclusive
  track.Add(0, 1, {0xC0});              // program without its number
  track.Program(120, 0, 5);
  CSongBuffer buffer;
  buffer.AddTrackEvents(0, track.data(), track.size());
  std::shared_ptr<const CompiledSong> song = buffer.Compile(120);
  ASSERT_EQ(song->events.size(), 1u);
  EXPECT_EQ(song->events[0].value, 0x05C0u);
}

// One event as a test gave it to the buffer.
struct Given {
  uint32_t tick;
  SongEventKind kind;
  int track;
  uint32_t value;
};

// The compiled song holds the given events as a stable sort by tick, kind and
// track would order them; with a map, each is also timed as the map times it.
void ExpectPlayingOrder(const CompiledSong& song, std::vector<Given> given, const TempoMap* map) {
  std::stable_sort(given.begin(), given.end(), [](const Given& a, const Given& b) {
    if (a.tick != b.tick) return a.tick < b.tick;
    if (a.kind != b.kind) return a.kind < b.kind;
    return a.track < b.track;
  });
  ASSERT_EQ(song.events.size(), given.size());
  for (size_t i = 0; i < given.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(song.events[i].tick, given[i].tick);
    EXPECT_EQ(song.events[i].kind, given[i].kind);
    EXPECT_EQ(song.events[i].track, given[i].track);
    EXPECT_EQ(song.events[i].value, given[i].value);
    if (map) {
      EXPECT_EQ(song.events[i].ms, map->TickToMs(given[i].tick));
    }
  }
}

// The playing order is by tick, then kind, then track, and of equal ones the
// order given; the events come in runs of one call each, some out of tick order.
TEST(SongBuffer, CompiledEventsPlayInTickKindTrackThenGivenOrder) {
  TrackEvents late, early, unordered, lyrics, markers;
  late.Control(0, 1, 7, 1).Note(240, 120, 1, 60).Control(480, 1, 7, 2);
  early.Control(0, 0, 7, 3).Note(240, 0, 0, 62).Control(240, 0, 7, 4);
  unordered.Control(480, 2, 7, 5).Control(120, 2, 7, 6).Control(120, 2, 7, 7).Control(600, 2, 7, 8);
  lyrics.Lyric(240, "la").Lyric(240, "li").Lyric(0, "lo");
  markers.Marker(240, "CLST").Marker(240, "CLED");
  CSongBuffer buffer;
  buffer.AddTrackEvents(2, late.data(), late.size());
  buffer.AddTrackEvents(1, early.data(), early.size());
  buffer.AddTrackEvents(3, unordered.data(), unordered.size());
  buffer.AddTrackEvents(2, early.data(), early.size());  // the same track given twice
  buffer.AddMarkers(4, markers.data(), markers.size());
  buffer.AddLyrics(1, lyrics.data(), lyrics.size());
  buffer.AddLyrics(0, lyrics.data(), lyrics.size());

  // What the buffer holds, in the order given, by a sort that keeps that order.
  std::vector<Given> given;
  auto channel = [&](int track, const TrackEvents& events) {
    for (int i = 0; i < events.size(); ++i) {
      const SmfEvent& e = events.data()[i];
      given.push_back({e.tick, SongEventKind::kChannel, track,
                       uint32_t(e.data[0]) | uint32_t(e.data[1]) << 8 | uint32_t(e.data[2]) << 16});
    }
  };
  channel(2, late);
  channel(1, early);
  channel(3, unordered);
  channel(2, early);
  given.push_back({240, SongEventKind::kMarker, 4, 0x54534C43});
  given.push_back({240, SongEventKind::kMarker, 4, 0x44454C43});
  for (int track : {1, 0})
    for (uint32_t tick : {240u, 240u, 0u}) given.push_back({tick, SongEventKind::kLyric, track, 0});

  std::shared_ptr<const CompiledSong> song = buffer.Compile(120);
  ExpectPlayingOrder(*song, std::move(given), nullptr);
  EXPECT_EQ(song->endTick, 600u);
}

// Many tracks that play together, given out of order and some with ticks
// going back (which starts a new run), come out as a stable sort by tick,
// kind and track would put them, each timed as the tempo map times it.
TEST(SongBuffer, ManyTracksPlayingTogetherMergeAsAStableSortWould) {
  std::vector<Given> given;
  std::vector<TrackEvents> tracks(40), lyrics(3);
  std::vector<int> trackNumbers;
  for (int t = 0; t < 40; ++t) {
    const int track = (t * 17) % 40;  // given out of track order
    trackNumbers.push_back(track);
    for (int i = 0; i < 60; ++i) {
      // Every few events a track jumps back a little; tracks share ticks.
      const uint32_t tick = uint32_t(i * 30 + (i % 7 == 6 ? 0 : (t % 3) * 30) - (i % 11 == 10 ? 45 : 0));
      const int value = (t + i) % 128;
      tracks[t].Control(tick, t % 16, 7, value);
      given.push_back(
          {tick, SongEventKind::kChannel, track, uint32_t(0xB0 | t % 16) | 7u << 8 | uint32_t(value) << 16});
    }
  }
  for (int l = 0; l < 3; ++l) {
    for (int i = 0; i < 30; ++i) {
      lyrics[l].Lyric(uint32_t(i * 60), "la");
      given.push_back({uint32_t(i * 60), SongEventKind::kLyric, 2 - l, 0});
    }
  }
  CSongBuffer buffer;
  SmfTempoEntry tempos[] = {{100.0f, 0}, {37.0f, 450}, {180.0f, 900}};
  buffer.SetTempos(tempos, 3);
  for (int t = 0; t < 40; ++t) buffer.AddTrackEvents(trackNumbers[t], tracks[t].data(), tracks[t].size());
  for (int l = 0; l < 3; ++l) buffer.AddLyrics(2 - l, lyrics[l].data(), lyrics[l].size());

  std::shared_ptr<const CompiledSong> song = buffer.Compile(120);
  const TempoMap map(tempos, 3, 120.0);
  const uint32_t lastTick = std::max_element(given.begin(), given.end(), [](const Given& a, const Given& b) {
                              return a.tick < b.tick;
                            })->tick;
  ExpectPlayingOrder(*song, std::move(given), &map);
  EXPECT_EQ(song->lengthMs, map.TickToMs(lastTick));
}

// The player's compile and the buffer's own questions share one compiled song
// when the fallback tempo cannot matter, and never when it does.
TEST(SongBuffer, OneCompileServesThePlayerAndTheBufferUnlessTheFallbackTempoCounts) {
  TrackEvents notes;
  notes.Note(0, 480, 0, 60);
  CSongBuffer buffer;
  buffer.AddTrackEvents(0, notes.data(), notes.size());
  // No tempo: 120 BPM for the buffer, the player's own for the player.
  EXPECT_EQ(buffer.Finish(), 2000);
  std::shared_ptr<const CompiledSong> slow = buffer.Compile(60);
  EXPECT_DOUBLE_EQ(slow->lengthMs, 4000);
  EXPECT_EQ(buffer.Finish(), 2000);
  EXPECT_EQ(buffer.Compile(120).get(), buffer.Compile(120).get());
  EXPECT_NE(buffer.Compile(60).get(), buffer.Compile(120).get());

  SmfTempoEntry tempo{240.0f, 0};
  buffer.SetTempos(&tempo, 1);
  std::shared_ptr<const CompiledSong> player = buffer.Compile(60);
  EXPECT_DOUBLE_EQ(player->lengthMs, 1000);
  EXPECT_EQ(buffer.Finish(), 1000);
  EXPECT_EQ(buffer.Compile(120).get(), player.get());

  // A change makes a new song; the one the player holds stays as it was.
  buffer.Clear();
  notes.Note(960, 480, 0, 62);
  buffer.AddTrackEvents(0, notes.data(), notes.size());
  EXPECT_NE(buffer.Compile(60).get(), player.get());
  EXPECT_EQ(buffer.Finish(), 6000);
  EXPECT_DOUBLE_EQ(player->lengthMs, 1000);
}

// A song compiled after a larger one went takes over the memory of its event
// list, and nothing else of it.
TEST(SongBuffer, ASongCompiledAfterALargerOneWentHoldsItsOwnEventsOnly) {
  TrackEvents many, few;
  for (uint32_t i = 0; i < 1000; ++i) many.Note(i * 120, 60, 0, 60 + int(i % 12));
  few.Note(0, 120, 1, 50).Note(240, 120, 1, 52);
  {
    CSongBuffer large;
    large.AddTrackEvents(0, many.data(), many.size());
    EXPECT_EQ(large.Compile(120)->events.size(), 2000u);
  }
  CSongBuffer small;
  small.AddTrackEvents(1, few.data(), few.size());
  std::shared_ptr<const CompiledSong> song = small.Compile(120);
  ASSERT_EQ(song->events.size(), 4u);
  EXPECT_EQ(song->events[0].value, 0x643291u);
  EXPECT_EQ(song->events[3].tick, 360u);
  EXPECT_EQ(song->endTick, 360u);
  EXPECT_EQ(small.Finish(), 1500);
}

}  // namespace
