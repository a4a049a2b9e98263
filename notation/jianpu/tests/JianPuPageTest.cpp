// Numbered pages laid out from measures: the digits, rests, underlines,
// tuplet arcs and ties they hold, and their play events. No pixels here.
#include <gtest/gtest.h>

#include "JianPuPage.h"
#include "JianPuTestSupport.h"

namespace {

using jianputest::LayOut;
using jianputest::MakeMeasure;
using jianputest::MakePainter;
using scoretest::WrittenNote;

struct Laid {
  std::unique_ptr<CJianPuPainter> painter = MakePainter();
  std::vector<std::unique_ptr<CScoreMeasure>> measures;
  CJianPuPage& Page(int i) { return *painter->Page(i); }
  void Run() { ASSERT_EQ(0, LayOut(*painter, measures)); }
};

template <typename T>
int CountOf(const CJianPuPage& page) {
  int n = 0;
  for (auto& e : page.Elements()) n += dynamic_cast<const T*>(e.get()) != nullptr;
  return n;
}

TEST(JianPuPageTest, EmptyMeasuresShowRestsOfTheirMetre) {
  struct Case {
    const char* what;
    int beats, beatTicks;
    int rests, length;
    bool dotted;
    int underlines;
  } cases[] = {
      {"4/4", 4, 120, 4, 120, false, 0},
      {"6/8", 6, 60, 2, 180, true, 0},
      {"3/8", 3, 60, 3, 60, false, 3},
  };
  for (const Case& c : cases) {
    Laid l;
    l.measures.push_back(MakeMeasure(0, c.beats, c.beatTicks, {}));
    l.Run();
    const CJianPuPage& page = l.Page(0);
    ASSERT_EQ(static_cast<size_t>(c.rests), page.Notes().size()) << c.what;
    for (auto& n : page.Notes()) {
      EXPECT_TRUE(n->IsRest()) << c.what;
      EXPECT_EQ(c.length, n->Place().length) << c.what;
      EXPECT_EQ(c.dotted, n->Spec().dotted) << c.what;
    }
    EXPECT_EQ(c.underlines, CountOf<CJianPuUnderline>(page)) << c.what;
    // Rests advance along the measure.
    for (size_t i = 1; i < page.Notes().size(); ++i)
      EXPECT_GT(page.Notes()[i]->X(), page.Notes()[i - 1]->X());
  }
}

TEST(JianPuPageTest, GapsBecomeRestsAndANinetyTickRestIsDotted) {
  Laid l;
  l.measures.push_back(MakeMeasure(0, 4, 120, {{60, 0, 120}, {62, 120, 30}, {64, 240, 240}}));
  l.Run();
  const auto& notes = l.Page(0).Notes();
  ASSERT_EQ(4u, notes.size());
  EXPECT_EQ('1', notes[0]->Spec().digit);
  EXPECT_EQ('2', notes[1]->Spec().digit);
  EXPECT_TRUE(notes[2]->IsRest());
  EXPECT_EQ(90, notes[2]->Place().length);
  EXPECT_TRUE(notes[2]->Spec().dotted);
  EXPECT_EQ('3', notes[3]->Spec().digit);
  EXPECT_EQ(1, notes[3]->Spec().dashes) << "a half note has one dash";
}

TEST(JianPuPageTest, RepeatedDegreeShowsItsAccidentalOnceAndTheNaturalAfter) {
  Laid l;
  l.measures.push_back(
      MakeMeasure(0, 4, 120, {{66, 0, 120}, {66, 120, 120}, {65, 240, 120}, {61, 360, 120}}));
  l.Run();
  const auto& notes = l.Page(0).Notes();
  ASSERT_EQ(4u, notes.size());
  EXPECT_EQ(1, notes[0]->Spec().accidental);
  EXPECT_EQ(0, notes[1]->Spec().accidental);
  EXPECT_EQ(3, notes[2]->Spec().accidental);
  EXPECT_EQ('2', notes[3]->Spec().digit);
  EXPECT_EQ(2, notes[3]->Spec().accidental);
}

TEST(JianPuPageTest, OneVoice) {
  Laid l;
  l.measures.push_back(MakeMeasure(0, 4, 120, {{60, 0, 240}, {67, 0, 240}, {64, 240, 240}}));
  l.Run();
  const auto& notes = l.Page(0).Notes();
  ASSERT_EQ(2u, notes.size());
  EXPECT_EQ(67, notes[0]->Pitch()) << "of two notes at one offset the second stays";
}

TEST(JianPuPageTest, EighthsShareAnUnderlineWithinTheBeat) {
  Laid l;
  l.measures.push_back(MakeMeasure(
      0, 4, 120, {{60, 0, 60}, {62, 60, 60}, {64, 120, 30}, {65, 150, 30}, {67, 180, 60}, {69, 240, 240}}));
  l.Run();
  std::vector<const CJianPuUnderline*> lines;
  for (auto& e : l.Page(0).Elements())
    if (auto* u = dynamic_cast<const CJianPuUnderline*>(e.get())) lines.push_back(u);
  // Beat 1: one line; beat 2: one first-level and one second-level line.
  ASSERT_EQ(3u, lines.size());
  const auto& notes = l.Page(0).Notes();
  const int span = l.painter->UnderlineSpan();
  EXPECT_EQ(notes[0]->X(), lines[0]->Span().x1);
  EXPECT_EQ(notes[1]->X() + span, lines[0]->Span().x2);
  EXPECT_EQ(notes[2]->X(), lines[1]->Span().x1);
  EXPECT_EQ(notes[4]->X() + span, lines[1]->Span().x2);
  EXPECT_EQ(1, lines[2]->Span().level);
  EXPECT_EQ(notes[3]->X() + span, lines[2]->Span().x2);
}

TEST(JianPuPageTest, TupletArcsAreLabelledThreeOrSix) {
  Laid l;
  auto m = MakeMeasure(0, 4, 120,
                       {WrittenNote{60, 0, 40}.InTuplet(1),
                        WrittenNote{62, 40, 40}.InTuplet(1),
                        WrittenNote{64, 80, 40}.InTuplet(1),
                        {65, 120, 120},
                        WrittenNote{60, 240, 20}.InTuplet(2),
                        WrittenNote{62, 260, 20}.InTuplet(2),
                        WrittenNote{64, 280, 20}.InTuplet(2),
                        WrittenNote{65, 300, 20}.InTuplet(2),
                        WrittenNote{67, 320, 20}.InTuplet(2),
                        WrittenNote{69, 340, 20}.InTuplet(2),
                        {72, 360, 120}});
  m->tupletCounts = {{1, 3}, {2, 6}};
  m->tripletsPresent = true;
  l.measures.push_back(std::move(m));
  l.Run();
  std::vector<char> labels;
  for (auto& e : l.Page(0).Elements())
    if (auto* a = dynamic_cast<const CJianPuTupletArc*>(e.get())) labels.push_back(a->Label());
  ASSERT_EQ(2u, labels.size());
  EXPECT_EQ('3', labels[0]);
  EXPECT_EQ('6', labels[1]);
}

TEST(JianPuPageTest, TiesJoinPiecesAcrossTheBarLineAndLightTogether) {
  Laid l;
  l.measures.push_back(MakeMeasure(0, 4, 120, {{60, 0, 240}, WrittenNote{62, 240, 240}.StartsTie(7)}));
  l.measures.push_back(MakeMeasure(1, 4, 120, {WrittenNote{62, 0, 120}.EndsTie(7), {64, 120, 360}}));
  l.Run();
  CJianPuNote* first = l.Page(0).Notes()[1].get();
  CJianPuNote* second = l.Page(1).Notes()[0].get();
  EXPECT_EQ(second, first->NextTied());
  EXPECT_EQ(1, CountOf<CJianPuTie>(l.Page(0)));
  EXPECT_EQ(1, CountOf<CJianPuTie>(l.Page(1))) << "the second page's half tie";

  EXPECT_TRUE(l.Page(0).MarkNoteSounding(62, 240, false));
  EXPECT_TRUE(second->Sounding());
  EXPECT_TRUE(l.Page(0).ClearNoteSounding(62, 300));
  EXPECT_FALSE(second->Sounding());
}

TEST(JianPuPageTest, PiecesOfANoteCutAtABeatAreTied) {
  Laid l;
  l.measures.push_back(MakeMeasure(0, 4, 120,
                                   {{60, 0, 60},
                                    WrittenNote{62, 60, 60}.SplitAs(1),
                                    WrittenNote{62, 120, 120}.SplitAs(1),
                                    WrittenNote{64, 240, 120}.SplitAs(2),
                                    WrittenNote{65, 360, 120}.SplitAs(3)}));
  l.Run();
  const auto& notes = l.Page(0).Notes();
  ASSERT_EQ(5u, notes.size());
  EXPECT_EQ(notes[2].get(), notes[1]->NextTied());
  EXPECT_EQ(nullptr, notes[3]->NextTied()) << "different split groups stay apart";
  EXPECT_EQ(1, CountOf<CJianPuTie>(l.Page(0)));
}

TEST(JianPuPageTest, HighlightWindows) {
  Laid l;
  l.measures.push_back(MakeMeasure(0, 4, 120, {}));
  l.measures.push_back(MakeMeasure(1, 4, 120, {{60, 0, 480}}));
  l.Run();
  CJianPuPage& page = l.Page(1);
  EXPECT_FALSE(page.MarkNoteSounding(60, 480 - 31, false)) << "31 before the measure";
  EXPECT_TRUE(page.MarkNoteSounding(60, 480 - 14, false)) << "14 ticks from the note";
  page.ClearHighlights();
  EXPECT_FALSE(page.MarkNoteSounding(60, 480 + 15, false)) << "15 ticks from the note";
  EXPECT_FALSE(page.MarkNoteSounding(61, 480, false)) << "another pitch";
}

TEST(JianPuPageTest, LyricsAttachToDigitsAndMarkOneAtATime) {
  Laid l;
  l.painter->SetLyrics({{"a", 0}, {"b", 125}, {"c", 300}, {",", 470}});
  l.measures.push_back(MakeMeasure(0, 4, 120, {{60, 0, 120}, {62, 120, 120}, {64, 240, 120}}));
  l.measures.push_back(MakeMeasure(1, 4, 120, {}));
  l.Run();
  const auto& lyrics = l.Page(0).Lyrics();
  ASSERT_EQ(4u, lyrics.size());
  EXPECT_EQ(l.Page(0).Notes()[0].get(), lyrics[0]->Note());
  EXPECT_EQ(l.Page(0).Notes()[1].get(), lyrics[1]->Note()) << "5 ticks late still attaches";
  EXPECT_EQ(nullptr, lyrics[2]->Note()) << "no digit at 300: a free syllable";
  bool out = false;
  EXPECT_TRUE(l.Page(0).MarkLyric(0, &out));
  EXPECT_TRUE(l.Page(0).MarkLyric(125, &out));
  EXPECT_FALSE(lyrics[0]->Sung());
  EXPECT_TRUE(lyrics[1]->Sung());
  EXPECT_TRUE(l.Page(0).UnmarkLyricsBefore(200));
  EXPECT_FALSE(lyrics[1]->Sung());
}

TEST(JianPuPageTest, ALinesLastSyllableIsLitNotTheBreakInFrontOfIt) {
  // The song file holds a line's break just before the syllable it ends, at
  // the same tick; the syllable before must go out when that one is sung.
  Laid l;
  l.painter->SetLyrics({{"lit", 0}, {"tle", 120}, {",", 240}, {"star", 240}, {"how", 480}});
  l.measures.push_back(MakeMeasure(0, 4, 120, {{69, 0, 120}, {69, 120, 120}, {67, 240, 240}}));
  l.measures.push_back(MakeMeasure(1, 4, 120, {{65, 0, 120}}));
  l.Run();
  const auto& lyrics = l.Page(0).Lyrics();
  ASSERT_EQ(4u, lyrics.size());
  ASSERT_EQ(",", lyrics[2]->Text());
  bool out = false;
  EXPECT_TRUE(l.Page(0).MarkLyric(120, &out));
  out = false;
  EXPECT_TRUE(l.Page(0).MarkLyric(240, &out));
  EXPECT_TRUE(out);
  EXPECT_TRUE(lyrics[3]->Sung()) << "the line's last syllable is lit";
  EXPECT_FALSE(lyrics[1]->Sung()) << "and the one before it put out";
  // The player tells every lyric event, so the tick may come again.
  EXPECT_TRUE(l.Page(0).MarkLyric(240, &out));
  EXPECT_TRUE(lyrics[3]->Sung());
  EXPECT_FALSE(lyrics[1]->Sung());
}

}  // namespace

