// Lines wider than the view: broken between syllables into rows that fit,
// with the header, the wipe, the scrolling and the sung marks following the
// rows, and rows shown whole at the view's bottom edge.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Canvas.h"
#include "ControllerFixture.h"
#include "ui/PngSnapshot.h"

namespace {

// A song sung as one line with no break, as a song without line marks is.
const char* const kLongLine[] = {"As",    "I",  "walked", "down", "the", "Broad", "way",  "one",  "eve",
                                 "ning",  "in", "Ju",     "ly",   "I",   "met",   "a",    "maid", "who",
                                 "asked", "my", "trade",  "a",    "sai", "lor",   "John", "says", "I"};
constexpr int kSyllables = sizeof kLongLine / sizeof kLongLine[0];

int BlankWidth(HFONT font) {
  HDC dc = ::GetDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, font);
  SIZE size = {};
  ::GetTextExtentPoint32A(dc, " ", 1, &size);
  ::SelectObject(dc, old);
  ::ReleaseDC(nullptr, dc);
  return size.cx;
}

// The left edge in the view of a line.
int LineLeft(CLyricView* view, const LyricLine& line) { return line.x - view->GetScrollX(); }

using LyricWrapLayoutTest = ViewFixture;

TEST_F(LyricWrapLayoutTest, ALongLineIsBrokenBetweenSyllablesIntoRowsThatFit) {
  for (int i = 0; i < kSyllables; ++i) source_.Add(kLongLine[i], i * 100, 100);
  source_.Add(",", kSyllables * 100, 0).Add("end", kSyllables * 100, 100);
  Load();
  HFONT font = CrispFont();
  const int blank = BlankWidth(font);
  ::DeleteObject(font);

  size_t rowsBefore = 0;
  for (int width : {1000, 400, 200, 90}) {
    for (int align : {0, 1, 2}) {
      SCOPED_TRACE(testing::Message() << "width " << width << ", align " << align);
      RECT rect = {0, 0, width, 300};
      view_->SetRect(&rect);
      view_->SetAlign(align);
      const std::vector<LyricLine>& lines = view_->GetLines();
      ASSERT_GE(lines.size(), 2u);
      // The rows hold every syllable once, in order, and the break still
      // starts a line of its own.
      int next = 0;
      for (size_t r = 0; r + 1 < lines.size(); ++r) {
        const LyricLine& row = lines[r];
        EXPECT_EQ(row.firstToken, next);
        EXPECT_GT(row.tokenCount, 0);
        next = row.firstToken + row.tokenCount;
        if (r > 0) {
          EXPECT_EQ(row.y, lines[r - 1].y + lines[r - 1].height) << "rows follow one another";
        }
        // Each row's text lies inside the view; its closing blank may not.
        EXPECT_GE(LineLeft(view_, row), 0) << "row " << r;
        EXPECT_LE(LineLeft(view_, row) + row.width - blank, width) << "row " << r;
        // A row ends where the next syllable would not have fitted.
        if (r + 2 < lines.size()) {
          const LyricToken& following = view_->GetToken(next);
          EXPECT_GT(row.width + following.width - blank, width) << "row " << r << " broken too early";
        }
      }
      EXPECT_EQ(next, kSyllables);
      EXPECT_EQ(lines.back().firstToken, kSyllables + 1);
      if (align == 0) {
        EXPECT_GE(lines.size(), rowsBefore) << "a narrower view needs as many rows or more";
        rowsBefore = lines.size();
      }
    }
  }
}

