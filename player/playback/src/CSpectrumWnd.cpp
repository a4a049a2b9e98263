#include "playback/CSpectrumWnd.h"

#include <cmath>
#include <cstring>

#include "base/Guarded.h"
#include "fmod.h"

namespace {

constexpr uint32_t kGridColour = 0x404040;  // blue, green, red 64

// Magnitudes come from another library: anything that is not a finite
// non-negative number counts as silence instead of reaching an int conversion.
float Clean(float value) { return std::isfinite(value) && value > 0.0f ? value : 0.0f; }

}  // namespace

CSpectrumWnd::CSpectrumWnd() : m_source(&FSOUND_DSP_GetSpectrum), m_header{}, m_pixels{} {
  m_header.biSize = sizeof(BITMAPINFOHEADER);
  m_header.biWidth = kWidth;
  m_header.biHeight = kHeight;  // positive: row 0 is the bottom
  m_header.biPlanes = 1;
  m_header.biBitCount = 32;
  m_header.biCompression = BI_RGB;
}

CSpectrumWnd::~CSpectrumWnd() { StopTimer(); }

int CSpectrumWnd::Create(HWND parent, DWORD exStyle, DWORD style) {
  int result = CBmpWnd::Create(GetModuleHandleA(nullptr), parent, exStyle, style, m_background,
                               CS_VREDRAW | CS_HREDRAW, nullptr);
  if (result == 0) StartTimer(10);
  return result;
}

void CSpectrumWnd::MoveWindow(int x, int y, int width, int height) {
  ::MoveWindow(m_hWnd, x, y, width, height, TRUE);
}

void CSpectrumWnd::StartTimer(UINT ms) {
  if (m_timer == 0 && m_hWnd != nullptr) m_timer = SetTimer(m_hWnd, 1, ms, nullptr);
}

void CSpectrumWnd::StopTimer() {
  if (m_timer == 0) return;
  if (m_hWnd != nullptr && IsWindow(m_hWnd)) KillTimer(m_hWnd, m_timer);
  m_timer = 0;
}

LRESULT CSpectrumWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_TIMER) return CBmpWnd::WindowProc(message, wParam, lParam);
  HDC dc = GetDC(m_hWnd);
  if (dc != nullptr) {
    if (m_mode == 0) {
      DrawSpectrum(dc, 0, 0, true);
    } else {
      DrawNothing();
    }
    ReleaseDC(m_hWnd, dc);
  }
  return 0;
}

int CSpectrumWnd::BarHeight(float magnitude, float largest, bool logarithmic) {
  magnitude = Clean(magnitude);
  float height;
  if (logarithmic) {
    // log10(0) is -infinity, which the floor turns into -150 dB: no bar.
    float db = std::log10(magnitude) * 10.0f * 2.0f;
    if (!(db >= -150.0f)) db = -150.0f;
    height = (1.0f - db / -150.0f) * kHeight;
  } else {
    height = largest > 0.0f ? magnitude / largest * kHeight : 0.0f;
  }
  int rows = static_cast<int>(height);
  return rows >= kHeight ? kHeight - 1 : rows;
}

void CSpectrumWnd::DrawSpectrum(HDC dc, int x, int y, bool logarithmic) {
  std::memset(m_pixels, 0, sizeof m_pixels);
  for (int j = 0; j < 30; ++j) {
    uint32_t* row = m_pixels + (j * kHeight / 30) * kWidth;
    for (int c = 0; c < kWidth; ++c) row[c] = kGridColour;
  }
  for (int r = 0; r < kHeight; ++r) {
    for (int c = 0; c < kWidth; c += 25) m_pixels[r * kWidth + c] = kGridColour;
  }
  const float* spectrum = m_source != nullptr ? m_source() : nullptr;
  if (spectrum == nullptr) return;
  float largest = 0.0f;
  for (int i = 0; i < kBins; ++i) {
    float value = Clean(spectrum[i]);
    if (value > largest) largest = value;
  }
  if (largest > 0.0001f) {
    for (int i = 0; i < kBins; ++i) {
      int height = BarHeight(spectrum[i], largest, logarithmic);
      int column = i * kWidth / kBins;
      for (int row = 0; row < height; ++row) {
        uint32_t green = static_cast<uint32_t>(235 - 4 * row);
        uint32_t red = static_cast<uint32_t>(20 + 4 * row);
        if (red > 255) red = 255;
        m_pixels[row * kWidth + column] = red << 16 | green << 8 | 31;
      }
    }
  }
  SetDIBitsToDevice(dc, x, y, kWidth, kHeight, 0, 0, 0, kHeight, m_pixels,
                    reinterpret_cast<const BITMAPINFO*>(&m_header), DIB_RGB_COLORS);
}
