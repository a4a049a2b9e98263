// Lines and the page controller over pages of known widths: fitting,
// paging, cursor steps, seeking and points to ticks.
#include <gtest/gtest.h>

#include "StaffPage.h"
#include "StaffPager.h"
#include "ViewTestSupport.h"

namespace {

using viewtest::MakeMeasure;
using viewtest::MakePainter;

// Header of a treble line in C at size 0: time 14 + key step 7 + clef 38.
constexpr int kHeader = 59;
constexpr int kX0 = CStaffLine::kLeftMargin;

struct Part {
  std::unique_ptr<CStaffPainter> painter;
  std::vector<std::unique_ptr<CScoreMeasure>> measures;
};

Part MakePart(const std::vector<int>& widths, int track = 1) {
  Part p;
  p.painter = MakePainter(0, track);
  for (size_t i = 0; i < widths.size(); ++i) {
    p.measures.push_back(MakeMeasure(static_cast<int>(i), 4, 120, {{67, 0, 120}, {69, 240, 240}}));
    p.measures.back()->width = widths[i];
    p.measures.back()->noteScale = 8;
    p.measures.back()->unitsPerBeat = 2;  // 16 px a beat
  }
  viewtest::LayOut(*p.painter, p.measures);
  return p;
}

struct Fixture {
  std::vector<Part> parts;
  CStaffPager pager{nullptr};

  Fixture(const std::vector<int>& widths, int right, int lines = 1) {
    for (int i = 0; i < lines; ++i) parts.push_back(MakePart(widths, i + 1));
    const RECT page{0, 0, right, 100 * lines};
    pager.SetRects(page, page);
    for (int i = 0; i < lines; ++i)
      pager.AddLine(
          std::make_unique<CStaffLine>(parts[i].painter.get(), RECT{0, 100 * i, right, 100 * i + 78}));
    pager.ShowFromMeasure(0);
    pager.SetCurrentMeasure(0);
    pager.HomeCursor();
    pager.FindWidestLine();
  }
  CStaffLine& Line(int i = 0) { return *pager.Lines()[i]; }
};

TEST(StaffLine, FitsMeasuresIntoItsWidth) {
  struct Case {
    const char* what;
    int right;
    int count;
    bool fits;
  } cases[] = {
      {"the header fills the line", kX0 + kHeader, 0, true},
      {"three measures fill it exactly", kX0 + kHeader + 300, 3, true},
      {"a pixel less: the third still counts", kX0 + kHeader + 299, 3, false},
      {"more room than measures", 2000, 10, true},
  };
  for (const Case& c : cases) {
    Fixture f(std::vector<int>(10, 100), c.right);
    EXPECT_EQ(f.Line().Count(), c.count) << c.what;
    EXPECT_EQ(f.Line().Fits(), c.fits) << c.what;
  }
  Fixture f(std::vector<int>(10, 100), kX0 + kHeader + 300);
  StaffFrame frame;
  ASSERT_TRUE(f.Line().FrameFor(0, &frame));
  EXPECT_EQ(frame.placement.x, kHeader);
  EXPECT_TRUE(frame.placement.headerSuppressed);
  ASSERT_TRUE(f.Line().FrameFor(1, &frame));
  EXPECT_FALSE(frame.placement.headerSuppressed);
  EXPECT_EQ(frame.barX, kX0 + kHeader + 100);
  EXPECT_FALSE(f.Line().FrameFor(3, &frame));
}

TEST(StaffLine, StaffPositionByKind) {
  struct Case {
    int kind;
    int ref, top;
  } cases[] = {{0, 100 + 18, 88}, {5, 118, 88}, {7, 118, 88}, {1, 124, 88},
               {6, 124, 88},      {3, 100, 88}, {4, 94, 88}};
  for (const Case& c : cases) {
    const StaffGeometry g = StaffGeometry::Around(c.kind, 100, 6);
    EXPECT_TRUE(g.valid);
    EXPECT_EQ(g.upperRef, c.ref) << c.kind;
    EXPECT_EQ(g.upperTop, c.top) << c.kind;
  }
  const StaffGeometry two = StaffGeometry::Around(2, 100, 6);
  EXPECT_EQ(two.upperRef, 88);
  EXPECT_EQ(two.upperTop, 58);
  EXPECT_EQ(two.lowerRef, 168);
  EXPECT_EQ(two.lowerTop, 132);
}

TEST(StaffLine, LyricsFallToTheNextPageAndUnmarkBackwards) {
  auto painter = MakePainter(0);
  painter->SetLyrics({{"a", 0}, {"b", 471}});
  std::vector<std::unique_ptr<CScoreMeasure>> measures;
  measures.push_back(MakeMeasure(0, 4, 120, {{67, 0, 120}}));
  measures.push_back(MakeMeasure(1, 4, 120, {{69, 0, 120}}));
  viewtest::LayOut(*painter, measures);
  ASSERT_EQ(painter->Page(0)->Lyrics().size(), 1u);
  ASSERT_EQ(painter->Page(1)->Lyrics().size(), 1u);  // refused at the end of measure 0
  CStaffLine line(painter.get(), RECT{0, 0, 2000, 78});
  line.Fit();
  line.MarkLyric(0);
  EXPECT_TRUE(painter->Page(0)->Lyrics()[0]->Sung());
  line.MarkLyric(471);
  EXPECT_TRUE(painter->Page(1)->Lyrics()[0]->Sung());
  EXPECT_FALSE(painter->Page(0)->Lyrics()[0]->Sung());  // only the syllable being sung stays lit
  line.UnmarkLyrics(481);
  EXPECT_FALSE(painter->Page(1)->Lyrics()[0]->Sung());
}

TEST(StaffPager, LinesShareTheFirstLinesRun) {
  Fixture f(std::vector<int>(10, 100), kX0 + kHeader + 250, 2);
  EXPECT_EQ(f.pager.ScrollTo(4, 0), 4);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(f.Line(i).FirstMeasure(), 4);
    EXPECT_EQ(f.Line(i).Count(), f.Line(0).Count());
  }
}

