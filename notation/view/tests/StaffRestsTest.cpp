#include <gtest/gtest.h>

#include <random>

#include "StaffRests.h"
#include "ViewTestSupport.h"

namespace {

using viewtest::MakeMeasure;

std::vector<ScoreNote> Notes(std::vector<scoretest::WrittenNote> specs, int beats = 4, int beatTicks = 120) {
  return MakeMeasure(0, beats, beatTicks, std::move(specs))->notes;
}

struct Rest {
  int from, count, length;
  bool dotted;
  bool operator==(const Rest& o) const {
    return from == o.from && count == o.count && length == o.length && dotted == o.dotted;
  }
};

std::vector<Rest> Simple(const std::vector<RestSpec>& rests) {
  std::vector<Rest> out;
  for (const RestSpec& r : rests) out.push_back({r.from, r.count, r.length, r.dotted});
  return out;
}

std::ostream& operator<<(std::ostream& os, const Rest& r) {
  return os << "{" << r.from << " " << r.count << "x" << r.length << (r.dotted ? " dotted" : "") << "}";
}

TEST(StaffRests, ModesFollowTheTimeSignature) {
  struct Case {
    int beats, beatTicks, mode;
  } cases[] = {{4, 120, 0}, {2, 120, 1}, {1, 120, 1}, {3, 120, 2}, {3, 60, 3},
               {6, 60, 4},  {12, 60, 4}, {5, 60, 0},  {2, 240, 0}, {7, 120, 0}};
  for (const Case& c : cases)
    EXPECT_EQ(CRestFiller::ModeFor(c.beats, c.beatTicks), c.mode) << c.beats << "/" << c.beatTicks;
}

TEST(StaffRests, GapsOfTheListedCases) {
  struct Case {
    const char* what;
    int beats, beatTicks, from, to;
    std::vector<Rest> rests;
  } cases[] = {
      {"90 off-beat inside one beat: dotted eighth", 4, 120, 150, 240, {{150, 1, 60, true}}},
      {"45 ticks: nothing", 4, 120, 150, 195, {}},
      {"180 on an even beat, 4/4: dotted quarter", 4, 120, 0, 180, {{0, 1, 120, true}}},
      {"180 on an even beat, 2/4: quarter and eighth",
       2,
       120,
       0,
       180,
       {{0, 1, 120, false}, {120, 1, 60, false}}},
      {"6/8 aligned group: dotted quarter", 6, 60, 180, 360, {{180, 1, 120, true}}},
      {"after a quarter in 4/4: quarter then half",
       4,
       120,
       120,
       480,
       {{120, 1, 120, false}, {240, 2, 120, false}}},
      {"3/4 cells", 3, 120, 60, 360, {{60, 1, 60, false}, {120, 1, 120, false}, {240, 1, 120, false}}},
  };
  for (const Case& c : cases) {
    CRestFiller filler(c.beats, c.beatTicks);
    EXPECT_EQ(Simple(filler.FillGap(c.from, c.to, 60)), c.rests) << c.what;
  }
}

TEST(StaffRests, AQuarterAtTheStartOf44LeavesAQuarterAndAHalfRest) {
  CRestFiller filler(4, 120);
  const std::vector<Rest> expected{{120, 1, 120, false}, {240, 2, 120, false}};
  EXPECT_EQ(Simple(filler.FillVoice(Notes({{67, 0, 120}}))), expected);
}

TEST(StaffRests, AChordCountsOnceAndAnEmptyListGetsNoRests) {
  CRestFiller filler(4, 120);
  const std::vector<Rest> expected{{240, 2, 120, false}};
  EXPECT_EQ(Simple(filler.FillVoice(Notes({{60, 0, 240, 1}, {64, 0, 240, 1}, {67, 0, 240, 1}}))), expected);
  EXPECT_TRUE(filler.FillVoice({}).empty());
}

// The same measure gets the same rests however many tuplets were laid out
// before it.
TEST(StaffRests, TupletGapsDoNotDependOnEarlierMeasures) {
  const auto tuplets =
      Notes({{60, 0, 40, 0, 0, 1}, {62, 40, 40, 0, 0, 1}, {64, 80, 40, 0, 0, 1}, {65, 240, 120}});
  const auto other = Notes({{60, 0, 40, 0, 0, 1}, {62, 40, 40, 0, 0, 1}, {64, 80, 40, 0, 0, 1}});
  CRestFiller a(4, 120);
  const auto first = Simple(a.FillVoice(tuplets));
  CRestFiller b(4, 120);
  b.FillVoice(other);
  EXPECT_EQ(Simple(b.FillVoice(tuplets)), first);
  int total = 0;
  for (const Rest& r : first) total += r.count * r.length * (r.dotted ? 3 : 2) / 2;
  EXPECT_EQ(total, 120 + 120);  // 120..240 and 360..480
}

// Every gap on the 30-tick grid is filled exactly, without overlaps, in
// every mode.
TEST(StaffRests, RestsFillEveryGridGapExactly) {
  std::mt19937 rng(7);
  struct Sig {
    int beats, beatTicks;
  } sigs[] = {{4, 120}, {2, 120}, {3, 120}, {3, 60}, {6, 60}, {12, 60}, {5, 120}, {2, 240}, {9, 60}};
  for (const Sig& s : sigs) {
    const int bar = s.beats * s.beatTicks;
    for (int trial = 0; trial < 400; ++trial) {
      int from = static_cast<int>(rng() % (bar / 30)) * 30;
      int to = static_cast<int>(rng() % (bar / 30 + 1)) * 30;
      if (from > to) std::swap(from, to);
      CRestFiller filler(s.beats, s.beatTicks);
      int at = from;
      for (const RestSpec& r : filler.FillGap(from, to, 60)) {
        ASSERT_EQ(r.from, at) << s.beats << "/" << s.beatTicks << " gap " << from << ".." << to;
        at += r.Ticks();
      }
      EXPECT_EQ(at, to) << s.beats << "/" << s.beatTicks << " gap " << from << ".." << to;
    }
  }
}

}  // namespace
