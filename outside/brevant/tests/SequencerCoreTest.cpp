// The sequencer core on a virtual clock: what it reports, when, in which
// order, and what it sends to the channel manager.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "SongFixtures.h"

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr uint32_t Tag(const char (&t)[5]) { return SmfChunkId(t[0], t[1], t[2], t[3]); }

// A core whose clock moves in 1 ms steps.
struct CoreRig {
  RecordingSink sink;
  FakeChannelManager out;
  SequencerCore core{&sink};

  explicit CoreRig(const SongSpec& spec) {
    core.SetOutput(&out);
    core.SetSong(spec.Compile());
  }
  void RunTo(double ms) {
    for (double t = sink.now; t <= ms; t += 1.0) {
      sink.now = t;
      core.AdvanceTo(t);
    }
    sink.now = ms + 1.0;
  }
  // When each event of a type came.
  std::vector<double> TimesOf(uint32_t type) const {
    std::vector<double> out;
    for (const auto& h : sink.heard) {
      if (h.event.type == type) out.push_back(h.at);
    }
    return out;
  }
};

TEST(SequencerCore, NotesPlayOnTimeAcrossTempoChanges) {
  SongSpec spec;
  spec.tempos = {{120.0f, 0}, {60.0f, 240}};
  spec.channel[1].Note(120, 60, 0, 60).Note(360, 120, 0, 62);
  CoreRig rig(spec);
  rig.core.SetTrackFlags(1, 2);
  rig.core.Start();
  rig.RunTo(3000);
  // 120 BPM: tick 120 at 500 ms, the off at 750; then 60 BPM from tick 240 (1000 ms).
  EXPECT_THAT(rig.TimesOf(kPlayEventNote), ElementsAre(500, 750, 2000, 3000));
  std::vector<PlayEvent> notes = rig.sink.OfType(kPlayEventNote);
  EXPECT_EQ(notes[0].value1, 0x643C90);
  EXPECT_EQ(notes[0].value3, 120);
  EXPECT_EQ(notes[0].value4, 1);
  EXPECT_THAT(rig.out.Notes(),
              ElementsAre("send v1 643C90", "send v1 003C80", "send v1 643E90", "send v1 003E80"));
  EXPECT_THAT(rig.sink.OfType(kPlayEventEnd), ::testing::SizeIs(1));
}

TEST(SequencerCore, WithinOneTickGridComesFirstThenChannelLyricMarker) {
  SongSpec spec;
  // Lower track numbers for lyrics and markers: kind decides before track.
  spec.markers[0].Marker(0, "CLST");
  spec.lyrics[1].Lyric(0, "la");
  spec.channel[2].Note(0, 480, 0, 60);
  CoreRig rig(spec);
  rig.core.SetTrackFlags(2, 2);
  rig.core.Start();
  rig.RunTo(0);
  EXPECT_THAT(rig.sink.Types(), ElementsAre(kPlayEventPosition, kPlayEventCursor, kPlayEventBeat,
                                            kPlayEventNote, kPlayEventLyric, kPlayEventTag));
  std::vector<PlayEvent> tags = rig.sink.OfType(kPlayEventTag);
  EXPECT_EQ(uint32_t(tags[0].value1), Tag("CLST"));
  EXPECT_EQ(tags[0].value3, 0);
  std::vector<PlayEvent> lyrics = rig.sink.OfType(kPlayEventLyric);
  EXPECT_EQ(lyrics[0].value1, 0);
  EXPECT_EQ(lyrics[0].value2, 1);
}

TEST(SequencerCore, BarBeatAndCursorEventsFollowTheMetre) {
  struct Row {
    const char* what;
    SmfTimeSigEntry meter;
    int beats;
    double msPerBeat;  // at 120 BPM
  } rows[] = {
      {"4/4", {0, 4, 2}, 4, 500},
      {"3/4", {0, 3, 2}, 3, 500},
      {"6/8", {0, 6, 3}, 6, 250},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    SongSpec spec;
    spec.meters = {r.meter};
    uint32_t barTicks = uint32_t(r.beats) * (480u >> r.meter.power);
    spec.channel[0].Note(0, 2 * barTicks, 0, 60);  // two bars long
    CoreRig rig(spec);
    rig.core.Start();
    rig.RunTo(2 * r.beats * r.msPerBeat + 100);
    std::vector<PlayEvent> steps = rig.sink.OfType(kPlayEventCursor);
    std::vector<PlayEvent> beats = rig.sink.OfType(kPlayEventBeat);
    ASSERT_EQ(int(steps.size()), 2 * 4 * r.beats);  // nothing on the song's closing bar line
    ASSERT_EQ(int(beats.size()), 2 * r.beats);
    for (int i = 0; i < int(steps.size()); ++i) EXPECT_EQ(steps[i].value1, i % (4 * r.beats));
    std::vector<double> beatTimes = rig.TimesOf(kPlayEventBeat);
    for (int i = 0; i < int(beats.size()); ++i) {
      EXPECT_EQ(beats[i].value1, i % r.beats);
      EXPECT_EQ(beats[i].value2, r.beats);
      EXPECT_EQ(beats[i].value3, i / r.beats);
      EXPECT_EQ(beatTimes[i], std::ceil(i * r.msPerBeat));
    }
  }
}

