#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "ScoreBuffer.h"
#include "base/ReleasePtr.h"

namespace {

ScoreNoteEvent On(int tick, int note, int velocity = 100) {
  return ScoreNoteEvent{tick, 0x90, uint8_t(note), uint8_t(velocity), 0};
}
ScoreNoteEvent Off(int tick, int note) { return ScoreNoteEvent{tick, 0x80, uint8_t(note), 0, 0}; }
ScoreNoteEvent End() { return ScoreNoteEvent{-1, 0, 0, 0, 0}; }

using BufferPtr = base::ReleasePtr<IScoreBuffer>;

BufferPtr NewBuffer(std::vector<ScoreTimeSig> sigs) {
  BufferPtr b(new CScoreBuffer());
  b->SetTimeSignatures(sigs.data(), int(sigs.size()));
  return b;
}

std::vector<const ScoreNoteNode*> NotesOf(const ScoreBar& bar) {
  std::vector<const ScoreNoteNode*> out;
  for (const ScoreNoteNode* n = bar.firstNote; n; n = n->next) out.push_back(n);
  return out;
}

// Where one note-on lands: its bar, offset and (snapped) tick.
struct Placement {
  const char* what;
  std::vector<ScoreTimeSig> sigs;
  int tick;
  int bar;
  int offset;
  int snappedTick;
};

TEST(ScoreBuffer, PlacesANoteInItsBar) {
  const Placement cases[] = {
      {"last 14 ticks of a 4/4 bar move to the bar line", {{0, 4, 120}}, 474, 1, 0, 480},
      {"15 ticks before the bar line stay, rounded to 10", {{0, 4, 120}}, 465, 0, 470, 465},
      {"offset rounds half up", {{0, 4, 120}}, 125, 0, 130, 125},
      {"3/4 then 4/4 from 1440: on the change", {{0, 3, 120}, {1440, 4, 120}}, 1440, 4, 0, 1440},
      {"3/4 then 4/4 from 1440: one 4/4 bar later", {{0, 3, 120}, {1440, 4, 120}}, 1920, 5, 0, 1920},
      {"3/4 then 4/4: last ticks before the change", {{0, 3, 120}, {1440, 4, 120}}, 1430, 4, 0, 1440},
      // A first signature on a later bar still rules from the song's start,
      // so events before it are snapped in its bars instead of wrapping.
      {"first signature late: snapped in 3/4 from 0", {{960, 3, 120}, {1920, 4, 120}}, 355, 1, 0, 360},
      {"first signature late: inside a bar", {{960, 3, 120}, {1920, 4, 120}}, 300, 0, 300, 300},
      // Two changes with no event between them: the snap uses the last one.
      {"two changes passed at once", {{0, 4, 120}, {480, 3, 120}, {840, 4, 120}}, 1310, 3, 0, 1320},
      {"6/8 bar of 360", {{0, 6, 60}}, 350, 1, 0, 360},
  };
  for (const Placement& c : cases) {
    SCOPED_TRACE(c.what);
    BufferPtr b = NewBuffer(c.sigs);
    std::vector<ScoreNoteEvent> ev = {On(c.tick, 60), Off(c.tick + 120, 60), End()};
    ASSERT_EQ(b->AddTrackNotes(1, ev.data(), unsigned(ev.size()), 8, 0), 0);
    const ScoreTrackEntry& t = b->GetData()->tracks.at(0);
    for (int bar = 0; bar < 8; ++bar) {
      auto notes = NotesOf(t.bars[bar]);
      if (bar != c.bar) {
        EXPECT_TRUE(notes.empty()) << "bar " << bar;
        continue;
      }
      ASSERT_EQ(notes.size(), 1u);
      EXPECT_EQ(notes[0]->offset, c.offset);
      EXPECT_EQ(notes[0]->tick, c.snappedTick);
      EXPECT_EQ(ev[0].tick, c.snappedTick) << "snapping rewrites the caller's events";
    }
  }
}

// Lengths come from the snapped ticks, rounded to 10, never 0 once closed.
TEST(ScoreBuffer, ClosesNotesFirstInFirstOut) {
  BufferPtr b = NewBuffer({{0, 4, 120}});
  std::vector<ScoreNoteEvent> ev = {On(0, 60),    On(60, 60),    // two open notes of one pitch
                                    Off(100, 60), Off(300, 60),  // the first off closes the first note
                                    On(400, 62),  Off(404, 62),  // held 4 ticks
                                    On(420, 64),                 // never closed
                                    On(480, 65),  ScoreNoteEvent{540, 0x90, 65, 0, 0},  // velocity 0 closes
                                    Off(600, 67),  // nothing open: ignored
                                    End()};
  b->AddTrackNotes(1, ev.data(), unsigned(ev.size()), 2, 0);
  const ScoreTrackEntry& t = b->GetData()->tracks.at(0);
  auto bar0 = NotesOf(t.bars[0]);
  ASSERT_EQ(bar0.size(), 4u);
  EXPECT_EQ(bar0[0]->length, 100);
  EXPECT_EQ(bar0[1]->length, 240);
  EXPECT_EQ(bar0[2]->length, 30);
  EXPECT_EQ(bar0[3]->length, 0);
  auto bar1 = NotesOf(t.bars[1]);
  ASSERT_EQ(bar1.size(), 1u);
  EXPECT_EQ(bar1[0]->length, 60);
}

TEST(ScoreBuffer, NotesBeyondTheBarCountAreDropped) {
  BufferPtr b = NewBuffer({{0, 4, 120}});
  std::vector<ScoreNoteEvent> ev = {On(0, 60), Off(980, 60),  // bar 2 = N: still closes the note in bar 0
                                    On(960, 62),              // bar 2 = N: the build stops here
                                    On(100, 64),              // never read
                                    End()};
  b->AddTrackNotes(1, ev.data(), unsigned(ev.size()), 2, 0);
  const ScoreTrackEntry& t = b->GetData()->tracks.at(0);
  auto bar0 = NotesOf(t.bars[0]);
  ASSERT_EQ(bar0.size(), 1u);
  EXPECT_EQ(bar0[0]->length, 980);
  EXPECT_TRUE(NotesOf(t.bars[1]).empty());

  // A note-off two bars beyond the end is skipped: the note stays open.
  BufferPtr c = NewBuffer({{0, 4, 120}});
  std::vector<ScoreNoteEvent> ev2 = {On(0, 60), Off(1500, 60), End()};
  c->AddTrackNotes(1, ev2.data(), unsigned(ev2.size()), 2, 0);
  EXPECT_EQ(NotesOf(c->GetData()->tracks.at(0).bars[0]).at(0)->length, 0);
}

// The engine hands events in tick order; a damaged list that goes back in
// time still puts each note into its own bar instead of a negative offset.
TEST(ScoreBuffer, EventsOutOfOrderLandInTheirOwnBars) {
  BufferPtr b = NewBuffer({{0, 4, 120}, {960, 3, 120}});
  std::vector<ScoreNoteEvent> ev = {On(1000, 60), Off(1100, 60), On(500, 62),
                                    Off(600, 62), On(1320, 64),  End()};
  b->AddTrackNotes(1, ev.data(), unsigned(ev.size()), 4, 0);
  const ScoreTrackEntry& t = b->GetData()->tracks.at(0);
  auto bar1 = NotesOf(t.bars[1]);
  ASSERT_EQ(bar1.size(), 1u);
  EXPECT_EQ(bar1[0]->note, 62);
  EXPECT_EQ(bar1[0]->offset, 20);
  EXPECT_EQ(bar1[0]->length, 100);
  auto bar2 = NotesOf(t.bars[2]);
  ASSERT_EQ(bar2.size(), 1u);
  EXPECT_EQ(bar2[0]->offset, 40);
  auto bar3 = NotesOf(t.bars[3]);
  ASSERT_EQ(bar3.size(), 1u);
  EXPECT_EQ(bar3[0]->offset, 0);
}

// Notes of one pitch open in several bars: a note-off closes the open note of
// the earliest bar (the first made among that bar's), while the length counts
// from the oldest note-on still pending, whichever note that was.
TEST(ScoreBuffer, OutOfOrderNotesOfOnePitchCloseByBarThenAge) {
  struct Case {
    const char* what;
    std::vector<ScoreNoteEvent> events;
    std::vector<std::pair<int, int>> lengths;  // each note-on's tick and length, in the order they came
  };
  const Case cases[] = {
      {"a later note in an earlier bar closes first",
       {On(1000, 60), On(500, 60), Off(1100, 60), Off(1200, 60)},
       {{500, 100}, {1000, 700}}},
      {"two in the earlier bar close in the order they came",
       {On(1000, 60), On(500, 60), On(600, 60), Off(1100, 60), Off(1150, 60), Off(1200, 60)},
       {{500, 100}, {600, 650}, {1000, 600}}},
      {"the earlier bar's notes close before the later bar's, oldest first",
       {On(600, 60), On(1000, 60), On(500, 60), Off(1100, 60), Off(1300, 60)},
       {{600, 500}, {1000, 0}, {500, 300}}},
      {"a note-off in a bar before every open note closes nothing",
       {On(1000, 60), Off(600, 60), Off(1100, 60)},
       {{1000, 100}}},
      {"other pitches are not disturbed",
       {On(1000, 60), On(1000, 62), On(500, 60), Off(1100, 62), Off(1200, 60)},
       {{1000, 0}, {1000, 100}, {500, 200}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BufferPtr b = NewBuffer({{0, 4, 120}});
    std::vector<ScoreNoteEvent> ev = c.events;
    ev.push_back(End());
    ASSERT_EQ(b->AddTrackNotes(1, ev.data(), unsigned(ev.size()), 4, 0), 0);
    const ScoreTrackEntry& t = b->GetData()->tracks.at(0);
    // Every note in bar order, then in the order its bar's list holds it.
    std::vector<std::pair<int, int>> seen;
    for (int bar = 0; bar < 4; ++bar)
      for (const ScoreNoteNode* n : NotesOf(t.bars[bar])) seen.push_back({n->tick, n->length});
    std::vector<std::pair<int, int>> expected = c.lengths;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const std::pair<int, int>& x, const std::pair<int, int>& y) {
                       return x.first / 480 < y.first / 480;
                     });
    EXPECT_EQ(seen, expected);
  }
}

TEST(ScoreBuffer, CountStopsBeforeTheEndMarker) {
  BufferPtr b = NewBuffer({{0, 4, 120}});
  std::vector<ScoreNoteEvent> ev = {On(0, 60), Off(120, 60), On(120, 62), Off(240, 62)};
  b->AddTrackNotes(1, ev.data(), 2, 1, 0);  // only the first note is counted
  EXPECT_EQ(NotesOf(b->GetData()->tracks.at(0).bars[0]).size(), 1u);
}

TEST(ScoreBuffer, BarArraysAndTrackEntries) {
  BufferPtr b = NewBuffer({{0, 4, 120}});
  std::vector<ScoreNoteEvent> ev = {On(0, 60), Off(120, 60), End()};
  b->AddTrackNotes(3, ev.data(), unsigned(ev.size()), 0, 0);  // no bars: no entry
  b->AddTrackNotes(4, ev.data(), unsigned(ev.size()), 3, 2);
  b->AddTrackNotes(5, nullptr, 10, 2, 99);  // null events: empty bars, kind made sane
  b->AddTrackNotes(6, ev.data(), unsigned(ev.size()), -4, 0);
  const ScoreData* d = b->GetData();
  ASSERT_EQ(d->barArrays.size(), 4u);
  EXPECT_EQ(d->barArrays[0], nullptr);
  EXPECT_EQ(d->barArrays[3], nullptr);
  ASSERT_EQ(d->tracks.size(), 2u);
  EXPECT_EQ(d->tracks[0].track, 4);
  EXPECT_EQ(d->tracks[0].staffKind, 2);
  EXPECT_EQ(d->tracks[0].barCount, 3);
  EXPECT_EQ(d->tracks[0].bars, d->barArrays[1]);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(d->tracks[0].bars[i].index, i);
    EXPECT_EQ(d->tracks[0].bars[i].next, i < 2 ? &d->tracks[0].bars[i + 1] : nullptr);
  }
  EXPECT_EQ(d->tracks[1].track, 5);
  EXPECT_EQ(d->tracks[1].staffKind, 0);
  EXPECT_EQ(d->tracks[1].bars[0].firstNote, nullptr);
}

