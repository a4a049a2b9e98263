// The spectrum view: the picture built from given magnitudes into a memory
// DIB, the window's timer, and a screenshot of a tone played through the audio
// library (spectrum_view.png in the output folder).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "fmod.h"
#include "playback/CSpectrumWnd.h"
#include "testsupport/MessagePump.h"
#include "testsupport/TempDir.h"
#include "testsupport/WavBuilder.h"
#include "ui/PngSnapshot.h"

namespace {

std::vector<float> g_bins(CSpectrumWnd::kBins);
bool g_none = false;
float* GivenSpectrum() { return g_none ? nullptr : g_bins.data(); }

// A bottom-up 100 x 60 DIB like the view's own picture.
class Canvas {
 public:
  Canvas() {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = CSpectrumWnd::kWidth;
    info.bmiHeader.biHeight = CSpectrumWnd::kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC Dc() const { return dc_; }
  // (column, row from the bottom) as 0xRRGGBB.
  uint32_t At(int column, int row) const {
    GdiFlush();
    return bits_[row * CSpectrumWnd::kWidth + column] & 0xFFFFFF;
  }
  void Fill(uint32_t colour) {
    GdiFlush();
    for (int i = 0; i < CSpectrumWnd::kWidth * CSpectrumWnd::kHeight; ++i) bits_[i] = colour;
  }
  int BarHeight(int column) const {
    int rows = 0;
    while (rows < CSpectrumWnd::kHeight && (At(column, rows) & 0xFF) == 31) ++rows;
    return rows;
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
  uint32_t* bits_ = nullptr;
};

class SpectrumTest : public testing::Test {
 protected:
  void SetUp() override {
    g_none = false;
    std::fill(g_bins.begin(), g_bins.end(), 0.0f);
    view.SetSource(&GivenSpectrum);
  }
  CSpectrumWnd view;
  Canvas canvas;
};

TEST_F(SpectrumTest, BarHeightsFollowTheDecibelScale) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    float magnitude;
    int rows;
  } cases[] = {{1.0f, 59}, {0.001f, 36}, {0.0f, 0}, {2.0f, 59}, {1e-9f, 0}, {nan, 0}, {-0.5f, 0}, {inf, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.rows, CSpectrumWnd::BarHeight(c.magnitude, 1.0f, true)) << c.magnitude;
  }
  EXPECT_EQ(30, CSpectrumWnd::BarHeight(0.25f, 0.5f, false));
  EXPECT_EQ(59, CSpectrumWnd::BarHeight(0.5f, 0.5f, false));
}

TEST_F(SpectrumTest, BinsFillTheirColumnsFromTheBottomInGreenToRed) {
  g_bins[5] = 1.0f;                                       // column 0
  g_bins[6] = 0.001f;                                     // column 1
  g_bins[511] = 0.001f;                                   // column 99
  g_bins[300] = std::numeric_limits<float>::quiet_NaN();  // column 58: nothing
  g_bins[400] = -1.0f;                                    // column 78: nothing
  view.DrawSpectrum(canvas.Dc(), 0, 0, true);
  EXPECT_EQ(59, canvas.BarHeight(0));
  EXPECT_EQ(36, canvas.BarHeight(1));
  EXPECT_EQ(36, canvas.BarHeight(99));
  EXPECT_EQ(0, canvas.BarHeight(58));
  EXPECT_EQ(0, canvas.BarHeight(78));
  EXPECT_EQ(0x14EB1Fu, canvas.At(0, 0));   // red 20, green 235, blue 31
  EXPECT_EQ(0xFC031Fu, canvas.At(0, 58));  // red 252, green 3
  EXPECT_EQ(0x404040u, canvas.At(0, 59));  // above the bar: the grid column
  EXPECT_EQ(0x404040u, canvas.At(58, 2));  // grid row
  EXPECT_EQ(0x000000u, canvas.At(58, 1));
}

TEST_F(SpectrumTest, SilenceShowsTheGridAndNoSpectrumKeepsThePicture) {
  std::fill(g_bins.begin(), g_bins.end(), 0.0001f);
  view.DrawSpectrum(canvas.Dc(), 0, 0, true);
  for (int column = 0; column < CSpectrumWnd::kWidth; ++column) {
    for (int row = 0; row < CSpectrumWnd::kHeight; ++row) {
      bool grid = row % 2 == 0 || column % 25 == 0;
      ASSERT_EQ(grid ? 0x404040u : 0u, canvas.At(column, row)) << column << "," << row;
    }
  }
  canvas.Fill(0x123456);
  g_none = true;
  view.DrawSpectrum(canvas.Dc(), 0, 0, true);
  EXPECT_EQ(0x123456u, canvas.At(10, 11));
}

TEST_F(SpectrumTest, TheWindowRunsItsTimerAndDrawsOnATick) {
  HWND parent =
      CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 120, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, parent);
  ASSERT_EQ(0, view.Create(parent, 0, WS_CHILD));
  EXPECT_NE(0u, view.TimerId());
  view.StopTimer();
  EXPECT_EQ(0u, view.TimerId());
  view.StartTimer(10);
  EXPECT_NE(0u, view.TimerId());
  view.MoveWindow(20, 30, 100, 60);
  RECT rect;
  GetWindowRect(view.GetSafeHwnd(), &rect);
  EXPECT_EQ(100, rect.right - rect.left);
  g_bins[0] = 1.0f;
  EXPECT_EQ(0, SendMessageA(view.GetSafeHwnd(), WM_TIMER, 1, 0));
  view.SetDrawingMode(1);
  EXPECT_EQ(0, SendMessageA(view.GetSafeHwnd(), WM_TIMER, 1, 0));
  DestroyWindow(parent);
}

