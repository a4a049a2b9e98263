#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "MeasurePasses.h"
#include "NoteValues.h"

namespace {

std::unique_ptr<CScoreMeasure> Bar(int beats, int beat) {
  auto m = std::make_unique<CScoreMeasure>(0, 0);
  m->beats = beats;
  m->beatLength = beat;
  return m;
}

// A note whose buffer and notated values agree.
ScoreNote N(int offset, int length, int pitch = 60) {
  ScoreNote n(pitch, length, offset, 1920 + offset);
  n.notatedOffset = offset;
  n.notatedLength = length;
  n.notatedTick = 1920 + offset;
  return n;
}

// "offset+length" of every note, in list order.
std::string Pieces(const NoteList& list) {
  std::ostringstream out;
  for (size_t i = 0; i < list.size(); ++i)
    out << (i ? " " : "") << list[i].notatedOffset << "+" << list[i].notatedLength;
  return out.str();
}

// @name Note values

TEST(MeasurePasses, ClassifiesLengths) {
  struct Case {
    int length, valueClass;
    bool dotted, known;
  };
  const Case cases[] = {
      {30, kSixteenthNote, false, true}, {60, kEighthNote, false, true},  {90, kEighthNote, true, true},
      {120, kQuarterNote, false, true},  {180, kQuarterNote, true, true}, {240, kHalfNote, false, true},
      {360, kHalfNote, true, true},      {480, kWholeNote, false, true},  {720, kWholeNote, true, true},
      {150, kHalfNote, false, false},    {0, kHalfNote, false, false}};
  for (const Case& c : cases) {
    ScoreNote n;
    n.valueClass = kHalfNote;  // unknown lengths leave the record alone
    EXPECT_EQ(CNoteValues::ClassifyLength(n, c.length), c.known) << c.length;
    EXPECT_EQ(n.valueClass, c.valueClass) << c.length;
    EXPECT_EQ(n.dotted, c.dotted) << c.length;
  }
  const int triplet[][2] = {{20, kSixteenthNote}, {40, kEighthNote}, {80, kQuarterNote}, {160, kHalfNote}};
  for (const auto& t : triplet) {
    ScoreNote n;
    n.dotted = true;
    EXPECT_TRUE(CNoteValues::ClassifyTripletLength(n, t[0]));
    EXPECT_EQ(n.valueClass, t[1]);
    EXPECT_FALSE(n.dotted);
  }
  ScoreNote n;
  EXPECT_FALSE(CNoteValues::ClassifyTripletLength(n, 60));
}

// @name The 30-tick grid

TEST(MeasurePasses, PutsNotesOnTheGrid) {
  struct Case {
    const char* what;
    int offset, length;
    bool last;         // no following measure
    const char* here;  // what stays in this bar
    const char* next;  // what the next bar receives
  };
  const Case cases[] = {
      {"rounds offset and length", 125, 100, false, "120+90", ""},
      {"remainder 15 rounds up", 15, 105, false, "30+120", ""},
      {"a note never closed gets 30", 240, 0, false, "240+30", ""},
      {"a 4-tick note gets 30", 240, 4, false, "240+30", ""},
      {"short note on the bar line is drawn before it", 470, 20, false, "450+30", ""},
      {"long note on the bar line starts the next bar", 470, 120, false, "", "0+120"},
      {"long note late in the bar starts the next bar", 455, 120, false, "", "0+120"},
      {"a 60-tick note late in the bar stays", 455, 60, false, "450+60", ""},
      {"in the last bar a long note stays, drawn before the line", 470, 120, true, "450+120", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto m = Bar(4, 120);
    m->startTick = 1920;
    NoteList list;
    list.emplace_back(60, c.length, c.offset, 1920 + c.offset);
    NoteList next;
    next.emplace_back(62, 120, 60, 2460);
    CMeasurePasses::PutOnGrid(*m, list, c.last ? nullptr : &next);
    EXPECT_EQ(Pieces(list), c.here);
    if (!list.empty()) {
      EXPECT_EQ(list[0].notatedTick, 1920 + list[0].notatedOffset);
    }
    if (*c.next) {
      ASSERT_EQ(next.size(), 2u);
      EXPECT_EQ(std::to_string(next[0].notatedOffset) + "+" + std::to_string(next[0].notatedLength), c.next);
      EXPECT_EQ(next[0].notatedTick, 2400);
      EXPECT_EQ(next[0].tick, 1920 + c.offset) << "the played tick still finds it";
      EXPECT_EQ(next[1].pitch, 62);
    } else {
      EXPECT_EQ(next.size(), 1u);
    }
  }
}

// @name Triplets

TEST(MeasurePasses, MarksTriplets) {
  struct Case {
    const char* what;
    int beats;
    std::vector<std::pair<int, int>> notes;  // buffer offset, length
    std::vector<int> groups;                 // tuplet group per note
    std::vector<int> counts;                 // members shown per group
  };
  const Case cases[] = {
      {"eighth triplet on the beat", 4, {{0, 40}, {40, 40}, {80, 40}, {120, 120}}, {1, 1, 1, 0}, {3}},
      {"eighth triplet may not cross the beat", 4, {{60, 40}, {100, 40}, {140, 40}}, {0, 0, 0}, {}},
      {"played a little short still counts", 4, {{0, 36}, {40, 38}, {80, 40}}, {1, 1, 1}, {3}},
      {"two eighths are no triplet", 4, {{0, 40}, {40, 40}, {80, 120}}, {0, 0, 0}, {}},
      {"quarter triplet in a half", 4, {{240, 80}, {320, 80}, {400, 80}}, {1, 1, 1}, {3}},
      {"quarter triplet off the half", 4, {{120, 80}, {200, 80}, {280, 80}}, {0, 0, 0}, {}},
      {"quarter triplet would end past the half", 4, {{300, 80}, {380, 80}, {460, 80}}, {0, 0, 0}, {}},
      {"quarter triplet would end past the bar", 3, {{240, 80}, {320, 80}, {400, 80}}, {0, 0, 0}, {}},
      {"half triplet at the start of a 4/4 bar", 4, {{0, 160}, {160, 160}, {320, 160}}, {1, 1, 1}, {3}},
      {"no half triplet in 3/4", 3, {{0, 160}, {160, 160}, {320, 160}}, {0, 0, 0}, {}},
      {"six sixteenth triplets",
       4,
       {{0, 20}, {20, 20}, {40, 20}, {60, 20}, {80, 20}, {100, 20}},
       {1, 1, 1, 1, 1, 1},
       {6}},
      {"four sixteenth triplets: the first three",
       4,
       {{0, 20}, {20, 20}, {40, 20}, {60, 20}},
       {1, 1, 1, 0},
       {3}},
      {"sixteenth triplet from an odd position", 4, {{60, 20}, {80, 20}, {100, 20}}, {1, 1, 1}, {3}},
      {"two sixteenth triplet groups",
       4,
       {{0, 20}, {20, 20}, {40, 20}, {120, 20}, {140, 20}, {160, 20}},
       {1, 1, 1, 2, 2, 2},
       {3, 3}},
      {"a chord counts with its shortest note", 4, {{0, 40}, {0, 80}, {40, 40}, {80, 40}}, {1, 1, 1, 1}, {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto m = Bar(c.beats, 120);
    NoteList list;
    for (auto [offset, length] : c.notes) list.emplace_back(60, length, offset, offset);
    CMeasurePasses::MarkTriplets(*m, list);
    ASSERT_EQ(list.size(), c.groups.size());
    for (size_t i = 0; i < list.size(); ++i) {
      EXPECT_EQ(list[i].tupletGroup, c.groups[i]) << i;
      if (c.groups[i]) {
        EXPECT_EQ(list[i].notatedOffset % 10, 0);
        EXPECT_EQ(list[i].notatedLength,
                  c.notes[0].second == 36 ? 40 : std::min(c.notes[0].second, c.notes[i].second));
      }
    }
    EXPECT_EQ(m->tripletsPresent, !c.counts.empty());
    std::vector<int> counts;
    for (auto [group, count] : m->tupletCounts) counts.push_back(count);
    EXPECT_EQ(counts, c.counts);
  }
}

// @name Splits

struct SplitCase {
  const char* what;
  int beats, beat;
  int offset, length;
  const char* pieces;
};

NoteList SplitOne(const SplitCase& c, bool numbered) {
  auto m = Bar(c.beats, c.beat);
  NoteList list = {N(c.offset, c.length)};
  list[0].tieStart = 9;
  CMeasurePasses::SplitLongNotes(*m, list, numbered);
  if (numbered)
    CMeasurePasses::SplitAtJianPuGroups(*m, list);
  else
    CMeasurePasses::SplitAtStaffGroups(*m, list);
  CMeasurePasses::SplitAtBeats(*m, list);
  return list;
}

// Pieces of one note: contiguous, one split group, the tie leaves from the last.
void ExpectPiecesOfOneNote(const NoteList& list, const SplitCase& c) {
  int end = c.offset;
  for (size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].notatedOffset, end);
    end += list[i].notatedLength;
    EXPECT_EQ(list[i].splitGroup, list.size() > 1 ? list[0].splitGroup : 0);
    EXPECT_EQ(list[i].tieStart, i + 1 == list.size() ? 9 : 0);
    EXPECT_EQ(list[i].pitch, 60);
  }
  EXPECT_EQ(end, c.offset + c.length) << "the pieces add up to the note";
  if (list.size() > 1) {
    EXPECT_NE(list[0].splitGroup, 0);
  }
}

void ExpectSplits(const std::vector<SplitCase>& cases, bool numbered) {
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.what);
    const NoteList list = SplitOne(c, numbered);
    EXPECT_EQ(Pieces(list), c.pieces);
    ExpectPiecesOfOneNote(list, c);
  }
}