TEST_F(LyricWrapLayoutTest, ASyllableWiderThanTheViewStandsAloneFromTheViewsLeftEdge) {
  source_.Add("a", 0, 100).Add("Supercalifragilistic", 100, 100).Add("b", 200, 100);
  Load();
  RECT rect = {0, 0, 80, 300};
  view_->SetRect(&rect);
  for (int align : {0, 1, 2}) {
    view_->SetAlign(align);
    const std::vector<LyricLine>& lines = view_->GetLines();
    ASSERT_EQ(lines.size(), 3u) << align;
    EXPECT_EQ(lines[1].firstToken, 1);
    EXPECT_EQ(lines[1].tokenCount, 1);
    EXPECT_GT(lines[1].width, 80);
    EXPECT_EQ(LineLeft(view_, lines[1]), 0)
        << "read from its beginning, cut at the right only; align " << align;
    for (int r : {0, 2}) {
      EXPECT_GE(LineLeft(view_, lines[r]), 0) << align;
      EXPECT_LE(LineLeft(view_, lines[r]) + lines[r].width, 80) << align;
    }
  }
}

// The header's texts drawn alone, at a known place: their ink counted there
// is what the view must show of them.
int InkOfText(const std::string& text) {
  Canvas canvas(1000, 40);
  HFONT font = CrispFont();
  HGDIOBJ old = ::SelectObject(canvas.dc(), font);
  ::SetBkMode(canvas.dc(), TRANSPARENT);
  ::SetTextColor(canvas.dc(), RGB(0, 255, 0));
  ::TextOutA(canvas.dc(), 10, 5, text.data(), static_cast<int>(text.size()));
  ::SelectObject(canvas.dc(), old);
  ::DeleteObject(font);
  return canvas.Count(0, 0, 1000, 40, IsGreen);
}

// Columns of the ink in a band of the canvas: first and last.
void InkColumns(const Canvas& canvas, int top, int bottom, int width, int* first, int* last) {
  *first = -1;
  *last = -1;
  for (int x = 0; x < width; ++x) {
    if (canvas.Count(x, top, x + 1, bottom, IsGreen) == 0) continue;
    if (*first < 0) *first = x;
    *last = x;
  }
}

TEST_F(LyricWrapLayoutTest, TheHeaderFollowsTheAlignmentAndKeepsItsFirstWord) {
  for (int i = 0; i < kSyllables; ++i) source_.Add(kLongLine[i], i * 100, 100);
  Load();
  SongInfoText info;
  info.title = "Oh You New York Girls";
  info.singer = "Sung by a sailor";
  view_->SetSongInfo(info);
  constexpr int kWidth = 400;
  RECT rect = {0, 0, kWidth, 300};
  view_->SetRect(&rect);
  const int titleInk = InkOfText(info.title), singerInk = InkOfText(info.singer);
  const int rowHeight = view_->GetLineHeight();
  for (int align : {0, 1, 2}) {
    SCOPED_TRACE(align);
    view_->SetAlign(align);
    Canvas canvas(kWidth, 300);
    view_->Draw(canvas.dc());
    if (align == 1) SaveBitmapPng(canvas.bitmap(), "lyric_view_header.png");
    // Every pixel of both texts is in the view: nothing is cut at either edge.
    EXPECT_EQ(canvas.Count(0, 0, kWidth, rowHeight, IsGreen), titleInk);
    EXPECT_EQ(canvas.Count(0, rowHeight, kWidth, 2 * rowHeight, IsGreen), singerInk);
    // The title stands as a line of its width would: left, centre or right
    // of the lyric block.
    const LyricLine& first = view_->GetLines()[0];
    const int blockLeft = -view_->GetScrollX();
    SIZE content = {};
    view_->GetContentSize(&content);
    int left = 0, right = 0;
    InkColumns(canvas, 0, rowHeight, kWidth, &left, &right);
    ASSERT_GE(left, 0);
    if (align == 0) {
      EXPECT_NEAR(left, blockLeft, 3);
    }
    if (align == 1) {
      EXPECT_NEAR((left + right) / 2, blockLeft + content.cx / 2, 3);
    }
    if (align == 2) {
      EXPECT_NEAR(right, blockLeft + content.cx, 4);
    }
    EXPECT_GE(LineLeft(view_, first), 0);
  }
  // A title wider than the view starts at its left edge.
  info.title = "Oh You New York Girls, Can You Not Dance The Polka";
  view_->SetSongInfo(info);
  RECT narrow = {0, 0, 200, 300};
  view_->SetRect(&narrow);
  view_->SetAlign(1);
  Canvas canvas(200, 300);
  view_->Draw(canvas.dc());
  int left = 0, right = 0;
  InkColumns(canvas, 0, rowHeight, 200, &left, &right);
  EXPECT_GE(left, 0);
  EXPECT_LE(left, 3) << "the first word is shown";
}