TEST(SequencerCore, PositionOncePerSecondAndEndOnlyAtTheEnd) {
  SongSpec spec;
  spec.channel[0].Note(0, 840, 0, 60);  // 3500 ms
  CoreRig rig(spec);
  rig.core.Start();
  rig.RunTo(3000);
  rig.core.Stop();
  EXPECT_THAT(rig.sink.OfType(kPlayEventEnd), IsEmpty());
  rig.core.Start();
  rig.RunTo(4000);
  std::vector<int> seconds;
  for (const PlayEvent& e : rig.sink.OfType(kPlayEventPosition)) seconds.push_back(e.value1);
  // 0 at the start, once a second, again on restarting at 3 s.
  EXPECT_THAT(seconds, ElementsAre(0, 1, 2, 3, 3));
  EXPECT_THAT(rig.TimesOf(kPlayEventEnd), ElementsAre(3500));
  EXPECT_EQ(rig.sink.OfType(kPlayEventEnd)[0].value1, 0);
  EXPECT_FALSE(rig.core.IsPlaying());
  EXPECT_EQ(rig.sink.heard.back().event.type, kPlayEventEnd);
}

TEST(SequencerCore, PlayAfterTheEndStartsAgainFromZero) {
  SongSpec spec;
  spec.channel[0].Note(0, 120, 0, 60);
  CoreRig rig(spec);
  rig.core.Start();
  rig.RunTo(600);
  ASSERT_TRUE(rig.core.AtEnd());
  rig.sink.heard.clear();
  rig.core.Start();
  EXPECT_THAT(rig.sink.Types(), ElementsAre(kPlayEventSeek, kPlayEventPosition));
  EXPECT_EQ(rig.core.PositionMs(), 0);
  // Moved to the end while stopped: the same.
  rig.core.Stop();
  rig.core.Seek(5000);
  rig.sink.heard.clear();
  rig.core.Start();
  EXPECT_THAT(rig.sink.Types(), ElementsAre(kPlayEventSeek, kPlayEventPosition));
  EXPECT_EQ(rig.sink.heard[0].event.value1, 0);
}

TEST(SequencerCore, DrumChannelIsAllocatedFirstWithItsKit) {
  SongSpec spec;
  spec.channel[1].Program(0, 3, 40).Note(0, 120, 3, 60);
  spec.channel[2].Program(0, 9, 25).Note(0, 120, 9, 36).Program(240, 9, 0);
  spec.channel[3].Note(0, 120, 0, 60);
  RecordingSink sink;
  FakeChannelManager out;
  SequencerCore core(&sink);
  core.SetOutput(&out);
  core.SetSong(spec.Compile());
  EXPECT_THAT(out.calls, ElementsAre("alloc 9 -> v1", "program v1 153", "alloc -1 -> v2", "program v2 0",
                                     "alloc -1 -> v3", "program v3 40"));
  // Replacing the output hands the voices back first.
  FakeChannelManager second;
  core.SetOutput(&second);
  EXPECT_THAT(out.Matching("free"), ::testing::UnorderedElementsAre("free v1", "free v2", "free v3"));
  EXPECT_EQ(second.Matching("alloc").size(), 3u);
}

TEST(SequencerCore, MutedTrackSendsNoNoteOnsButItsNoteOffs) {
  SongSpec spec;
  spec.channel[1].Note(0, 240, 0, 60).Note(480, 120, 0, 62);
  spec.channel[2].Note(0, 480, 1, 70);
  CoreRig rig(spec);
  rig.core.SetTrackFlags(1, 1 | 2);
  rig.core.Start();
  rig.RunTo(10);
  // Muting track 2 while its note sounds ends that note at once.
  rig.out.calls.clear();
  rig.core.SetTrackFlags(2, 1);
  EXPECT_THAT(rig.out.calls, ElementsAre("send v2 004681"));
  rig.out.calls.clear();
  rig.RunTo(3000);
  EXPECT_THAT(rig.out.Notes(), ElementsAre("send v1 003C80", "send v2 004681", "send v1 003E80"));
  // The score still follows the muted, selected track.
  EXPECT_EQ(rig.sink.OfType(kPlayEventNote).size(), 4u);
}

