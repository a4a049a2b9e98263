// The staff view painted into a memory bitmap, probed pixel by pixel: staff
// lines, bar lines, clefs from the music font, rests, highlights, sung
// syllables, the cursor, and the DC left as it was found. Probes look at
// bands and counts, not exact glyph shapes.
#include <gtest/gtest.h>

#include <vector>

#include "DemoSongs.h"
#include "NoteGlyphs.h"
#include "RestGlyphs.h"
#include "ScoreBuffer.h"
#include "StaffPage.h"
#include "StaffPainter.h"
#include "StaffSizes.h"
#include "StaffView.h"
#include "ViewBitmap.h"

namespace {

struct BufferReleaser {
  void operator()(IScoreBuffer* b) const { b->Release(); }
};
using BufferPtr = std::unique_ptr<IScoreBuffer, BufferReleaser>;

constexpr COLORREF kBack = RGB(0, 0, 0);
constexpr COLORREF kLine = RGB(0, 200, 0);
constexpr COLORREF kNote = RGB(255, 255, 255);
constexpr COLORREF kLight = RGB(255, 0, 0);
constexpr COLORREF kClef = RGB(0, 128, 255);

struct Drawn {
  std::unique_ptr<IScoreBuffer, void (*)(IScoreBuffer*)> buffer{new CScoreBuffer(), [](IScoreBuffer* b) { b->Release(); }};
  CStaffView view{nullptr};
  CViewBitmap bitmap{900, 200};

