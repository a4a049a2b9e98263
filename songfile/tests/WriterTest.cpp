// Building songs and writing them as MIDI files: byte layout, round trips,
// events out of order, and saves that fail.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "SongTestSupport.h"

namespace {

using namespace songtest;
using testsupport::Cat;
using testsupport::Header;
using testsupport::ReadBytes;
using testsupport::TrackBuilder;

const Bytes kEnd = {0x00, 0xFF, 0x2F, 0x00};

void Add(ISmfParser2& song, int track, uint32_t tick, const Bytes& bytes, bool insert = false) {
  const uint32_t kind =
      bytes[0] == 0xFF ? kSmfKindMeta : (bytes[0] == 0xF0 ? kSmfKindSysEx : kSmfKindChannel);
  const int r = insert ? song.InsertEvent(track, static_cast<uint16_t>(kind),
                                          static_cast<uint32_t>(bytes.size()), bytes.data(), tick)
                       : song.AddEvent(track, static_cast<uint16_t>(kind),
                                       static_cast<uint32_t>(bytes.size()), bytes.data(), tick);
  ASSERT_EQ(r, 0);
}

// Saves and returns the file's bytes.
Bytes Saved(ISmfParser2& song) {
  testsupport::TempDir dir;
  const std::string path = dir.File("out.mid");
  EXPECT_EQ(song.SaveAs(path.c_str()), 0);
  return ReadBytes(path);
}

struct GoldenCase {
  const char* what;
  std::vector<std::pair<uint32_t, Bytes>> events;  // tick, bytes
  Bytes body;
};

TEST(ScrivelWrite, TrackBytes) {
  const GoldenCase cases[] = {
      {"running status",
       {{0, {0x90, 0x3C, 0x40}}, {120, {0x90, 0x3E, 0x40}}},
       Cat({{0x00, 0x90, 0x3C, 0x40, 0x78, 0x3E, 0x40}, kEnd})},
      {"a meta event forces the status again",
       {{0, {0x90, 0x3C, 0x40}}, {0, {0xFF, 0x01, 0x01, 'x'}}, {120, {0x90, 0x3E, 0x40}}},
       Cat({{0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x01, 0x01, 'x', 0x78, 0x90, 0x3E, 0x40}, kEnd})},
      {"no running status before a byte that is no data byte",
       {{0, {0xD0, 0x20}}, {0, {0xD0, 0x90}}, {0, {0xD0, 0x21}}},
       Cat({{0x00, 0xD0, 0x20, 0x00, 0xD0, 0x90, 0x00, 0x21}, kEnd})},
      {"two-byte deltas", {{200, {0xC0, 0x01}}}, Cat({{0x81, 0x48, 0xC0, 0x01}, kEnd})},
      {"three-byte deltas", {{16384, {0xC0, 0x01}}}, Cat({{0x81, 0x80, 0x00, 0xC0, 0x01}, kEnd})},
      {"an end-of-track already there is not repeated",
       {{0, {0x90, 0x3C, 0x40}}, {480, {0xFF, 0x2F, 0x00}}},
       {0x00, 0x90, 0x3C, 0x40, 0x83, 0x60, 0xFF, 0x2F, 0x00}},
      {"an empty track still ends in end-of-track", {}, kEnd},
  };
  for (const GoldenCase& c : cases) {
    Song song = NewSong();
    const uint16_t track = song->AddTrack(kSmfChunkMTrk);
    for (const auto& [tick, bytes] : c.events) Add(*song, track, tick, bytes);
    const Bytes file = Saved(*song);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 14), Header(1, 1, 120)) << c.what;
    EXPECT_EQ(ChunkBody(file, 0), c.body) << c.what;
  }
}

