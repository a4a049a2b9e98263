#include <gtest/gtest.h>

#include "ModelFixtures.h"

namespace {

const std::vector<ScoreTimeSig> k44 = {{0, 4, 120}};

TEST(ScoreModel, OctaveMarkedStavesShiftThePitch) {
  EXPECT_EQ(OctaveShift(6, 40), 52);
  EXPECT_EQ(OctaveShift(5, 72), 60);
  for (int kind : {0, 1, 2, 3, 4, 7}) EXPECT_EQ(OctaveShift(kind, 40), 40) << kind;

  auto m = BuildOne<CStaffScore>(k44, {{{0, 120, 40}}, 1, 6});
  ASSERT_EQ(m.size(), 1u);
  ASSERT_EQ(m[0].notes.size(), 1u);
  EXPECT_EQ(m[0].notes[0].pitch, 52);
  // The numbered model never shifts.
  auto j = BuildOne<CJianPuScore>(k44, {{{0, 120, 40}}, 1, 6});
  EXPECT_EQ(j[0].notes.at(0).pitch, 40);
}

TEST(ScoreModel, TwoStavesDivideAtMiddleC) {
  auto m = BuildOne<CStaffScore>(k44, {{{0, 120, 59}, {0, 120, 60}, {120, 120, 48}}, 1, 2});
  ASSERT_EQ(m.size(), 1u);
  EXPECT_TRUE(m[0].twoStaves);
  ASSERT_EQ(m[0].upper.size(), 1u);
  EXPECT_EQ(m[0].upper[0].pitch, 60);
  ASSERT_EQ(m[0].lower.size(), 2u);
  EXPECT_EQ(m[0].lower[0].pitch, 59);
  EXPECT_EQ(m[0].lower[1].pitch, 48);
  EXPECT_EQ(m[0].notes.size(), 3u) << "the notes list holds both staves";
  for (size_t i = 1; i < m[0].notes.size(); ++i)
    EXPECT_LE(m[0].notes[i - 1].notatedOffset, m[0].notes[i].notatedOffset);
}

TEST(ScoreModel, ShorterTracksArePaddedWithTheLongestTracksSignatures) {
  SongBuffer song({{0, 4, 120}, {3840, 3, 120}}, {{0, 0}, {3840, 2}});
  song.AddTrack(1, {{{0, 480, 60}}, 8});
  song.AddTrack(2, {{{0, 480, 64}, {3840, 360, 66}, {4200, 360, 66}}, 10});
  std::vector<std::unique_ptr<FakePart>> parts;
  parts.push_back(std::make_unique<FakePart>(0));
  parts.push_back(std::make_unique<FakePart>(1));
  ASSERT_EQ(BuildModel<CStaffScore>(song, parts), 0);
  const auto& a = parts[0]->laidOut;
  const auto& b = parts[1]->laidOut;
  ASSERT_EQ(a.size(), 10u);
  ASSERT_EQ(b.size(), 10u);
  for (size_t i = 8; i < 10; ++i) {
    EXPECT_TRUE(a[i].notes.empty());
    EXPECT_EQ(a[i].index, b[i].index);
    EXPECT_EQ(a[i].beats, 3);
    EXPECT_EQ(a[i].startTick, b[i].startTick);
    EXPECT_EQ(a[i].key, 2);
  }
  EXPECT_EQ(a[8].startTick, 3840);
  EXPECT_EQ(b[9].startTick, 4200);
  EXPECT_TRUE(a[8].timeSigChange);
  EXPECT_TRUE(a[8].keyChange);
  // Lined up: measure i has one width in every part.
  for (size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(a[i].width, b[i].width) << i;
    EXPECT_EQ(a[i].unitsPerBeat, b[i].unitsPerBeat) << i;
  }
}

TEST(ScoreModel, SignaturesPerMeasure) {
  // 3/4 for two bars, 6/8 for one, then 4/4; keys change at bar 1 and bar 3.
  SongBuffer song({{0, 3, 120}, {720, 6, 60}, {1080, 4, 120}, {1560, 4, 120}},
                  {{0, -3}, {360, -3}, {725, 0}, {1080, 4}});
  song.AddTrack(1, {{}, 6});
  std::vector<std::unique_ptr<FakePart>> parts;
  parts.push_back(std::make_unique<FakePart>(0));
  ASSERT_EQ(BuildModel<CStaffScore>(song, parts), 0);
  const auto& m = parts[0]->laidOut;
  ASSERT_EQ(m.size(), 6u);
  const int starts[] = {0, 360, 720, 1080, 1560, 2040};
  const int beats[] = {3, 3, 6, 4, 4, 4};
  const bool timeChange[] = {false, false, true, true, false, false};
  const int keys[] = {-3, -3, 0, 4, 4, 4};
  const bool keyChange[] = {false, false, true, true, false, false};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(m[i].startTick, starts[i]);
    EXPECT_EQ(m[i].beats, beats[i]);
    EXPECT_EQ(m[i].timeSigChange, timeChange[i]);
    EXPECT_EQ(m[i].key, keys[i]);
    EXPECT_EQ(m[i].keyChange, keyChange[i]);
  }
  EXPECT_EQ(m[2].previousKey, -3);
  // Level 0: naturals for three flats (3 × 7) and the time signature (14).
  EXPECT_EQ(m[2].signatureExtras, 21 + 14);
  EXPECT_EQ(m[3].signatureExtras, 4 * 7 + 14);
  EXPECT_EQ(m[4].signatureExtras, 0);
  // An empty measure needs one unit per beat at the plain width.
  EXPECT_EQ(m[0].unitsPerBeat, 1);
  EXPECT_EQ(m[0].width, 16 * 3);
  EXPECT_EQ(m[3].width, 16 * 4 + 42);
}

