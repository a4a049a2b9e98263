// The numbered view behind IScoreView: rebuilds from a score buffer, pages,
// cursor, highlights and lyric marks, the factory's version rule, and pixel
// probes of what it paints into a memory bitmap.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "DemoSongs.h"
#include "base/Library.h"
#include "JianPuPage.h"
#include "JianPuPainter.h"
#include "JianPuTestSupport.h"
#include "JianPuView.h"
#include "ScoreBuffer.h"
#include "ViewBitmap.h"
#include "ViewWorkout.h"

namespace {

using jianputest::AddMelody;
using jianputest::Played;

constexpr COLORREF kBackground = RGB(20, 20, 40);
constexpr COLORREF kNote = RGB(255, 255, 255);
constexpr COLORREF kHighlight = RGB(255, 0, 0);

struct ViewFixture : ::testing::Test {
  IScoreBuffer* buffer = new CScoreBuffer();
  CJianPuView view{nullptr};
  RECT rect{0, 0, 700, 160};

  ViewFixture() {
    view.SetScoreBuffer(buffer);
    view.SetRect(&rect);
  }
  ~ViewFixture() override { buffer->Release(); }

  // An 8-bar 4/4 melody of quarter notes, C major, with a syllable per bar.
  void FillQuarters(int bars = 8) {
    const ScoreTimeSig time{0, 4, 120};
    buffer->SetTimeSignatures(&time, 1);
    const ScoreKeySig key{0, 0};
    buffer->SetKeySignatures(&key, 1);
    std::vector<Played> notes;
    std::vector<ScoreLyric> lyrics;
    for (int i = 0; i < bars * 4; ++i) notes.push_back({i * 120, 110, 60 + (i % 8)});
    for (int b = 0; b < bars; ++b) lyrics.push_back({"la", b * 480});
    AddMelody(buffer, 1, notes, bars);
    buffer->SetLyrics(1, lyrics.data(), static_cast<int>(lyrics.size()));
  }

  void PaintInto(CViewBitmap& bmp) {
    bmp.Fill(kBackground);
    view.Paint(bmp.Dc());
  }

