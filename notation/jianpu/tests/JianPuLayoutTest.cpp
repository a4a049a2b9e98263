// The arithmetic of numbered notation: digits of pitches, accidentals within
// a measure, rests of gaps and empty measures, one voice, and underlines.
#include <gtest/gtest.h>

#include <numeric>

#include "JianPuDegrees.h"
#include "JianPuLayout.h"
#include "NoteValues.h"
#include "WrittenMeasure.h"

namespace {

struct DigitCase {
  const char* what;
  int key;
  int pitch;
  char digit;
  int accidental;
  int octaveSign;
  int octaveCount;
};

TEST(NoteSpecTest, DigitsOfPitchesInTheirKey) {
  const DigitCase cases[] = {
      {"C major tonic", 0, 60, '1', 0, 0, 0},
      {"C sharp is a flat second", 0, 61, '2', 2, 0, 0},
      {"F sharp is a sharp fourth", 0, 66, '4', 1, 0, 0},
      {"an octave up has one dot above", 0, 72, '1', 0, 1, 1},
      {"B below is seven with a dot below", 0, 59, '7', 0, -1, 1},
      {"two octaves down", 0, 47, '7', 0, -1, 2},
      {"G major tonic is 55", 1, 55, '1', 0, 0, 0},
      {"D major tonic", 2, 62, '1', 0, 0, 0},
      {"D major F sharp is three", 2, 66, '3', 0, 0, 0},
      {"D major C sharp is seven below", 2, 61, '7', 0, -1, 1},
      {"A minor's A in C is six", 0, 69, '6', 0, 0, 0},
      {"E flat major tonic", -3, 63, '1', 0, 0, 0},
      {"two octaves up", 0, 84, '1', 0, 1, 2},
      {"tonic below 60 for F sharp major", 6, 54, '1', 0, 0, 0},
  };
  for (const DigitCase& c : cases) {
    const NoteSpec s = MakeNoteSpec(c.pitch, CJianPuDegrees::Tonic(c.key), kQuarterNote, false);
    EXPECT_EQ(c.digit, s.digit) << c.what;
    EXPECT_EQ(c.accidental, s.accidental) << c.what;
    EXPECT_EQ(c.octaveSign, s.octaveSign) << c.what;
    EXPECT_EQ(c.octaveCount, s.octaveCount) << c.what;
  }
}

TEST(NoteSpecTest, ValueClassesGiveDashesUnderlinesAndDots) {
  struct Case {
    int valueClass;
    bool dotted;
    int dashes, underlines;
    bool dot;
  } cases[] = {
      {kWholeNote, false, 3, 0, false},     {kHalfNote, false, 1, 0, false},
      {kHalfNote, true, 2, 0, false},       {kQuarterNote, true, 0, 0, true},
      {kEighthNote, false, 0, 1, false},    {kEighthNote, true, 0, 1, true},
      {kSixteenthNote, false, 0, 2, false},
  };
  for (const Case& c : cases) {
    const NoteSpec s = MakeNoteSpec(60, 60, c.valueClass, c.dotted);
    EXPECT_EQ(c.dashes, s.dashes) << c.valueClass;
    EXPECT_EQ(c.underlines, s.underlines) << c.valueClass;
    EXPECT_EQ(c.dot, s.dotted) << c.valueClass;
  }
}

TEST(NoteSpecTest, EveryPitchOfEveryKeyNamesADigitAndItsOctaveBack) {
  for (int key = -7; key <= 7; ++key) {
    const int tonic = CJianPuDegrees::Tonic(key);
    for (int pitch = 0; pitch < 128; ++pitch) {
      const NoteSpec s = MakeNoteSpec(pitch, tonic, kQuarterNote, false);
      ASSERT_GE(s.digit, '1');
      ASSERT_LE(s.digit, '7');
      const int octave = s.octaveSign * s.octaveCount;
      // The digit's octave holds the pitch: tonic + 12 × octave ≤ pitch < tonic + 12 × (octave + 1).
      EXPECT_LE(tonic + 12 * octave, pitch) << key << " " << pitch;
      EXPECT_GT(tonic + 12 * (octave + 1), pitch) << key << " " << pitch;
    }
  }
}

TEST(DegreeAccidentalsTest, ShowsOnlyWhatChangedSinceTheDigitsLastSign) {
  struct Step {
    char digit;
    int pitch;
    int spelled;
    int expected;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
  } cases[] = {
      {"a plain digit shows nothing", {{'1', 60, 0, 0}}},
      {"a repeated sharp shows once", {{'4', 66, 1, 1}, {'4', 66, 1, 0}}},
      {"the natural after a sharp", {{'4', 66, 1, 1}, {'4', 65, 0, 3}}},
      {"a flat after a sharp", {{'4', 66, 1, 1}, {'4', 64, 2, 2}}},
      {"after a natural a higher pitch is sharp", {{'4', 66, 1, 1}, {'4', 65, 0, 3}, {'4', 66, 0, 1}}},
      {"after a natural the same pitch shows nothing", {{'4', 66, 1, 1}, {'4', 65, 0, 3}, {'4', 65, 0, 0}}},
      {"after a natural a lower pitch is flat", {{'7', 70, 2, 2}, {'7', 71, 0, 3}, {'7', 70, 0, 2}}},
      {"other digits keep their own memory", {{'4', 66, 1, 1}, {'5', 67, 0, 0}, {'4', 66, 1, 0}}},
  };
  for (const Case& c : cases) {
    CDegreeAccidentals memory;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& s = c.steps[i];
      EXPECT_EQ(s.expected, memory.AccidentalFor(s.digit, s.pitch, s.spelled)) << c.what << " step " << i;
    }
  }
}