TEST(ScoreModel, FixedWidthSpreadsTheUnitsOverTheWidth) {
  SongBuffer song({{0, 4, 120}, {480, 6, 60}});
  song.AddTrack(1, {{{0, 120, 60}}, 2});
  std::vector<std::unique_ptr<FakePart>> parts;
  parts.push_back(std::make_unique<FakePart>(0));
  ASSERT_EQ(BuildModel<CStaffScore>(song, parts, true, 300), 0);
  const auto& m = parts[0]->laidOut;
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].unitsPerBeat, 4);
  EXPECT_DOUBLE_EQ(m[0].noteScale, 300.0 / 17);
  EXPECT_EQ(m[0].width, 300);
  // 6/8 with a time-signature change: 2 units per 60-tick beat, extras kept out.
  EXPECT_EQ(m[1].unitsPerBeat, 2);
  EXPECT_DOUBLE_EQ(m[1].noteScale, (300.0 - 14) / 13);
  EXPECT_EQ(m[1].width, 300);

  // A fixed width of 0 is no fixed width.
  std::vector<std::unique_ptr<FakePart>> again;
  again.push_back(std::make_unique<FakePart>(0));
  ASSERT_EQ(BuildModel<CStaffScore>(song, again, true, 0), 0);
  EXPECT_EQ(again[0]->laidOut[0].noteScale, 16);
}

TEST(ScoreModel, UnitWidthGrowsForAccidentalsAndLyrics) {
  SongBuffer song(k44, {{0, 0}});
  song.AddTrack(1, {{{0, 120, 60},                    // bar 0: plain
                     {480, 120, 61},                  // bar 1: C sharp needs a sign
                     {960, 30, 60}, {990, 30, 62},    // bar 2: sixteenths with lyrics
                     {1440, 120, 60}, {1560, 120, 62}},  // bar 3: a very long syllable
                    4});
  std::vector<std::unique_ptr<FakePart>> parts;
  parts.push_back(std::make_unique<FakePart>(0, 1));
  parts[0]->lyrics = {{"a", 0}, {"long", 960}, {"er", 990}, {"extraordinarily", 1440}, {"x", 1445}};
  ASSERT_EQ(BuildModel<CStaffScore>(song, parts), 0);
  const auto& m = parts[0]->laidOut;
  ASSERT_EQ(m.size(), 4u);
  EXPECT_EQ(m[0].noteScale, 18);
  EXPECT_EQ(m[1].noteScale, 24);
  // "long" is 32 px over one sixteenth (one unit at 4 units per beat): 38 px
  // with the gap after it.
  EXPECT_EQ(m[2].unitsPerBeat, 4);
  EXPECT_EQ(m[2].noteScale, 38);
  // 120 px over one quarter unit, and a syllable 5 ticks later: four times
  // the plain 18 at the most.
  EXPECT_EQ(m[3].unitsPerBeat, 1);
  EXPECT_EQ(m[3].noteScale, 72);
  EXPECT_EQ(parts[0]->measured, 5) << "each syllable is measured once";

  // Percussion asks for neither.
  std::vector<std::unique_ptr<FakePart>> drums;
  drums.push_back(std::make_unique<FakePart>(7, 1));
  drums[0]->lyrics = parts[0]->lyrics;
  ASSERT_EQ(BuildModel<CStaffScore>(song, drums), 0);
  EXPECT_TRUE(drums[0]->laidOut[1].percussion);
  EXPECT_EQ(drums[0]->laidOut[1].noteScale, 18);
  EXPECT_EQ(drums[0]->laidOut[2].noteScale, 18);
}