  // Window box of the first digit of a shown measure.
  RECT DigitBox(int measure, int index) {
    JianPuFrame f;
    CJianPuLine& line = *view.Pager().Lines().front();
    EXPECT_TRUE(line.FrameFor(measure, &f));
    const CJianPuNote& n = *line.Page(measure)->Notes()[index];
    const CJianPuPainter& p = *view.PartList().front();
    return RECT{f.originX + n.X(), f.refY - p.DigitHeight() / 2,
                f.originX + n.X() + 2 * p.HalfDigitWidth() + 1, f.refY + p.DigitHeight() / 2};
  }
};

TEST_F(ViewFixture, EmptyBufferRebuildsToNothingAndTheCursorSurvivesIt) {
  EXPECT_EQ(1, view.Rebuild());
  EXPECT_TRUE(view.Pager().Lines().empty());
  FillQuarters();
  ASSERT_EQ(0, view.Rebuild());
  buffer->Clear();
  EXPECT_EQ(1, view.Rebuild());
  // A bar event after an empty rebuild must not reach the deleted lines.
  EXPECT_EQ(0, view.StepCursor(0));
  EXPECT_EQ(0, view.StepCursor(2));
  EXPECT_EQ(-1, view.GetLastMeasure());
  EXPECT_EQ(-1, view.TickFromPoint(100, 50));
}

TEST_F(ViewFixture, NoBufferIsAnEmptyBuffer) {
  view.SetScoreBuffer(nullptr);
  EXPECT_EQ(1, view.Rebuild());
}

TEST_F(ViewFixture, OperationsWithoutMeaningForDigitsDoNothing) {
  FillQuarters();
  ASSERT_EQ(0, view.Rebuild());
  int kind = 5;
  EXPECT_EQ(1, view.GetTrackStaffKind(&kind, 1));
  EXPECT_EQ(0, kind);
  EXPECT_EQ(1, view.SetTrackStaffKind(2, 1));
  EXPECT_EQ(0, view.ChooseClef(40, 70));
  EXPECT_EQ(nullptr, view.GetOptions(2));
}

TEST_F(ViewFixture, PagesTurnAtTheLastMeasureAndRewindShowsTheStart) {
  FillQuarters(12);
  ASSERT_EQ(0, view.Rebuild());
  char fits = 0;
  const int count = view.GetPageMeasureCount(&fits);
  ASSERT_GT(count, 1);
  ASSERT_LT(count, 12);
  // Bar events through the song: the page turns and opens with the measure then playing.
  for (int k = 0; k < 12; ++k) view.StepCursor(0);
  const int first = view.ScrollTo(0, 1);
  EXPECT_GT(first, 0);
  EXPECT_EQ(12, first + view.GetPageMeasureCount(&fits)) << "the last page shows the last measure";
  view.Rewind();
  EXPECT_EQ(0, view.ScrollTo(0, 1)) << "rewind after the end shows measure 0 again";
  EXPECT_EQ(11, view.ScrollTo(0, 2));
  EXPECT_EQ(-1, view.ScrollTo(12, 0));
  EXPECT_EQ(11, view.ScrollTo(0, 1)) << "an out-of-range scroll leaves the display";
  view.ScrollTo(0, 0);
}

TEST_F(ViewFixture, AMeasureRunningPastTheEdgeIsDrawnOnceOnTheNextPage) {
  FillQuarters(12);
  ASSERT_EQ(0, view.Rebuild());
  // Narrow the view until the last counted measure runs past the right edge.
  const CJianPuLine* line = nullptr;
  for (int right = 700; right > 200; --right) {
    rect.right = right;
    view.SetRect(&rect);
    line = view.Pager().Lines().front().get();
    if (!line->Fits() && line->Count() > 1) break;
  }
  ASSERT_FALSE(line->Fits());
  const int drawn = line->DrawnCount();
  ASSERT_EQ(line->Count() - 1, drawn);
  EXPECT_FALSE(line->Draws(drawn));

  // Nothing of it is painted right of the last drawn measure.
  JianPuFrame last;
  ASSERT_TRUE(line->FrameFor(drawn - 1, &last));
  CViewBitmap bmp(rect.right, rect.bottom);
  PaintInto(bmp);
  const RECT beyond{last.lineEndX + 2, rect.top, rect.right, rect.bottom};
  ASSERT_LT(beyond.left, beyond.right);
  EXPECT_EQ(0, bmp.Ink(beyond, kBackground)) << "no clipped digits or syllables of the undrawn measure";

  // The page turns as it starts, and opens with it.
  for (int m = 0; m < drawn; ++m) {
    view.StepCursor(0);
    EXPECT_EQ(0, view.Pager().GetFirstMeasure()) << "measure " << m;
  }
  view.StepCursor(0);
  EXPECT_EQ(drawn, view.Pager().GetFirstMeasure());
  EXPECT_TRUE(line->Draws(drawn));
  // And the previous page is the first one again, which did not draw it.
  EXPECT_EQ(0, view.Pager().PrevPage());
}

TEST_F(ViewFixture, PositionsAndSeeks) {
  FillQuarters();
  ASSERT_EQ(0, view.Rebuild());
  JianPuFrame f;
  ASSERT_TRUE(view.Pager().Lines().front()->FrameFor(1, &f));
  const CJianPuPage& page = *view.PartList().front()->Page(1);
  const int beat = static_cast<int>(page.UnitsPerBeat() * page.Scale());
  EXPECT_EQ(480 + 2 * 120, view.TickFromPoint(f.originX + 2 * beat + 1, 10));
  EXPECT_EQ(0, view.TickFromPoint(0, 10)) << "left of the first note area";
  EXPECT_EQ(0, view.SeekTick(480 + 130));
  EXPECT_EQ(f.originX - 2 + beat, view.Pager().Cursor().X());
}

TEST_F(ViewFixture, DigitsLightWhileSoundingAndLyricsWhenSung) {
  FillQuarters();
  ASSERT_EQ(0, view.Rebuild());
  IScoreViewOptions* options = view.GetOptions(1);
  ASSERT_NE(nullptr, options);
  options->SetNoteColor(kNote, -1);
  options->SetHighlightNoteColor(kHighlight, -1);
  EXPECT_EQ(kHighlight, options->GetHighlightNoteColor(-1));
  options->Release();

  CViewBitmap bmp(rect.right, rect.bottom);
  ASSERT_TRUE(bmp.Valid());
  const RECT digit = DigitBox(0, 1);
  PaintInto(bmp);
  EXPECT_GT(bmp.Count(digit, kNote), 3) << "the digit is drawn";
  EXPECT_EQ(0, bmp.Count(digit, kHighlight));

  view.NoteEvent(0x90 | 61 << 8 | 100 << 16, 120, 1);
  // Only the measure that changed is to be repainted.
  RECT dirty = view.Pager().Dirty(), both{};
  EXPECT_TRUE(IntersectRect(&both, &dirty, &digit) && EqualRect(&both, &digit));
  EXPECT_LT(dirty.right - dirty.left, rect.right / 2);
  PaintInto(bmp);
  EXPECT_TRUE(IsRectEmpty(&view.Pager().Dirty()));
  EXPECT_GT(bmp.Count(digit, kHighlight), 3) << "a sounding digit is lit";
  view.NoteEvent(0x80 | 61 << 8, 230, 1);
  PaintInto(bmp);
  EXPECT_EQ(0, bmp.Count(digit, kHighlight)) << "and dark again after its note-off";
  view.NoteEvent(0x90 | 61 << 8 | 100 << 16, 120, 1);
  view.NoteEvent(0x90 | 61 << 8, 230, 1);
  PaintInto(bmp);
  EXPECT_EQ(0, bmp.Count(digit, kHighlight)) << "a note-on of velocity 0 is a note-off";

  const CJianPuPainter& p = *view.PartList().front();
  JianPuFrame f;
  ASSERT_TRUE(view.Pager().Lines().front()->FrameFor(0, &f));
  const RECT lyric{f.originX - 2, f.refY + p.LyricOffset(), f.originX + 30, f.refY + p.LyricOffset() + 16};
  EXPECT_EQ(0, bmp.Count(lyric, kHighlight));
  view.MarkLyric(0, 1);
  PaintInto(bmp);
  EXPECT_GT(bmp.Count(lyric, kHighlight), 3) << "a sung syllable turns to the highlight colour";
  view.UnmarkLyrics(1, 1);
  PaintInto(bmp);
  EXPECT_EQ(0, bmp.Count(lyric, kHighlight));
}

TEST_F(ViewFixture, BarLinesCloseEachMeasureAndTheHeavyEndTheLast) {
  FillQuarters(2);
  ASSERT_EQ(0, view.Rebuild());
  IScoreViewOptions* options = view.GetOptions(1);
  options->SetNoteColor(kNote, -1);
  CViewBitmap bmp(rect.right, rect.bottom);
  const CJianPuPainter& p = *view.PartList().front();
  JianPuFrame f;
  ASSERT_TRUE(view.Pager().Lines().front()->FrameFor(1, &f));
  const int top = f.refY - p.DigitHeight() / 2 - 2, bottom = f.refY + p.DigitHeight() / 2 + 2;
  const int end = f.barX + f.placement.width;
  PaintInto(bmp);
  for (int x : {f.barX, end, end + 3, end + 4, end + 5})
    EXPECT_EQ(bottom - top, bmp.Count(RECT{x, top, x + 1, bottom}, kNote)) << "a full bar line at " << x;
  EXPECT_EQ(0, bmp.Count(RECT{end + 8, top, end + 9, bottom}, kNote));
  options->SetHeavyEndBar(false, -1);
  PaintInto(bmp);
  EXPECT_EQ(0, bmp.Count(RECT{end + 4, top, end + 5, bottom}, kNote)) << "no heavy end without the flag";
  options->Release();
}

TEST_F(ViewFixture, CursorColumnIsInvertedOnThePage) {
  FillQuarters();
  ASSERT_EQ(0, view.Rebuild());
  CViewBitmap bmp(rect.right, rect.bottom);
  view.StepCursor(0);
  view.StepCursor(2);
  PaintInto(bmp);
  const int x = view.Pager().Cursor().X();
  const RECT column{x, rect.top + 2, x + 1, rect.bottom - 2};
  const COLORREF inverted = RGB(255 - 20, 255 - 20, 255 - 40);
  EXPECT_GT(bmp.Count(column, inverted), (rect.bottom - rect.top) / 2);
}

TEST_F(ViewFixture, SizeLevelsOutOfRangeAreIgnoredAndLevelThreeStillHasRoom) {
  FillQuarters();
  ASSERT_EQ(0, view.Rebuild());
  view.SetSizeLevel(9);
  EXPECT_EQ(1, view.SizeLevel());
  view.SetSizeLevel(3);
  EXPECT_EQ(3, view.SizeLevel());
  const CJianPuLine& line = *view.Pager().Lines().front();
  EXPECT_GT(line.Rect().bottom - line.Rect().top, 0);
  EXPECT_GT(view.GetPageMeasureCount(nullptr), 0);
  CViewBitmap bmp(rect.right, rect.bottom);
  PaintInto(bmp);
  EXPECT_GT(bmp.Ink(rect, kBackground), 50);
}

TEST_F(ViewFixture, OptionsKeepLineAndClefColoursInTheRecordsOnly) {
  IScoreViewOptions* empty = view.GetOptions(1);
  EXPECT_EQ(0u, empty->GetNoteColor(-1));
  EXPECT_TRUE(empty->GetShowBarIndex(-1));
  empty->Release();
  FillQuarters();
  ASSERT_EQ(0, view.Rebuild());
  IScoreViewOptions* options = view.GetOptions(1);
  options->SetLineColor(RGB(1, 2, 3), -1);
  options->SetClefColor(RGB(4, 5, 6), 1);
  EXPECT_EQ(RGB(1, 2, 3), options->GetLineColor(1));
  EXPECT_EQ(RGB(4, 5, 6), options->GetClefColor(-1));
  EXPECT_EQ(0u, view.PartOf(1)->LineColor());
  options->SetNoteColor(RGB(7, 8, 9), 1);
  ASSERT_EQ(0, view.Rebuild());
  EXPECT_EQ(RGB(7, 8, 9), view.PartOf(1)->NoteColor()) << "records survive a rebuild";
  options->Release();
}

// Meters with beats of a few ticks (x/64, x/128, x/256), a whole-note beat
// and long bars, in free and fixed measure widths: every tick the view works
// out from a beat of grid units must stay a real, ordered tick.
TEST(JianPuMeterTest, UnusualMetersAndWidthsPageAndPoint) {
  const int meters[][2] = {{7, 7}, {3, 3}, {4, 1}, {5, 15}, {3, 30}, {1, 480}, {13, 120}, {6, 60}};
  CViewBitmap bitmap(700, 200);
  for (const auto& meter : meters) {
    for (bool fixed : {false, true}) {
      SCOPED_TRACE(std::to_string(meter[0]) + " beats of " + std::to_string(meter[1]) +
                   (fixed ? ", fixed width" : ""));
      std::unique_ptr<IScoreBuffer, void (*)(IScoreBuffer*)> buffer(new CScoreBuffer(),
                                                                    [](IScoreBuffer* b) { b->Release(); });
      CJianPuView view(nullptr);
      view.SetScoreBuffer(buffer.get());
      const RECT rect{0, 0, 700, 200};
      view.SetRect(&rect);
      view.SetFixedMeasureWidth(fixed, 90);
      const int bars = 6;
      const int end = FillMeterSong(buffer.get(), meter[0], meter[1], bars, 0, 5);
      ASSERT_EQ(view.Rebuild(), 0);
      EXPECT_EQ(view.GetMeasureCount(1), bars);
      const ViewWorkout w = WorkOut(view, end, bitmap, kBackground);
      EXPECT_EQ(w.paintsWithInk, w.paints);
      EXPECT_GT(w.pointsAnswered, 0);
      EXPECT_EQ(w.pointsOutOfOrder, 0);
      EXPECT_EQ(w.pointsOutOfSong, 0);
    }
  }
}

TEST(JianPuFactoryTest, OnlyVersionTwoMakesANumberedView) {
  base::Library score("Score.dll");
  ASSERT_TRUE(score);
  auto create = score.Find<CreateScoreViewFn>("CreateJianPuInstance");
  ASSERT_NE(nullptr, create);
  EXPECT_EQ(nullptr, create(nullptr, 1));
  EXPECT_EQ(nullptr, create(nullptr, 3));
  IScoreView* view = create(nullptr, 2);
  ASSERT_NE(nullptr, view);
  EXPECT_EQ(0, view->ChooseClef(40, 70)) << "the numbered view, not the staff view";
  view->Release();
}

TEST(JianPuDemoTest, DemoSongsBuildAndPage) {
  for (const char* name : {"hymn", "minuet"}) {
    IScoreBuffer* buffer = new CScoreBuffer();
    CJianPuView view(nullptr);
    view.SetScoreBuffer(buffer);
    const RECT rect{0, 0, 1000, 300};
    view.SetRect(&rect);
    FillDemo(buffer, &view, *FindDemoSong(name));
    EXPECT_EQ(0, view.Rebuild()) << name;
    char fits = 0;
    EXPECT_GT(view.GetPageMeasureCount(&fits), 0) << name;
    EXPECT_EQ(0, view.ScrollTo(0, 1)) << name;
    buffer->Release();
  }
}

// The demo song of two verses sung to the same notes, laid out by the
// numbered view and painted: the verse number, a tie over a bar line, and a
// left hand the digits leave out.
struct VersesShown {
  static constexpr COLORREF kBarNumber = RGB(0, 200, 0);
  static constexpr int kWidth = 1000, kHeight = 400;
  IScoreBuffer* buffer = new CScoreBuffer();
  CJianPuView view{nullptr};
  CViewBitmap bitmap{kWidth, kHeight};

