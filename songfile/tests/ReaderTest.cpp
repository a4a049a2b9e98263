// Loading MIDI files: header scanning, event decoding, rescaling, the song
// lists, format-0 splitting and damaged files.
#include <gtest/gtest.h>

#include "SongTestSupport.h"

namespace {

using namespace songtest;
using testsupport::Cat;
using testsupport::Chunk;
using testsupport::ChunkDeclaring;
using testsupport::Header;
using testsupport::TrackBuilder;

const Bytes kSysEx = {0xF0, 0x05, 0x43, 0x10, 0x4C, 0x00, 0xF7};

// One track, division 120: song-wide meta events, a named track, a program,
// notes on channels 0, 1 and 9, and a text event between two notes that share
// a running status.
Bytes FormatZeroSong() {
  TrackBuilder t;
  t.Tempo(0, 500000)                 // FF 51 03 07 A1 20
      .TimeSig(0, 4, 2)              // FF 58 04 04 02 18 08
      .KeySig(0, 0, 0)               // FF 59 02 00 00
      .Text(0, 0x03, "Song")         // track name
      .Event(0, {0xC0, 0x05})        // program 5 on channel 0
      .Event(0, {0x90, 0x3C, 0x40})  // note on
      .Text(60, 0x01, "abc")         // text between the notes
      .Event(0, {0x3E, 0x40})        // running status: 90 3E 40
      .Event(0, {0x91, 0x40, 0x40})  // channel 1
      .Event(0, {0x99, 0x24, 0x64})  // channel 9: drums
      .Event(0, kSysEx)
      .Event(120, {0x80, 0x3C, 0x00})
      .EndOfTrack();
  return Cat({Header(0, 1, 120), t.Chunk()});
}

TEST(ScrivelLoad, FormatZeroIsSplitIntoOneTrackPerChannel) {
  int result = -1;
  Song song = LoadBytes(FormatZeroSong(), &result);
  ASSERT_EQ(result, kSmfLoadOk);
  EXPECT_EQ(song->GetFormat(), 1);
  EXPECT_EQ(song->GetTrackCount(), 4);
  EXPECT_EQ(song->GetDrumTrack(), 3);
  EXPECT_EQ(TrackName(*song, 0), "");
  EXPECT_EQ(TrackName(*song, 1), "1");
  EXPECT_EQ(TrackName(*song, 2), "2");
  EXPECT_EQ(TrackName(*song, 3), "3");

  const std::vector<Ev> melody = EventsWithoutEnd(*song, 1);
  const std::vector<Ev> expected = {{0, 1, {0xC0, 0x05}},
                                    {0, 1, {0x90, 0x3C, 0x40}},
                                    {60, 1, {0x90, 0x3E, 0x40}},
                                    {180, 1, {0x80, 0x3C, 0x00}}};
  EXPECT_EQ(melody, expected);
  EXPECT_EQ(EventsWithoutEnd(*song, 3), (std::vector<Ev>{{60, 1, {0x99, 0x24, 0x64}}}));

  // Track 0 keeps everything that is not a channel message, in file order.
  const std::vector<Ev> meta = EventsWithoutEnd(*song, 0);
  ASSERT_EQ(meta.size(), 6u);
  EXPECT_EQ(meta[4], (Ev{60, kSmfKindMeta, {0xFF, 0x01, 0x03, 'a', 'b', 'c'}}));
  EXPECT_EQ(meta[5], (Ev{60, kSmfKindSysEx, kSysEx}));
  // Every new track ends in an end-of-track event at its last tick.
  for (int track = 0; track < 4; ++track) {
    const std::vector<Ev> all = Events(*song, track);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back().bytes, (Bytes{0xFF, 0x2F, 0x00})) << track;
  }
  EXPECT_EQ(song->GetTempos(nullptr), 1);
  EXPECT_EQ(song->GetKeySignatures(nullptr), 1);
}

// A format-0 file holds one track: chunks after it are not read, whatever the
// header counts.
TEST(ScrivelLoad, FormatZeroReadsOnlyItsFirstTrackChunk) {
  TrackBuilder other;
  other.Event(0, {0x91, 0x40, 0x40}).Event(120, {0x81, 0x40, 0x00}).EndOfTrack();
  TrackBuilder first;
  first.Event(0, {0x90, 0x3C, 0x40}).Event(120, {0x80, 0x3C, 0x00}).EndOfTrack();
  int result = -1;
  Song song = LoadBytes(Cat({Header(0, 2, 120), first.Chunk(), other.Chunk()}), &result);
  ASSERT_EQ(result, kSmfLoadOk);
  EXPECT_EQ(song->GetTrackCount(), 2);
  EXPECT_EQ(EventsWithoutEnd(*song, 1),
            (std::vector<Ev>{{0, 1, {0x90, 0x3C, 0x40}}, {120, 1, {0x80, 0x3C, 0x00}}}));
  EXPECT_EQ(song->GetTrackChunkId(2), 0u);
}