TEST(ScoreBuffer, ClearKeepsSignaturesAndNeedsABarArray) {
  BufferPtr b = NewBuffer({{0, 3, 120}});
  ScoreKeySig key = {0, -2};
  b->SetKeySignatures(&key, 1);
  ScoreLyric lyric = {"la", 10};
  b->SetLyrics(2, &lyric, 1);
  EXPECT_EQ(b->Clear(), 0);
  EXPECT_EQ(b->GetData()->lyrics.size(), 1u) << "no bar array yet: nothing cleared";

  std::vector<ScoreNoteEvent> ev = {On(0, 60), Off(120, 60), End()};
  b->AddTrackNotes(2, ev.data(), unsigned(ev.size()), 1, 0);
  ScoreText text = {"intro", 7, 0};
  b->SetTexts(&text, 1, 2);
  EXPECT_EQ(b->Clear(), 0);
  const ScoreData* d = b->GetData();
  EXPECT_TRUE(d->barArrays.empty());
  EXPECT_TRUE(d->tracks.empty());
  EXPECT_TRUE(d->lyrics.empty());
  EXPECT_TRUE(d->texts.empty());
  ASSERT_EQ(d->timeSigs.size(), 1u);
  EXPECT_EQ(d->timeSigs[0].beatsPerBar, 3);
  ASSERT_EQ(d->keySigs.size(), 1u);
  EXPECT_EQ(d->keySigs[0].key, -2);
}