  explicit VersesShown(int level) {
    view.SetScoreBuffer(buffer);
    view.SetSizeLevel(level);
    const RECT rect{0, 0, kWidth, kHeight};
    view.SetRect(&rect);
    FillDemo(buffer, &view, *FindDemoSong("verses"));
    EXPECT_EQ(0, view.Rebuild());
    IScoreViewOptions* o = view.GetOptions(1);
    o->SetNoteColor(kNote, -1);
    o->SetBarIndexColor(kBarNumber, -1);
    o->Release();
    view.Pager().EnableCursor(false);
    bitmap.Fill(kBackground);
    view.Paint(bitmap.Dc());
  }
  ~VersesShown() { buffer->Release(); }
  CJianPuLine& Line() { return *view.Pager().Lines().front(); }

  // Boxes of the syllables the shown measures drew, with their texts.
  std::vector<std::pair<RECT, std::string>> LyricBoxes() {
    std::vector<std::pair<RECT, std::string>> boxes;
    CJianPuLine& line = Line();
    HGDIOBJ old = SelectObject(bitmap.Dc(), line.Part()->LyricFont());
    for (int m = line.FirstMeasure(); line.Draws(m); ++m) {
      JianPuFrame f;
      EXPECT_TRUE(line.FrameFor(m, &f));
      for (const auto& lyric : line.Page(m)->Lyrics()) {
        if (lyric->DrawnX() < 0) continue;
        SIZE size{};
        const std::string& t = lyric->Text();
        GetTextExtentPoint32A(bitmap.Dc(), t.data(), static_cast<int>(t.size()), &size);
        const int top = lyric->Top(f);
        boxes.push_back({{lyric->DrawnX(), top, lyric->DrawnX() + size.cx, top + size.cy}, t});
      }
    }
    SelectObject(bitmap.Dc(), old);
    return boxes;
  }
};

TEST(JianPuLyricsTest, VersesStandOnLinesOfTheirOwnInsideThePart) {
  for (int level : {0, 1, 2, 3}) {
    VersesShown shown(level);
    const RECT part = shown.Line().Rect();
    const auto boxes = shown.LyricBoxes();
    ASSERT_GE(boxes.size(), 12u) << level;
    for (size_t i = 0; i < boxes.size(); ++i) {
      const RECT& a = boxes[i].first;
      EXPECT_LE(a.bottom, part.bottom) << level << " '" << boxes[i].second << "'";
      for (size_t j = i + 1; j < boxes.size(); ++j) {
        RECT both;
        EXPECT_FALSE(IntersectRect(&both, &a, &boxes[j].first))
            << level << " '" << boxes[i].second << "' and '" << boxes[j].second << "'";
      }
    }
    // Nothing of the part is drawn below it, where the next part would be.
    EXPECT_EQ(shown.bitmap.Ink(RECT{0, part.bottom, VersesShown::kWidth, VersesShown::kHeight}, kBackground),
              0)
        << level;
    auto find = [&](const char* text) {
      for (const auto& b : boxes)
        if (b.second == text) return b.first;
      ADD_FAILURE() << level << " no '" << text << "'";
      return RECT{};
    };
    // The verse number in front of its syllable, on its line; the second
    // verse's syllable on the next line, under the first's.
    const RECT number = find("1."), syllable = find("If"), take = find("take"), lock = find("lock");
    EXPECT_EQ(number.top, syllable.top) << level;
    EXPECT_LT(number.right, syllable.left) << level;
    EXPECT_EQ(take.left, lock.left) << level;
    EXPECT_GE(lock.top, take.bottom) << level;
  }
}

TEST(JianPuLyricsTest, BarNumberStandsAboveATieOverItsBarLine) {
  for (int level : {0, 1, 2}) {
    VersesShown shown(level);
    CJianPuLine& line = shown.Line();
    // Bar 4 opens with the second piece of a note tied over from bar 3.
    constexpr int kTiedInto = 3;
    ASSERT_TRUE(line.Draws(kTiedInto)) << level;
    ASSERT_NE(line.Page(kTiedInto)->Notes().front()->PrevTied(), nullptr) << level;
    JianPuFrame f;
    ASSERT_TRUE(line.FrameFor(kTiedInto, &f));
    const CViewBitmap& b = shown.bitmap;
    // The bar number's ink, found by its colour over the bar line's start.
    RECT number{f.barX + 30, f.refY, f.barX, 0};
    for (int y = line.Rect().top; y < f.refY; ++y)
      for (int x = f.barX; x < f.barX + 30; ++x)
        if (b.At(x, y) == VersesShown::kBarNumber) {
          number.left = std::min<LONG>(number.left, x), number.right = std::max<LONG>(number.right, x + 1);
          number.top = std::min<LONG>(number.top, y), number.bottom = std::max<LONG>(number.bottom, y + 1);
        }
    ASSERT_LT(number.left, number.right) << level << " no bar number drawn";
    // The tie's arc passes over the bar line between the digits and the number.
    int arc = 0;
    for (int y = number.bottom; y < f.refY - line.Part()->DigitHeight() / 2; ++y)
      arc += b.At(f.barX + 2, y) == kNote;
    EXPECT_GT(arc, 0) << level;
    EXPECT_EQ(b.Count(number, kNote), 0) << level << " the tie runs through the bar number";
  }
}

}  // namespace