TEST(ScrivelLoad, BytesBeforeTheHeaderAreSkipped) {
  Bytes junk = {'R', 'I', 'F', 'F', 'M', 'T', 'h', 0x00, 0x01};
  int plain = -1, prefixed = -1;
  Song a = LoadBytes(FormatZeroSong(), &plain);
  Song b = LoadBytes(Cat({junk, FormatZeroSong()}), &prefixed);
  ASSERT_EQ(plain, kSmfLoadOk);
  ASSERT_EQ(prefixed, kSmfLoadOk);
  ASSERT_EQ(b->GetTrackCount(), a->GetTrackCount());
  for (int track = 0; track < a->GetTrackCount(); ++track) EXPECT_EQ(Events(*a, track), Events(*b, track));
}

struct RescaleCase {
  uint16_t division;
  std::vector<uint32_t> rawTicks;
  std::vector<uint32_t> ticks;
};

TEST(ScrivelLoad, TicksAreRescaledTo120PerQuarter) {
  const RescaleCase cases[] = {
      {480, {1, 4, 5, 480}, {1, 1, 2, 120}},  // the remainder threshold is 60 for every division
      {96, {1, 3}, {1, 4}},
      {120, {7, 100000}, {7, 100000}},
      {960, {40000000}, {5000000}},       // raw x 120 passes 2^32
      {0xE728, {500, 1000}, {120, 240}},  // 25 frames of 40 ticks: 500 ticks a quarter at 120 BPM
  };
  for (const RescaleCase& c : cases) {
    TrackBuilder t;
    uint32_t previous = 0;
    for (uint32_t raw : c.rawTicks) {
      t.Event(raw - previous, {0x90, 0x3C, 0x40});
      previous = raw;
    }
    t.EndOfTrack();
    int result = -1;
    Song song = LoadBytes(Cat({Header(1, 1, c.division), t.Chunk()}), &result);
    ASSERT_EQ(result, kSmfLoadOk);
    std::vector<uint32_t> ticks;
    for (const Ev& e : Events(*song, 0, kSmfKindChannel)) ticks.push_back(e.tick);
    EXPECT_EQ(ticks, c.ticks) << "division " << c.division;
  }
}

// Three tracks and a control track.
Bytes FormatOneSong() {
  TrackBuilder conductor, melody, bass, control;
  conductor.Tempo(0, 600000).Tempo(960, 600000).EndOfTrack();
  melody.Text(0, 0x03, "Melody")
      .Event(0, {0x90, 0x40, 0x40})
      .Event(240, {0xC0, 0x10})
      .Event(0, {0x80, 0x40, 0x00})
      .EndOfTrack();
  bass.Event(0, {0x91, 0x28, 0x40}).Event(480, {0x81, 0x28, 0x00}).EndOfTrack();
  control.Meta(0, 0x80, {'C', 'L', 'S', 'T'}).Meta(480, 0x80, {'C', 'L', 'S', 'T'}).EndOfTrack();
  return Cat({Header(1, 4, 120), conductor.Chunk(), melody.Chunk(), bass.Chunk(), control.Chunk("MCtl")});
}

TEST(ScrivelLoad, FormatOneKeepsChunkIdsProgramsAndOneEntryPerTempo) {
  int result = -1;
  Song song = LoadBytes(FormatOneSong(), &result);
  ASSERT_EQ(result, kSmfLoadOk);
  EXPECT_EQ(song->GetTrackCount(), 4);
  EXPECT_EQ(song->GetTrackChunkId(3), kSmfChunkMCtl);
  EXPECT_EQ(song->GetTrackChunkId(1), kSmfChunkMTrk);
  EXPECT_EQ(song->GetDrumTrack(), -1);
  EXPECT_EQ(TrackName(*song, 1), "Melody");

  // The identical tempo at 960 adds nothing; the earlier tick stands. Both stay in the track.
  std::vector<SmfTempoEntry> tempos(song->GetTempos(nullptr));
  song->GetTempos(tempos.data());
  ASSERT_EQ(tempos.size(), 1u);
  EXPECT_EQ(tempos[0].tick, 0u);
  EXPECT_FLOAT_EQ(tempos[0].bpm, 100.0f);
  EXPECT_EQ(Events(*song, 0, kSmfKindMeta, kSmfMetaTempo).size(), 2u);

  // The implicit program 0 at the first note, then the real one.
  std::vector<SmfProgramChange> programs(song->GetProgramChanges(1, nullptr));
  song->GetProgramChanges(1, programs.data());
  ASSERT_EQ(programs.size(), 2u);
  EXPECT_EQ(programs[0].tick, 0u);
  EXPECT_EQ(programs[0].program, 0);
  EXPECT_EQ(programs[1].tick, 240u);
  EXPECT_EQ(programs[1].program, 0x10);
  EXPECT_EQ(song->GetTrackProgram(1), 0);

  EXPECT_EQ(song->CountEvents(3, 0, UINT32_MAX, kSmfKindMeta, kSmfMetaControl, 0), 2u);
}

