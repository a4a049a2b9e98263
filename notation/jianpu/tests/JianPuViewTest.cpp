// The numbered view behind IScoreView: rebuilds from a score buffer, pages,
// cursor, highlights and lyric marks, and pixel probes of what it paints.
#include <gtest/gtest.h>

#include <memory>

#include "DemoSongs.h"
#include "JianPuPage.h"
#include "JianPuPainter.h"
#include "JianPuView.h"
#include "ScoreBuffer.h"
#include "ScoreModel.h"
#include "ViewBitmap.h"

namespace {

TEST(JianPuViewTest, DemoSongsBuild) {
  for (const char* name : {"hymn", "minuet"}) {
    IScoreBuffer* buffer = new CScoreBuffer();
    CJianPuView view(nullptr);
    view.SetScoreBuffer(buffer);
    const RECT rect{0, 0, 1000, 300};
    view.SetRect(&rect);
    FillDemo(buffer, &view, *FindDemoSong(name));
    EXPECT_EQ(0, view.Rebuild()) << name;
    CViewBitmap bmp(1000, 300);
    view.Paint(bmp.Dc());
    char fits = 0;
    EXPECT_GT(view.GetPageMeasureCount(&fits), 0) << name;
    EXPECT_EQ(0, view.ScrollTo(0, 1)) << name;
    buffer->Release();
  }
}

}  // namespace