TEST(StaffPager, PageTurnsWhenTheFirstMeasureItDoesNotDrawStarts) {
  struct Case {
    const char* what;
    int right;
    int drawn;  // measures the first page draws, the turn coming as the next one starts
  } cases[] = {
      {"the third measure runs a pixel past the edge: it waits for the next page", kX0 + kHeader + 299, 2},
      {"three measures fill the line exactly", kX0 + kHeader + 300, 3},
  };
  for (const Case& c : cases) {
    Fixture f(std::vector<int>(10, 100), c.right);
    EXPECT_EQ(f.Line().DrawnCount(), c.drawn) << c.what;
    for (int m = 0; m < c.drawn; ++m) {
      f.pager.StepCursor(0);  // measure m starts
      EXPECT_EQ(f.pager.GetFirstMeasure(), 0) << c.what << ", measure " << m;
    }
    f.pager.StepCursor(0);
    EXPECT_EQ(f.pager.GetFirstMeasure(), c.drawn) << c.what;
    EXPECT_EQ(f.Line().Counter(), c.drawn + 1) << c.what;
  }
  Fixture f(std::vector<int>(10, 100), kX0 + kHeader + 300);
  // At the end the forward turn is refused.
  f.pager.ScrollTo(0, 2);
  f.pager.SetCurrentMeasure(9);
  f.pager.StepCursor(0);
  f.pager.StepCursor(0);
  EXPECT_EQ(f.pager.GetFirstMeasure(), 9);
  // An explicit reposition is not: back to the start after the end.
  EXPECT_TRUE(f.pager.ShowFromMeasure(0));
  EXPECT_EQ(f.pager.GetFirstMeasure(), 0);
}

TEST(StaffPager, ScrollModesAndRange) {
  Fixture f(std::vector<int>(10, 100), kX0 + kHeader + 300);
  EXPECT_EQ(f.pager.ScrollTo(0, 2), 9);
  EXPECT_EQ(f.pager.GetFirstMeasure(), 9);
  EXPECT_EQ(f.pager.ScrollTo(-2, 1), 7);
  EXPECT_EQ(f.pager.ScrollTo(10, 0), -1);
  EXPECT_EQ(f.pager.GetFirstMeasure(), 7);
  EXPECT_EQ(f.pager.ScrollTo(1, 5), -1);
  bool fits = false;
  EXPECT_EQ(f.pager.GetPageMeasureCount(&fits), 3);
  EXPECT_TRUE(fits);
  EXPECT_EQ(f.pager.GetLastMeasure(), 10);
  EXPECT_EQ(f.pager.GetMeasureCount(1), 10);
  EXPECT_EQ(f.pager.GetMeasureCount(2), 0);
}

TEST(StaffPager, PreviousPageIsTheLastThatEndsBeforeTheCurrentOne) {
  struct Case {
    std::vector<int> widths;
    int right;
    int from;
  } cases[] = {{std::vector<int>(10, 100), kX0 + kHeader + 300, 6},
               {std::vector<int>(10, 100), kX0 + kHeader + 250, 6},
               {{100, 40, 40, 40, 150, 100, 60, 60, 60, 100}, kX0 + kHeader + 300, 7},
               {{100, 40, 40, 40, 150, 100, 60, 60, 60, 100}, kX0 + kHeader + 230, 8}};
  for (const Case& c : cases) {
    Fixture f(c.widths, c.right);
    f.pager.ScrollTo(c.from, 0);
    const int prev = f.pager.PrevPage();
    EXPECT_EQ(f.pager.GetFirstMeasure(), c.from);
    ASSERT_GE(prev, 0);
    f.pager.ScrollTo(prev, 0);
    // It ends before the current page, and a page from one measure later
    // would reach into it: turning forward again skips nothing.
    EXPECT_LE(f.Line().FirstMeasure() + f.Line().DrawnCount(), c.from) << c.from << " from " << prev;
    f.pager.ScrollTo(prev + 1, 0);
    EXPECT_GT(f.Line().FirstMeasure() + f.Line().DrawnCount(), c.from) << c.from << " from " << prev + 1;
  }
}