TEST(ScrivelLoad, TrackListLoadsOnlyTheNamedChunksUnderTheirOwnIndex) {
  SongFile file(FormatOneSong());
  Song song = NewSong();
  const uint16_t third[] = {2};
  ASSERT_EQ(song->Load(file.Path(), third, 1), kSmfLoadOk);
  EXPECT_EQ(song->GetTrackChunkId(2), kSmfChunkMTrk);
  EXPECT_EQ(song->GetTrackChunkId(0), 0u);
  EXPECT_EQ(song->GetTrackChunkId(1), 0u);
  EXPECT_EQ(EventsWithoutEnd(*song, 2).size(), 2u);

  // A repeated entry does not make the chunk after it be skipped.
  const uint16_t repeated[] = {1, 1, 2};
  ASSERT_EQ(song->Load(file.Path(), repeated, 3), kSmfLoadOk);
  EXPECT_NE(song->GetTrackChunkId(1), 0u);
  EXPECT_NE(song->GetTrackChunkId(2), 0u);
  EXPECT_EQ(song->GetTrackChunkId(3), 0u);
}

TEST(ScrivelLoad, RefusedCallsLeaveTheSongAsItWas) {
  SongFile file(FormatOneSong());
  Song song = NewSong();
  ASSERT_EQ(song->Load(file.Path(), nullptr, 0), kSmfLoadOk);
  const uint16_t list[] = {0};
  EXPECT_EQ(song->Load(file.Path(), list, 0), kSmfLoadBadTrackList);
  EXPECT_EQ(song->Load(file.Path(), nullptr, 1), kSmfLoadBadTrackList);
  EXPECT_EQ(song->Load((file.Dir().Path() + "\\missing.mid").c_str(), nullptr, 0), kSmfLoadCannotOpen);
  EXPECT_EQ(song->Load(nullptr, nullptr, 0), kSmfLoadCannotOpen);
  EXPECT_EQ(song->Load(file.Dir().Path().c_str(), nullptr, 0), kSmfLoadCannotOpen);  // a folder
  EXPECT_EQ(song->GetTrackCount(), 4);
  EXPECT_EQ(TrackName(*song, 1), "Melody");
}

// An endless device must not make a load read forever.
TEST(ScrivelLoad, ADeviceIsNoSong) {
  Song song = NewSong();
  EXPECT_EQ(song->Load("Z:\\dev\\zero", nullptr, 0), kSmfLoadNoHeader);
  Legacy legacy(CreateScrivel(1));
  EXPECT_EQ(legacy->Load("Z:\\dev\\zero"), 1);
}

TEST(ScrivelLoad, SplitByChannelRefusesUnlessTheSongHoldsOneTrack) {
  Song song = LoadBytes(FormatOneSong());
  EXPECT_EQ(song->SplitByChannel(), kSmfSplitRefused);
  EXPECT_EQ(song->GetTrackCount(), 4);
  Song empty = NewSong();
  EXPECT_EQ(empty->SplitByChannel(), kSmfSplitRefused);

  // A single empty track made by AddTrack splits into track 0 alone, ended at tick 0.
  ASSERT_EQ(empty->AddTrack(kSmfChunkMTrk), 0);
  EXPECT_EQ(empty->SplitByChannel(), kSmfLoadOk);
  EXPECT_EQ(empty->GetTrackCount(), 1);
  EXPECT_EQ(Events(*empty, 0), (std::vector<Ev>{{0, kSmfKindMeta, {0xFF, 0x2F, 0x00}}}));
}