TEST(MeasurePasses, SplitsStaffNotesAtGroupsAndBeats) {
  const std::vector<SplitCase> cases = {
      {"4/4 over the half bar", 4, 120, 60, 240, "60+180 240+60"},
      {"4/4 half on the beat stays", 4, 120, 120, 240, "120+240"},
      {"4/4 whole stays", 4, 120, 0, 480, "0+480"},
      {"4/4 dotted half stays", 4, 120, 0, 360, "0+360"},
      {"4/4 five quarters less a dot", 4, 120, 0, 330, "0+240 240+90"},
      {"4/4 from the second sixteenth", 4, 120, 30, 120, "30+90 120+30"},
      {"4/4 from the fourth sixteenth", 4, 120, 90, 60, "90+30 120+30"},
      {"4/4 eighth then quarter length", 4, 120, 60, 120, "60+120"},
      {"4/4 quarter and a sixteenth", 4, 120, 0, 150, "0+120 120+30"},
      {"3/4 has no half-bar line", 3, 120, 60, 240, "60+60 120+180"},
      {"3/4 long off the beat", 3, 120, 0, 300, "0+240 240+60"},
      {"6/8 across the dotted quarter", 6, 60, 120, 120, "120+60 180+60"},
      {"6/8 dotted half stays", 6, 60, 0, 360, "0+360"},
      {"6/8 off the beat by 30, dotted", 6, 60, 30, 90, "30+90"},
      {"6/8 off the beat by 30, longer", 6, 60, 30, 120, "30+60 90+60"},
      {"6/8 quarter and a sixteenth", 6, 60, 0, 150, "0+120 120+30"},
      {"12/8 dotted whole stays", 12, 60, 0, 720, "0+720"},
      {"12/8 across the half bar", 12, 60, 60, 540, "60+180 240+240 480+120"},
      {"6/4 dotted whole stays", 6, 120, 0, 720, "0+720"},
      {"6/4 across the dotted half", 6, 120, 120, 480, "120+240 360+240"},
      {"2/2 quarter rules on half beats", 2, 240, 0, 300, "0+240 240+60"},
      {"5/4 long note cut at the whole", 5, 120, 0, 600, "0+480 480+120"},
      {"9/8 whole bar", 9, 60, 0, 540, "0+180 180+360"},
  };
  ExpectSplits(cases, false);
}