int Sum(const std::vector<RestPiece>& rests) {
  return std::accumulate(rests.begin(), rests.end(), 0,
                         [](int s, const RestPiece& r) { return s + r.length; });
}

TEST(RestsTest, EmptyMeasuresInSeveralMetres) {
  struct Case {
    const char* what;
    int beats, beatTicks;
    std::vector<int> lengths;
    std::vector<bool> dotted;
    bool underlined;
  } cases[] = {
      {"4/4: four quarter rests", 4, 120, {120, 120, 120, 120}, {false, false, false, false}, false},
      {"3/4", 3, 120, {120, 120, 120}, {false, false, false}, false},
      {"6/8: two dotted quarter rests", 6, 60, {180, 180}, {true, true}, false},
      {"9/8", 9, 60, {180, 180, 180}, {true, true, true}, false},
      {"3/8: three underlined eighths", 3, 60, {60, 60, 60}, {false, false, false}, true},
      {"2/2: quarters", 2, 240, {120, 120, 120, 120}, {false, false, false, false}, false},
      {"5/8: simple cells", 5, 60, {120, 120, 60}, {false, false, false}, false},
      {"x/16 has no rests", 4, 30, {}, {}, false},
  };
  for (const Case& c : cases) {
    const std::vector<RestPiece> rests = EmptyMeasureRests(c.beats, c.beatTicks);
    ASSERT_EQ(c.lengths.size(), rests.size()) << c.what;
    int at = 0;
    for (size_t i = 0; i < rests.size(); ++i) {
      EXPECT_EQ(at, rests[i].from) << c.what;
      EXPECT_EQ(c.lengths[i], rests[i].length) << c.what;
      EXPECT_EQ(c.dotted[i], rests[i].dotted) << c.what;
      EXPECT_EQ(c.underlined, rests[i].underline) << c.what;
      at += rests[i].length;
    }
  }
}

TEST(RestsTest, GapsAreCutAtBeatCells) {
  std::vector<RestPiece> r;
  AddRests(30, 90, 120, &r);  // inside one beat: one dotted eighth
  ASSERT_EQ(1u, r.size());
  EXPECT_TRUE(r[0].dotted);
  EXPECT_EQ(90, r[0].length);

  r.clear();
  AddRests(60, 240, 120, &r);  // 60..120, 120..240, 240..300
  ASSERT_EQ(3u, r.size());
  EXPECT_EQ(60, r[0].length);
  EXPECT_EQ(120, r[1].from);
  EXPECT_EQ(120, r[1].length);
  EXPECT_EQ(240, r[2].from);
  EXPECT_EQ(60, r[2].length);

  r.clear();
  AddRests(0, 180, 180, &r);  // a compound beat: one dotted quarter
  ASSERT_EQ(1u, r.size());
  EXPECT_TRUE(r[0].dotted);
}

TEST(RestsTest, EveryGridGapIsFilledExactlyWithoutCrossingACell) {
  for (int cell : {120, 180}) {
    for (int from = 0; from <= 960; from += 30) {
      for (int length = 0; from + length <= 1440; length += 30) {
        std::vector<RestPiece> r;
        AddRests(from, length, cell, &r);
        ASSERT_EQ(length, Sum(r)) << cell << " " << from << " " << length;
        int at = from;
        for (const RestPiece& p : r) {
          ASSERT_EQ(at, p.from);
          ASSERT_GT(p.length, 0);
          ASSERT_EQ(p.from / cell, (p.from + p.length - 1) / cell) << "a rest crosses a beat cell";
          at += p.length;
        }
      }
    }
  }
}