// Damaged files: each loads what can be read, or fails with a code, and
// keeps the events before the damage.
struct DamageCase {
  const char* what;
  Bytes file;
  int result;
  std::vector<std::pair<int, size_t>> eventsPerTrack;  // track index, events including end-of-track
};

const Bytes kNote = {0x00, 0x90, 0x3C, 0x40};

TrackBuilder GoodTrackBuilder() {
  TrackBuilder t;
  t.Event(0, {0x90, 0x3C, 0x40}).Event(120, {0x80, 0x3C, 0x00}).EndOfTrack();
  return t;
}
Bytes GoodTrack() { return GoodTrackBuilder().Chunk(); }

std::vector<DamageCase> DamageCases() {
  const Bytes goodBody = GoodTrackBuilder().Body();
  return {
      {"file ends inside a delta VLQ",
       Cat({Header(1, 1, 120), Chunk("MTrk", Cat({kNote, {0x81}}))}),
       0,
       {{0, 1}}},
      {"file ends inside event data",
       Cat({Header(1, 1, 120), ChunkDeclaring("MTrk", 100, Cat({kNote, {0x00, 0x90, 0x3C}}))}),
       0,
       {{0, 1}}},
      {"meta length 8F FF FF 7F at the end",
       Cat({Header(1, 1, 120), Chunk("MTrk", Cat({kNote, {0x00, 0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0x7F}}))}),
       0,
       {{0, 1}}},
      {"system exclusive longer than its chunk",
       Cat({Header(1, 2, 120), Chunk("MTrk", Cat({kNote, {0x00, 0xF0, 0x10, 0x01, 0x02, 0xF7}})),
            GoodTrack()}),
       0,
       {{0, 1}, {1, 3}}},
      {"empty chunk before a good track",
       Cat({Header(1, 2, 120), Chunk("MTrk", {}), GoodTrack()}),
       0,
       {{0, 0}, {1, 3}}},
      {"track without end-of-track before a good track",
       Cat({Header(1, 2, 120), Chunk("MTrk", Cat({kNote, {0x78, 0x80, 0x3C, 0x00}})), GoodTrack()}),
       0,
       {{0, 2}, {1, 3}}},
      {"two pad bytes after end-of-track",
       Cat({Header(1, 2, 120), Chunk("MTrk", Cat({goodBody, {0x00, 0x00}})), GoodTrack()}),
       0,
       {{0, 3}, {1, 3}}},
      {"declared length too short",
       Cat({Header(1, 2, 120), ChunkDeclaring("MTrk", 4, goodBody), GoodTrack()}),
       0,
       {{0, 3}, {1, 3}}},
      {"repeated end-of-track markers",
       Cat({Header(1, 2, 120),
            Chunk("MTrk", Cat({goodBody, {0x00, 0xFF, 0x2F, 0x00, 0x00, 0xFF, 0x2F, 0x00}})), GoodTrack()}),
       0,
       {{0, 3}, {1, 3}}},
      {"header counts 3 chunks, file has 2",
       Cat({Header(1, 3, 120), GoodTrack(), GoodTrack()}),
       0,
       {{0, 3}, {1, 3}}},
      {"foreign chunk where the last track was expected",
       Cat({Header(1, 2, 120), GoodTrack(), Chunk("XYZW", goodBody)}),
       0,
       {{0, 3}}},
      {"foreign chunk between two tracks",
       Cat({Header(1, 2, 120), GoodTrack(), Chunk("XFIH", {0x01, 0x02, 0x03}), GoodTrack()}),
       0,
       {{0, 3}, {1, 3}}},
      {"foreign chunks before the first track and after a short declared length",
       Cat({Header(1, 2, 120), Chunk("junk", {}), ChunkDeclaring("MTrk", 4, goodBody),
            Chunk("Fo o", goodBody), GoodTrack()}),
       0,
       {{0, 3}, {1, 3}}},
      {"chunk head that is no id",
       Cat({Header(1, 2, 120), GoodTrack(), Chunk("XF\x01H", {0x01}), GoodTrack()}),
       4,
       {{0, 3}}},
      {"foreign chunk longer than the file",
       Cat({Header(1, 2, 120), GoodTrack(), ChunkDeclaring("XFIH", 1000, {0x01}), GoodTrack()}),
       4,
       {{0, 3}}},
      {"format 0 after a foreign chunk",
       Cat({Header(0, 1, 120), Chunk("XFIH", {0x01}), GoodTrack()}),
       0,
       {{1, 3}}},
      {"header length 8",
       Cat({{'M', 'T', 'h', 'd'}, testsupport::Be32(8), Header(1, 1, 120), GoodTrack()}),
       3,
       {}},
      {"format 2", Cat({Header(2, 1, 120), GoodTrack()}), 5, {}},
      {"division 0", Cat({Header(1, 1, 0), GoodTrack()}), 3, {}},
      {"no header at all", Cat({GoodTrack()}), 2, {}},
      {"empty file", {}, 2, {}},
      {"header cut short", Bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1}, 3, {}},
      {"format 0 whose first chunk is not a track", Cat({Header(0, 1, 120), Chunk("XTrk", goodBody)}), 4, {}},
      {"delta with 6 continuation bytes",
       Cat({Header(1, 1, 120),
            Chunk("MTrk", Cat({{0x81, 0x81, 0x81, 0x81, 0x81, 0x81, 0x00, 0x90, 0x3C, 0x40},
                               {0x00, 0xFF, 0x2F, 0x00}}))}),
       0,
       {{0, 2}}},
      {"data byte before any status",
       Cat({Header(1, 1, 120), Chunk("MTrk", Cat({{0x00, 0x3C}, kNote, {0x00, 0xFF, 0x2F, 0x00}}))}),
       0,
       {{0, 2}}},
      {"system status in a track",
       Cat({Header(1, 1, 120),
            Chunk("MTrk", Cat({kNote, {0x00, 0xF8, 0x00, 0x3C}, {0x00, 0xFF, 0x2F, 0x00}}))}),
       0,
       {{0, 2}}},
  };
}