TEST(ScoreBuffer, SignaturesAreCheckedOnTheWayIn) {
  BufferPtr b(new CScoreBuffer());
  const ScoreTimeSig sigs[] = {
      {0, 0, 120},                     // no beats
      {0, 4, 0},                       // a beat that truncated to 0 ticks (x/512)
      {480, 3, 120},                   // the first usable one: rules from 0
      {1200, -2, 60},                  // negative numerator
      {1560, 6, 60},  {1000, 2, 120},  // goes back in time
  };
  EXPECT_EQ(b->SetTimeSignatures(sigs, 6), 0);
  const ScoreData* d = b->GetData();
  ASSERT_EQ(d->timeSigs.size(), 2u);
  EXPECT_EQ(d->timeSigs[0].startTick, 0);
  EXPECT_EQ(d->timeSigs[0].beatsPerBar, 3);
  EXPECT_EQ(d->timeSigs[1].startTick, 1560);

  // Nothing usable (or nothing at all) leaves one 4/4 at 0.
  const ScoreTimeSig bad[] = {{0, 0, 0}};
  for (int count : {1, 0, -3}) {
    b->SetTimeSignatures(count > 0 ? bad : nullptr, count);
    ASSERT_EQ(d->timeSigs.size(), 1u);
    EXPECT_EQ(d->timeSigs[0].beatsPerBar, 4);
    EXPECT_EQ(d->timeSigs[0].ticksPerBeat, 120);
  }

  const ScoreKeySig keys[] = {{0, 3}, {480, -128}, {960, 8}, {1440, -7}};
  b->SetKeySignatures(keys, 4);
  ASSERT_EQ(d->keySigs.size(), 4u);
  EXPECT_EQ(d->keySigs[0].key, 3);
  EXPECT_EQ(d->keySigs[1].key, 0);
  EXPECT_EQ(d->keySigs[2].key, 0);
  EXPECT_EQ(d->keySigs[3].key, -7);
  b->SetKeySignatures(nullptr, 4);
  EXPECT_TRUE(d->keySigs.empty());
  b->SetKeySignatures(keys, -1);
  EXPECT_TRUE(d->keySigs.empty());

  ScoreLyric lyric = {"x", 0};
  b->SetLyrics(4, &lyric, -1);
  EXPECT_TRUE(d->lyrics.empty());
  EXPECT_EQ(d->lyricTrack, 4);
}

