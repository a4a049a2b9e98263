// The staff view painted into a memory bitmap, probed pixel by pixel: staff
// lines, bar lines, clefs from the music font, rests, highlights, sung
// syllables, the cursor, and the DC left as it was found. Probes look at
// bands and counts, not exact glyph shapes.
#include <gtest/gtest.h>

#include <cstdlib>
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
  std::unique_ptr<IScoreBuffer, void (*)(IScoreBuffer*)> buffer{new CScoreBuffer(),
                                                                [](IScoreBuffer* b) { b->Release(); }};
  CStaffView view{nullptr};
  CViewBitmap bitmap;

  explicit Drawn(const char* song = "hymn", int height = 200) : bitmap(900, height) {
    view.SetScoreBuffer(buffer.get());
    view.SetSizeLevel(0);
    const RECT rect{0, 0, 900, height};
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
      if (d.bitmap.Count({x, y, x + 30, y + 1}, kClef) > 0)
        top = std::min(top, y), bottom = std::max(bottom, y);
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

// Music-font symbols and note heads hold their lines at every size level,
// however the font heights of the levels relate to the line gaps. Probed:
// the hole in the treble clef's curl is centred on the G line, the bass
// clef's dots lie either side of the F line, a quarter rest spans the middle
// line evenly, and a head on a line is centred on it.
namespace {

// Drawn by something other than the background and the staff lines.
bool Marked(const CViewBitmap& b, int x, int y) {
  const COLORREF c = b.At(x, y);
  return c != kBack && c != kLine;
}

// The middle of the tallest unmarked run, in one column, closed by marks above
// and below inside the rows [top, bottom): twice the centre row, or -1.
int TallestHoleCentre2(const CViewBitmap& b, int x0, int x1, int top, int bottom) {
  int best = 0, centre2 = -1;
  for (int x = x0; x < x1; ++x) {
    int lastMark = -1;
    for (int y = top; y < bottom; ++y) {
      if (!Marked(b, x, y)) continue;
      if (lastMark >= 0 && y - lastMark - 1 > best) best = y - lastMark - 1, centre2 = lastMark + y;
      lastMark = y;
    }
  }
  return centre2;
}

// Twice the mean row of the marks in the rectangle, or -1 without any.
int MeanRow2(const CViewBitmap& b, const RECT& r) {
  long sum = 0, n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (Marked(b, x, y)) sum += y, ++n;
  return n ? static_cast<int>(2 * sum / n) : -1;
}

// Twice the middle of the first and last marked rows in the rectangle, or -1.
int MarkedSpan2(const CViewBitmap& b, const RECT& r) {
  int first = -1, last = -1;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (Marked(b, x, y)) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return first < 0 ? -1 : first + last;
}

}  // namespace

TEST(StaffDrawing, ClefsSitOnTheirLinesAtEverySize) {
  for (int level = 0; level < StaffSizes::kLevels; ++level) {
    Drawn d("minuet", 320);
    d.view.SetSizeLevel(level);
    d.Paint();
    ASSERT_TRUE(d.Line().Part()->MusicFontAdded());
    const StaffGeometry& g = d.Line().Geometry();
    const int gap = d.Gap();
    // The clef's own columns, short of the key signature.
    const int x = d.Line().NoteAreaLeft() + 5,
              right = d.Line().NoteAreaLeft() + StaffSizes::kClefWidth[level] - 2;
    // Within a gap and a half of the G line only the curl closes a hole.
    const int gLine = g.upperTop + 3 * gap;
    const int hole2 = TallestHoleCentre2(d.bitmap, x, right, gLine - 3 * gap / 2, gLine + 3 * gap / 2);
    ASSERT_GE(hole2, 0) << "level " << level;
    EXPECT_LE(std::abs(hole2 - 2 * gLine), 2)
        << "level " << level << ": curl centre " << hole2 / 2.0 << ", G line " << gLine;
    // The bass clef's rightmost columns hold only its two dots.
    const int fLine = g.lowerTop + gap;
    int dotsRight = -1;
    for (int c = x; c < right; ++c)
      if (MarkedSpan2(d.bitmap, {c, fLine - 2 * gap, c + 1, fLine + 2 * gap}) >= 0) dotsRight = c;
    ASSERT_GT(dotsRight, x) << "level " << level;
    const int dots2 = MeanRow2(d.bitmap, {dotsRight - gap / 4, fLine - gap, dotsRight + 1, fLine + gap + 1});
    EXPECT_LE(std::abs(dots2 - 2 * fLine), 2)
        << "level " << level << ": dots centre " << dots2 / 2.0 << ", F line " << fLine;
    // Both dots, not one of them: ink on each side of the line.
    EXPECT_GT(d.bitmap.Ink({dotsRight - gap / 4, fLine - gap, dotsRight + 1, fLine - 1}, kBack), 0)
        << "level " << level;
    EXPECT_GT(d.bitmap.Ink({dotsRight - gap / 4, fLine + 2, dotsRight + 1, fLine + gap + 1}, kBack), 0)
        << "level " << level;
  }
}

// A C clef is symmetric about its line: the middle of its ink is the
// reference line of the alto (middle line) and tenor (fourth line) staves.
TEST(StaffDrawing, CClefsSitOnTheirLinesAtEverySize) {
  for (int kind : {kAltoStaff, kTenorStaff}) {
    for (int level = 0; level < StaffSizes::kLevels; ++level) {
      CStaffPainter painter;
      ASSERT_TRUE(painter.MusicFontAdded());
      painter.SetSizeIndex(level);
      painter.SetStaffKind(kind);
      painter.SetClefColor(kClef);
      CViewBitmap bitmap(120, 200);
      bitmap.Fill(kBack);
      const StaffGeometry& g = painter.Metrics();
      painter.DrawClef(bitmap.Dc(), g, 10);
      const int gap = painter.LineGap();
      const int span2 = MarkedSpan2(
          bitmap, {10, g.upperRef - 4 * gap, 10 + StaffSizes::kClefWidth[level], g.upperRef + 4 * gap});
      ASSERT_GE(span2, 0) << "kind " << kind << " level " << level;
      EXPECT_LE(std::abs(span2 - 2 * g.upperRef), 2)
          << "kind " << kind << " level " << level << ": clef centre " << span2 / 2.0 << ", line "
          << g.upperRef;
    }
  }
}

TEST(StaffDrawing, QuarterRestAndHeadsHoldTheirLinesAtEverySize) {
  for (int level = 0; level < StaffSizes::kLevels; ++level) {
    Drawn d("etude");
    d.view.SetSizeLevel(level);
    CStaffLine& line = d.Line();
    const int gap = d.Gap();
    int rests = 0, heads = 0;
    for (int m = 0; m < line.PageCount(); ++m) {
      if (!line.Draws(m)) d.view.ScrollTo(m, 0);
      if (m == line.FirstMeasure()) d.Paint();
      const StaffFrame f = d.Frame(m);
      const CStaffPage* page = line.Part()->Page(m);
      const int middle = line.Geometry().upperTop + 2 * gap;
      for (auto& e : page->Elements()) {
        const auto* rest = dynamic_cast<const CQuarterRest*>(e.get());
        if (!rest) continue;
        const int x = f.originX + rest->X();
        const int span2 = MarkedSpan2(d.bitmap, {x, middle - 3 * gap, x + gap, middle + 3 * gap});
        EXPECT_LE(std::abs(span2 - 2 * middle), 2)
            << "level " << level << " measure " << m << ": rest centre " << span2 / 2.0 << ", middle line "
            << middle;
        ++rests;
      }
      for (int voice = 0; voice < 3; ++voice) {
        for (auto& glyph : page->Notes(voice)) {
          if (glyph->Step() % 2 != 0 || !dynamic_cast<const CQuarterNote*>(glyph.get())) continue;
          const int left = glyph->HeadLeft(f), y = glyph->HeadY(f), w = CScoreGlyph::HeadWidth(*line.Part());
          if (d.bitmap.At(left - 1, y) != kLine) continue;  // a sign or a neighbour covers the line there
          const int span2 = MarkedSpan2(d.bitmap, {left + 2, y - gap, left + w - 2, y + gap + 1});
          EXPECT_LE(std::abs(span2 - 2 * y), 2)
              << "level " << level << " measure " << m << " tick " << glyph->Tick();
          ++heads;
        }
      }
    }
    EXPECT_GE(rests, 2) << "level " << level;
    EXPECT_GE(heads, 3) << "level " << level;
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
  const RECT text{f.originX - 2, d.Line().Geometry().upperRef, f.originX + 40,
                  d.Line().Geometry().upperRef + 30};
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
  const RECT stem{stemX, std::min(note->HeadY(f) + dir * 6, note->HeadY(f) + dir * 14), stemX + 1,
                  std::max(note->HeadY(f) + dir * 6, note->HeadY(f) + dir * 14) + 1};
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
  } cases[] = {
      {"hymn", 0, 1000}, {"etude", 0, 1000}, {"hymn", 3, 1400}, {"minuet", 3, 1400}, {"drums", 1, 700}};
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
          if (!dynamic_cast<const CQuarterNote*>(glyph.get()) && !dynamic_cast<const CHalfNote*>(glyph.get()))
            continue;
          const POINT tip = glyph->StemEnd();
          const int head = glyph->HeadY(f), tipY = tip.y;
          const int from = std::min(head, tipY) + d.Gap(),
                    to = std::max(head, tipY) - (glyph->StemDown() ? 0 : 1);
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