TEST(SequencerCore, ReportsNotesOnlyOfSelectedTracks) {
  SongSpec spec;
  spec.channel[1].Note(0, 120, 0, 60);
  spec.channel[2].Note(0, 120, 1, 64).Control(0, 1, 7, 100);
  CoreRig rig(spec);
  rig.core.SetTrackFlags(2, 2);
  rig.core.Start();
  rig.RunTo(1000);
  std::vector<PlayEvent> notes = rig.sink.OfType(kPlayEventNote);
  ASSERT_EQ(notes.size(), 2u);
  for (const PlayEvent& e : notes) EXPECT_EQ(e.value4, 2);
}

TEST(SequencerCore, NewSongResetsFlagsAndDelay) {
  SongSpec spec;
  spec.channel[0].Note(0, 120, 0, 60);
  CoreRig rig(spec);
  rig.core.SetTrackFlags(0, 3);
  rig.core.SetTrackFlags(40, 2);  // a track the song does not have
  rig.core.SetDelay(-700);
  EXPECT_EQ(rig.core.TrackFlags(40), 2);
  rig.core.SetSong(spec.Compile());
  EXPECT_EQ(rig.core.TrackFlags(0), 0);
  EXPECT_EQ(rig.core.TrackFlags(40), 0);
  EXPECT_EQ(rig.core.Delay(), 0);
}

TEST(SequencerCore, OutputCanGoWhilePlayingAndEventsGoOn) {
  SongSpec spec;
  spec.channel[0].Note(0, 120, 0, 60).Note(240, 120, 0, 62);
  CoreRig rig(spec);
  rig.core.SetTrackFlags(0, 2);
  rig.core.Start();
  rig.RunTo(100);
  rig.core.SetOutput(nullptr);
  EXPECT_THAT(rig.out.Matching("free"), ElementsAre("free v1"));
  rig.out.calls.clear();
  rig.RunTo(2000);
  EXPECT_THAT(rig.out.calls, IsEmpty());
  EXPECT_EQ(rig.sink.OfType(kPlayEventNote).size(), 4u);
  EXPECT_EQ(rig.sink.OfType(kPlayEventEnd).size(), 1u);
}

TEST(SequencerCore, NoPortMeansSilentButTimedPlayback) {
  SongSpec spec;
  spec.channel[0].Note(0, 120, 0, 60);
  RecordingSink sink;
  FakeChannelManager out;
  out.refuse = true;
  SequencerCore core(&sink);
  core.SetOutput(&out);
  core.SetSong(spec.Compile());
  core.SetTrackFlags(0, 2);
  core.Start();
  for (int t = 0; t <= 600; ++t) core.AdvanceTo(t);
  EXPECT_THAT(out.Matching("send"), IsEmpty());
  EXPECT_EQ(sink.OfType(kPlayEventNote).size(), 2u);
  EXPECT_EQ(sink.OfType(kPlayEventEnd).size(), 1u);
}

TEST(SequencerCore, SeekWhilePlayingSilencesAndChasesTheChannelState) {
  SongSpec spec;
  spec.channel[0]
      .Program(0, 0, 40)
      .Control(120, 0, 7, 90)
      .Channel(120, {0xE0, 0x00, 0x50})
      .Note(240, 960, 0, 60)
      .Control(960, 0, 7, 30);
  CoreRig rig(spec);
  rig.core.Start();
  rig.RunTo(10);
  rig.out.calls.clear();
  rig.core.Seek(1500);  // tick 360
  EXPECT_THAT(rig.out.calls, ElementsAre("notesoff v1", "send v1 0040B0", "program v1 40", "send v1 5A07B0",
                                         "send v1 5000E0"));
  std::vector<PlayEvent> seeks = rig.sink.OfType(kPlayEventSeek);
  ASSERT_EQ(seeks.size(), 1u);
  EXPECT_EQ(seeks[0].value1, 360);
  EXPECT_EQ(rig.sink.OfType(kPlayEventPosition).back().value1, 1);
  // The note that started before the target is not replayed.
  rig.out.calls.clear();
  rig.sink.now = 1500;
  rig.RunTo(5100);
  EXPECT_THAT(rig.out.Matching("send"), ElementsAre("send v1 1E07B0", "send v1 003C80", "send v1 0040B0"));
}

TEST(SequencerCore, SeekToAnEventTimeRoundedDownStillPlaysTheEvent) {
  SongSpec spec;
  spec.tempos = {{97.0f, 0}};  // 5.15... ms a tick: event times are not whole
  spec.lyrics[1].Lyric(7, "a").Lyric(100, "b");
  spec.channel[0].Note(0, 200, 0, 60);
  CSongBuffer buffer;
  spec.FillBuffer(&buffer);
  CoreRig rig(spec);
  rig.core.Start();
  int target = buffer.GetEventTime(100);
  ASSERT_LT(target, 100 * 60000.0 / (97 * 120));
  rig.core.Seek(target);
  rig.sink.now = target;
  rig.RunTo(target + 1);
  std::vector<PlayEvent> lyrics = rig.sink.OfType(kPlayEventLyric);
  ASSERT_EQ(lyrics.size(), 1u);
  EXPECT_EQ(lyrics[0].value1, 100);
}