TEST(ScoreModel, NumberedMeasuresAddTheirOpeningSpace) {
  auto m = BuildOne<CJianPuScore>(k44, {{{0, 120, 60}, {120, 120, 61}}, 2});
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].noteScale, 22) << "a sharp degree widens the unit";
  EXPECT_EQ(m[1].noteScale, 16);
  // unit width − line gap (6 at level 0)
  EXPECT_EQ(m[0].signatureExtras, 16);
  EXPECT_EQ(m[1].signatureExtras, 10);
  EXPECT_EQ(m[1].width, 16 * 1 * 4 + 10);
}

TEST(ScoreModel, NumberedNotationKeepsTheTopNoteOfEachOnset) {
  auto m = BuildOne<CJianPuScore>(k44, {{{0, 240, 60}, {0, 240, 64}, {0, 240, 55},  // chord: 64 stays
                                         {240, 120, 67}, {245, 120, 72},            // one onset after rounding
                                         {360, 120, 62}},
                                        1});
  ASSERT_EQ(m.size(), 1u);
  std::vector<int> pitches;
  for (const ScoreNote& n : m[0].notes) pitches.push_back(n.pitch);
  EXPECT_EQ(pitches, (std::vector<int>{64, 72, 62}));
  for (const ScoreNote& n : m[0].notes) EXPECT_EQ(n.chordGroup, 0);
}

TEST(ScoreModel, NumberedNotationEndsANoteHeldUnderTheNextOne) {
  const SongTrack legato = {{{420, 150, 60}, {480, 120, 62}}, 2};
  auto j = BuildOne<CJianPuScore>(k44, legato);
  ASSERT_EQ(j.size(), 2u);
  ASSERT_EQ(j[0].notes.size(), 1u);
  EXPECT_EQ(j[0].notes[0].notatedLength, 60);
  EXPECT_EQ(j[0].notes[0].tieStart, 0);
  ASSERT_EQ(j[1].notes.size(), 1u);
  EXPECT_EQ(j[1].notes[0].pitch, 62);
  // The staff shows both voices: the held note is tied into a chord.
  auto s = BuildOne<CStaffScore>(k44, legato);
  EXPECT_NE(s[0].notes.at(0).tieStart, 0);
  ASSERT_EQ(s[1].notes.size(), 2u);
  EXPECT_NE(s[1].notes[0].chordGroup, 0);
}

TEST(ScoreModel, ALayoutFailureEndsTheBuild) {
  SongBuffer song(k44);
  song.AddTrack(1, {{{0, 120, 60}}, 1});
  song.AddTrack(2, {{{0, 120, 60}}, 1});
  std::vector<std::unique_ptr<FakePart>> parts;
  parts.push_back(std::make_unique<FakePart>(0));
  parts.push_back(std::make_unique<FakePart>(0));
  parts[0]->layoutResult = 7;
  EXPECT_EQ(BuildModel<CStaffScore>(song, parts), 7);
  EXPECT_TRUE(parts[1]->laidOut.empty());
  // More entries than parts: the extra entry has no part and is left out.
  parts.pop_back();
  parts[0]->layoutResult = 0;
  EXPECT_EQ(BuildModel<CStaffScore>(song, parts), 0);
  EXPECT_EQ(parts[0]->laidOut.size(), 1u);
}

}  // namespace
