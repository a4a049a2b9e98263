#pragma once
// The spectrum picture beside the play time: 100 columns of green-to-red bars
// over a grey grid, drawn from the audio library's FFT on every timer tick.
// There is no WM_PAINT handling: between ticks the window shows its class
// background where it was invalidated, and the timer redraws it 10 ms later.
#include <windows.h>

#include <cstdint>

#include "ui/CBmpWnd.h"

class CSpectrumWnd : public CBmpWnd {
 public:
  static constexpr int kWidth = 100;
  static constexpr int kHeight = 60;
  static constexpr int kBins = 512;
  // 512 magnitudes 0..1, or null when none are available.
  using SpectrumSource = float* (*)();

  CSpectrumWnd();
  ~CSpectrumWnd() override;

  // The brush of the window class; not owned. Set before Create.
  void SetBackgroundBrush(HBRUSH brush) { m_background = brush; }
  // Creates the window and starts its 10 ms timer. 0 on success, 1 on failure.
  int Create(HWND parent, DWORD exStyle, DWORD style);
  void MoveWindow(int x, int y, int width, int height);
  void StartTimer(UINT ms);
  void StopTimer();
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Builds the picture and copies it to dc at (x, y). With no spectrum at all
  // nothing is drawn, so dc keeps its previous picture.
  void DrawSpectrum(HDC dc, int x, int y, bool logarithmic);
  void DrawNothing() {}

  // The FFT to read (default: the audio library's FSOUND_DSP_GetSpectrum).
  void SetSource(SpectrumSource source) { m_source = source; }
  void SetDrawingMode(int mode) { m_mode = mode; }
  UINT_PTR TimerId() const { return m_timer; }
  // The height in rows a bin of this magnitude draws.
  static int BarHeight(float magnitude, float largest, bool logarithmic);

 private:
  HBRUSH m_background = nullptr;
  UINT_PTR m_timer = 0;
  int m_mode = 0;
  SpectrumSource m_source;
  BITMAPINFOHEADER m_header;
  uint32_t m_pixels[kWidth * kHeight];
};
