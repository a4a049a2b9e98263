// Times the karaoke view on a 300-line song (Latin words and double-byte
// syllables) in an 800 x 600 window: a full repaint, a wipe step (the timer
// tick and the paint of what it invalidated) and a line change (the mark of
// a line's first syllable, which starts the scroll, and its paint).
//
//   lyric_view_bench.exe [repeats]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "../tests/FakeLyricSource.h"
#include "lyrics/CLyricView.h"
#include "ui/GdiplusSession.h"

namespace {

CLyricView* g_view = nullptr;

LRESULT CALLBACK BenchWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    if (g_view) g_view->Draw(dc);
    ::EndPaint(hwnd, &ps);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

double Ms(const LARGE_INTEGER& a, const LARGE_INTEGER& b, const LARGE_INTEGER& freq, int n) {
  return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(freq.QuadPart) / n;
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  GdiplusSession gdiplus;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = BenchWndProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = "LyricViewBench";
  ::RegisterClassA(&wc);
  HWND hwnd = ::CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                                nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 1;

  // 300 lines of six syllables, every other line double-byte.
  FakeLyricSource source;
  const char* latin[] = {"Twin", "kle", "lit", "tle", "star", "how"};
  const char* cjk[] = {"\xC4\xE3", "\xBA\xC3", "\xCE\xD2", "\xB5\xC4", "\xD0\xC7", "\xD0\xC7"};
  int start = 0;
  for (int line = 0; line < 300; ++line) {
    for (int i = 0; i < 6; ++i, start += 400) source.Add(line % 2 ? cjk[i] : latin[i], start, 400);
    source.Add(",", start, 0);
  }
  CLyricView* view = static_cast<CLyricView*>(CreateLyricView());
  g_view = view;
  view->SetWindow(hwnd);
  RECT rect = {0, 0, 800, 600};
  view->SetRect(&rect);
  view->SetFont(::CreateFontA(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
  view->SetLyricSource(&source);
  view->LoadFromSong();
  ::UpdateWindow(hwnd);

  LARGE_INTEGER freq, t0, t1;
  ::QueryPerformanceFrequency(&freq);

  // Full repaint into the window's DC.
  HDC dc = ::GetDC(hwnd);
  view->Draw(dc);
  ::QueryPerformanceCounter(&t0);
  for (int i = 0; i < repeats; ++i) view->Draw(dc);
  ::GdiFlush();
  ::QueryPerformanceCounter(&t1);
  ::ReleaseDC(hwnd, dc);
  const double full = Ms(t0, t1, freq, repeats);

  // Wipe steps: only ticks that move the wipe are timed.
  view->MarkToken(2);
  ::UpdateWindow(hwnd);
  double wipeTotal = 0;
  int wipeSteps = 0;
  for (int i = 0; i < 3 * repeats && wipeSteps < repeats; ++i) {
    if (view->GetWipePos() >= view->GetWipeEnd()) {
      view->UnmarkToken(2);
      view->MarkToken(2);
      ::UpdateWindow(hwnd);
    }
    const int before = view->GetWipePos();
    ::QueryPerformanceCounter(&t0);
    view->OnWndMessage(WM_TIMER, CLyricView::kTimerId, 0);
    ::UpdateWindow(hwnd);
    ::GdiFlush();
    ::QueryPerformanceCounter(&t1);
    if (view->GetWipePos() != before) {
      wipeTotal += Ms(t0, t1, freq, 1);
      ++wipeSteps;
    }
  }
  const double wipe = wipeSteps ? wipeTotal / wipeSteps : 0;

  // Line changes: the first syllable of line L (7 tokens a line).
  double lineTotal = 0;
  const int changes = std::min(repeats, 290);
  for (int line = 1; line <= changes; ++line) {
    ::QueryPerformanceCounter(&t0);
    view->MarkToken(static_cast<unsigned>(line * 7));
    ::UpdateWindow(hwnd);
    ::GdiFlush();
    ::QueryPerformanceCounter(&t1);
    lineTotal += Ms(t0, t1, freq, 1);
    view->SeekToToken(line * 7);
  }
  const double lineChange = lineTotal / changes;

  // What the window system's paint cycle costs alone, for comparison: an
  // invalidated box of the same size painted by a window whose view has
  // nothing to draw there.
  double cycleTotal = 0;
  for (int i = 0; i < repeats; ++i) {
    RECT box = {0, 590, 60, 600};
    ::QueryPerformanceCounter(&t0);
    ::InvalidateRect(hwnd, &box, FALSE);
    ::UpdateWindow(hwnd);
    ::GdiFlush();
    ::QueryPerformanceCounter(&t1);
    cycleTotal += Ms(t0, t1, freq, 1);
  }
  const double cycle = cycleTotal / repeats;

  // The view's own share of a wipe step: its Draw clipped to one syllable.
  view->SeekToToken(0);
  ::UpdateWindow(hwnd);
  const LyricToken& t = view->GetToken(2);
  const LyricLine& l = view->GetLines()[0];
  dc = ::GetDC(hwnd);
  const int left = l.x + t.x - view->GetScrollX(), top = t.y - view->GetScrollY();
  ::IntersectClipRect(dc, left, top, left + t.width, top + t.height);
  ::QueryPerformanceCounter(&t0);
  for (int i = 0; i < repeats; ++i) view->Draw(dc);
  ::GdiFlush();
  ::QueryPerformanceCounter(&t1);
  ::ReleaseDC(hwnd, dc);
  const double syllableDraw = Ms(t0, t1, freq, repeats);

  std::printf("lyric_view_bench: 300 lines, 800 x 600\n");
  std::printf("  full repaint     %.3f ms (target < 5 ms)\n", full);
  std::printf("  wipe step        %.3f ms (target < 0.5 ms)\n", wipe);
  std::printf("  line change      %.3f ms\n", lineChange);
  std::printf("  syllable draw    %.3f ms (the view's Draw clipped to one syllable)\n", syllableDraw);
  std::printf("  paint cycle      %.3f ms (invalidate and paint of a small box, for comparison)\n", cycle);
  g_view = nullptr;
  view->Release();
  ::DestroyWindow(hwnd);
  return full < 5.0 && wipe < 0.5 ? 0 : 2;
}