TEST(ScrivelLoad, DamagedFilesLoadWhatCanBeReadOrFailWithACode) {
  for (const DamageCase& c : DamageCases()) {
    int result = -1;
    Song song = LoadBytes(c.file, &result);
    EXPECT_EQ(result, c.result) << c.what;
    for (const auto& [track, count] : c.eventsPerTrack) {
      EXPECT_NE(song->GetTrackChunkId(track), 0u) << c.what << ": track " << track;
      EXPECT_EQ(Events(*song, track).size(), count) << c.what << ": track " << track;
    }
    if (c.eventsPerTrack.empty()) {
      EXPECT_EQ(song->GetTrackChunkId(0), 0u) << c.what;
    }
    // Whatever was loaded answers the queries.
    song->GetTimeSignatures(nullptr);
    song->TickToMeasure(100000);
    song->MeasureToTick(100);
    song->GetInitialBpm();
  }
}

// Song-list events that are too short or meaningless stay in their track but
// stay out of the lists, so the queries keep their defaults.
struct ListCase {
  const char* what;
  Bytes meta;  // FF, type, length, data
};

TEST(ScrivelLoad, MalformedListEventsStayInTheTrackButOutOfTheLists) {
  const ListCase cases[] = {
      {"time signature numerator 0", {0xFF, 0x58, 0x04, 0x00, 0x02, 0x18, 0x08}},
      {"time signature 1/512", {0xFF, 0x58, 0x04, 0x01, 0x09, 0x18, 0x08}},
      {"time signature of one byte", {0xFF, 0x58, 0x01, 0x04}},
      {"tempo of no bytes", {0xFF, 0x51, 0x00}},
      {"tempo 0", {0xFF, 0x51, 0x03, 0x00, 0x00, 0x00}},
      {"key signature of one byte", {0xFF, 0x59, 0x01, 0xFE}},
  };
  for (const ListCase& c : cases) {
    TrackBuilder t;
    t.Event(0, c.meta).Event(0, {0x90, 0x3C, 0x40}).Event(1920, {0x80, 0x3C, 0}).EndOfTrack();
    int result = -1;
    Song song = LoadBytes(Cat({Header(1, 1, 120), t.Chunk()}), &result);
    ASSERT_EQ(result, kSmfLoadOk) << c.what;
    EXPECT_EQ(Events(*song, 0)[0].bytes, c.meta) << c.what;
    const std::vector<SmfTimeSigEntry> signatures = TimeSignatures(*song);
    ASSERT_EQ(signatures.size(), 1u) << c.what;
    EXPECT_EQ(signatures[0].numerator, 4) << c.what;
    EXPECT_EQ(song->TickToMeasure(1920), 4) << c.what;
    EXPECT_EQ(song->MeasureToTick(4), 1920u) << c.what;
    EXPECT_DOUBLE_EQ(static_cast<double>(song->GetInitialBpm()), 120.0) << c.what;
    EXPECT_EQ(song->GetFirstKeySignature(), 0) << c.what;
  }
}

}  // namespace
