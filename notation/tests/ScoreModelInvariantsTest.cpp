// Whole-model properties over random songs in many meters: what every bar the
// views receive must satisfy, whatever the passes did to get there.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "ModelFixtures.h"

namespace {

const std::vector<std::pair<int, int>> kMeters = {{2, 120}, {3, 120}, {4, 120}, {5, 120}, {6, 120},
                                                  {2, 240}, {3, 60},  {6, 60},  {9, 60},  {12, 60}};

bool IsNoteValue(int length) {
  static const std::set<int> kValues = {30, 60, 90, 120, 180, 240, 360, 480, 720};
  return kValues.count(length) > 0;
}

std::string Where(size_t measure, int voice) {
  return "measure " + std::to_string(measure) + " voice " + std::to_string(voice);
}

std::string Dump(const std::vector<ScoreNote>& list) {
  std::string out;
  for (const ScoreNote& n : list)
    out += " " + std::to_string(n.notatedOffset) + "+" + std::to_string(n.notatedLength) + "/t" +
           std::to_string(n.tupletGroup) + "/c" + std::to_string(n.chordGroup) + "/raw" +
           std::to_string(n.offset) + "+" + std::to_string(n.length);
  return out;
}

// Notes inside the bar, sorted, with positive lengths; ties pair across one bar line.
void ExpectBarInvariants(const std::vector<MeasureCopy>& ms, bool twoStaves) {
  for (size_t i = 0; i < ms.size(); ++i) {
    const MeasureCopy& m = ms[i];
    for (int voice : {kSingleVoice, kUpperVoice, kLowerVoice}) {
      if (twoStaves && voice == kSingleVoice) continue;
      if (!twoStaves && voice != kSingleVoice) continue;
      SCOPED_TRACE(Where(i, voice));
      const std::vector<ScoreNote>& list = m.Voice(voice);
      for (size_t k = 0; k < list.size(); ++k) {
        const ScoreNote& n = list[k];
        EXPECT_GT(n.notatedLength, 0);
        EXPECT_GE(n.notatedOffset, 0);
        EXPECT_LE(n.NotatedEnd(), m.BarLength()) << "note " << k << " of " << Dump(list);
        if (k > 0) {
          EXPECT_LE(list[k - 1].notatedOffset, n.notatedOffset) << "sorted";
        }
        if (n.tieStart) {
          ASSERT_LT(i + 1, ms.size()) << "no tie out of the last bar";
          int ends = 0;
          for (const ScoreNote& x : ms[i + 1].Voice(voice)) ends += x.tieEnd == n.tieStart;
          EXPECT_EQ(ends, 1) << "tie " << n.tieStart;
        }
        if (n.tieEnd) {
          ASSERT_GT(i, 0u);
          int starts = 0;
          for (const ScoreNote& x : ms[i - 1].Voice(voice)) starts += x.tieStart == n.tieEnd;
          EXPECT_EQ(starts, 1) << "tie " << n.tieEnd;
          EXPECT_EQ(n.notatedOffset, 0);
        }
      }
    }
  }
}

// A melody of contiguous notes on the eighth grid that fills `bars` bars.
std::vector<SongNote> Melody(std::mt19937& rng, int songLength) {
  std::vector<SongNote> notes;
  int tick = 0;
  while (tick < songLength) {
    int length = 60 * (1 + int(rng() % 16));
    length = std::min(length, songLength - tick);
    notes.push_back({tick, length, 55 + int(rng() % 20)});
    tick += length;
  }
  return notes;
}

// The notated pieces in time order, summed per played note: pieces of a split
// continue the previous piece, and so does a piece that ends its tie.
std::vector<int> PlayedLengths(const std::vector<MeasureCopy>& ms) {
  std::vector<int> lengths;
  const ScoreNote* previous = nullptr;
  for (const MeasureCopy& m : ms) {
    for (const ScoreNote& n : m.notes) {
      const bool split = previous && n.splitGroup != 0 && n.splitGroup == previous->splitGroup &&
                         previous->NotatedEnd() == n.notatedOffset;
      const bool tied = previous && n.tieEnd != 0 && n.tieEnd == previous->tieStart;
      if (split || tied)
        lengths.back() += n.notatedLength;
      else
        lengths.push_back(n.notatedLength);
      previous = &n;
    }
  }
  return lengths;
}

template <class Model>
void CheckMelodies(bool numbered) {
  std::mt19937 rng(2024);
  for (auto [beats, beat] : kMeters) {
    for (int round = 0; round < 40; ++round) {
      SCOPED_TRACE(std::to_string(beats) + "/" + std::to_string(beat) + " round " + std::to_string(round));
      const int bars = 6;
      const std::vector<SongNote> melody = Melody(rng, bars * beats * beat);
      auto ms = BuildOne<Model>({{0, beats, beat}}, {melody, bars});
      ASSERT_EQ(ms.size(), size_t(bars));
      ExpectBarInvariants(ms, false);
      std::vector<int> expected;
      for (const SongNote& n : melody) expected.push_back(n.length);
      EXPECT_EQ(PlayedLengths(ms), expected) << "ties and splits keep every played length";
      for (const MeasureCopy& m : ms) {
        for (const ScoreNote& n : m.notes) {
          EXPECT_TRUE(IsNoteValue(n.notatedLength)) << n.notatedOffset << "+" << n.notatedLength;
          if (!numbered && n.beamGroup) {
            EXPECT_EQ(m.beamRanges.count(n.beamGroup), 1u);
          }
        }
      }
    }
  }
}

TEST(ScoreModelInvariants, StaffMelodiesKeepTheirLengthsInNoteValues) { CheckMelodies<CStaffScore>(false); }

TEST(ScoreModelInvariants, NumberedMelodiesKeepTheirLengthsInNoteValues) {
  CheckMelodies<CJianPuScore>(true);
}

// Played input: chords, overlaps, gaps, triplets, sloppy timing, notes
// never released. Whatever comes in, every bar is drawable.
// Meters a file may declare that no rule was written for: sixteenth and
// thirty-second beats, x/64 (7 ticks a beat), one whole-note beat, 13/4.
const std::vector<std::pair<int, int>> kOddMeters = {{3, 30}, {5, 15}, {7, 7}, {1, 480}, {13, 120}};

template <class Model>
void CheckPlayedSongs(int kind, bool numbered = false,
                      const std::vector<std::pair<int, int>>& meters = kMeters) {
  std::mt19937 rng(77);
  for (auto [beats, beat] : meters) {
    for (int round = 0; round < 25; ++round) {
      SCOPED_TRACE(std::to_string(beats) + "/" + std::to_string(beat) + " round " + std::to_string(round));
      const int bars = 5;
      const int songLength = bars * beats * beat;
      std::vector<SongNote> notes;
      int tick = int(rng() % 30);
      while (tick < songLength) {
        const int style = int(rng() % 4);
        if (style == 0) {  // a triplet run
          const int unit = (rng() % 2) ? 40 : 80;
          for (int j = 0; j < 3; ++j) notes.push_back({tick + j * unit, unit, 60 + int(rng() % 12)});
          tick += 3 * unit;
        } else {
          const int chord = 1 + int(rng() % 3);
          const int length = int(rng() % 500);  // 0: never released
          for (int j = 0; j < chord; ++j) notes.push_back({tick, length, 40 + int(rng() % 40)});
          tick += 10 + int(rng() % 200);
        }
      }
      auto ms = BuildOne<Model>({{0, beats, beat}}, {notes, bars, kind}, {{0, int(rng() % 15) - 7}});
      ASSERT_EQ(ms.size(), size_t(bars));
      ExpectBarInvariants(ms, kind == 2);
      if (numbered) {
        // One digit per place.
        for (const MeasureCopy& m : ms)
          for (size_t k = 1; k < m.notes.size(); ++k)
            EXPECT_LT(m.notes[k - 1].notatedOffset, m.notes[k].notatedOffset) << Dump(m.notes);
      }
      for (const MeasureCopy& m : ms) {
        EXPECT_GE(m.unitsPerBeat, 1);
        EXPECT_LE(m.unitsPerBeat, 12);
        EXPECT_GT(m.width, 0);
        for (const ScoreNote& n : m.notes) {
          if (n.chordGroup) {
            EXPECT_EQ(m.chordRanges.count(n.chordGroup), 1u);
          }
        }
      }
    }
  }
}

TEST(ScoreModelInvariants, PlayedSongsOnOneStaff) { CheckPlayedSongs<CStaffScore>(0); }
TEST(ScoreModelInvariants, PlayedSongsOnTwoStaves) { CheckPlayedSongs<CStaffScore>(2); }
TEST(ScoreModelInvariants, PlayedSongsOnThePercussionStaff) { CheckPlayedSongs<CStaffScore>(7); }
TEST(ScoreModelInvariants, PlayedSongsInNumberedNotation) { CheckPlayedSongs<CJianPuScore>(0, true); }
TEST(ScoreModelInvariants, PlayedSongsInOddMeters) {
  CheckPlayedSongs<CStaffScore>(2, false, kOddMeters);
  CheckPlayedSongs<CJianPuScore>(0, true, kOddMeters);
}

// @name Ties across bar lines

TEST(ScoreModel, TiesAcrossBarLines) {
  struct Case {
    const char* what;
    std::vector<SongNote> notes;
    int bars;
    std::vector<std::string> pieces;  // per measure: offset+length, "~" after a tie start
  };
  const Case cases[] = {
      {"a quarter at 420 becomes two tied eighths", {{420, 120, 60}}, 2, {"420+60~", "0+60"}},
      {"a half held 20 ticks over is cut", {{240, 260, 60}}, 2, {"240+240", ""}},
      {"a long tie over three bars", {{0, 1200, 60}}, 3, {"0+480~", "0+480~", "0+240"}},
      {"the last bar makes no continuation", {{420, 120, 60}}, 1, {"420+60"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto ms = BuildOne<CStaffScore>({{0, 4, 120}}, {c.notes, c.bars});
    ASSERT_EQ(ms.size(), c.pieces.size());
    for (size_t i = 0; i < ms.size(); ++i) {
      std::string got;
      for (const ScoreNote& n : ms[i].notes) {
        if (!got.empty()) got += " ";
        got +=
            std::to_string(n.notatedOffset) + "+" + std::to_string(n.notatedLength) + (n.tieStart ? "~" : "");
      }
      EXPECT_EQ(got, c.pieces[i]) << "measure " << i;
    }
    ExpectBarInvariants(ms, false);
  }
}

TEST(ScoreModel, TwoStaffTiesStayOnTheirStaff) {
  auto ms = BuildOne<CStaffScore>({{0, 4, 120}}, {{{420, 120, 48}, {420, 120, 72}}, 2, 2});
  ASSERT_EQ(ms.size(), 2u);
  ASSERT_EQ(ms[1].lower.size(), 1u);
  ASSERT_EQ(ms[1].upper.size(), 1u);
  EXPECT_EQ(ms[1].lower[0].pitch, 48);
  EXPECT_EQ(ms[1].lower[0].tieEnd, ms[0].lower.at(0).tieStart);
  EXPECT_EQ(ms[1].upper[0].tieEnd, ms[0].upper.at(0).tieStart);
  EXPECT_NE(ms[0].lower[0].tieStart, ms[0].upper[0].tieStart);
  ExpectBarInvariants(ms, true);
}

TEST(ScoreModel, TripletsSurviveTheModel) {
  auto ms =
      BuildOne<CStaffScore>({{0, 4, 120}}, {{{0, 40, 60}, {40, 40, 62}, {80, 40, 64}, {120, 360, 65}}, 1});
  ASSERT_EQ(ms[0].notes.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ms[0].notes[i].tupletGroup, 1);
    EXPECT_EQ(ms[0].notes[i].valueClass, kEighthNote);
    EXPECT_EQ(ms[0].notes[i].notatedOffset, 40 * i);
  }
  EXPECT_EQ(ms[0].tupletCounts.at(1), 3);
  EXPECT_EQ(ms[0].tupletRanges.at(1).lowest, 60);
  EXPECT_EQ(ms[0].tupletRanges.at(1).highest, 64);
  EXPECT_EQ(ms[0].notes[3].notatedLength, 360);
  EXPECT_EQ(ms[0].unitsPerBeat, 3);

  auto jp =
      BuildOne<CJianPuScore>({{0, 4, 120}}, {{{0, 40, 60}, {40, 40, 62}, {80, 40, 64}, {120, 360, 65}}, 1});
  ASSERT_EQ(jp[0].notes.size(), 4u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(jp[0].notes[i].tupletGroup, 1);
    EXPECT_EQ(jp[0].notes[i].notatedOffset, 40 * i);
  }
}

}  // namespace