TEST(MeasurePasses, SplitsNumberedNotesByTheirOwnRules) {
  const std::vector<SplitCase> cases = {
      {"4/4 over the half bar", 4, 120, 60, 240, "60+180 240+60"},
      {"12/8 by dotted quarters, no whole exception", 12, 60, 0, 720, "0+180 180+180 360+180 540+180"},
      {"6/8 a dotted half is split too", 6, 60, 0, 360, "0+180 180+180"},
      {"6/8 one beat long is not split", 6, 60, 150, 60, "150+60"},
      {"8/8 by halves, then no quarter line", 8, 60, 0, 480, "0+240 240+240"},
      {"8/4 by wholes", 8, 120, 240, 480, "240+240 480+240"},
      {"8/4 dotted whole on the whole line stays", 8, 120, 0, 720, "0+720"},
      {"9/8 whole bar in dotted quarters", 9, 60, 0, 540, "0+180 180+180 360+180"},
  };
  ExpectSplits(cases, true);
}

TEST(MeasurePasses, GroupRulesAloneLeaveThreeFourAlone) {
  auto m = Bar(3, 120);
  NoteList list = {N(60, 240), N(300, 60)};
  CMeasurePasses::SplitAtStaffGroups(*m, list);
  EXPECT_EQ(Pieces(list), "60+240 300+60");
  auto six = Bar(6, 60);
  NoteList compound = {N(120, 120)};
  CMeasurePasses::SplitAtStaffGroups(*six, compound);
  EXPECT_EQ(Pieces(compound), "120+60 180+60");
}

