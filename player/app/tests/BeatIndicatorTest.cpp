#include "app/CBeatIndicator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SkinFixture.h"
#include "ShippedSkin.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusInclude.h"
#include "ui/SkinImageIds.h"

namespace {

using Kinds = std::vector<CBeatIndicator::Slot>;
const CBeatIndicator::Slot S = CBeatIndicator::kStrong;
const CBeatIndicator::Slot W = CBeatIndicator::kWeak;
const CBeatIndicator::Slot M = CBeatIndicator::kMedium;

TEST(BeatIndicatorTest, CellsPerBeatCount) {
  const struct {
    int count;
    Kinds kinds;
  } cases[] = {
      {0, {}},
      {1, {S}},
      {2, {S, W}},
      {3, {S, W, W}},
      {4, {S, W, M, W}},
      {5, {S, S, S, S, S}},
      {6, {S, W, W, S, W, W}},
      {7, {S, S, S, S, S, S, S}},
      {12, {S, W, M, W, S, W, M, W, S, W, M, W}},
      {-3, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.kinds, CBeatIndicator::CellKinds(c.count)) << c.count;
  EXPECT_EQ(255u, CBeatIndicator::CellKinds(255).size());
}

// Six flat images: normal kinds 250-252, lit kinds 253-255.
class BeatImages {
 public:
  BeatImages() {
    for (int slot = 0; slot < CBeatIndicator::kSlotCount; ++slot) {
      images.emplace_back(MakeFlatImage(10, 8, 250 + slot, 1));
    }
  }
  void Give(CBeatIndicator& indicator) {
    for (int slot = 0; slot < CBeatIndicator::kSlotCount; ++slot)
      indicator.SetImage(slot, images[slot].get());
  }
  std::vector<std::unique_ptr<CSkinImage>> images;
};

TEST(BeatIndicatorTest, BeatsLightOneCellAndANewCountRebuildsFirst) {
  BeatImages images;
  CBeatIndicator indicator;
  images.Give(indicator);
  indicator.SetImage(6, nullptr);  // ignored
  indicator.SetBeatsPerBar(4);
  ASSERT_EQ(4u, indicator.GetCells().size());
  EXPECT_EQ(images.images[2].get(), indicator.GetCells()[2].normal);
  EXPECT_EQ(images.images[5].get(), indicator.GetCells()[2].active);

  indicator.OnBeat((4u << 16) | 2);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(i == 2, indicator.GetCells()[i].lit) << i;

  // A 3/4 bar arrives: the row is rebuilt before the beat lights.
  indicator.OnBeat((3u << 16) | 1);
  ASSERT_EQ(3u, indicator.GetCells().size());
  EXPECT_EQ(3, indicator.GetBeatsPerBar());
  EXPECT_TRUE(indicator.GetCells()[1].lit);
  EXPECT_EQ(images.images[CBeatIndicator::kWeak].get(), indicator.GetCells()[1].normal);

  // Beyond the cells: nothing lit, nothing read past the end.
  indicator.OnBeat((3u << 16) | 3);
  indicator.OnBeat((3u << 16) | 0xFFFF);
  for (const BeatCell& cell : indicator.GetCells()) EXPECT_FALSE(cell.lit);

  // Reset goes back to the count last set, all dark; Hide empties the row.
  indicator.OnBeat((3u << 16) | 0);
  indicator.Reset();
  ASSERT_EQ(4u, indicator.GetCells().size());
  for (const BeatCell& cell : indicator.GetCells()) EXPECT_FALSE(cell.lit);
  indicator.Hide();
  EXPECT_TRUE(indicator.GetCells().empty());
  EXPECT_FALSE(indicator.IsShown());
}

TEST(BeatIndicatorTest, DrawsCellsThatFitWithTheBeatLit) {
  BeatImages images;
  CBeatIndicator indicator;
  images.Give(indicator);
  // The window sets the right edge the cells must fit in: 100 pixels.
  HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 40, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, window);
  indicator.SetWindow(window);
  indicator.SetLayout(5, 6, 0, 0);
  indicator.SetBeatsPerBar(12);
  indicator.OnBeat((12u << 16) | 1);

  MemoryCanvas canvas(120, 30, RGB(0, 0, 0));
  {
    Gdiplus::Graphics graphics(canvas.dc());
    indicator.Draw(&graphics);
  }
  canvas.SavePng("beat_indicator.png");
  EXPECT_EQ(ImageColour(250), canvas.Pixel(7, 8));   // cell 0: strong, dark
  EXPECT_EQ(ImageColour(254), canvas.Pixel(17, 8));  // cell 1: weak, lit
  EXPECT_EQ(ImageColour(252), canvas.Pixel(27, 8));  // cell 2: medium, dark
  EXPECT_EQ(ImageColour(250), canvas.Pixel(87, 8));  // cell 8 ends at 95
  EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(97, 8));      // cell 9 would cross 100
  EXPECT_EQ(RGB(0, 0, 0), canvas.Pixel(3, 8));

  indicator.Hide();
  MemoryCanvas hidden(120, 30, RGB(0, 0, 0));
  {
    Gdiplus::Graphics graphics(hidden.dc());
    indicator.Draw(&graphics);
  }
  EXPECT_EQ(RGB(0, 0, 0), hidden.Pixel(7, 8));
  DestroyWindow(window);
}

// The shipped skin's cells, for a person to look at: a 4/4 bar on its third beat.
TEST(BeatIndicatorTest, ShippedSkinPicture) {
  ASSERT_EQ(0, LoadShippedSkin());
  CSkinManager* skins = GetSkinManager();
  CBeatIndicator indicator;
  for (int slot = 0; slot < CBeatIndicator::kSlotCount; ++slot) {
    indicator.SetImage(slot, skins->GetSkinImage(static_cast<unsigned short>(kSkinHeavyBeatNormal + slot)));
  }
  indicator.SetLayout(4, 4, 0, 0);
  indicator.SetBeatsPerBar(4);
  indicator.OnBeat((4u << 16) | 2);
  const int cell = skins->GetSkinImage(kSkinHeavyBeatNormal)->GetWidth();
  MemoryCanvas canvas(8 + 4 * cell, 8 + skins->GetSkinImage(kSkinHeavyBeatNormal)->GetHeight(),
                      RGB(40, 40, 40));
  {
    Gdiplus::Graphics graphics(canvas.dc());
    indicator.Draw(&graphics);
  }
  EXPECT_TRUE(canvas.SavePng("beat_indicator_skin.png"));
  // The lit cell differs from the same kind dark in the next bar's row.
  EXPECT_NE(canvas.Pixel(4 + 2 * cell + cell / 2, 6), canvas.Pixel(4 + cell / 2, 6));
}

}  // namespace