ScoreNote Note(int pitch, int offset, int length) {
  return scoretest::WrittenNote{pitch, offset, length}.At(0);
}

TEST(MonophonicTest, SameOnsetKeepsTheSecondAndOverlapsAreCut) {
  std::vector<ScoreNote> notes = {Note(60, 0, 120), Note(64, 0, 120), Note(67, 120, 240), Note(65, 240, 120)};
  MakeMonophonic(notes);
  ASSERT_EQ(3u, notes.size());
  EXPECT_EQ(64, notes[0].pitch);
  EXPECT_EQ(67, notes[1].pitch);
  EXPECT_EQ(120, notes[1].notatedLength);
  EXPECT_EQ(kQuarterNote, notes[1].valueClass);
  EXPECT_EQ(65, notes[2].pitch);

  std::vector<ScoreNote> dotted = {Note(60, 0, 180), Note(62, 120, 120)};
  ASSERT_TRUE(dotted[0].dotted);
  MakeMonophonic(dotted);
  EXPECT_EQ(120, dotted[0].notatedLength);
  EXPECT_FALSE(dotted[0].dotted) << "a cut note is reclassified";
}

TEST(MonophonicTest, NoTwoNotesOverlapAfterwards) {
  std::vector<ScoreNote> notes;
  for (int i = 0; i < 16; ++i) notes.push_back(Note(60 + i % 5, (i * 37) % 420 / 30 * 30, 30 * (1 + i % 6)));
  std::stable_sort(notes.begin(), notes.end(),
                   [](const ScoreNote& a, const ScoreNote& b) { return a.notatedOffset < b.notatedOffset; });
  MakeMonophonic(notes);
  for (size_t i = 0; i + 1 < notes.size(); ++i) EXPECT_LE(notes[i].NotatedEnd(), notes[i + 1].notatedOffset);
}

TEST(UnderlineTest, RunsWithinABeatJoinAndSixteenthsGetASecondLevel) {
  const int span = 10;
  // 4/4: eighths at 0 and 60 share one line; a quarter takes none.
  std::vector<UnderlineInput> eighths = {{0, 60, false, 0}, {60, 60, false, 20}, {120, 120, false, 40}};
  std::vector<UnderlineSpan> u = JoinUnderlines(eighths, 120, span);
  ASSERT_EQ(1u, u.size());
  EXPECT_EQ(0, u[0].x1);
  EXPECT_EQ(20 + span, u[0].x2);
  EXPECT_EQ(0, u[0].level);

  // An eighth and two sixteenths: one first-level line, one second-level under the pair.
  std::vector<UnderlineInput> mixed = {{0, 60, false, 0}, {60, 30, false, 20}, {90, 30, false, 30}};
  u = JoinUnderlines(mixed, 120, span);
  ASSERT_EQ(2u, u.size());
  EXPECT_EQ(0, u[0].level);
  EXPECT_EQ(30 + span, u[0].x2);
  EXPECT_EQ(1, u[1].level);
  EXPECT_EQ(20, u[1].x1);
  EXPECT_EQ(30 + span, u[1].x2);

  // A dotted quarter then an eighth: the eighth reaches the beat line alone.
  std::vector<UnderlineInput> dotted = {{0, 180, false, 0}, {180, 60, false, 30}};
  u = JoinUnderlines(dotted, 120, span);
  ASSERT_EQ(1u, u.size());
  EXPECT_EQ(30, u[0].x1);

  // 6/8: three eighths share one line over the dotted-quarter beat; beats do not join.
  std::vector<UnderlineInput> compound = {{0, 60, false, 0},    {60, 60, false, 10},  {120, 60, false, 20},
                                          {180, 60, false, 30}, {240, 60, false, 40}, {300, 60, false, 50}};
  u = JoinUnderlines(compound, 180, span);
  ASSERT_EQ(2u, u.size());
  EXPECT_EQ(20 + span, u[0].x2);
  EXPECT_EQ(30, u[1].x1);

  // Eighth-triplet members of 40 join; quarter-triplet members of 80 take no part.
  std::vector<UnderlineInput> triplets = {
      {0, 40, true, 0}, {40, 40, true, 5}, {80, 40, true, 10}, {120, 80, true, 20}};
  u = JoinUnderlines(triplets, 120, span);
  ASSERT_EQ(1u, u.size());
  EXPECT_EQ(10 + span, u[0].x2);
}

}  // namespace