TEST(StaffPager, SeekTickPlacesPageAndCounter) {
  Fixture f(std::vector<int>(10, 100), kX0 + kHeader + 300);
  f.pager.SeekTick(5 * 480 + 130);  // inside measure 5
  EXPECT_EQ(f.pager.GetFirstMeasure(), 5);
  EXPECT_EQ(f.Line().Counter(), 6);
  f.pager.SeekTick(480);  // on measure 1's start tick
  EXPECT_EQ(f.Line().Counter(), 1);
  f.pager.SeekTick(99999);  // beyond the end: the last measure
  EXPECT_EQ(f.Line().Counter(), 9);
  StaffFrame frame;
  EXPECT_TRUE(f.Line().FrameFor(9, &frame));
}

TEST(StaffPager, TickFromPoint) {
  Fixture f(std::vector<int>(10, 100), kX0 + kHeader + 300);
  StaffFrame frame;
  ASSERT_TRUE(f.Line().FrameFor(1, &frame));
  // A beat is 16 px wide here: 20 px into the note area is beat 1.
  EXPECT_EQ(f.pager.TickFromPoint(frame.originX + 20, 10), 480 + 120);
  EXPECT_EQ(f.pager.TickFromPoint(frame.originX, 10), 480);
  EXPECT_EQ(f.pager.Cursor().X(), frame.originX);
  EXPECT_EQ(f.pager.TickFromPoint(0, 10), 0);           // left of the notes
  EXPECT_EQ(f.pager.TickFromPoint(5000, 10), 3 * 480);  // right of the line
  f.pager.ScrollTo(0, 2);
  EXPECT_EQ(f.pager.TickFromPoint(5000, 10), -1);  // nothing after the last measure
}

TEST(StaffPager, TheMeasureRunningPastTheEdgeIsNotOnThePage) {
  Fixture f(std::vector<int>(10, 100), kX0 + kHeader + 250);
  ASSERT_EQ(f.Line().Count(), 3);
  ASSERT_EQ(f.Line().DrawnCount(), 2);
  EXPECT_EQ(f.pager.GetLastMeasure(), 2);
  // A point right of the drawn measures is the start of the undrawn one.
  EXPECT_EQ(f.pager.TickFromPoint(kX0 + kHeader + 230, 10), 2 * 480);
  // Seeking into it brings the page that draws it.
  f.pager.SeekTick(2 * 480 + 130);
  EXPECT_EQ(f.pager.GetFirstMeasure(), 2);
  EXPECT_TRUE(f.Line().Draws(2));
}

TEST(StaffPager, NoteEventsLightAndClearNotes) {
  Fixture f(std::vector<int>(10, 100), kX0 + kHeader + 300);
  const CScoreGlyph* note = f.parts[0].painter->Page(1)->Notes(0)[0].get();
  f.pager.NoteEvent(0x90 | 67 << 8 | 100 << 16, 480, 1);
  EXPECT_TRUE(note->Sounding());
  f.pager.NoteEvent(0x90 | 67 << 8, 600, 1);  // velocity 0 is a note-off
  EXPECT_FALSE(note->Sounding());
  f.pager.NoteEvent(0x90 | 67 << 8 | 100 << 16, 480, 2);  // no line for track 2
  f.pager.NoteEvent(0xB0 | 67 << 8 | 100 << 16, 480, 1);  // not a note
  EXPECT_FALSE(note->Sounding());
  // A note-on exactly 30 ticks before a shown measure's start is left alone.
  f.pager.NoteEvent(0x90 | 67 << 8 | 100 << 16, 450, 1);
  EXPECT_FALSE(note->Sounding());
}

TEST(StaffPager, ClearingLinesLeavesACursorStepHarmless) {
  Fixture f(std::vector<int>(10, 100), kX0 + kHeader + 300);
  f.pager.ClearLines();
  f.pager.StepCursor(0);
  f.pager.StepCursor(3);
  f.pager.SeekTick(100);
  EXPECT_EQ(f.pager.TickFromPoint(10, 10), -1);
  EXPECT_EQ(f.pager.GetLastMeasure(), -1);
  EXPECT_EQ(f.pager.PrevPage(), -1);
}

}  // namespace