TEST(ScrivelWrite, ControlTracksKeepTheirChunkId) {
  Song song = NewSong();
  song->AddTrack(kSmfChunkMTrk);
  const uint16_t control = song->AddTrack(kSmfChunkMCtl);
  Add(*song, control, 0, {0xFF, 0x80, 0x04, 'C', 'L', 'S', 'T'});
  const Bytes file = Saved(*song);
  EXPECT_EQ(song->GetTrackCount(), 2);
  ASSERT_GE(file.size(), 14u + 8 + 4 + 4);
  EXPECT_EQ(Bytes(file.begin() + 14 + 8 + 4, file.begin() + 14 + 8 + 8), (Bytes{'M', 'C', 't', 'l'}));
}

TEST(ScrivelWrite, RoundTripKeepsEveryEvent) {
  for (const Bytes& fixture : SampleSongs()) {
    const bool formatZero = fixture[9] == 0;
    SCOPED_TRACE(formatZero ? "format 0" : "format 1");
    Song first = LoadBytes(fixture);
    const Bytes written = Saved(*first);
    int result = -1;
    Song second = LoadBytes(written, &result);
    ASSERT_EQ(result, kSmfLoadOk);
    ASSERT_EQ(second->GetTrackCount(), first->GetTrackCount());
    EXPECT_EQ(second->GetFormat(), 1);
    for (int track = 0; track < first->GetTrackCount(); ++track) {
      EXPECT_EQ(EventsWithoutEnd(*second, track), EventsWithoutEnd(*first, track)) << "track " << track;
      EXPECT_EQ(second->GetTrackChunkId(track), first->GetTrackChunkId(track));
      // Names given by a split live only in memory; names read from a track come back.
      if (!formatZero) {
        EXPECT_EQ(TrackName(*second, track), TrackName(*first, track));
      }
      // Exactly one end-of-track, at the end.
      const std::vector<Ev> ends = Events(*second, track, kSmfKindMeta, kSmfMetaEndOfTrack);
      ASSERT_EQ(ends.size(), 1u);
      EXPECT_EQ(Events(*second, track).back(), ends[0]);
    }
    EXPECT_EQ(second->GetDrumTrack(), first->GetDrumTrack());
    std::vector<SmfTimeSigEntry> a = TimeSignatures(*first), b = TimeSignatures(*second);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].measure, b[i].measure);
    EXPECT_EQ(first->GetTempos(nullptr), second->GetTempos(nullptr));
    EXPECT_EQ(first->GetFirstKeySignature(), second->GetFirstKeySignature());
    // A saved song saves to the same bytes again.
    EXPECT_EQ(Saved(*second), written);
  }
}

TEST(ScrivelWrite, EventsOutOfTickOrderKeepTheirTicks) {
  Song song = NewSong();
  const uint16_t track = song->AddTrack(kSmfChunkMTrk);
  Add(*song, track, 100, {0x90, 0x3C, 0x40});
  Add(*song, track, 50, {0x90, 0x3E, 0x40});
  Add(*song, track, 200, {0x80, 0x3C, 0x00});
  Song back = LoadBytes(Saved(*song));
  std::vector<uint32_t> ticks;
  for (const Ev& e : EventsWithoutEnd(*back, 0)) ticks.push_back(e.tick);
  EXPECT_EQ(ticks, (std::vector<uint32_t>{50, 100, 200}));
  // The song in memory keeps its order.
  EXPECT_EQ(Events(*song, track)[1].tick, 50u);
}