TEST(MeasurePasses, SplitPiecesKeepTheListInOrder) {
  auto m = Bar(4, 120);
  NoteList list = {N(0, 300, 48), N(120, 60, 72), N(240, 120, 76)};
  CMeasurePasses::SplitAtStaffGroups(*m, list);
  EXPECT_EQ(Pieces(list), "0+240 120+60 240+60 240+120");
  EXPECT_EQ(list[2].pitch, 48) << "equal offsets keep their order";
}

// @name Straightening

TEST(MeasurePasses, StraightensLengths) {
  struct Case {
    const char* what;
    int beats, beat;
    std::vector<std::pair<int, int>> notes;  // notated offset, length
    int index;                               // the note looked at
    int length;                              // its length afterwards
  };
  const Case cases[] = {
      {"ends at the next onset: unchanged", 4, 120, {{0, 120}, {120, 360}}, 0, 120},
      {"slight overlap is cut", 4, 120, {{0, 150}, {120, 360}}, 0, 120},
      {"compound beat keeps a note inside its beat", 6, 60, {{0, 90}, {150, 210}}, 0, 90},
      {"next onset in the same quarter", 4, 120, {{0, 30}, {60, 420}}, 0, 60},
      {"gap of 30 to a quarter line", 4, 120, {{0, 90}, {120, 360}}, 0, 120},
      {"short note before a long gap becomes an eighth", 4, 120, {{0, 30}, {240, 240}}, 0, 60},
      {"dotted eighth before a long gap fills its quarter", 4, 120, {{0, 90}, {240, 240}}, 0, 120},
      {"on the beat, long, next off the quarter line", 4, 120, {{0, 150}, {270, 210}}, 0, 120},
      {"on the beat, gap over a quarter", 4, 120, {{0, 150}, {360, 120}}, 0, 240},
      {"on the beat, gap over an eighth", 4, 120, {{0, 150}, {240, 240}}, 0, 120},
      {"on the beat, small gap", 4, 120, {{0, 180}, {240, 240}}, 0, 240},
      {"off the beat, next on a quarter line, small gap", 4, 120, {{60, 150}, {240, 240}}, 0, 120},
      {"off the beat, next on a quarter line, wide gap", 4, 120, {{30, 120}, {240, 240}}, 0, 210},
      {"off the beat, next off the line", 4, 120, {{30, 150}, {210, 270}}, 0, 180},
      {"last note ends at the bar line", 4, 120, {{0, 240}, {240, 240}}, 1, 240},
      {"last note nearly at the bar line", 4, 120, {{0, 240}, {240, 210}}, 1, 240},
      {"last dotted eighth ends on an eighth line", 4, 120, {{0, 240}, {240, 90}}, 1, 60},
      {"last long note rounded to quarters", 4, 120, {{0, 120}, {120, 150}}, 1, 120},
      {"last on the beat rounded up", 4, 120, {{0, 300}}, 0, 360},
      {"last short on an eighth line", 4, 120, {{60, 30}}, 0, 60},
      {"last from a sixteenth, to an eighth line", 4, 120, {{30, 60}}, 0, 90},
      {"last from a sixteenth, longer", 4, 120, {{90, 120}}, 0, 90},
      {"last off the grid, long", 4, 120, {{20, 250}}, 0, 220},
      {"last off the grid, between eighth and quarter", 4, 120, {{20, 70}}, 0, 100},
      {"last off the grid, short in the second half", 4, 120, {{80, 40}}, 0, 30},
      {"a 20-tick note at 450 of 4/4 is 30 on the grid", 4, 120, {{450, 30}}, 0, 30},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto m = Bar(c.beats, c.beat);
    NoteList list;
    for (auto [offset, length] : c.notes) list.push_back(N(offset, length));
    CMeasurePasses::QuantizeMeasure(*m, list);
    EXPECT_EQ(list[c.index].notatedLength, c.length);
  }
}

