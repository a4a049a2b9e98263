#include "playback/CPlayTimeWnd.h"

#include <algorithm>
#include <cstdio>

#include "playback/IMediaPlayer.h"

CPlayTimeWnd::CPlayTimeWnd(void* owner, PlayerSource source) : m_owner(owner), m_source(source) {
  m_font.Attach(CreateFontA(kFontHeight, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0,
                            FF_SWISS, "Arial"));
  m_brush.Attach(CreateSolidBrush(RGB(0, 0, 0)));
}

CPlayTimeWnd::~CPlayTimeWnd() { DestroyOwnWindow(); }

int CPlayTimeWnd::Create(HWND parent, DWORD exStyle, DWORD style, HICON icon) {
  const int result = CBmpWnd::Create(GetModuleHandleA(nullptr), parent, exStyle, style, m_brush.Get(),
                                     CS_VREDRAW | CS_HREDRAW, icon);
  if (m_hWnd) SetWindowTextA(m_hWnd, Text().c_str());
  return result;
}

void CPlayTimeWnd::OnTimeChanged(int hours, int minutes, int seconds) {
  if (hours == m_hours && minutes == m_minutes && seconds == m_seconds) return;
  m_hours = hours, m_minutes = minutes, m_seconds = seconds;
  Refresh();
}

void CPlayTimeWnd::Refresh() {
  if (!m_hWnd) return;
  // The window text carries what is drawn, so another program (a test
  // driving the whole player) reads the time without reading pixels.
  SetWindowTextA(m_hWnd, Text().c_str());
  InvalidateRect(m_hWnd, nullptr, TRUE);
}

std::string CPlayTimeWnd::FormatField(int value) {
  char text[16];
  std::snprintf(text, sizeof text, value < 10 ? "0%d" : "%d", value);
  return text;
}

std::string CPlayTimeWnd::Text() const { return FormatField(m_minutes) + ":" + FormatField(m_seconds); }

void CPlayTimeWnd::Draw(HDC dc) {
  std::string text = Text();
  base::ScopedSelect font(dc, m_font.Get());
  // The panel leaves the time a narrow box, and where the face is wider than
  // the one it was laid out for (a Chinese system maps "Arial" to another
  // face, whose digits ignore the average width asked for), the last digit
  // would be cut off. Narrower, then shorter versions of the face are tried,
  // each measured as drawn, until one fits. The choice is kept while the box
  // and the text's length stay.
  RECT client = {};
  SIZE size = {};
  const bool sized = m_hWnd && GetClientRect(m_hWnd, &client) && client.right > 0;
  if (!sized || client.right != m_fittedWidth || int(text.size()) != m_fittedLength) {
    m_fitted.Reset();
    m_fittedWidth = sized ? client.right : -1;
    m_fittedLength = int(text.size());
  }
  base::GdiFont& fitted = m_fitted;
  if (sized && !fitted.Get() && GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size) &&
      size.cx > client.right) {
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc, &metrics);
    const int firstWidth = std::max(1, int(metrics.tmAveCharWidth * client.right / size.cx));
    for (int height = kFontHeight; height >= kFontHeight / 2; --height) {
      for (int width = std::min(firstWidth, height); width >= 1; --width) {
        fitted.Attach(CreateFontA(height, width, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0,
                                  FF_SWISS, "Arial"));
        base::ScopedSelect trial(dc, fitted.Get());
        if (!GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size) || size.cx <= client.right)
          break;
      }
      if (size.cx <= client.right) break;
    }
  }
  base::ScopedSelect narrowed(dc, fitted.Get() ? fitted.Get() : m_font.Get());
  base::ScopedTextStyle style(dc, RGB(0, 200, 0));
  TextOutA(dc, 0, 0, text.c_str(), int(text.size()));
}

void CPlayTimeWnd::OnPaint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(m_hWnd, &paint);
  if (dc) Draw(dc);
  EndPaint(m_hWnd, &paint);
}

void CPlayTimeWnd::OnTimer() {
  IMediaPlayer* player = m_source ? m_source(m_owner) : nullptr;
  unsigned ms = player ? unsigned(player->GetPosition()) : 0;
  int hours, minutes, seconds;
  CPlayTime::Split(ms / 1000, &hours, &minutes, &seconds);
  OnTimeChanged(hours, minutes, seconds);
}

LRESULT CPlayTimeWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    OnPaint();
    return 0;
  }
  if (message == WM_TIMER) {
    OnTimer();
    return 0;
  }
  return CBmpWnd::WindowProc(message, wParam, lParam);
}

void CPlayTimeWnd::StartTimer(UINT ms) {
  if (m_timerRunning || !m_hWnd) return;
  m_timerRunning = true;
  SetTimer(m_hWnd, 1, ms, nullptr);
}

void CPlayTimeWnd::StopTimer(bool reset) {
  if (m_timerRunning) {
    m_timerRunning = false;
    KillTimer(m_hWnd, 1);
  }
  if (reset) {
    m_hours = m_minutes = m_seconds = 0;
    Refresh();
  }
}