TEST(ScrivelWrite, EventsAfterTheEndOfTrackAreKeptWithTheTracksAfterThem) {
  TrackBuilder a, b;
  a.Event(0, {0x90, 0x3C, 0x40}).Event(480, {0x80, 0x3C, 0x00}).EndOfTrack();
  b.Event(0, {0x91, 0x30, 0x40}).Event(480, {0x81, 0x30, 0x00}).EndOfTrack();
  Song song = LoadBytes(Cat({Header(1, 2, 120), a.Chunk(), b.Chunk()}));
  Add(*song, 0, 960, {0xFF, 0x05, 0x02, 'l', 'a'}, true);  // beyond the end-of-track at 480
  Add(*song, 0, 720, {0x90, 0x40, 0x40});                  // appended after the end-of-track
  Song back = LoadBytes(Saved(*song));
  ASSERT_EQ(back->GetTrackCount(), 2);
  const std::vector<Ev> first = EventsWithoutEnd(*back, 0);
  ASSERT_EQ(first.size(), 4u);
  EXPECT_EQ(first[2], (Ev{720, kSmfKindChannel, {0x90, 0x40, 0x40}}));
  EXPECT_EQ(first[3], (Ev{960, kSmfKindMeta, {0xFF, 0x05, 0x02, 'l', 'a'}}));
  EXPECT_EQ(Events(*back, 0).back().tick, 960u);
  EXPECT_EQ(EventsWithoutEnd(*back, 1), EventsWithoutEnd(*song, 1));
}

TEST(ScrivelWrite, InsertGoesBeforeTheFirstEventAtOrAfterItsTick) {
  Song song = NewSong();
  const uint16_t track = song->AddTrack(kSmfChunkMTrk);
  for (uint32_t tick : {0u, 240u, 480u}) Add(*song, track, tick, {0x90, 0x3C, 0x40});
  Add(*song, track, 240, {0xC0, 0x01}, true);
  Add(*song, track, 999, {0xC0, 0x02}, true);
  const std::vector<Ev> events = Events(*song, track);
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[1].bytes, (Bytes{0xC0, 0x01}));
  EXPECT_EQ(events[4].bytes, (Bytes{0xC0, 0x02}));
  const uint8_t b[1] = {0};
  EXPECT_EQ(song->AddEvent(7, kSmfKindChannel, 1, b, 0), 1);
  EXPECT_EQ(song->InsertEvent(7, kSmfKindChannel, 1, b, 0), 1);
  EXPECT_EQ(song->AddEvent(track, kSmfKindChannel, 1, nullptr, 0), 1);
  EXPECT_EQ(Events(*song, track).size(), 5u);
}

TEST(ScrivelWrite, AddTrackNumbersAfterTheHighestIndex) {
  SongFile file(Cat({Header(1, 3, 120), TrackBuilder().EndOfTrack().Chunk(),
                     TrackBuilder().EndOfTrack().Chunk(), TrackBuilder().EndOfTrack().Chunk()}));
  Song song = NewSong();
  const uint16_t list[] = {2};
  ASSERT_EQ(song->Load(file.Path(), list, 1), kSmfLoadOk);
  EXPECT_EQ(song->AddTrack(kSmfChunkMTrk), 3);
}

// Every file in a folder, by name.
std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
      names.push_back(found.cFileName);
  } while (FindNextFileA(h, &found));
  FindClose(h);
  return names;
}

TEST(ScrivelWrite, AFailedSaveReportsItAndLeavesNoPartialFile) {
  Song song = LoadBytes(SampleSongs()[1]);
  testsupport::TempDir dir;
  EXPECT_EQ(song->SaveAs((dir.Path() + "\\missing\\out.mid").c_str()), 1);
  EXPECT_EQ(song->SaveAs(""), 1);
  EXPECT_EQ(song->SaveAs(nullptr), 1);
  // A full disk.
  EXPECT_EQ(song->SaveAs("Z:\\dev\\full"), 1);
  // A target that cannot be replaced: the temporary file is removed again.
  ASSERT_TRUE(CreateDirectoryA(dir.File("taken.mid").c_str(), nullptr));
  EXPECT_EQ(song->SaveAs(dir.File("taken.mid").c_str()), 1);
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"taken.mid"}));
}

