// The karaoke view driven by the real lyric controller (Cantomere.dll), drawn
// into a memory bitmap whose pixels are checked.
#include <gtest/gtest.h>

#include "Canvas.h"
#include "ControllerFixture.h"
#include "ui/PngSnapshot.h"

namespace {

class LyricViewDrawTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    if (HasFatalFailure()) return;
    //  0 Twin 1 kle 2 , 3 lit 4 tle 5 . 6 star 7 dust
    // (the compiler writes a break before the syllable it follows, at its tick)
    MetaEvents e;
    e.Lyric(0, "Twin")
        .Lyric(120, ",")
        .Lyric(120, "kle")
        .Lyric(240, "lit")
        .Lyric(360, ".")
        .Lyric(360, "tle")
        .Lyric(480, "star")
        .Lyric(600, "dust");
    Attach(e);
    view_->SetAlign(1);
  }
  // The box of tokens first..last in view coordinates.
  RECT Box(int first, int last) {
    const LyricLine& line = view_->GetLines()[view_->LineOfToken(first)];
    const LyricToken& a = view_->GetToken(first);
    const LyricToken& b = view_->GetToken(last);
    const int x = line.x - view_->GetScrollX(), y = line.y - view_->GetScrollY();
    return RECT{x + a.x, y, x + b.x + b.width, y + b.height};
  }
};

TEST_F(LyricViewDrawTest, SungLinesAreLitAndTheSyllableIsWipedPartWay) {
  ASSERT_EQ(view_->GetTokenCount(), 8);
  for (int tick : {0, 120, 240, 360, 480}) lyrics_->MarkLyric(tick, 1);
  ASSERT_EQ(view_->GetWipeToken(), 6);
  // Step the wipe to somewhere inside "star".
  const LyricToken& star = view_->GetToken(6);
  for (int i = 0; i < 200 && view_->GetWipePos() < star.x + star.width / 3; ++i) Tick();
  ASSERT_GT(view_->GetWipePos(), star.x);
  ASSERT_LT(view_->GetWipePos(), star.x + star.width);

  Canvas canvas(400, 300);
  view_->Draw(canvas.dc());
  SaveBitmapPng(canvas.bitmap(), "lyric_view_wipe.png");

  const RECT line0 = Box(0, 1), line1 = Box(3, 4), starBox = Box(6, 6), dust = Box(7, 7);
  for (const RECT& r : {line0, line1}) {
    EXPECT_GT(canvas.Count(r.left, r.top, r.right, r.bottom, IsRed), 20) << "a sung line is lit";
    EXPECT_EQ(canvas.Count(r.left, r.top, r.right, r.bottom, IsGreen), 0) << "a sung line is wholly lit";
  }
  const int split = starBox.left + (view_->GetWipePos() - star.x);
  EXPECT_GT(canvas.Count(starBox.left, starBox.top, split, starBox.bottom, IsRed), 5);
  EXPECT_EQ(canvas.Count(starBox.left, starBox.top, split, starBox.bottom, IsGreen), 0);
  EXPECT_GT(canvas.Count(split, starBox.top, starBox.right, starBox.bottom, IsGreen), 5);
  EXPECT_EQ(canvas.Count(split, starBox.top, starBox.right, starBox.bottom, IsRed), 0);
  EXPECT_GT(canvas.Count(dust.left, dust.top, dust.right, dust.bottom, IsGreen), 5);
  EXPECT_EQ(canvas.Count(dust.left, dust.top, dust.right, dust.bottom, IsRed), 0);

  // With the wipe off the whole marked run is lit at once.
  view_->SetKaraoke(false);
  view_->Draw(canvas.dc());
  EXPECT_EQ(canvas.Count(starBox.left, starBox.top, starBox.right, starBox.bottom, IsGreen), 0);
}

TEST_F(LyricViewDrawTest, CountInDotsAreRed) {
  lyrics_->OnCountIn(1, 3);
  ASSERT_EQ(view_->GetCountIn(), 3);
  Canvas canvas(400, 300);
  view_->Draw(canvas.dc());
  SaveBitmapPng(canvas.bitmap(), "lyric_view_countin.png");
  const LyricLine& first = view_->GetLines()[0];
  const int x = std::max(first.x - view_->GetScrollX(), 0);
  const int y = view_->GetHeaderHeight() - CLyricView::kHeaderGap - view_->GetScrollY();
  for (int dot = 0; dot < 3; ++dot) {
    const int cx = x + dot * CLyricView::kDotPitch + CLyricView::kDotSize / 2;
    EXPECT_EQ(canvas.Count(cx - 1, y + 3, cx + 1, y + 5, IsReddish), 2 * 2) << dot;
  }
  const int after = x + 3 * CLyricView::kDotPitch + CLyricView::kDotSize / 2;
  EXPECT_EQ(canvas.Count(after - 1, y + 3, after + 1, y + 5, IsReddish), 0) << "three dots, not four";
  lyrics_->OnCountIn(1, 0);
  view_->Draw(canvas.dc());
  EXPECT_EQ(canvas.Count(x, y, x + 40, y + 8, IsReddish), 0);
}

TEST_F(LyricViewDrawTest, AViewOutlivingItsControllerNeverCallsIt) {
  lyrics_->MarkLyric(0, 1);
  lyrics_->Release();  // clears the source of every view still attached
  lyrics_ = nullptr;
  EXPECT_EQ(view_->HitTest(200, 130), -1);
  view_->Layout(true);
  view_->LoadFromSong();
  EXPECT_EQ(view_->GetTokenCount(), 8) << "what was shown stays shown";
  Canvas canvas(400, 300);
  view_->Draw(canvas.dc());
}

}  // namespace