// The long line sung by the real controller in a narrow view.
class LyricWrapSingTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    if (HasFatalFailure()) return;
    MetaEvents e;
    for (int i = 0; i < kSyllables; ++i) e.Lyric(i * 120, kLongLine[i]);
    Attach(e);
  }
};

TEST_F(LyricWrapSingTest, TheWipeTheScrollAndTheMarksFollowTheRows) {
  constexpr int kWidth = 200, kHeight = 90;
  RECT rect = {0, 0, kWidth, kHeight};
  view_->SetRect(&rect);
  view_->SetAlign(1);
  const std::vector<LyricLine>& lines = view_->GetLines();
  ASSERT_GE(lines.size(), 4u) << "the line is broken into rows";
  const int textHeight = view_->GetLineHeight() - view_->GetLineSpacing();
  int lastRow = -1;
  for (int s = 0; s < kSyllables; ++s) {
    SCOPED_TRACE(s);
    lyrics_->MarkLyric(s * 120, 1);
    const int row = view_->LineOfToken(view_->GetWipeToken());
    ASSERT_EQ(view_->GetWipeToken(), s);
    ASSERT_GE(row, lastRow);
    // The wipe stays in its row, inside the view.
    const int left = LineLeft(view_, lines[row]);
    EXPECT_GE(left + view_->GetWipePos(), 0);
    EXPECT_LE(left + view_->GetWipeEnd(), kWidth + 10);
    // The row being sung is wholly in sight at every step.
    for (int i = 0; i < 4; ++i) {
      const int top = lines[row].y - view_->GetScrollY();
      ASSERT_GE(top, 0) << "step " << i;
      ASSERT_LE(top + textHeight, kHeight) << "step " << i;
      Tick();
    }
    lastRow = row;
  }
  EXPECT_EQ(lastRow, static_cast<int>(lines.size()) - 1);

  // Halfway through the last row, the rows before it are wholly sung even
  // though the controller keeps one mark per line.
  view_->Scroll(0, lines[lastRow - 1].y, 0);
  Canvas canvas(kWidth, kHeight);
  view_->Draw(canvas.dc());
  SaveBitmapPng(canvas.bitmap(), "lyric_view_rows.png");
  const int top = lines[lastRow - 1].y - view_->GetScrollY();
  EXPECT_GT(canvas.Count(0, top, kWidth, top + textHeight, IsRed), 20);
  EXPECT_EQ(canvas.Count(0, top, kWidth, top + textHeight, IsGreen), 0);
}

TEST_F(LyricWrapLayoutTest, RowsAreShownWholeAtTheBottomEdge) {
  for (int i = 0; i < 6; ++i) source_.Add("la", i * 100, 100).Add(",", i * 100, 0);
  Load();
  const int lineHeight = view_->GetLineHeight(), textHeight = lineHeight - view_->GetLineSpacing();
  const int header = view_->GetHeaderHeight();
  // Room for the header, two rows and half of the third.
  const int height = header + 2 * lineHeight + textHeight / 2;
  RECT rect = {0, 0, 300, height};
  view_->SetRect(&rect);
  ASSERT_EQ(view_->GetScrollY(), 0);
  Canvas canvas(300, height);
  view_->Draw(canvas.dc());
  const int third = view_->GetLines()[2].y;
  EXPECT_GT(canvas.Count(0, header, 300, header + textHeight, IsGreen), 10) << "the first row shows";
  EXPECT_GT(canvas.Count(0, header + lineHeight, 300, header + lineHeight + textHeight, IsGreen), 10);
  EXPECT_EQ(canvas.Count(0, third, 300, height, IsGreen), 0) << "half a row is drawn";
}

}  // namespace
