// The read side of a song: song lists and their defaults, ticks and measures,
// the event filters and the per-track queries.
#include <gtest/gtest.h>

#include "SongTestSupport.h"

bool operator==(const SmfTimeSigEntry& a, const SmfTimeSigEntry& b) {
  return a.measure == b.measure && a.numerator == b.numerator && a.power == b.power;
}
std::ostream& operator<<(std::ostream& os, const SmfTimeSigEntry& e) {
  return os << "{" << e.measure << ", " << int(e.numerator) << ", " << int(e.power) << "}";
}

namespace {

using namespace songtest;
using testsupport::Cat;
using testsupport::Header;
using testsupport::TrackBuilder;

TEST(ScrivelQueries, AnEmptySongGetsDefaultsThatStay) {
  Song song = NewSong();
  uint8_t first[2] = {};
  EXPECT_EQ(song->GetFirstTimeSignature(nullptr), 6);
  ASSERT_EQ(song->GetFirstTimeSignature(first), 0);
  EXPECT_EQ(first[0], 4);
  EXPECT_EQ(first[1], 2);
  for (int round = 0; round < 2; ++round) {
    EXPECT_EQ(TimeSignatures(*song), (std::vector<SmfTimeSigEntry>{{0, 4, 2}}));
    EXPECT_DOUBLE_EQ(static_cast<double>(song->GetInitialBpm()), 120.0);
    SmfTempoEntry tempo[2] = {};
    ASSERT_EQ(song->GetTempos(tempo), 1);
    EXPECT_FLOAT_EQ(tempo[0].bpm, 120.0f);
    EXPECT_EQ(tempo[0].tick, 0u);
    EXPECT_EQ(song->GetFirstKeySignature(), 0);
    EXPECT_EQ(song->GetKeySignatures(nullptr), 1);
  }
  // Without a list entry yet, ticks count in 4/4.
  Song fresh = NewSong();
  EXPECT_EQ(fresh->TickToMeasure(1000), 2);
}

// A song whose time signatures are 4/4 at 0 and 3/4 at 1920, in track 0; the
// second variant repeats the 4/4 at tick 0 in track 1, as many files do.
Bytes TwoSignatureSong(bool repeatInSecondTrack) {
  TrackBuilder conductor, melody;
  conductor.TimeSig(0, 4, 2).TimeSig(1920, 3, 2).EndOfTrack(1000);
  if (repeatInSecondTrack) melody.TimeSig(0, 4, 2);
  melody.Event(0, {0x90, 0x3C, 0x40}).Event(2400, {0x80, 0x3C, 0x00}).EndOfTrack();
  return Cat({Header(1, 2, 120), conductor.Chunk(), melody.Chunk()});
}

TEST(ScrivelQueries, TicksAndMeasuresFollowTheTimeSignatures) {
  for (bool repeated : {false, true}) {
    Song song = LoadBytes(TwoSignatureSong(repeated));
    SCOPED_TRACE(repeated ? "signature repeated in a second track" : "signatures in one track");
    EXPECT_EQ(TimeSignatures(*song), (std::vector<SmfTimeSigEntry>{{0, 4, 2}, {4, 3, 2}}));
    const std::pair<uint32_t, uint16_t> tickToMeasure[] = {{0, 0},    {479, 0},  {480, 1},  {1919, 3},
                                                           {1920, 4}, {2279, 4}, {2280, 5}, {3000, 7}};
    for (const auto& [tick, measure] : tickToMeasure) EXPECT_EQ(song->TickToMeasure(tick), measure) << tick;
    const std::pair<uint16_t, uint32_t> measureToTick[] = {{0, 0}, {1, 480}, {4, 1920}, {5, 2280}, {7, 3000}};
    for (const auto& [measure, tick] : measureToTick)
      EXPECT_EQ(song->MeasureToTick(measure), tick) << measure;
    EXPECT_EQ(song->GetTrackMeasureCount(1), 6);  // last tick 2400 lies in measure 5
    EXPECT_EQ(song->GetTrackMeasureCount(7), 0);
  }
}

TEST(ScrivelQueries, ASignatureInsideAMeasureStartsANewCount) {
  TrackBuilder t;
  t.TimeSig(0, 4, 2).TimeSig(600, 3, 2).EndOfTrack(600);
  Song song = LoadBytes(Cat({Header(1, 1, 120), t.Chunk()}));
  EXPECT_EQ(TimeSignatures(*song), (std::vector<SmfTimeSigEntry>{{0, 4, 2}, {1, 3, 2}}));
  EXPECT_EQ(song->TickToMeasure(599), 1);
  EXPECT_EQ(song->TickToMeasure(600), 1);
  EXPECT_EQ(song->TickToMeasure(960), 2);
  EXPECT_EQ(song->MeasureToTick(2), 960u);
}

TEST(ScrivelQueries, TicksBeforeALateFirstSignatureAreInMeasureZero) {
  TrackBuilder t;
  t.TimeSig(960, 3, 2).EndOfTrack(960);
  Song song = LoadBytes(Cat({Header(1, 1, 120), t.Chunk()}));
  EXPECT_EQ(song->TickToMeasure(500), 0);
  EXPECT_EQ(song->TickToMeasure(960), 0);
  EXPECT_EQ(song->TickToMeasure(2000), 2);
  EXPECT_EQ(song->MeasureToTick(2), 1680u);
}

TEST(ScrivelQueries, ThousandsOfSignatureChangesKeepMeasuresConsistent) {
  // 4/4 and 3/4 alternating, one measure each: entry i starts measure i.
  TrackBuilder t;
  const int kChanges = 10000;
  for (int i = 0; i < kChanges; ++i) t.TimeSig(i == 0 ? 0 : (i % 2 ? 480 : 360), i % 2 ? 3 : 4, 2);
  t.EndOfTrack(480);
  Song song = LoadBytes(Cat({Header(1, 1, 120), t.Chunk()}));
  const std::vector<SmfTimeSigEntry> signatures = TimeSignatures(*song);
  ASSERT_EQ(signatures.size(), size_t(kChanges));
  uint32_t tick = 0;
  for (int i = 0; i < kChanges; ++i) {
    ASSERT_EQ(signatures[i].measure, i);
    ASSERT_EQ(song->MeasureToTick(static_cast<uint16_t>(i)), tick) << i;
    ASSERT_EQ(song->TickToMeasure(tick), i);
    tick += i % 2 ? 360 : 480;
  }
}

std::vector<std::pair<uint32_t, float>> Tempos(ISmfParser2& song) {
  std::vector<SmfTempoEntry> tempos(song.GetTempos(nullptr));
  song.GetTempos(tempos.data());
  std::vector<std::pair<uint32_t, float>> got;
  for (const SmfTempoEntry& e : tempos) got.emplace_back(e.tick, e.bpm);
  return got;
}

// Tempo lists gathered from several tracks: in tick order, the last of the
// entries at one tick in force, and no entry identical to the one before it.
TEST(ScrivelQueries, SongListsFromSeveralTracksAreInTickOrder) {
  const uint32_t a = 500000, b = 600000, c = 400000;  // 120, 100 and 150 BPM
  struct Case {
    const char* what;
    std::vector<std::vector<std::pair<uint32_t, uint32_t>>> tracks;  // per track: {tick, tempo}
    std::vector<std::pair<uint32_t, float>> expected;                // {tick, bpm}
  };
  const Case cases[] = {
      {"one track", {{{0, a}, {100, b}, {200, b}, {300, a}}}, {{0, 120}, {100, 100}, {300, 120}}},
      {"an earlier copy replaces a later one", {{{0, a}, {100, b}}, {{50, b}}}, {{0, 120}, {50, 100}}},
      {"a repeat of the tempo in force adds nothing",
       {{{0, a}, {100, b}}, {{50, a}}},
       {{0, 120}, {100, 100}}},
      {"at equal ticks the last one offered is in force", {{{0, a}}, {{0, b}}, {{0, c}}}, {{0, 150}}},
      {"a return to a tempo after another track's change",
       {{{0, a}, {1920, a}}, {{960, c}}},
       {{0, 120}, {960, 150}, {1920, 120}}},
      {"interleaved tracks",
       {{{0, a}, {200, b}, {400, a}}, {{100, c}, {300, c}, {500, b}}},
       {{0, 120}, {100, 150}, {200, 100}, {300, 150}, {400, 120}, {500, 100}}},
  };
  for (const Case& k : cases) {
    Bytes file = Header(1, static_cast<uint16_t>(k.tracks.size()), 120);
    for (const auto& events : k.tracks) {
      TrackBuilder t;
      uint32_t previous = 0;
      for (const auto& [tick, tempo] : events) {
        t.Tempo(tick - previous, tempo);
        previous = tick;
      }
      file = Cat({file, t.EndOfTrack().Chunk()});
    }
    Song song = LoadBytes(file);
    EXPECT_EQ(Tempos(*song), k.expected) << k.what;
  }
}

// A song whose tracks change the signature and tempo and come back: 4/4 at
// 120 BPM at ticks 0 and 1920 in track 0, 3/4 at 150 BPM at 960 in track 1.
// With backwards the changes stand in one track whose ticks go back from 1920
// to 960 through deltas that wrap the 32-bit tick.
Bytes ComeBackSong(bool backwards) {
  TrackBuilder first, second;
  first.TimeSig(0, 4, 2).Tempo(0, 500000).TimeSig(1920, 4, 2).Tempo(0, 500000);
  if (backwards) {
    // 15 deltas of 0x0FFFFFFF and one of 0x0FFFFC4F add up to 2^32 - 960.
    for (int i = 0; i < 15; ++i) first.Text(0x0FFFFFFF, 0x01, "");
    first.TimeSig(0x0FFFFC4F, 3, 2).Tempo(0, 400000);
  } else {
    second.TimeSig(960, 3, 2).Tempo(0, 400000);
  }
  first.EndOfTrack();
  second.Event(0, {0x90, 0x3C, 0x40}).Event(2400, {0x80, 0x3C, 0x00}).EndOfTrack();
  return Cat({Header(1, 2, 120), first.Chunk(), second.Chunk()});
}

TEST(ScrivelQueries, AChangeAndTheReturnFromItAreBothKept) {
  const std::vector<std::pair<uint32_t, float>> tempos = {{0, 120.0f}, {960, 150.0f}, {1920, 120.0f}};
  const std::vector<SmfTimeSigEntry> signatures = {{0, 4, 2}, {2, 3, 2}, {4, 4, 2}};
  for (bool backwards : {false, true}) {
    SCOPED_TRACE(backwards ? "ticks going backwards in one track" : "the change in another track");
    Song song = LoadBytes(ComeBackSong(backwards));
    EXPECT_EQ(Tempos(*song), tempos);
    EXPECT_EQ(TimeSignatures(*song), signatures);
    EXPECT_EQ(song->TickToMeasure(2400), 5);
    // The saved song reads back with the same lists.
    SongFile saved({}, "saved.mid");
    ASSERT_EQ(song->SaveAs(saved.Path()), 0);
    Song again = NewSong();
    ASSERT_EQ(again->Load(saved.Path(), nullptr, 0), kSmfLoadOk);
    EXPECT_EQ(Tempos(*again), tempos);
    EXPECT_EQ(TimeSignatures(*again), signatures);
  }
}

TEST(ScrivelQueries, FirstEntriesAreTheOnesInForceAtTickZero) {
  TrackBuilder first, second;
  first.TimeSig(0, 4, 2).Tempo(0, 500000).KeySig(0, 2, 0).EndOfTrack();
  second.TimeSig(0, 6, 3).Tempo(0, 400000).KeySig(0, -3, 0).EndOfTrack();
  Song song = LoadBytes(Cat({Header(1, 2, 120), first.Chunk(), second.Chunk()}));
  EXPECT_DOUBLE_EQ(static_cast<double>(song->GetInitialBpm()), 150.0);
  EXPECT_EQ(song->GetFirstKeySignature(), 0xFD);
  uint8_t signature[2] = {};
  ASSERT_EQ(song->GetFirstTimeSignature(signature), 0);
  EXPECT_EQ(signature[0], 6);
  EXPECT_EQ(signature[1], 3);
  EXPECT_EQ(TimeSignatures(*song), (std::vector<SmfTimeSigEntry>{{0, 6, 3}}));
  EXPECT_EQ(song->GetKeySignatures(nullptr), 1);
}

TEST(ScrivelQueries, KeySignaturesKeepTheirSign) {
  TrackBuilder t;
  t.KeySig(0, -2, 0).KeySig(480, 3, 1).EndOfTrack();
  Song song = LoadBytes(Cat({Header(1, 1, 120), t.Chunk()}));
  EXPECT_EQ(song->GetFirstKeySignature(), 0xFE);
  SmfKeySigEntry keys[2] = {};
  ASSERT_EQ(song->GetKeySignatures(keys), 2);
  EXPECT_EQ(keys[0].sharps, -2);
  EXPECT_EQ(keys[1].sharps, 3);
  EXPECT_EQ(keys[1].tick, 480u);
}

TEST(ScrivelQueries, TemposReportBeatsPerMinute) {
  TrackBuilder t;
  t.Tempo(0, 400000).Tempo(480, 1000000).EndOfTrack();
  Song song = LoadBytes(Cat({Header(1, 1, 120), t.Chunk()}));
  EXPECT_DOUBLE_EQ(static_cast<double>(song->GetInitialBpm()), 150.0);
  SmfTempoEntry tempos[2] = {};
  ASSERT_EQ(song->GetTempos(tempos), 2);
  EXPECT_FLOAT_EQ(tempos[1].bpm, 60.0f);
  EXPECT_EQ(tempos[1].tick, 480u);
}

// One track holding a bit of everything the filters tell apart.
Bytes FilterSong() {
  TrackBuilder t;
  t.Text(0, 0x03, "Lead")              // name
      .Event(0, {0xB0, 0x07, 0x64})    // volume
      .Event(0, {0xB0, 0x00, 0x00})    // bank select: controller 0
      .Event(0, {0x90, 0x28, 0x40})    // lowest note
      .Text(0, 0x05, "la")             // lyric
      .Event(120, {0x90, 0x50, 0x00})  // highest note, velocity 0
      .Event(0, {0x80, 0x28, 0x40})
      .Event(0, {0xF0, 0x01, 0xF7})  // system exclusive: type 0
      .Meta(0, 0x21, {0x00})         // unlisted meta type: type 0
      .Event(240, {0x90, 0x30, 0x40})
      .EndOfTrack();
  return Cat({Header(1, 1, 120), t.Chunk()});
}

struct FilterCase {
  const char* what;
  uint32_t from, to, kind, type, subType;
  uint32_t expected;
};

TEST(ScrivelQueries, EventFiltersMatchKindTypeAndController) {
  Song song = LoadBytes(FilterSong());
  const FilterCase cases[] = {
      {"everything", 0, UINT32_MAX, kSmfAllBits, kSmfAllBits, kSmfAllBits, 11},
      {"note-ons, velocity 0 included", 0, UINT32_MAX, kSmfKindChannel, kSmfTypeNoteOn, kSmfAllBits, 3},
      {"channel messages", 0, UINT32_MAX, kSmfKindChannel, kSmfAllBits, kSmfAllBits, 6},
      {"lyrics, and the types that no mask excludes", 0, UINT32_MAX, kSmfKindMeta | kSmfKindSysEx,
       kSmfMetaLyric, kSmfAllBits, 3},
      {"controllers of sub-type 0 only", 0, UINT32_MAX, kSmfKindChannel, kSmfTypeControl, 0, 1},
      {"tick range is inclusive", 120, 360, kSmfAllBits, kSmfAllBits, kSmfAllBits, 6},
      {"empty range", 1, 119, kSmfAllBits, kSmfAllBits, kSmfAllBits, 0},
      {"end of track, and the unlisted meta type", 0, UINT32_MAX, kSmfKindMeta, kSmfMetaEndOfTrack,
       kSmfAllBits, 2},
  };
  for (const FilterCase& c : cases) {
    EXPECT_EQ(song->CountEvents(0, c.from, c.to, c.kind, c.type, c.subType), c.expected) << c.what;
    std::vector<SmfEvent> out(c.expected + 1, SmfEvent{0xDEAD, 0, 0, nullptr});
    EXPECT_EQ(song->GetEvents(0, c.from, c.to, out.data(), c.kind, c.type, c.subType), 0) << c.what;
    for (uint32_t i = 0; i < c.expected; ++i) EXPECT_NE(out[i].data, nullptr) << c.what;
    EXPECT_EQ(out[c.expected].tick, 0xDEADu) << c.what << ": wrote past the count";
  }
  EXPECT_EQ(song->CountEvents(1, 0, UINT32_MAX, kSmfAllBits, kSmfAllBits, kSmfAllBits), 0u);
}

TEST(ScrivelQueries, TrackQueries) {
  Song song = LoadBytes(FilterSong());
  int16_t low = -1, high = -1;
  EXPECT_EQ(song->GetNoteRange(0, &low, &high), 1);
  EXPECT_EQ(low, 0x28);
  EXPECT_EQ(high, 0x50);
  low = high = -7;
  EXPECT_EQ(song->GetNoteRange(5, &low, &high), 1);
  EXPECT_EQ(low, -7);

  EXPECT_EQ(song->GetTrackName(0, nullptr), 5u);
  EXPECT_EQ(TrackName(*song, 0), "Lead");
  EXPECT_EQ(song->GetTrackName(5, nullptr), 0u);
  EXPECT_EQ(song->GetTrackChunkId(5), 0u);
  EXPECT_EQ(song->GetTrackProgram(5), 0);
  EXPECT_EQ(song->GetProgramChanges(5, nullptr), 0u);

  // An unnamed track, added later: its name is empty, its range not computed.
  const uint16_t added = song->AddTrack(kSmfChunkMTrk);
  EXPECT_EQ(added, 1);
  char name[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(song->GetTrackName(added, name), 1u);
  EXPECT_EQ(name[0], '\0');
  EXPECT_EQ(song->GetNoteRange(added, &low, &high), 1);
  EXPECT_EQ(low, 255);
  EXPECT_EQ(high, 0);
}

TEST(ScrivelQueries, SplitTracksRebuildProgramsAndRangesOnDemand) {
  TrackBuilder t;
  t.Event(0, {0xC1, 0x07})
      .Event(0, {0x91, 0x30, 0x40})
      .Event(0, {0x90, 0x45, 0x40})
      .Event(120, {0x81, 0x34, 0x00})
      .Event(0, {0xC1, 0x09})
      .EndOfTrack();
  Song song = LoadBytes(Cat({Header(0, 1, 120), t.Chunk()}));
  ASSERT_EQ(song->GetTrackCount(), 3);
  // Track 2 holds channel 1.
  EXPECT_EQ(song->GetProgramChanges(2, nullptr), 0u);
  EXPECT_EQ(song->GetTrackProgram(2), 7);
  std::vector<SmfProgramChange> programs(song->GetProgramChanges(2, nullptr));
  song->GetProgramChanges(2, programs.data());
  ASSERT_EQ(programs.size(), 2u);
  EXPECT_EQ(programs[1].status, 0xC1);
  EXPECT_EQ(programs[1].program, 9);
  EXPECT_EQ(programs[1].tick, 120u);
  // Track 1 (channel 0) has no program change: program 0 is assumed.
  EXPECT_EQ(song->GetTrackProgram(1), 0);
  int16_t low = 0, high = 0;
  song->GetNoteRange(2, &low, &high);
  EXPECT_EQ(low, 0x30);
  EXPECT_EQ(high, 0x34);
}

TEST(ScrivelQueries, ShortEventsAddedByCallersAreClassifiedFromTheBytesTheyHave) {
  Song song = NewSong();
  const uint16_t track = song->AddTrack(kSmfChunkMTrk);
  const uint8_t meta[1] = {0xFF};
  const uint8_t control[1] = {0xB0};
  const uint8_t note[2] = {0x90, 0x3C};
  ASSERT_EQ(song->AddEvent(track, kSmfKindMeta, 1, meta, 0), 0);
  ASSERT_EQ(song->AddEvent(track, kSmfKindChannel, 1, control, 0), 0);
  ASSERT_EQ(song->AddEvent(track, kSmfKindChannel, 2, note, 0), 0);
  ASSERT_EQ(song->AddEvent(track, 3, 2, note, 0), 0);  // a kind the filters do not know
  EXPECT_EQ(song->CountEvents(track, 0, 0, kSmfAllBits, kSmfAllBits, kSmfAllBits), 4u);
  // The one-byte control change, and the unknown kind, whose zero bits match any mask.
  EXPECT_EQ(song->CountEvents(track, 0, 0, kSmfKindChannel, kSmfTypeControl, 0), 2u);
  int16_t low = 0, high = 0;
  song->GetNoteRange(track, &low, &high);
  EXPECT_EQ(low, 255);  // a two-byte note has no key to range over
}

}  // namespace
