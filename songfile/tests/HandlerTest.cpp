// The song-file handler: measure and beat ticks, note searches and the
// time signature in force.
#include <gtest/gtest.h>

#include "SongTestSupport.h"

namespace {

using namespace songtest;
using testsupport::Cat;
using testsupport::Header;
using testsupport::TrackBuilder;

Handler NewHandler() { return Handler(CreateScrivelHandler(1)); }

// A conductor track with one time signature and a melody track.
Bytes SongIn(uint8_t numerator, uint8_t power, const TrackBuilder& melody = TrackBuilder().EndOfTrack()) {
  TrackBuilder conductor;
  conductor.TimeSig(0, numerator, power).EndOfTrack();
  return Cat({Header(1, 2, 120), conductor.Chunk(), melody.Chunk()});
}

struct BeatCase {
  uint8_t numerator, power;
  int measure, beat;
  uint32_t tick;
};

TEST(ScrivelHandler, MeasureBeatToTick) {
  const BeatCase cases[] = {
      {4, 2, 2, 1, 1080}, {4, 2, 2, 0, 950}, {4, 2, 0, 0, 0},  {4, 2, 0, 1, 120}, {3, 2, 1, 2, 600},
      {6, 3, 1, 3, 540},  {4, 2, -1, 0, 0},  {4, 2, -1, 1, 0},  // before the song: 0, never a huge tick
  };
  for (const BeatCase& c : cases) {
    SongFile file(SongIn(c.numerator, c.power));
    Handler handler = NewHandler();
    ASSERT_EQ(handler->Open(file.Path()), 1);
    EXPECT_EQ(handler->MeasureBeatToTick(c.measure, c.beat), c.tick)
        << int(c.numerator) << "/" << (1 << c.power) << " measure " << c.measure << " beat " << c.beat;
  }
}

TEST(ScrivelHandler, SignatureChangesAddUpTheMeasuresBeforeThem) {
  TrackBuilder conductor;
  conductor.TimeSig(0, 4, 2).TimeSig(960, 3, 2).EndOfTrack();  // 3/4 from measure 2
  SongFile file(Cat({Header(1, 1, 120), conductor.Chunk()}));
  Handler handler = NewHandler();
  ASSERT_EQ(handler->Open(file.Path()), 1);
  EXPECT_EQ(handler->MeasureBeatToTick(3, 1), 960u + 360 + 120);
  SmfBeatInfo info{};
  ASSERT_EQ(handler->GetTimeSignatureAt(3, &info), 1);
  EXPECT_EQ(info.measure, 3);
  EXPECT_EQ(info.numerator, 3);
  EXPECT_EQ(info.beatLength, 120);
  ASSERT_EQ(handler->GetTimeSignatureAt(1, &info), 1);
  EXPECT_EQ(info.numerator, 4);
}

TEST(ScrivelHandler, TimeSignatureAt) {
  const struct {
    uint8_t numerator, power;
    int measure;
    SmfBeatInfo expected;
  } cases[] = {{3, 2, 1, {1, 3, 120}}, {6, 3, 0, {0, 6, 60}}, {2, 1, 5, {5, 2, 240}}};
  for (const auto& c : cases) {
    SongFile file(SongIn(c.numerator, c.power));
    Handler handler = NewHandler();
    ASSERT_EQ(handler->Open(file.Path()), 1);
    SmfBeatInfo info{};
    ASSERT_EQ(handler->GetTimeSignatureAt(c.measure, &info), 1);
    EXPECT_EQ(info.measure, c.expected.measure);
    EXPECT_EQ(info.numerator, c.expected.numerator);
    EXPECT_EQ(info.beatLength, c.expected.beatLength);
    EXPECT_EQ(handler->GetTimeSignatureAt(c.measure, nullptr), 0);
  }
  // A song without time signatures is in 4/4.
  SongFile plain(Cat({Header(1, 1, 120), TrackBuilder().EndOfTrack().Chunk()}));
  Handler handler = NewHandler();
  ASSERT_EQ(handler->Open(plain.Path()), 1);
  SmfBeatInfo info{};
  ASSERT_EQ(handler->GetTimeSignatureAt(2, &info), 1);
  EXPECT_EQ(info.numerator, 4);
  EXPECT_EQ(info.beatLength, 120);
}

TrackBuilder Melody() {
  TrackBuilder t;
  t.Event(0, {0x90, 0x3C, 0x40})       // 0: C on
      .Event(0, {0x90, 0x40, 0x00})    // 0: a velocity-0 note-on only
      .Event(120, {0x80, 0x3C, 0x00})  // 120: C off
      .Event(0, {0x90, 0x3E, 0x40})    // 120: D on
      .Event(120, {0x90, 0x3E, 0x00})  // 240: D ends by velocity 0
      .Event(0, {0x91, 0x43, 0x40})    // 240: G on, another channel
      .Event(240, {0x81, 0x43, 0x00})  // 480: G off
      .EndOfTrack();
  return t;
}

TEST(ScrivelHandler, NoteSearchesOnTheSelectedTrack) {
  SongFile file(SongIn(4, 2, Melody()));
  Handler handler = NewHandler();
  handler->SelectTrack(1);
  ASSERT_EQ(handler->Open(file.Path()), 1);
  EXPECT_EQ(handler->FindNthNoteOnAfter(0, 1), 120u);  // strictly after: the note at 0 does not count
  EXPECT_EQ(handler->FindNthNoteOnAfter(0, 2), 240u);
  EXPECT_EQ(handler->FindNthNoteOnAfter(0, 3), 0u);
  EXPECT_EQ(handler->FindNthNoteOnAfter(0, 0), 0u);
  EXPECT_EQ(handler->FindNthNoteOnAfter(0, -1), 0u);
  EXPECT_EQ(handler->FindNoteEnd(0), 120u);
  EXPECT_EQ(handler->FindNoteEnd(120), 240u);
  EXPECT_EQ(handler->FindNoteEnd(240), 480u);
  EXPECT_EQ(handler->FindNoteEnd(60), 0u);

  // Track 0 holds no channel messages; a track beyond the song holds nothing.
  for (int track : {0, 2, -1}) {
    handler->SelectTrack(track);
    EXPECT_EQ(handler->FindNthNoteOnAfter(0, 1), 0u) << track;
    EXPECT_EQ(handler->FindNoteEnd(0), 0u) << track;
  }
}

// Melodies often come as format-0 files: channel 0 becomes track 1.
TEST(ScrivelHandler, AFormatZeroMelodyIsSplitBeforeItsTrackIsSelected) {
  TrackBuilder t;
  t.TimeSig(0, 3, 2)
      .Event(0, {0x90, 0x3C, 0x40})
      .Event(240, {0x80, 0x3C, 0x00})
      .Event(0, {0x90, 0x3E, 0x40})
      .Event(120, {0x80, 0x3E, 0x00})
      .EndOfTrack();
  SongFile file(Cat({Header(0, 1, 480), t.Chunk()}));
  Handler handler = NewHandler();
  ASSERT_EQ(handler->Open(file.Path()), 1);
  handler->SelectTrack(1);
  EXPECT_EQ(handler->FindNthNoteOnAfter(0, 1), 60u);  // division 480: 240 raw ticks are 60
  EXPECT_EQ(handler->FindNoteEnd(60), 90u);
  EXPECT_EQ(handler->MeasureBeatToTick(1, 1), 480u);
}

TEST(ScrivelHandler, AVelocityZeroNoteOnStartsNoNote) {
  TrackBuilder t;
  t.Event(0, {0x90, 0x40, 0x00}).Event(120, {0x80, 0x40, 0x00}).EndOfTrack();
  SongFile file(SongIn(4, 2, t));
  Handler handler = NewHandler();
  handler->SelectTrack(1);
  ASSERT_EQ(handler->Open(file.Path()), 1);
  EXPECT_EQ(handler->FindNoteEnd(0), 0u);
}

TEST(ScrivelHandler, AFailedOpenKeepsTheSignaturesButNoEvents) {
  Handler handler = NewHandler();
  EXPECT_EQ(handler->MeasureBeatToTick(1, 1), 0u);
  SmfBeatInfo info{};
  EXPECT_EQ(handler->GetTimeSignatureAt(0, &info), 0);
  EXPECT_EQ(handler->Open(nullptr), 0);

  SongFile file(SongIn(3, 2, Melody()));
  handler->SelectTrack(1);
  ASSERT_EQ(handler->Open(file.Path()), 1);
  ASSERT_EQ(handler->FindNoteEnd(0), 120u);
  EXPECT_EQ(handler->Open((file.Dir().Path() + "\\missing.mid").c_str()), 0);
  EXPECT_EQ(handler->MeasureBeatToTick(1, 2), 600u);  // still 3/4
  EXPECT_EQ(handler->FindNoteEnd(0), 0u);
  EXPECT_EQ(handler->FindNthNoteOnAfter(0, 1), 0u);
}

TEST(ScrivelHandler, TakeSongHandsOverTheOpenedSongOnce) {
  SongFile file(SongIn(3, 2, Melody()));
  Handler handler = NewHandler();
  EXPECT_EQ(handler->TakeSong(), nullptr) << "nothing opened";
  handler->SelectTrack(1);
  ASSERT_EQ(handler->Open(file.Path()), 1);
  Song song(handler->TakeSong());
  ASSERT_TRUE(song);
  EXPECT_EQ(song->GetTrackCount(), 2);
  EXPECT_EQ(TimeSignatures(*song).front().numerator, 3);
  EXPECT_EQ(EventsWithoutEnd(*song, 1).size(), 7u);
  // The handler keeps no events of the song it gave away, and has no song to give.
  EXPECT_EQ(handler->FindNthNoteOnAfter(0, 1), 0u);
  EXPECT_EQ(handler->FindNoteEnd(0), 0u);
  EXPECT_EQ(handler->TakeSong(), nullptr);
  // It opens songs again with a parser of its own; a failed Open leaves none to take.
  ASSERT_EQ(handler->Open(file.Path()), 1);
  EXPECT_EQ(handler->FindNthNoteOnAfter(0, 1), 120u);
  EXPECT_EQ(handler->Open("no such file.mid"), 0);
  EXPECT_EQ(handler->TakeSong(), nullptr);
}

}  // namespace