  explicit Drawn(const char* song = "hymn") {
    view.SetScoreBuffer(buffer.get());
    view.SetSizeLevel(0);
    const RECT rect{0, 0, 900, 200};
    view.SetRect(&rect);
    FillDemo(buffer.get(), &view, *FindDemoSong(song));
    EXPECT_EQ(view.Rebuild(), 0);
    IScoreViewOptions* o = view.GetOptions(1);
    o->SetLineColor(kLine, -1);
    o->SetNoteColor(kNote, -1);
    o->SetHighlightNoteColor(kLight, -1);
    o->SetClefColor(kClef, -1);
    o->SetShowBarIndex(false, -1);
    o->Release();
    view.Pager().EnableCursor(false);
  }
  void Paint() {
    bitmap.Fill(kBack);
    view.Paint(bitmap.Dc());
  }
  CStaffLine& Line() { return *view.Pager().Lines()[0]; }
  StaffFrame Frame(int measure) {
    StaffFrame f;
    EXPECT_TRUE(Line().FrameFor(measure, &f));
    return f;
  }
  int Gap() { return Line().Part()->LineGap(); }
};

RECT Box(int x, int y, int halfW, int halfH) { return {x - halfW, y - halfH, x + halfW + 1, y + halfH + 1}; }

TEST(StaffDrawing, StaffLinesAndBarLines) {
  Drawn d;
  d.Paint();
  const StaffFrame f = d.Frame(2);
  const StaffGeometry& g = d.Line().Geometry();
  for (int k = 0; k < 5; ++k) {
    const int y = g.upperTop + k * d.Gap();
    const RECT row{f.barX + 2, y, f.barX + f.placement.width - 2, y + 1};
    EXPECT_GT(d.bitmap.Count(row, kLine), (row.right - row.left) / 2) << "staff line " << k;
    const RECT between{f.barX + 2, y + 2, f.barX + f.placement.width - 2, y + 3};
    if (k < 4) {
      EXPECT_LT(d.bitmap.Count(between, kLine), (row.right - row.left) / 4) << "space " << k;
    }
  }
  // The bar line at the measure's x runs from the top line to the bottom line.
  const RECT bar{f.barX, g.upperTop, f.barX + 1, g.upperTop + 4 * d.Gap()};
  EXPECT_EQ(d.bitmap.Count(bar, kLine), 4 * d.Gap());
}

TEST(StaffDrawing, ClefsComeFromTheMusicFont) {
  struct Case {
    const char* song;
    int kind;
  } cases[] = {{"hymn", kTrebleStaff}, {"minuet", kGrandStaff}};
  for (const Case& c : cases) {
    Drawn d(c.song);
    d.Paint();
    ASSERT_TRUE(d.Line().Part()->MusicFontAdded());
    const StaffGeometry& g = d.Line().Geometry();
    const int x = d.Line().NoteAreaLeft() + 5;
    const int gap = d.Gap();
    // A treble clef spans more than the staff and curls round the G line.
    const RECT tall{x, g.upperTop - 3 * gap, x + 30, g.upperTop + 8 * gap};
    int top = 10000, bottom = -1;
    for (int y = tall.top; y < tall.bottom; ++y)
      if (d.bitmap.Count({x, y, x + 30, y + 1}, kClef) > 0) top = std::min(top, y), bottom = std::max(bottom, y);
    EXPECT_LT(top, g.upperTop) << c.song;
    EXPECT_GT(bottom, g.upperTop + 4 * gap) << c.song;
    const int gLine = g.upperTop + 3 * gap;
    EXPECT_GT(d.bitmap.Count({x, gLine - gap / 2, x + 30, gLine + gap / 2 + 1}, kClef), 6) << c.song;
    if (c.kind == kGrandStaff) {
      // The bass clef's dots sit either side of the F line, its body on it.
      const int fLine = g.lowerTop + gap;
      EXPECT_GT(d.bitmap.Count({x, fLine - gap / 2, x + 30, fLine + gap / 2 + 1}, kClef), 6);
      EXPECT_EQ(d.bitmap.Count({x, g.lowerTop + 5 * gap, x + 30, g.lowerTop + 7 * gap}, kClef), 0);
    }
  }
}

// The line's opening signs and the time signature stand apart at every size:
// the signs in the note colour, the digits in the signature colour.
TEST(StaffDrawing, KeySignsStayClearOfTheTimeSignature) {
  constexpr COLORREF kSignature = RGB(255, 255, 0);
  for (const char* song : {"hymn", "minuet", "etude"}) {
    for (int level = 0; level < 4; ++level) {
      Drawn d(song);
      d.view.SetSizeLevel(level);
      IScoreViewOptions* o = d.view.GetOptions(1);
      o->SetSignatureColor(kSignature, -1);
      o->Release();
      d.Paint();
      CStaffLine& line = d.Line();
      const StaffGeometry& g = line.Geometry();
      const int x0 = line.NoteAreaLeft() + StaffSizes::kClefWidth[level];
      const int x1 = line.NoteAreaLeft() + line.HeaderWidth(line.Part()->Page(0)->HeaderKey());
      const int top = g.upperTop - 2 * d.Gap(), bottom = g.upperTop + 6 * d.Gap();
      int lastSign = -1, firstDigit = -1;
      for (int x = x0; x < x1; ++x) {
        const RECT column{x, top, x + 1, bottom};
        if (d.bitmap.Count(column, kNote) > 0) lastSign = x;
        if (firstDigit < 0 && d.bitmap.Count(column, kSignature) > 0) firstDigit = x;
      }
      ASSERT_GE(lastSign, 0) << song << " level " << level;
      ASSERT_GE(firstDigit, 0) << song << " level " << level;
      EXPECT_LT(lastSign, firstDigit) << song << " level " << level;
    }
  }
}

TEST(StaffDrawing, QuarterRestInkSitsMidStaff) {
  Drawn d("drums");
  // A measure of its own: one quarter note at the start, rests after it.
  auto buffer = d.buffer.get();
  buffer->Clear();
  const ScoreTimeSig time{0, 4, 120};
  buffer->SetTimeSignatures(&time, 1);
  ScoreNoteEvent notes[] = {{0, 0x90, 67, 90, 0}, {110, 0x80, 67, 0, 0}};
  buffer->AddTrackNotes(1, notes, 2, 1, 0);
  ASSERT_EQ(d.view.Rebuild(), 0);
  IScoreViewOptions* o = d.view.GetOptions(1);
  o->SetNoteColor(kNote, -1);
  o->Release();
  d.Paint();
  const CStaffPage* page = d.Line().Part()->Page(0);
  const StaffFrame f = d.Frame(0);
  const CQuarterRest* rest = nullptr;
  for (auto& e : page->Elements())
    if (auto* r = dynamic_cast<const CQuarterRest*>(e.get())) rest = r;
  ASSERT_NE(rest, nullptr);
  const StaffGeometry& g = d.Line().Geometry();
  const int x = f.originX + rest->X();
  const RECT inside{x - 2, g.upperTop, x + 12, g.upperTop + 4 * d.Gap() + 1};
  // Font glyphs are smoothed: count every pixel that is neither background nor staff line.
  auto ink = [&](const RECT& r) { return d.bitmap.Ink(r, kBack) - d.bitmap.Count(r, kLine); };
  EXPECT_GT(ink(inside), 15);
  // Nothing of it far above or below the staff.
  EXPECT_EQ(ink({x - 2, g.upperTop - 3 * d.Gap(), x + 12, g.upperTop - d.Gap()}), 0);
  EXPECT_EQ(ink({x - 2, g.upperTop + 5 * d.Gap(), x + 12, g.upperTop + 7 * d.Gap()}), 0);
}

TEST(StaffDrawing, SoundingNotesAndSungSyllablesTurnToTheHighlightColour) {
  Drawn d;
  const CStaffPage* page = d.Line().Part()->Page(1);
  const CScoreGlyph* note = page->Notes(0)[0].get();
  const StaffFrame f = d.Frame(1);
  const RECT head = Box(note->HeadLeft(f) + 3, note->HeadY(f), 5, d.Gap() / 2);
  d.Paint();
  EXPECT_EQ(d.bitmap.Count(head, kLight), 0);
  EXPECT_GT(d.bitmap.Count(head, kNote), 10);

  const uint32_t on = 0x90 | note->Pitch() << 8 | 100 << 16;
  d.view.NoteEvent(on, note->Tick(), 1);
  d.Paint();
  EXPECT_GT(d.bitmap.Count(head, kLight), 10);
  d.view.NoteEvent(0x80 | note->Pitch() << 8, note->Tick() + 100, 1);
  d.Paint();
  EXPECT_EQ(d.bitmap.Count(head, kLight), 0);

  // The first syllable of the measure, sung.
  ASSERT_FALSE(page->Lyrics().empty());
  const CLyricItem* lyric = page->Lyrics()[0].get();
  const RECT text{f.originX - 2, d.Line().Geometry().upperRef, f.originX + 40, d.Line().Geometry().upperRef + 30};
  EXPECT_EQ(d.bitmap.Count(text, kLight), 0);
  d.view.MarkLyric(lyric->Tick(), 1);
  d.Paint();
  EXPECT_GT(d.bitmap.Count(text, kLight), 5);
  d.view.Rewind();
  d.Paint();
  EXPECT_EQ(d.bitmap.Count(text, kLight), 0);
}

TEST(StaffDrawing, NoStrokesMeansNoStemsButHeads) {
  Drawn d;
  const CScoreGlyph* note = d.Line().Part()->Page(1)->Notes(0)[0].get();
  const StaffFrame f = d.Frame(1);
  const int w = 7;
  const int stemX = note->StemDown() ? note->HeadLeft(f) : note->HeadLeft(f) + w - 1;
  const int dir = note->StemDown() ? 1 : -1;
  const RECT stem{stemX, std::min(note->HeadY(f) + dir * 6, note->HeadY(f) + dir * 14),
                  stemX + 1, std::max(note->HeadY(f) + dir * 6, note->HeadY(f) + dir * 14) + 1};
  d.Paint();
  EXPECT_GT(d.bitmap.Count(stem, kNote), 5);
  d.view.SetLineWidth(0);
  d.Paint();
  EXPECT_EQ(d.bitmap.Count(stem, kNote), 0);
  EXPECT_GT(d.bitmap.Count(Box(note->HeadLeft(f) + 3, note->HeadY(f), 3, 2), kNote), 5);
}

// Pages are turned as playback turns them; each page is painted into a
// bitmap wider than the view, so anything past the view's right edge shows.
TEST(StaffDrawing, RowsEndInsideTheViewAndShowEachMeasureOnce) {
  struct Case {
    const char* song;
    int level;
    int width;
  } cases[] = {{"hymn", 0, 1000}, {"etude", 0, 1000}, {"hymn", 3, 1400}, {"minuet", 3, 1400}, {"drums", 1, 700}};
  for (const Case& c : cases) {
    BufferPtr buffer{new CScoreBuffer()};
    CStaffView view(nullptr);
    view.SetScoreBuffer(buffer.get());
    view.SetSizeLevel(c.level);
    const RECT rect{0, 0, c.width, 300};
    view.SetRect(&rect);
    FillDemo(buffer.get(), &view, *FindDemoSong(c.song));
    ASSERT_EQ(view.Rebuild(), 0) << c.song;
    view.Pager().EnableCursor(false);
    CStaffLine& line = *view.Pager().Lines()[0];
    const int measures = line.PageCount();
    CViewBitmap bitmap(c.width + 200, 300);
    std::vector<int> seen(measures, 0);
    bool clipped = false;
    for (int page = 0; page < measures; ++page) {
      bitmap.Fill(kBack);
      view.Paint(bitmap.Dc());
      EXPECT_EQ(bitmap.Ink({c.width, 0, c.width + 200, 300}, kBack), 0) << c.song << " page " << page;
      clipped = clipped || !line.Fits();
      for (int m = line.FirstMeasure(); line.Draws(m); ++m) {
        StaffFrame f;
        ASSERT_TRUE(line.FrameFor(m, &f));
        EXPECT_LE(f.barX + f.placement.width, c.width) << c.song << " measure " << m;
        ++seen[m];
      }
      // Where the next page starts: the first measure this one does not draw.
      const int next = view.GetLastMeasure();
      if (next >= measures) break;
      // The turn playback makes: the first measure after the drawn ones starts.
      view.Pager().SetCurrentMeasure(next);
      view.StepCursor(0);
      ASSERT_EQ(line.FirstMeasure(), next) << c.song;
    }
    EXPECT_TRUE(clipped) << c.song << ": no row ran past the edge, so nothing was tried";
    for (int m = 0; m < measures; ++m) EXPECT_EQ(seen[m], 1) << c.song << " measure " << m;
  }
}

// At the options the player starts with (size 0, one-pixel strokes) every
// quarter, eighth and half note shows its stem from the head to the tip, on
// every page.
TEST(StaffDrawing, EveryStemmedNoteDrawsItsStem) {
  for (const char* song : {"hymn", "etude", "minuet"}) {
    Drawn d(song);
    CStaffLine& line = d.Line();
    int checked = 0;
    for (int m = 0; m < line.PageCount(); ++m) {
      if (!line.Draws(m)) d.view.ScrollTo(m, 0);
      if (m == line.FirstMeasure()) d.Paint();
      const StaffFrame f = d.Frame(m);
      for (int voice = 0; voice < 3; ++voice) {
        for (auto& glyph : line.Part()->Page(m)->Notes(voice)) {
          if (!dynamic_cast<const CQuarterNote*>(glyph.get()) && !dynamic_cast<const CHalfNote*>(glyph.get())) continue;
          const POINT tip = glyph->StemEnd();
          const int head = glyph->HeadY(f), tipY = tip.y;
          const int from = std::min(head, tipY) + d.Gap(), to = std::max(head, tipY) - (glyph->StemDown() ? 0 : 1);
          ASSERT_GT(to - from, 5) << song << " measure " << m;
          EXPECT_EQ(d.bitmap.Count({tip.x, from, tip.x + 1, to}, kNote), to - from)
              << song << " measure " << m << " note at tick " << glyph->Tick();
          ++checked;
        }
      }
    }
    EXPECT_GT(checked, 10) << song;
  }
}

TEST(StaffDrawing, TheCursorInvertsAndTwiceRestores) {
  Drawn d;
  d.Paint();
  std::vector<uint32_t> before(d.bitmap.Bits(), d.bitmap.Bits() + 900 * 200);
  CPlayCursor cursor;
  cursor.SetExtent(10, 150);
  cursor.SetX(123);
  cursor.DrawCursor(d.bitmap.Dc());
  EXPECT_EQ(d.bitmap.At(123, 5), kBack);
  EXPECT_EQ(d.bitmap.At(123, 12), RGB(255, 255, 255));  // black inverted
  cursor.DrawCursor(d.bitmap.Dc());
  GdiFlush();
  EXPECT_TRUE(std::equal(before.begin(), before.end(), d.bitmap.Bits()));
}

TEST(StaffDrawing, PaintLeavesTheDcAsItFoundIt) {
  for (const DemoSong& song : DemoSongs()) {
    Drawn d(song.name.c_str());
    HDC dc = d.bitmap.Dc();
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    d.view.NoteEvent(0x90 | 66 << 8 | 90 << 16, 0, 1);
    d.view.MarkLyric(0, 1);
    d.view.Pager().EnableCursor(true);
    d.Paint();
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen) << song.name;
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush) << song.name;
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font) << song.name;
    EXPECT_EQ(GetTextColor(dc), RGB(1, 2, 3)) << song.name;
    EXPECT_EQ(GetBkMode(dc), OPAQUE) << song.name;
  }
}

// A free text stands above the measure it starts, wherever that measure is
// in the song: placed by its absolute tick it would fly off to the right.
TEST(StaffDrawing, FreeTextsStandAboveTheirOwnMeasure) {
  Drawn d;
  const int measure = 2;
  const int start = d.Line().Page(measure)->StartTick();
  ASSERT_GT(start, 0);
  const StaffFrame f = d.Frame(measure);
  const StaffGeometry& g = d.Line().Geometry();
  // The band the text's glyphs fall in: from 30 px above the top line, one
  // text height down, over the first two beats of the measure.
  const RECT band{f.originX - 2, g.upperTop - 32, f.originX + 60, g.upperTop - 30 + 16};
  d.Paint();
  const int without = d.bitmap.Count(band, kNote);

  const ScoreText text = {"Coda", 0, start};
  ASSERT_EQ(d.buffer->SetTexts(&text, 1, 1), 0);
  ASSERT_EQ(d.view.Rebuild(), 0);
  d.view.Pager().EnableCursor(false);
  d.Paint();
  EXPECT_GT(d.bitmap.Count(band, kNote), without + 10);
}

}  // namespace