#include "JianPuLine.h"
#include "JianPuSizes.h"

namespace {

TEST(JianPuLineTest, TheFirstMeasureGivesUpOnlyItsTimeSignaturesRoom) {
  Laid l;
  auto m = MakeMeasure(0, 4, 120, {{62, 0, 480}}, 2);
  m->keyChange = true;
  m->timeSigChange = true;
  m->signatureExtras += JianPuSizes::kTimeWidth[0];
  m->width += JianPuSizes::kTimeWidth[0];
  l.measures.push_back(std::move(m));
  l.measures.push_back(MakeMeasure(1, 4, 120, {{62, 0, 480}}, 2));
  l.Run();
  CJianPuLine line(l.painter.get(), RECT{0, 0, 2000, 80});
  line.Fit();
  ASSERT_EQ(2, line.Count());
  EXPECT_TRUE(line.Fits());
  JianPuFrame first, second;
  ASSERT_TRUE(line.FrameFor(0, &first));
  ASSERT_TRUE(line.FrameFor(1, &second));
  // The key text stands above the digits: a numbered measure has no key signs to give up.
  EXPECT_EQ(10, first.placement.noteOffset);
  EXPECT_TRUE(first.placement.headerSuppressed);
  EXPECT_FALSE(second.placement.headerSuppressed);
  EXPECT_EQ(first.barX + first.placement.width, second.barX);

  const int both = CJianPuLine::kLeftMargin + first.placement.width + second.placement.width;
  CJianPuLine exact(l.painter.get(), RECT{0, 0, both, 80});
  exact.Fit();
  EXPECT_EQ(2, exact.Count());
  EXPECT_TRUE(exact.Fits()) << "measures that fill the width exactly fit";
  CJianPuLine short1(l.painter.get(), RECT{0, 0, both - 1, 80});
  short1.Fit();
  EXPECT_EQ(2, short1.Count());
  EXPECT_FALSE(short1.Fits()) << "one pixel less and the last one overflows";

  CJianPuLine narrow(l.painter.get(), RECT{0, 0, first.placement.width + CJianPuLine::kLeftMargin + 1, 80});
  narrow.Fit();
  EXPECT_EQ(2, narrow.Count()) << "the measure running past the edge is counted";
  EXPECT_FALSE(narrow.Fits());
}

}  // namespace