// Random sorted event lists in changing metres: every node lies inside its
// bar, bars keep note-on order, and closed lengths are positive multiples of 10.
TEST(ScoreBuffer, RandomSongsKeepTheBarInvariants) {
  std::mt19937 rng(12345);
  const std::vector<ScoreTimeSig> sigs = {{0, 4, 120}, {1920, 3, 120}, {3000, 6, 60}, {4800, 5, 120}};
  for (int round = 0; round < 50; ++round) {
    BufferPtr b = NewBuffer(sigs);
    std::vector<ScoreNoteEvent> ev;
    int tick = 0;
    std::vector<std::pair<int, int>> offs;  // tick, note
    while (tick < 8000) {
      tick += int(rng() % 90);
      const int note = 55 + int(rng() % 10);
      ev.push_back(On(tick, note));
      offs.push_back({tick + 1 + int(rng() % 400), note});
      std::sort(offs.begin(), offs.end());
      while (!offs.empty() && offs.front().first <= tick) {
        ev.push_back(Off(offs.front().first, offs.front().second));
        offs.erase(offs.begin());
      }
    }
    ev.push_back(End());
    b->AddTrackNotes(1, ev.data(), unsigned(ev.size()), 20, 0);
    const ScoreData* d = b->GetData();
    ASSERT_EQ(d->tracks.size(), 1u);
    int lastTick = -1;
    for (int bar = 0; bar < 20; ++bar) {
      // Bar lengths: 4 bars of 480, 3 of 360, 5 of 360, then 600.
      const int barLength = bar < 4 ? 480 : bar < 7 ? 360 : bar < 12 ? 360 : 600;
      for (const ScoreNoteNode* n : NotesOf(d->tracks[0].bars[bar])) {
        EXPECT_GE(n->offset, 0);
        EXPECT_LT(n->offset, barLength);
        EXPECT_EQ(n->offset % 10, 0);
        EXPECT_GE(n->tick, lastTick) << "note-on order";
        lastTick = n->tick;
        if (n->length != 0) {
          EXPECT_EQ(n->length % 10, 0);
          EXPECT_GE(n->length, 10);
        }
      }
    }
  }
}

}  // namespace
