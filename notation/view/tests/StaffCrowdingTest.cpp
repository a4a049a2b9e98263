// Dense songs laid out by the staff view and read back row by row: lyrics
// below everything their row draws, bar numbers above their measure, 32nd
// notes and chord accidentals apart, verses on lines of their own, and ties
// clear of the heads they join. Boxes come from the layout (glyph ink boxes,
// lyric lines, bar number tops) for the frames the rows paint with.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "DemoSongs.h"
#include "LyricItem.h"
#include "ScoreBuffer.h"
#include "StaffMarks.h"
#include "StaffPage.h"
#include "StaffPainter.h"
#include "StaffSizes.h"
#include "StaffView.h"
#include "ViewBitmap.h"

namespace {

bool Overlap(const RECT& a, const RECT& b) {
  RECT both;
  return IntersectRect(&both, &a, &b) != FALSE;
}

std::string Show(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

constexpr COLORREF kLine = RGB(0, 200, 0);
constexpr COLORREF kNote = RGB(255, 255, 255);

// One laid-out measure of the first part as its row paints it.
struct Shown {
  const CStaffPage* page;
  StaffFrame frame;
};

// A demo song in the staff view, one row per screen, every row visited.
struct Laid {
  std::unique_ptr<IScoreBuffer, void (*)(IScoreBuffer*)> buffer{new CScoreBuffer(),
                                                                [](IScoreBuffer* b) { b->Release(); }};
  CStaffView view{nullptr};
  static constexpr int kHeight = 480;
  CViewBitmap bitmap{900, kHeight};
  std::vector<std::vector<Shown>> rows;

  // `texts` go to the song's first track.
  Laid(const char* song, int level, const std::vector<ScoreText>& texts = {}, bool barNumbers = false) {
    view.SetScoreBuffer(buffer.get());
    view.SetSizeLevel(level);
    const RECT rect{0, 0, 900, kHeight};
    view.SetRect(&rect);
    const DemoSong& demo = *FindDemoSong(song);
    FillDemo(buffer.get(), &view, demo);
    if (!texts.empty()) {
      EXPECT_EQ(buffer->SetTexts(texts.data(), static_cast<int>(texts.size()), demo.tracks[0].number), 0);
    }
    EXPECT_EQ(view.Rebuild(), 0);
    IScoreViewOptions* o = view.GetOptions(1);
    o->SetLineColor(kLine, -1);
    o->SetNoteColor(kNote, -1);
    o->SetShowBarIndex(barNumbers, -1);
    o->Release();
    view.Pager().EnableCursor(false);
    CStaffLine& line = *view.Pager().Lines()[0];
    for (int first = 0; first < line.PageCount();) {
      view.Pager().ScrollTo(first, 0);
      // Free syllables find their place when painted.
      bitmap.Fill(RGB(0, 0, 0));
      view.Paint(bitmap.Dc());
      std::vector<Shown> row;
      for (int m = line.FirstMeasure(); line.Draws(m); ++m) {
        Shown s{line.Page(m), {}};
        EXPECT_TRUE(line.FrameFor(m, &s.frame));
        row.push_back(s);
      }
      if (row.empty()) break;
      first = line.FirstMeasure() + static_cast<int>(row.size());
      rows.push_back(row);
    }
  }
  CStaffPainter& Part() { return *view.Pager().Lines()[0]->Part(); }

  // Ink of every glyph and mark of a measure.
  static std::vector<RECT> Ink(const Shown& s) {
    std::vector<RECT> boxes;
    RECT box;
    for (int voice = 0; voice < 3; ++voice)
      for (const auto& g : s.page->Notes(voice))
        if (g->InkBox(s.frame, &box)) boxes.push_back(box);
    for (const auto& e : s.page->Elements())
      if (e->InkBox(s.frame, &box)) boxes.push_back(box);
    return boxes;
  }

  // Lyric boxes of a measure, with the widths the lyric font gives them.
  std::vector<std::pair<RECT, std::string>> LyricBoxes(const Shown& s) {
    std::vector<std::pair<RECT, std::string>> boxes;
    HGDIOBJ old = SelectObject(bitmap.Dc(), Part().LyricFont());
    for (const auto& lyric : s.page->Lyrics()) {
      if (lyric->DrawnX() < 0) continue;
      SIZE size{};
      const std::string& t = lyric->Text();
      GetTextExtentPoint32A(bitmap.Dc(), t.data(), static_cast<int>(t.size()), &size);
      const int top = lyric->Top(s.frame);
      boxes.push_back({{lyric->DrawnX(), top, lyric->DrawnX() + size.cx, top + size.cy}, t});
    }
    SelectObject(bitmap.Dc(), old);
    return boxes;
  }
};

struct SongCase {
  const char* song;
  int level;
};

const SongCase kDense[] = {{"crowded", 0},  {"crowded", 1}, {"crowded", 3}, {"lowpiano", 0},
                           {"lowpiano", 2}, {"hymn", 1},    {"etude", 1},   {"cymbals", 1},
                           {"verses", 0},   {"verses", 1},  {"verses", 3}};

TEST(StaffCrowding, LyricsStandBelowEverythingTheirRowDraws) {
  for (const SongCase& c : kDense) {
    Laid laid(c.song, c.level);
    int lyrics = 0;
    for (const auto& row : laid.rows) {
      int lowest = 0;
      for (const Shown& s : row)
        for (const RECT& r : Laid::Ink(s)) lowest = std::max<int>(lowest, r.bottom);
      for (const Shown& s : row) {
        for (const auto& [box, text] : laid.LyricBoxes(s)) {
          ++lyrics;
          EXPECT_GE(box.top, lowest) << c.song << " level " << c.level << " '" << text << "'";
          for (const Shown& other : row)
            for (const RECT& r : Laid::Ink(other))
              EXPECT_FALSE(Overlap(box, r)) << c.song << " '" << text << "' " << Show(box) << " " << Show(r);
        }
      }
    }
    if (std::string(c.song) != "cymbals" && std::string(c.song) != "etude") {
      EXPECT_GT(lyrics, 0) << c.song;
    }
  }
  // Where nothing reaches below the staff, lyrics keep their usual place.
  Laid hymn("hymn", 1);
  const Shown& s = hymn.rows[0][0];
  EXPECT_EQ(s.frame.lyricY, s.frame.geometry.upperRef + hymn.Part().LyricOffset());
}

TEST(StaffCrowding, BarNumbersStandAboveTheirMeasure) {
  for (const SongCase& c : kDense) {
    Laid laid(c.song, c.level);
    for (const auto& row : laid.rows) {
      for (const Shown& s : row) {
        // The bar number's cell: up to three digits of the 12 px text font.
        const int top = s.frame.geometry.upperRef + s.page->BarNumberTop();
        const RECT number{s.frame.barX + 1, top, s.frame.barX + 1 + 3 * 8, top + 14};
        EXPECT_LE(number.bottom, s.frame.geometry.upperTop) << c.song;
        for (const RECT& r : Laid::Ink(s))
          EXPECT_LE(number.bottom, r.top) << c.song << " bar " << s.page->Index() + 1 << " " << Show(r);
      }
    }
  }
  // A free text at a measure of high notes stands above its bar number.
  const std::vector<ScoreText> texts{{"Coda", 0, 8 * 120}};
  Laid coda("crowded", 1, texts);
  bool found = false;
  for (const auto& row : coda.rows)
    for (const Shown& s : row) {
      if (s.page->StartTick() != texts[0].tick) continue;
      found = true;
      EXPECT_LE(s.page->TextTop() + 14, s.page->BarNumberTop());
      EXPECT_LT(s.page->TextTop(), s.frame.geometry.upperTop - 30 - s.frame.geometry.upperRef);
    }
  EXPECT_TRUE(found);
  // Cymbals above the staff push the numbers up from where they stand over a plain staff.
  Laid cymbals("cymbals", 1), hymn("hymn", 1);
  EXPECT_LT(cymbals.rows[0][0].page->BarNumberTop(), hymn.rows[0][0].page->BarNumberTop());
}

TEST(StaffCrowding, FastPickupGivesEveryOnsetAHead) {
  for (int level : {0, 1, 2, 3}) {
    Laid laid("crowded", level);
    const Shown& pickup = laid.rows[0][0];
    std::vector<const CScoreGlyph*> heads;
    for (const auto& g : pickup.page->Notes(0)) heads.push_back(g.get());
    // The four 32nd notes, each on its own onset, left to right in time.
    ASSERT_EQ(heads.size(), 4u) << level;
    const int w = CScoreGlyph::HeadWidth(laid.Part());
    for (size_t i = 1; i < heads.size(); ++i) {
      EXPECT_GT(heads[i]->Tick(), heads[i - 1]->Tick());
      EXPECT_GE(heads[i]->X() - heads[i - 1]->X(), w) << level;
      EXPECT_FALSE(Overlap(heads[i]->HeadBox(pickup.frame), heads[i - 1]->HeadBox(pickup.frame))) << level;
    }
    // The last head stays inside its measure, clear of the bar line.
    const RECT last = heads.back()->HeadBox(pickup.frame);
    EXPECT_LT(last.right, pickup.frame.barX + pickup.frame.placement.width) << level;
  }
}

// Measures the grid shows well keep the width the model gave them; only
// crowded ones grow.
TEST(StaffCrowding, OnlyCrowdedMeasuresGrow) {
  auto modelWidth = [](const CStaffPage& p) {
    return p.NoteOffset() + static_cast<int>(p.Beats() * p.UnitsPerBeat() * p.Scale());
  };
  for (const char* song : {"hymn", "minuet", "drums", "cymbals", "lowpiano"})
    for (int level : {0, 1, 2, 3}) {
      Laid laid(song, level);
      for (int m = 0; m < laid.Part().PageCount(); ++m)
        EXPECT_EQ(laid.Part().Page(m)->Width(), modelWidth(*laid.Part().Page(m)))
            << song << " level " << level << " bar " << m + 1;
    }
  Laid crowded("crowded", 0);
  EXPECT_GT(crowded.Part().Page(0)->Width(), modelWidth(*crowded.Part().Page(0)));  // the 32nd pickup
  EXPECT_GT(crowded.Part().Page(3)->Width(), modelWidth(*crowded.Part().Page(3)));  // the chords
}

TEST(StaffCrowding, ChordAccidentalsStandLeftOfAllHeadsInColumns) {
  for (int level : {0, 1, 2, 3}) {
    Laid laid("crowded", level);
    int signs = 0, columns = 0;
    for (const auto& row : laid.rows) {
      for (const Shown& s : row) {
        const auto& notes = s.page->Notes(0);
        for (const auto& a : notes) {
          if (a->Accidental() <= 0) continue;
          ++signs;
          const RECT sign = a->AccidentalBox(s.frame);
          for (const auto& b : notes) {
            EXPECT_FALSE(Overlap(sign, b->HeadBox(s.frame)))
                << "level " << level << " bar " << s.page->Index() + 1 << " sign of " << a->Pitch()
                << " on head of " << b->Pitch();
            if (b.get() == a.get() || b->Accidental() <= 0) continue;
            EXPECT_FALSE(Overlap(sign, b->AccidentalBox(s.frame)))
                << "level " << level << " signs of " << a->Pitch() << " and " << b->Pitch();
            if (b->Tick() == a->Tick() &&
                b->AccidentalGap(laid.Part().LineGap()) != a->AccidentalGap(laid.Part().LineGap()))
              ++columns;
          }
        }
      }
    }
    EXPECT_GE(signs, 8) << level;
    EXPECT_GT(columns, 0) << level;  // close signs of one chord stand in more than one column
  }
}

TEST(StaffCrowding, SecondVerseGoesOnALineOfItsOwn) {
  for (int level : {0, 1, 3}) {
    Laid laid("crowded", level);
    int second = 0;
    for (const auto& row : laid.rows) {
      std::vector<std::pair<RECT, std::string>> all;
      for (const Shown& s : row) {
        for (const auto& lyric : s.page->Lyrics()) second += lyric->Line() == 1;
        for (auto& b : laid.LyricBoxes(s)) all.push_back(b);
      }
      for (size_t i = 0; i < all.size(); ++i)
        for (size_t j = i + 1; j < all.size(); ++j)
          EXPECT_FALSE(Overlap(all[i].first, all[j].first))
              << "level " << level << " '" << all[i].second << "' and '" << all[j].second << "'";
    }
    EXPECT_EQ(second, 4) << level;
  }
}

// Parts are stacked one under another: whatever a part's row draws (notes
// under and over the staves, the lowered lyric lines of two verses, bar
// numbers) stays inside its own rectangle, and so is not cut by the view's
// edge or drawn over the next part.
TEST(StaffCrowding, APartHoldsEverythingItsLayoutPlaced) {
  int lyrics = 0;
  for (const SongCase& c : kDense) {
    Laid laid(c.song, c.level, {}, true);
    const RECT part = laid.view.Pager().Lines()[0]->Rect();
    ASSERT_LE(part.bottom, Laid::kHeight) << c.song << " level " << c.level;
    const RECT above{0, 0, 900, part.top}, below{0, part.bottom, 900, Laid::kHeight};
    for (const auto& row : laid.rows) {
      laid.view.Pager().ScrollTo(row[0].page->Index(), 0);
      laid.bitmap.Fill(RGB(0, 0, 0));
      laid.view.Paint(laid.bitmap.Dc());
      EXPECT_EQ(laid.bitmap.Ink(above, RGB(0, 0, 0)), 0) << c.song << " level " << c.level;
      EXPECT_EQ(laid.bitmap.Ink(below, RGB(0, 0, 0)), 0) << c.song << " level " << c.level;
      for (const Shown& s : row)
        for (const auto& [box, text] : laid.LyricBoxes(s)) {
          ++lyrics;
          EXPECT_LE(box.bottom, part.bottom) << c.song << " level " << c.level << " '" << text << "'";
        }
    }
  }
  EXPECT_GT(lyrics, 100);
}

// A verse number stands in front of the syllable it numbers, on its line;
// the verse sung to the same notes takes the next line.
TEST(StaffCrowding, VerseNumberStandsBeforeItsSyllable) {
  for (int level : {0, 1, 3}) {
    Laid laid("verses", level);
    const auto& first = laid.rows.at(0).at(0);
    std::vector<std::pair<RECT, std::string>> boxes = laid.LyricBoxes(first);
    auto find = [&](const std::string& text, size_t from = 0) {
      for (size_t i = from; i < boxes.size(); ++i)
        if (boxes[i].second == text) return i;
      return boxes.size();
    };
    const size_t number = find("1."), syllable = find("If");
    ASSERT_LT(number, boxes.size()) << level;
    ASSERT_LT(syllable, boxes.size()) << level;
    EXPECT_EQ(boxes[number].first.top, boxes[syllable].first.top) << level;
    EXPECT_LT(boxes[number].first.right, boxes[syllable].first.left) << level;
    // "take" and "lock" are sung to one note: one line under the other.
    const auto& second = laid.rows.at(0).at(1);
    boxes = laid.LyricBoxes(second);
    const size_t take = find("take"), lock = find("lock");
    ASSERT_LT(lock, boxes.size()) << level;
    EXPECT_EQ(boxes[take].first.left, boxes[lock].first.left) << level;
    EXPECT_GE(boxes[lock].first.top, boxes[take].first.bottom) << level;
  }
}

TEST(StaffCrowding, TiesAreOneSmoothArcClearOfTheirHeads) {
  int risen = 0;
  for (int level : {0, 1, 2, 3}) {
    Laid laid("crowded", level);
    int ties = 0, longest = 0, shortest = 1 << 30, highest = 0, lowest = 1 << 30;
    for (size_t r = 0; r < laid.rows.size(); ++r) {
      // The rows were visited page by page: paint this one again to probe it.
      laid.view.Pager().ScrollTo(laid.rows[r][0].page->Index(), 0);
      laid.bitmap.Fill(RGB(0, 0, 0));
      laid.view.Paint(laid.bitmap.Dc());
      for (const Shown& s : laid.rows[r]) {
        for (const auto& e : s.page->Elements()) {
          const CTie* tie = dynamic_cast<const CTie*>(e.get());
          CTie::Curve c;
          RECT box;
          if (!tie || !tie->CurveFor(s.frame, &c) || !tie->InkBox(s.frame, &box)) continue;
          ++ties;
          // Clear of every head of the measure, the two it joins included.
          for (int voice = 0; voice < 3; ++voice)
            for (const auto& g : s.page->Notes(voice))
              EXPECT_FALSE(Overlap(box, g->HeadBox(s.frame))) << "level " << level << " " << Show(box);
          const int length = c.to.x - c.from.x;
          if (length > longest) longest = length, highest = c.height;
          if (length < shortest) shortest = length, lowest = c.height;
          // One crescent: in every column of its middle half a single run of
          // note-coloured pixels no thicker than the tie, where the arc is.
          for (int x = c.from.x + length / 4; x <= c.to.x - length / 4; ++x) {
            int runs = 0, ink = 0;
            bool in = false;
            for (int y = box.top - 2; y < box.bottom + 2; ++y) {
              const bool on = laid.bitmap.At(x, y) == kNote;
              if (on && !in) ++runs;
              in = on;
              ink += on;
            }
            EXPECT_EQ(runs, 1) << "level " << level << " column " << x;
            EXPECT_LE(ink, c.thickness + 2) << "level " << level << " column " << x;
          }
        }
      }
    }
    EXPECT_GE(ties, 2) << level;
    // Longer ties arch higher.
    EXPECT_GT(longest, shortest) << level;
    EXPECT_GE(highest, lowest) << level;
    risen += highest > lowest;
  }
  EXPECT_GT(risen, 0);
}

}  // namespace