TEST(MeasurePasses, KeepsNotesInsideTheBar) {
  auto m = Bar(3, 120);
  NoteList list = {N(300, 120), N(360, 60), N(0, 0)};
  CMeasurePasses::KeepInsideBar(*m, list);
  EXPECT_EQ(Pieces(list), "0+30 300+60 330+30");
}

// @name Chords and beams

TEST(MeasurePasses, ChordsShareTheShortestLengthAndSortByPitch) {
  auto m = Bar(4, 120);
  NoteList list = {N(0, 240, 67), N(0, 120, 60), N(0, 240, 64), N(120, 120, 62)};
  CMeasurePasses::MarkChords(*m, list);
  EXPECT_EQ(list[0].pitch, 60);
  EXPECT_EQ(list[1].pitch, 64);
  EXPECT_EQ(list[2].pitch, 67);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(list[i].chordGroup, 1);
    EXPECT_EQ(list[i].notatedLength, 120);
  }
  EXPECT_EQ(list[3].chordGroup, 0) << "a lone note is no chord";
  CMeasurePasses::RecordExtents(*m, list);
  ASSERT_EQ(m->chordRanges.count(1), 1u);
  EXPECT_EQ(m->chordRanges[1].lowest, 60);
  EXPECT_EQ(m->chordRanges[1].highest, 67);
}

struct BeamCase {
  const char* what;
  int beats, beat;
  std::vector<std::pair<int, int>> notes;
  std::vector<int> beams;  // beam group per note, renumbered from 1 in order of appearance
};

std::vector<int> BeamsOf(const BeamCase& c) {
  auto m = Bar(c.beats, c.beat);
  NoteList list;
  for (auto [offset, length] : c.notes) list.push_back(N(offset, length));
  CMeasurePasses::MarkChords(*m, list);
  CMeasurePasses::ClassifyValues(list, false);
  CMeasurePasses::BeamByMeter(*m, list);
  CMeasurePasses::BeamGeneral(*m, list);
  std::map<int, int> renumber;
  std::vector<int> out;
  for (const ScoreNote& n : list) {
    if (n.beamGroup && !renumber.count(n.beamGroup)) renumber[n.beamGroup] = int(renumber.size()) + 1;
    out.push_back(n.beamGroup ? renumber[n.beamGroup] : 0);
  }
  return out;
}

