#include <gtest/gtest.h>

#include "MeasureSizes.h"
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
  song.AddTrack(1, {{{0, 120, 60},    // bar 0: plain
                     {480, 120, 61},  // bar 1: C sharp needs a sign
                     {960, 30, 60},
                     {990, 30, 62},  // bar 2: sixteenths with lyrics
                     {1440, 120, 60},
                     {1560, 120, 62}},  // bar 3: a very long syllable
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
  // "x" 5 ticks later sits under the same note; the 120 px of the wider one
  // and the gap must clear the bar line, 3.5 quarter units on (the head sits
  // mid-cell).
  EXPECT_EQ(m[3].unitsPerBeat, 1);
  EXPECT_EQ(m[3].noteScale, 36);
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

TEST(ScoreModel, RepeatedSyllablesAreMeasuredOnceAndKeepTheirOwnWidths) {
  SongBuffer song(k44, {{0, 0}});
  song.AddTrack(1, {{{0, 30, 60},
                     {30, 30, 62},  // bar 0: sixteenths
                     {480, 30, 60},
                     {510, 30, 62},  // bar 1: sixteenths
                     {960, 120, 60},
                     {1080, 120, 62}},  // bar 2: quarters
                    3});
  std::vector<std::unique_ptr<FakePart>> parts;
  parts.push_back(std::make_unique<FakePart>(0, 1));
  parts[0]->lyrics = {{"la", 0},   {"long", 30}, {"long", 480}, {",", 500},
                      {"la", 510}, {"la", 960},  {"long", 1080}};
  ASSERT_EQ(BuildModel<CStaffScore>(song, parts), 0);
  EXPECT_EQ(parts[0]->measured, 2) << "two distinct syllables; punctuation takes no room";
  const auto& m = parts[0]->laidOut;
  ASSERT_EQ(m.size(), 3u);
  // Each syllable clears the next place one unit on with its own width and
  // the 6 px gap: "la" 16 px gives 22, "long" 32 px gives 38.
  EXPECT_EQ(m[0].noteScale, 22);
  EXPECT_EQ(m[1].noteScale, 38);
  EXPECT_EQ(m[2].noteScale, 22);
}

// @name Syllable spacing
// Where the views draw a part's syllables, from the measures the model laid
// out side by side: under the first note of the measure that starts within 10
// ticks, else free at the syllable's tick when that is at least 10 ticks
// before the bar line. The numbered view draws at the start of the note's
// grid cell, the staff view at its head, which the lead-in puts up to half a
// cell in. A free syllable that would overlap the previous one on its page
// moves 2 px past it.
struct DrawnSyllable {
  size_t measure;
  bool attached;
  int left, right;
  std::string text;
};

int CellX(const MeasureCopy& m, int offset) {
  const int T = m.beatLength, U = std::max(1, m.unitsPerBeat), perUnit = std::max(1, T / U);
  return static_cast<int>(((offset % T) / perUnit + U * (offset / T)) * m.noteScale);
}

std::vector<int> BarXs(const std::vector<MeasureCopy>& ms) {
  std::vector<int> xs;
  int x = 0;
  for (const MeasureCopy& m : ms) {
    xs.push_back(x);
    x += m.width;
  }
  return xs;
}

std::vector<DrawnSyllable> DrawnSyllables(const FakePart& part, bool numbered) {
  const std::vector<MeasureCopy>& ms = part.laidOut;
  const std::vector<int> barX = BarXs(ms);
  std::vector<ScoreLyric> lyrics = part.lyrics;
  std::stable_sort(lyrics.begin(), lyrics.end(),
                   [](const ScoreLyric& a, const ScoreLyric& b) { return a.tick < b.tick; });
  std::vector<DrawnSyllable> out;
  for (const ScoreLyric& lyric : lyrics) {
    if (lyric.text == "," || lyric.text == ".") continue;
    for (size_t i = 0; i < ms.size(); ++i) {
      const MeasureCopy& m = ms[i];
      const int end = m.startTick + m.BarLength();
      if (lyric.tick < m.startTick - 10 || lyric.tick >= end) continue;
      const ScoreNote* note = nullptr;
      for (const ScoreNote& n : m.notes)
        if (!note && std::abs(n.tick - lyric.tick) < 10) note = &n;
      if (!note && lyric.tick > end - 10) continue;
      const int lead = numbered ? 0 : std::max(5, static_cast<int>(m.noteScale) / 2);
      const int origin = barX[i] + m.signatureExtras + lead;
      const int d = std::max(0, lyric.tick - m.startTick);
      int x = origin;
      if (note)
        x += CellX(m, note->notatedOffset);
      else
        x += numbered ? CellX(m, d) : (m.width - m.signatureExtras - lead) * d / m.BarLength();
      if (!note && !out.empty() && out.back().measure == i && out.back().right >= x) x = out.back().right + 2;
      out.push_back({i, note != nullptr, x, x + int(lyric.text.size()) * part.charWidth, lyric.text});
      break;
    }
  }
  return out;
}

// Each syllable with the gap after it ends before the next syllable at
// another place and before its bar line; syllables under one note overlap
// whatever the widths, and a free one only has to clear its neighbour.
void ExpectSyllablesClear(const FakePart& part, bool numbered) {
  const std::vector<DrawnSyllable> drawn = DrawnSyllables(part, numbered);
  const std::vector<int> barX = BarXs(part.laidOut);
  ASSERT_EQ(drawn.size(), part.lyrics.size()) << "every syllable is drawn";
  int reach = 0;
  for (size_t k = 0; k < drawn.size(); ++k) {
    const DrawnSyllable& s = drawn[k];
    SCOPED_TRACE("\"" + s.text + "\" in measure " + std::to_string(s.measure));
    if (k > 0) {
      const DrawnSyllable& before = drawn[k - 1];
      if (!s.attached) {
        EXPECT_LE(before.right, s.left);
      } else if (!(before.attached && before.left == s.left)) {
        EXPECT_LE(reach + MeasureSizes::kLyricGap, s.left) << "after \"" << before.text << "\"";
      }
    }
    reach = (k > 0 && s.left == drawn[k - 1].left) ? std::max(reach, s.right) : s.right;
    const bool lastInMeasure = k + 1 == drawn.size() || drawn[k + 1].measure != s.measure;
    if (lastInMeasure) {
      const MeasureCopy& m = part.laidOut[s.measure];
      EXPECT_LE(reach + MeasureSizes::kLyricGap, barX[s.measure] + m.width) << "before the bar line";
    }
  }
}

struct SpacingCase {
  const char* what;
  std::vector<ScoreTimeSig> sigs;
  SongTrack track;
  std::vector<ScoreLyric> lyrics;
};

TEST(ScoreModel, SyllablesClearTheirNeighboursAndTheBarLine) {
  std::vector<SongNote> sixteenths;
  std::vector<ScoreLyric> las;
  for (int t = 0; t < 480; t += 30) {
    sixteenths.push_back({t, 30, 60 + t / 30});
    las.push_back({t % 120 ? "la" : "sing", t});
  }
  sixteenths.push_back({480, 480, 60});
  las.push_back({"end", 480});
  const std::vector<SpacingCase> cases = {
      {"sixteenths, each sung", k44, {sixteenths, 2}, las},
      {"a long syllable on a short note before a long one",
       k44,
       {{{0, 60, 60}, {60, 420, 62}, {480, 120, 64}, {600, 360, 65}}, 2},
       {{"extraordinary", 0}, {"so", 60}, {"fa", 480}, {"la", 600}}},
      {"a long syllable on the last beat, a new meter after the bar line",
       {{0, 4, 120}, {480, 3, 120}},
       {{{0, 120, 60}, {120, 120, 62}, {240, 120, 64}, {360, 120, 65}, {480, 360, 67}}, 2},
       {{"la", 0}, {"la", 120}, {"la", 240}, {"wonderfully", 360}, {"next", 480}}},
      {"triplets",
       k44,
       {{{0, 40, 60}, {40, 40, 62}, {80, 40, 64}, {120, 360, 65}}, 1},
       {{"tri", 0}, {"umph", 40}, {"antly", 80}, {"home", 120}}},
      {"two syllables under one note",
       k44,
       {{{0, 120, 60}, {120, 120, 62}, {240, 240, 64}}, 1},
       {{"ah", 0}, {"men", 5}, {"so", 120}, {"be", 240}}},
      {"a free syllable closer than one grid unit",
       k44,
       {{{0, 240, 60}, {240, 240, 62}}, 1},
       {{"hold", 0}, {"ing", 60}, {"on", 240}}},
      {"punctuation takes no room",
       k44,
       {{{0, 30, 60}, {30, 450, 62}}, 1},
       {{"oh", 0}, {",", 20}, {"yes", 30}}},
  };
  for (const SpacingCase& c : cases) {
    for (bool numbered : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (numbered ? ", numbered" : ", staff"));
      SongBuffer song(c.sigs, {{0, 0}});
      song.AddTrack(1, c.track);
      std::vector<std::unique_ptr<FakePart>> parts;
      parts.push_back(std::make_unique<FakePart>(0));
      std::vector<ScoreLyric> drawnLyrics;
      for (const ScoreLyric& l : c.lyrics)
        if (l.text != ",") drawnLyrics.push_back(l);
      parts[0]->lyrics = c.lyrics;
      ASSERT_EQ(numbered ? BuildModel<CJianPuScore>(song, parts) : BuildModel<CStaffScore>(song, parts), 0);
      FakePart shown(0);
      shown.lyrics = drawnLyrics;
      shown.laidOut = parts[0]->laidOut;
      ExpectSyllablesClear(shown, numbered);
    }
  }
}

TEST(ScoreModel, AHostileSyllableWidensOnlyItsMeasureAndOnlyToTheBound) {
  SongBuffer song(k44, {{0, 0}});
  song.AddTrack(1, {{{0, 120, 60}, {480, 30, 62}, {510, 450, 64}, {960, 480, 65}}, 3});
  for (bool numbered : {false, true}) {
    SCOPED_TRACE(numbered ? "numbered" : "staff");
    std::vector<std::unique_ptr<FakePart>> parts;
    parts.push_back(std::make_unique<FakePart>(0));
    parts[0]->lyrics = {{"la", 0}, {std::string(10000, 'x'), 480}, {"la", 510}, {"la", 960}};
    ASSERT_EQ(numbered ? BuildModel<CJianPuScore>(song, parts) : BuildModel<CStaffScore>(song, parts), 0);
    const auto& m = parts[0]->laidOut;
    ASSERT_EQ(m.size(), 3u);
    const int plain = int(CScoreModel::BaseUnitWidth(0, numbered, false));
    const int noteArea = m[1].width - m[1].signatureExtras;
    EXPECT_GT(noteArea, 4 * 4 * plain) << "widened";
    EXPECT_LE(noteArea, MeasureSizes::kLyricMeasureLimit) << "but bounded";
    // The neighbours keep the widths their own syllables ask for.
    EXPECT_EQ(m[0].noteScale, plain);
    EXPECT_EQ(m[2].noteScale, plain);
  }
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
  auto m = BuildOne<CJianPuScore>(k44, {{{0, 240, 60},
                                         {0, 240, 64},
                                         {0, 240, 55},  // chord: 64 stays
                                         {240, 120, 67},
                                         {245, 120, 72},  // one onset after rounding
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
