// The karaoke view's layout, scrolling, wipe and timer, driven by a fake
// controller with exact token times.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "ViewFixture.h"
#include "base/GdiHandles.h"
#include "testsupport/MessagePump.h"

namespace {

using LyricViewTest = ViewFixture;

int TextHeight() {
  HDC dc = ::GetDC(nullptr);
  HFONT font = CrispFont();
  HGDIOBJ old = ::SelectObject(dc, font);
  TEXTMETRICA tm = {};
  ::GetTextMetricsA(dc, &tm);
  ::SelectObject(dc, old);
  ::DeleteObject(font);
  ::ReleaseDC(nullptr, dc);
  return tm.tmHeight;
}

TEST_F(LyricViewTest, TokensGetABlankUnlessTheyStartWithADoubleByteLeadByte) {
  source_.Add("abcd", 0, 100).Add("", 100, 100).Add(std::string("a\0b", 3), 200, 100);
  Load();
  ASSERT_EQ(view_->GetTokenCount(), 3);
  EXPECT_EQ(view_->GetTokenText(0), "abcd ");
  EXPECT_EQ(view_->GetToken(0).length, 5);
  EXPECT_EQ(view_->GetTokenText(1), " ") << "an empty text gets the blank too";
  EXPECT_EQ(view_->GetTokenText(2), std::string("a\0b ", 4)) << "a NUL inside a text is kept";
  // A double-byte character follows the next without a blank, where the
  // code page has lead bytes at all.
  if (::IsDBCSLeadByte(0xC4)) {
    source_.tokens.clear();
    source_.Add("\xC4\xE3", 0, 100).Add("\xC4", 100, 100);  // the second ends in a lone lead byte
    Load();
    EXPECT_EQ(view_->GetTokenText(0), "\xC4\xE3");
    EXPECT_EQ(view_->GetTokenText(1), "\xC4");
  }
}

TEST_F(LyricViewTest, BreaksMakeLinesAndParagraphsLeaveTwiceTheRoom) {
  //  0 Twin 1 kle 2 , 3 , 4 lit 5 tle 6 . 7 star
  source_.Add("Twin", 1000, 200)
      .Add("kle", 1200, 300)
      .Add(",", 1500, 0)
      .Add(",", 1500, 0)
      .Add("lit", 2000, 250)
      .Add("tle", 2250, 400)
      .Add(".", 2650, 0)
      .Add("star", 3000, 500);
  Load();
  const auto& lines = view_->GetLines();
  ASSERT_EQ(lines.size(), 4u);
  const int h = TextHeight(), spacing = view_->GetLineSpacing();
  EXPECT_EQ(view_->GetLineHeight(), h + spacing);
  EXPECT_EQ(lines[0].firstToken, 0);
  EXPECT_EQ(lines[0].tokenCount, 2);
  EXPECT_EQ(lines[0].duration, 1200 - 1000 + 300 + 0) << "from the first start to the closing break's end";
  EXPECT_EQ(lines[1].tokenCount, 0) << "two breaks in a row: an empty line";
  EXPECT_EQ(lines[2].y - lines[1].y, h + spacing);
  EXPECT_EQ(lines[2].firstToken, 4);
  EXPECT_EQ(lines[3].y - lines[2].y, 2 * (h + spacing)) << "a paragraph break leaves two lines' room";
  EXPECT_EQ(lines[3].duration, 500) << "the last line closes on its last token";
  EXPECT_EQ(view_->GetToken(1).x, view_->GetToken(0).width);
  EXPECT_EQ(view_->GetToken(5).y, lines[2].y);
  SIZE size;
  view_->GetContentSize(&size);
  EXPECT_EQ(size.cy, lines[3].y);
  // Every token of a line is in it and nothing else is.
  for (int i = 0; i < view_->GetTokenCount(); ++i) {
    const bool isBreak = view_->GetToken(i).flags & (kTokenLineBreak | kTokenParagraphBreak);
    EXPECT_EQ(view_->LineOfToken(i) < 0, isBreak) << i;
  }
}

TEST_F(LyricViewTest, AnEmptyHeaderStandsAtTheFontsHeight) {
  Load();
  const int h = TextHeight(), spacing = view_->GetLineSpacing();
  EXPECT_EQ(view_->GetHeaderHeight(), h + CLyricView::kHeaderGap) << "an empty title keeps its row";
  EXPECT_EQ(view_->GetLineHeight(), 0);
  EXPECT_EQ(view_->HitTest(10, 10), -1);
  SIZE size;
  view_->GetContentSize(&size);
  EXPECT_EQ(size.cy, view_->GetHeaderHeight()) << "a song without lyrics is its header";
  SongInfoText info;
  info.title = "A rather long song title";
  view_->SetSongInfo(info);
  EXPECT_GT(view_->GetHeaderWidth(), 100);
  EXPECT_EQ(view_->GetHeaderHeight(), h + CLyricView::kHeaderGap);
  // Information lines take rows only when they have text: the header is as
  // tall as what it draws.
  info.lyricist = "Words by someone";
  view_->SetSongInfo(info);
  EXPECT_EQ(view_->GetHeaderHeight(), 2 * h + spacing + CLyricView::kHeaderGap);
  info.singer = "Sung by someone";
  info.composer = "Music by someone";
  view_->SetSongInfo(info);
  EXPECT_EQ(view_->GetHeaderHeight(), 4 * h + 3 * spacing + CLyricView::kHeaderGap);
}

TEST_F(LyricViewTest, AlignmentPlacesLinesAndTheBlock) {
  source_.Add("short", 0, 100).Add(",", 0, 0).Add("a much longer line", 0, 100);
  Load();
  const auto& lines = view_->GetLines();
  SIZE size;
  view_->GetContentSize(&size);
  ASSERT_LT(size.cx, 400) << "the block is narrower than the 400 px view";
  const int v = (size.cx - 400) / 2;
  struct Row {
    int align, shortX, scrollX;
  } rows[] = {
      {0, 0, v},                               // left: block still centred
      {1, (size.cx - lines[0].width) / 2, v},  // centre
      {2, size.cx - lines[0].width, v},        // right
      {7, 0, v},                               // unknown: left
  };
  for (const Row& row : rows) {
    view_->SetAlign(row.align);
    EXPECT_EQ(lines[0].x, row.shortX) << row.align;
    EXPECT_EQ(lines[1].x, 0) << "the widest line fills the block";
    EXPECT_EQ(view_->GetScrollX(), row.scrollX) << row.align;
  }
  // A view narrower than the block: left shows the left end, centre the
  // middle, right the right end.
  RECT narrow = {0, 0, 40, 300};
  view_->SetRect(&narrow);
  const int w = (size.cx - 40) / 2;
  view_->SetAlign(0);
  EXPECT_EQ(view_->GetScrollX(), 0);
  view_->SetAlign(1);
  EXPECT_EQ(view_->GetScrollX(), w);
  view_->SetAlign(2);
  EXPECT_EQ(view_->GetScrollX(), size.cx - 40);
}

TEST_F(LyricViewTest, HitTestAnswersTheControllersIndexOfTheTokenUnderThePoint) {
  source_.Add("one", 0, 100, 480).Add("two", 100, 100, 600);
  Load();
  view_->SetAlign(0);
  const LyricLine& line = view_->GetLines()[0];
  const int y = line.y - view_->GetScrollY() + 2;
  const int x0 = line.x - view_->GetScrollX();
  EXPECT_EQ(view_->HitTest(x0 + 1, y), 480);
  EXPECT_EQ(view_->HitTest(x0 + view_->GetToken(0).width, y), 600) << "right edges are outside";
  EXPECT_EQ(view_->HitTest(x0 - 1, y), -1);
  EXPECT_EQ(view_->HitTest(x0 + 1, 0), -1) << "the header holds no token";
  EXPECT_EQ(view_->HitTest(x0 + 1, 290), -1);
  // The controller went away: the view keeps showing its tokens but asks nobody.
  view_->SetLyricSource(nullptr);
  source_.calls = 0;
  EXPECT_EQ(view_->HitTest(x0 + 1, y), -1);
  view_->SetFont(CrispFont(30));
  view_->Layout(true);
  EXPECT_EQ(source_.calls, 0);
  EXPECT_EQ(view_->GetTokenCount(), 2);
}

TEST_F(LyricViewTest, ScrollModesClampToTheContent) {
  for (int i = 0; i < 30; ++i) source_.Add("la", i * 100, 100).Add(",", i * 100 + 100, 0);
  Load();
  SIZE size;
  view_->GetContentSize(&size);
  struct Row {
    int dx, dy, mode, expected;
  } rows[] = {
      {0, 40, 0, 40},     {0, 15, 1, 55},      {0, -1000, 1, 0},         {0, -30, 2, size.cy - 30},
      {0, 5, 2, size.cy}, {0, 99, 9, size.cy}, {0, INT_MAX, 1, size.cy}, {0, INT_MIN, 0, 0},
  };
  for (const Row& row : rows) {
    const int x = view_->GetScrollX();
    view_->Scroll(row.dx, row.dy, row.mode);
    EXPECT_EQ(view_->GetScrollY(), row.expected) << row.dy << " mode " << row.mode;
    EXPECT_EQ(view_->GetScrollX(), x) << "only the vertical offset moves";
  }
}

TEST_F(LyricViewTest, TheWipeStepsInWholeStepsAndJumpsTheLastBit) {
  source_.Add("wipe me please", 0, 1000);
  Load();
  view_->MarkToken(0);
  const LyricToken& t = view_->GetToken(0);
  const int step = (t.width * 150 + 999) / 1000;
  ASSERT_EQ(view_->GetWipeStep(), step);
  ASSERT_TRUE(view_->IsTimerRunning());
  // Ticks 1, 4, 7, ... step the wipe.
  int expected = t.x;
  for (int tick = 1; tick <= 60 && expected < t.x + t.width; ++tick) {
    invalidated_.clear();
    Tick();
    if (tick % 3 == 1) {
      expected = std::min(expected + step, t.x + t.width);
      if (t.x + t.width - expected < step) expected = t.x + t.width;
      // One syllable's box, never erased.
      ASSERT_EQ(invalidated_.size(), 1u) << tick;
      EXPECT_FALSE(invalidated_[0].erase);
      const LyricLine& line = view_->GetLines()[0];
      const RECT want = {line.x + t.x - view_->GetScrollX(), t.y - view_->GetScrollY(),
                         line.x + t.x - view_->GetScrollX() + t.width, t.y - view_->GetScrollY() + t.height};
      EXPECT_TRUE(::EqualRect(&invalidated_[0].rect, &want)) << tick;
    } else {
      EXPECT_TRUE(invalidated_.empty()) << tick;
    }
    EXPECT_EQ(view_->GetWipePos(), expected) << tick;
  }
  EXPECT_EQ(view_->GetWipePos(), view_->GetWipeEnd());
}

TEST_F(LyricViewTest, ASyllableWithoutLengthIsSungAtOnce) {
  for (int duration : {0, -5, INT_MIN}) {
    source_.tokens.clear();
    source_.Add("now", 0, duration);
    Load();
    view_->MarkToken(0);
    EXPECT_EQ(view_->GetWipePos(), view_->GetWipeEnd()) << duration;
    Tick(4);
  }
  source_.tokens.clear();
  source_.Add("slow", 0, INT_MAX);
  Load();
  view_->MarkToken(0);
  EXPECT_EQ(view_->GetWipeStep(), 1) << "a huge duration still moves";
}

TEST_F(LyricViewTest, TheFirstSyllableOfALineStartsTheScroll) {
  // Line 0 then line 1 lasting 3000 ms.
  source_.Add("first", 0, 500)
      .Add(",", 500, 0)
      .Add("se", 1000, 1000)
      .Add("cond", 2000, 2000)
      .Add(",", 4000, 0);
  Load();
  const auto& lines = view_->GetLines();
  const int distance = lines[1].y - view_->GetHeaderHeight();
  ASSERT_GT(distance, 0);
  view_->MarkToken(0);
  EXPECT_EQ(view_->GetPendingScroll(), 0) << "the first line is already at the top";
  view_->UnmarkToken(0);
  view_->MarkToken(3);
  EXPECT_EQ(view_->GetPendingScroll(), 0) << "a later syllable of a line does not move the view";
  view_->UnmarkToken(3);
  view_->MarkToken(2);
  EXPECT_EQ(view_->GetPendingScroll(), distance);
  EXPECT_EQ(view_->GetScrollSpeed(), std::max(1, distance * 200 / 3000));
  // Odd ticks move it until it is there.
  for (int i = 0; i < 400 && view_->GetPendingScroll() != 0; ++i) Tick();
  EXPECT_EQ(view_->GetScrollY(), distance);
  // A seek stops it all and jumps.
  view_->SeekToToken(0);
  EXPECT_FALSE(view_->IsTimerRunning());
  EXPECT_EQ(view_->GetScrollY(), 0);
}

TEST_F(LyricViewTest, ShortLinesScrollAtTheFloorSpeed) {
  // 30 px over 3000 ms gives 2; a line under 10 ms counts as 10.
  source_.Add("a", 0, 100).Add(",", 100, 0).Add("b", 100, 1).Add(",", 100, 0);
  Load();
  const int distance = view_->GetLines()[1].y - view_->GetHeaderHeight();
  view_->MarkToken(2);
  EXPECT_EQ(view_->GetScrollSpeed(), std::max(1, distance * 200 / 10));
}

TEST_F(LyricViewTest, LayoutKeepsTheRelativePosition) {
  for (int i = 0; i < 40; ++i) source_.Add("line", i * 100, 100).Add(",", i * 100 + 100, 0);
  Load();
  SIZE before;
  view_->GetContentSize(&before);
  view_->Scroll(0, before.cy / 2, 0);
  view_->SetFont(CrispFont(40));
  SIZE after;
  view_->GetContentSize(&after);
  ASSERT_GT(after.cy, before.cy);
  EXPECT_NEAR(view_->GetScrollY(), after.cy / 2, 2);
}

TEST_F(LyricViewTest, IndexesOutOfRangeAndReloadsDuringAWipeAreHarmless) {
  source_.Add("one", 0, 1000).Add("two", 1000, 1000).Add(",", 2000, 0).Add("three", 2000, 1000);
  Load();
  for (int bad : {-1, 4, 99, INT_MIN, INT_MAX}) {
    view_->JumpToToken(bad);
    view_->OnTokenCurrent(bad);
    view_->InvalidateTokenLine(bad);
    view_->SeekToToken(bad);
    view_->MarkToken(static_cast<unsigned>(bad));
    view_->UnmarkToken(static_cast<unsigned>(bad));
  }
  view_->OnTokenCurrent(2);  // a break lies in no line
  EXPECT_EQ(view_->GetWipeToken(), -1);
  // A wipe under way on token 3, then a shorter song arrives.
  view_->MarkToken(3);
  source_.tokens.resize(1);
  view_->LoadFromSong();
  Tick(10);
  EXPECT_EQ(view_->GetWipePos(), view_->GetWipeEnd()) << "the wiped syllable is gone: its wipe ends";
  // The font the view holds, handed back: still alive and drawn with.
  HFONT font = view_->GetFont();
  view_->SetFont(font);
  LOGFONTA lf;
  EXPECT_NE(::GetObjectA(font, sizeof(lf), &lf), 0);
}

TEST_F(LyricViewTest, ReplacedHandlesAreFreed) {
  source_.Add("la", 0, 100);
  Load();
  HDC screen = ::GetDC(nullptr);
  view_->Draw(screen);
  const long live = base::GdiLiveHandleCount();
  for (int i = 0; i < 50; ++i) {
    view_->SetColor(2, RGB(i, 0, 0));
    view_->SetFont(CrispFont(10 + i % 5));
    RECT r = {0, 0, 300 + i, 200};
    view_->SetRect(&r);
    view_->Draw(screen);
  }
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(base::GdiLiveHandleCount(), live);
}

TEST_F(LyricViewTest, AnEmptyOrInvertedRectangleDrawsNothing) {
  source_.Add("la", 0, 100);
  Load();
  HDC screen = ::GetDC(nullptr);
  const long live = base::GdiLiveHandleCount();
  for (RECT r : {RECT{0, 0, 0, 0}, RECT{10, 10, 5, 50}, RECT{0, 0, 100, -3}}) {
    view_->SetRect(&r);
    view_->Draw(screen);
    EXPECT_EQ(base::GdiLiveHandleCount(), live) << "no back buffer for an empty view";
    view_->Scroll(0, 10, 1);
  }
  RECT real = {0, 0, 50, 50};
  view_->SetRect(&real);
  view_->Draw(screen);
  EXPECT_GT(base::GdiLiveHandleCount(), live) << "the next real rectangle gets its buffer";
  ::ReleaseDC(nullptr, screen);
}

// The player's own timer windows share the window class with each other:
// one going away leaves the other ticking.
TEST(MsgWndTest, TwoLiveMessageWindowsBothTick) {
  struct Sink : IMsgWndSink {
    int ticks = 0;
    int OnWndMessage(UINT message, WPARAM, LPARAM) override {
      if (message == WM_TIMER) ++ticks;
      return 0;
    }
  } a, b;
  CMsgWnd first, second;
  first.SetSink(&a);
  second.SetSink(&b);
  ASSERT_NE(first.Create(nullptr), nullptr);
  ASSERT_NE(second.Create(nullptr), nullptr);
  first.Destroy();
  ASSERT_NE(::SetTimer(second.GetHwnd(), 7, 10, nullptr), 0u);
  testsupport::PumpUntil([&] { return b.ticks >= 2; }, 3000);
  EXPECT_GE(b.ticks, 2);
  EXPECT_EQ(a.ticks, 0);
}

}  // namespace