TEST(SequencerCore, StopSilencesAndNothingFollows) {
  SongSpec spec;
  spec.channel[0].Note(0, 960, 0, 60);
  spec.lyrics[1].Lyric(240, "la");
  CoreRig rig(spec);
  rig.core.Start();
  rig.RunTo(100);
  rig.out.calls.clear();
  size_t heard = rig.sink.heard.size();
  rig.core.Stop();
  rig.core.Stop();
  EXPECT_THAT(rig.out.calls, ElementsAre("notesoff v1", "send v1 0040B0"));
  rig.out.calls.clear();
  rig.RunTo(5000);
  EXPECT_THAT(rig.out.calls, IsEmpty());
  EXPECT_EQ(rig.sink.heard.size(), heard);
  EXPECT_EQ(rig.core.PositionMs(), 100);
}

TEST(SequencerCore, SeekWhileStoppedOnlyMovesAndReports) {
  SongSpec spec;
  spec.channel[0].Note(0, 960, 0, 60);
  CoreRig rig(spec);
  rig.out.calls.clear();
  rig.core.Seek(2500);
  EXPECT_THAT(rig.out.calls, IsEmpty());
  EXPECT_THAT(rig.sink.Types(), ElementsAre(kPlayEventSeek, kPlayEventPosition));
  EXPECT_EQ(rig.core.PositionMs(), 2500);
  rig.core.Seek(-50);
  EXPECT_EQ(rig.core.PositionMs(), 0);
  rig.core.Seek(999999);
  EXPECT_EQ(rig.core.PositionMs(), 4000);
}

TEST(SequencerCore, EarlierTimeHoldsInsteadOfReplaying) {
  SongSpec spec;
  spec.channel[0].Note(0, 60, 0, 60).Note(120, 60, 0, 62).Note(240, 60, 0, 64);
  CoreRig rig(spec);
  rig.core.Start();
  rig.core.AdvanceTo(600);
  size_t sent = rig.out.Matching("send").size();
  rig.core.AdvanceTo(400);  // the outside clock stepped back
  rig.core.AdvanceTo(550);
  EXPECT_EQ(rig.out.Matching("send").size(), sent);
  EXPECT_EQ(rig.core.PositionMs(), 600);
  rig.core.AdvanceTo(1000);
  EXPECT_EQ(rig.out.Matching("send").size(), sent + 2);
}

TEST(SequencerCore, TimersHearPlayerTimeNeverNegative) {
  SongSpec spec;
  spec.channel[0].Note(0, 480, 0, 60);
  CoreRig rig(spec);
  RecordingTimer timer;
  EXPECT_EQ(rig.core.AddTimer(&timer), 0);
  EXPECT_EQ(rig.core.AddTimer(&timer), 1);
  EXPECT_EQ(rig.core.AddTimer(nullptr), 1);
  rig.core.SetDelay(-500);  // the song starts half a second before the audio
  rig.core.Start();
  EXPECT_THAT(timer.calls, ElementsAre("start", "reposition 0"));
  rig.core.AdvanceTo(400);
  EXPECT_THAT(timer.ticks, IsEmpty());
  rig.core.AdvanceTo(700);
  EXPECT_THAT(timer.ticks, ElementsAre(200));
  rig.core.Seek(1500);  // player time: song 2000
  EXPECT_EQ(timer.calls.back(), "reposition 1500");
  rig.core.Stop();
  EXPECT_EQ(timer.calls.back(), "stop");
  EXPECT_EQ(rig.core.RemoveTimer(&timer), 0);
  EXPECT_EQ(rig.core.RemoveTimer(&timer), 1);
  size_t calls = timer.calls.size();
  rig.core.Start();
  rig.core.AdvanceTo(2100);
  EXPECT_EQ(timer.calls.size(), calls);
  EXPECT_EQ(timer.ticks.size(), 1u);
}

TEST(SequencerCore, EmptySongEndsAtOnce) {
  RecordingSink sink;
  SequencerCore core(&sink);
  core.SetSong(SongSpec().Compile());
  core.Start();
  core.AdvanceTo(0);
  EXPECT_FALSE(core.IsPlaying());
  EXPECT_THAT(sink.Types(), ElementsAre(kPlayEventPosition, kPlayEventEnd));
}

}  // namespace