namespace {

// What the numbered view invalidates in a real window (needs an X display
// under Wine).
TEST(JianPuWindowTest, ChangesInvalidateTheirMeasureOrTheCursorColumn) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "JianPuViewTestWindow";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "numbered", WS_OVERLAPPEDWINDOW, 0, 0, 900, 400, nullptr,
                              nullptr, wc.hInstance, nullptr);
  ASSERT_NE(nullptr, hwnd) << "no display";
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  auto update = [hwnd] {
    RECT r{};
    GetUpdateRect(hwnd, &r, FALSE);
    return r;
  };
  {
    IScoreBuffer* buffer = new CScoreBuffer();
    CJianPuView view(hwnd);
    view.SetScoreBuffer(buffer);
    const RECT rect{0, 0, 800, 300};
    view.SetRect(&rect);
    FillDemo(buffer, &view, *FindDemoSong("hymn"));
    ASSERT_EQ(0, view.Rebuild());

    ValidateRect(hwnd, nullptr);
    view.NoteEvent(0x90 | 66 << 8 | 90 << 16, 0, 1);
    RECT r = update();
    EXPECT_FALSE(IsRectEmpty(&r));
    EXPECT_LT(r.right - r.left, 300) << "a highlight repaints its measure, not the page";

    ValidateRect(hwnd, nullptr);
    view.NoteEvent(0x90 | 20 << 8 | 90 << 16, 0, 1);
    r = update();
    EXPECT_TRUE(IsRectEmpty(&r)) << "a note not on the page changes nothing";

    ValidateRect(hwnd, nullptr);
    view.StepCursor(0);
    view.StepCursor(2);
    r = update();
    EXPECT_FALSE(IsRectEmpty(&r));
    buffer->Release();
  }
  DestroyWindow(hwnd);
}

}  // namespace