TEST(MeasurePasses, BeamsNotes) {
  const BeamCase cases[] = {
      {"3/4 six eighths: one beam",
       3,
       120,
       {{0, 60}, {60, 60}, {120, 60}, {180, 60}, {240, 60}, {300, 60}},
       {1, 1, 1, 1, 1, 1}},
      {"3/4 four eighths and a quarter",
       3,
       120,
       {{0, 60}, {60, 60}, {120, 60}, {180, 60}, {240, 120}},
       {1, 1, 1, 1, 0}},
      {"3/4 quarter and four eighths",
       3,
       120,
       {{0, 120}, {120, 60}, {180, 60}, {240, 60}, {300, 60}},
       {0, 1, 1, 1, 1}},
      {"4/4 eighths by halves",
       4,
       120,
       {{0, 60}, {60, 60}, {120, 60}, {180, 60}, {240, 60}, {300, 60}, {360, 60}, {420, 60}},
       {1, 1, 1, 1, 2, 2, 2, 2}},
      {"4/4 two eighths per beat",
       4,
       120,
       {{0, 60}, {60, 60}, {120, 120}, {240, 60}, {300, 60}},
       {1, 1, 0, 2, 2}},
      {"4/4 sixteenths by beat",
       4,
       120,
       {{0, 30}, {30, 30}, {60, 30}, {90, 30}, {120, 30}, {150, 30}, {180, 60}},
       {1, 1, 1, 1, 2, 2, 2}},
      {"4/4 dotted eighth and sixteenth", 4, 120, {{0, 90}, {90, 30}, {120, 360}}, {1, 1, 0}},
      {"4/4 eighths across a beat are not beamed",
       4,
       120,
       {{60, 60}, {120, 60}, {180, 60}, {240, 240}},
       {0, 1, 1, 0}},
      {"6/8 by dotted quarters",
       6,
       60,
       {{0, 60}, {60, 60}, {120, 60}, {180, 60}, {240, 60}, {300, 60}},
       {1, 1, 1, 2, 2, 2}},
      {"6/8 dotted eighth, sixteenth, eighth",
       6,
       60,
       {{0, 90}, {90, 30}, {120, 60}, {180, 180}},
       {1, 1, 1, 0}},
      {"2/4 eighths by beat", 2, 120, {{0, 60}, {60, 60}, {120, 60}, {180, 60}}, {1, 1, 2, 2}},
      {"chords are beamed as one", 4, 120, {{0, 60}, {0, 60}, {60, 60}, {60, 60}}, {1, 1, 1, 1}},
  };
  for (const BeamCase& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(BeamsOf(c), c.beams);
  }
}

// @name Beat subdivision

TEST(MeasurePasses, FindsTheFinestBeatSubdivision) {
  struct Case {
    const char* what;
    int beats, beat;
    std::vector<std::pair<int, int>> notes;  // notated offset, length
    bool triplet;                            // the first note is a triplet member of buffer length 40
    int units;
  };
  const Case cases[] = {
      {"empty", 4, 120, {}, false, 1},
      {"quarters", 4, 120, {{0, 120}, {120, 120}}, false, 1},
      {"eighths", 4, 120, {{0, 60}, {60, 60}}, false, 2},
      {"a sixteenth", 4, 120, {{0, 60}, {60, 30}}, false, 4},
      {"dotted eighth on the beat", 4, 120, {{0, 90}}, false, 4},
      {"a note 30 ticks in", 4, 120, {{30, 90}}, false, 4},
      {"eighth triplets", 4, 120, {{0, 40}, {120, 60}}, true, 3},
      {"triplets and sixteenths", 4, 120, {{0, 40}, {120, 30}}, true, 4},
      {"6/8 eighths", 6, 60, {{0, 60}}, false, 1},
      {"6/8 sixteenths", 6, 60, {{0, 30}}, false, 2},
      {"2/2 quarters", 2, 240, {{0, 120}, {120, 120}}, false, 2},
      {"2/2 eighths", 2, 240, {{0, 60}}, false, 4},
      {"2/2 a quarter 180 in", 2, 240, {{180, 60}}, false, 4},
      {"2/2 sixteenth", 2, 240, {{0, 30}}, false, 8},
      {"2/2 dotted quarter 60 in", 2, 240, {{60, 180}}, false, 4},
      {"2/2 triplet eighths", 2, 240, {{0, 40}}, true, 8},
      {"3/16 has one unit per beat", 3, 30, {{0, 30}}, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto m = Bar(c.beats, c.beat);
    for (auto [offset, length] : c.notes) m->notes.push_back(N(offset, length));
    if (c.triplet) {
      m->tripletsPresent = true;
      m->notes[0].tupletGroup = 1;
      m->notes[0].length = 40;
    }
    EXPECT_EQ(CMeasurePasses::FindBeatSubdivision(*m), c.units);
  }
}

}  // namespace