TEST(ScrivelWrite, SavingOverAnExistingSongReplacesIt) {
  testsupport::TempDir dir;
  const std::string path = dir.File("song.mid");
  ASSERT_TRUE(testsupport::WriteBytes(path, Bytes(5000, 0xAA)));
  Song song = NewSong();
  Add(*song, song->AddTrack(kSmfChunkMTrk), 0, {0x90, 0x3C, 0x40});
  ASSERT_EQ(song->SaveAs(path.c_str()), 0);
  EXPECT_EQ(
      ReadBytes(path),
      Cat({Header(1, 1, 120), {'M', 'T', 'r', 'k'}, testsupport::Be32(8), {0x00, 0x90, 0x3C, 0x40}, kEnd}));
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"song.mid"}));
}

}  // namespace

namespace {

// Inserting one event at a time, as InsertEvent is defined: before the first
// event at or after its tick.
void InsertOne(std::vector<Ev>& track, const Ev& e) {
  auto at = std::find_if(track.begin(), track.end(), [&](const Ev& x) { return x.tick >= e.tick; });
  track.insert(at, e);
}

Bytes Text(uint8_t n) { return {0xFF, 0x05, 0x01, n}; }

}  // namespace

// Inserted events wait aside and go into their track together; every way of
// looking at the track or the song must see them where inserting one at a
// time would have put them.
TEST(ScrivelWrite, InsertedEventsLandWhereOneAtATimeWouldPutThem) {
  struct Step {
    uint32_t tick;
    bool insert;     // else appended with AddEvent
    bool lookAfter;  // the track is read after this step
  };
  struct Case {
    const char* what;
    std::vector<uint32_t> own;  // the track's own note ticks, in track order
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"between, before, after and on the own events, equal ticks repeated",
       {0, 120, 120, 240, 480},
       {{120, true, false},
        {0, true, false},
        {120, true, false},
        {600, true, false},
        {119, true, false},
        {480, true, false},
        {120, true, false},
        {0, true, false}}},
      {"read in between",
       {0, 120, 240},
       {{120, true, true}, {120, true, false}, {60, true, true}, {240, true, false}, {120, true, false}}},
      {"appended after inserts, then inserted again",
       {0, 120, 240},
       {{120, true, false}, {60, false, false}, {120, true, false}, {0, true, false}}},
      {"a track out of tick order inserts one at a time",
       {240, 0, 120},
       {{120, true, false}, {0, true, false}, {300, true, false}, {120, true, false}}},
      {"an empty track", {}, {{50, true, false}, {10, true, false}, {50, true, false}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Song song = NewSong();
    const uint16_t track = song->AddTrack(kSmfChunkMTrk);
    const uint16_t other = song->AddTrack(kSmfChunkMTrk);
    std::vector<Ev> model;
    for (size_t i = 0; i < c.own.size(); ++i) {
      const Ev e{c.own[i], kSmfKindChannel, {0x90, static_cast<uint8_t>(60 + i), 100}};
      Add(*song, track, e.tick, e.bytes);
      model.push_back(e);
    }
    uint8_t n = 0;
    for (const Step& step : c.steps) {
      const Ev e{step.tick, kSmfKindMeta, Text(n++)};
      Add(*song, track, e.tick, e.bytes, step.insert);
      // Another track's inserts wait beside this one's.
      Add(*song, other, e.tick, e.bytes, true);
      if (step.insert) {
        InsertOne(model, e);
      } else {
        model.push_back(e);
      }
      if (step.lookAfter) {
        EXPECT_EQ(Events(*song, track), model);
      }
    }
    EXPECT_EQ(Events(*song, track), model);
    // Saved and read again, the order stands (a track out of tick order is
    // written in tick order, which is another matter).
    if (!std::is_sorted(model.begin(), model.end(), [](const Ev& a, const Ev& b) { return a.tick < b.tick; }))
      continue;
    const Song again = LoadBytes(Saved(*song));
    ASSERT_TRUE(again);
    EXPECT_EQ(EventsWithoutEnd(*again, track), model);
  }
}