// A chord played through the audio library on its manual clock, drawn by a
// shown view and saved from the screen for a person to look at.
TEST(SpectrumScreen, ATonePlayedThroughTheAudioLibraryIsDrawn) {
  testsupport::TempDir dir;
  testsupport::WavSpec spec;
  std::vector<float> samples;
  for (int i = 0; i < 44100; ++i) {
    float t = i / 44100.0f;
    float value = 0.4f * std::sin(2 * 3.14159265f * 440 * t) + 0.2f * std::sin(2 * 3.14159265f * 3000 * t) +
                  0.1f * std::sin(2 * 3.14159265f * 9000 * t);
    samples.push_back(value);
    samples.push_back(value);
  }
  std::vector<uint8_t> wav = testsupport::WavFile(spec, testsupport::WavSamples(spec, samples));
  std::string path = dir.File("chord.wav");
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, file);
  std::fwrite(wav.data(), 1, wav.size(), file);
  std::fclose(file);

  MelFmod_SetManualClock(1);
  ASSERT_TRUE(FSOUND_Init(44100, 32, 0));
  FSOUND_STREAM* stream = FSOUND_Stream_Open(path.c_str(), FSOUND_NORMAL, 0, 0);
  ASSERT_NE(nullptr, stream);
  ASSERT_GE(FSOUND_Stream_Play(-1, stream), 0);
  FSOUND_DSP_SetActive(FSOUND_DSP_GetFFTUnit(), 1);
  MelFmod_MixBlocks(30);
  ASSERT_NE(nullptr, FSOUND_DSP_GetSpectrum());

  HWND parent = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, 140, 120, nullptr,
                                nullptr, nullptr, nullptr);
  CSpectrumWnd view;
  view.SetBackgroundBrush(static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ASSERT_EQ(0, view.Create(parent, 0, WS_CHILD));
  view.MoveWindow(20, 30, 100, 60);
  view.Show(true);
  UpdateWindow(parent);
  // Let the pending paints erase to the class background first: the view has
  // no WM_PAINT, so the timer's picture must come after them.
  view.StopTimer();
  testsupport::PumpFor(300);
  SendMessageA(view.GetSafeHwnd(), WM_TIMER, 1, 0);
  GdiFlush();
  // Wine hands a window's pixels to the X server once its thread is idle.
  testsupport::PumpFor(200);

  HDC dc = GetDC(view.GetSafeHwnd());
  COLORREF bottomOfColumn0 = GetPixel(dc, 2, 59);  // bins 0-5 hold the 440 Hz tone
  ReleaseDC(view.GetSafeHwnd(), dc);
  RECT area;
  GetWindowRect(parent, &area);
  EXPECT_TRUE(SaveScreenAreaPng(area, "spectrum_view.png"));
  int columnsWithBars = 0;
  dc = GetDC(view.GetSafeHwnd());
  for (int column = 0; column < 100; ++column) {
    if (GetRValue(GetPixel(dc, column, 59)) == 20 && GetGValue(GetPixel(dc, column, 59)) == 235)
      ++columnsWithBars;
  }
  ReleaseDC(view.GetSafeHwnd(), dc);
  EXPECT_EQ(RGB(20, 235, 31), bottomOfColumn0);
  EXPECT_GT(columnsWithBars, 3);
  DestroyWindow(parent);
  FSOUND_Stream_Close(stream);
  FSOUND_Close();
}

}  // namespace
