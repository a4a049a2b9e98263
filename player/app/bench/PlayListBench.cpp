// Times the play list with 10,000 entries: loading a generated list file
// (relative paths with stored lengths, so neither existence checks nor
// measuring count) from LoadM3U to the last row in the play-list window, and
// a full repaint of the shown window scrolled to the middle.
//
//   playlist_bench.exe [repeats]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/CM3UPlayList.h"
#include "app/CPlayListWnd.h"
#include "testsupport/TempDir.h"
#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"
#include "ui/GdiplusSession.h"

namespace {

const int kEntries = 10000;

double Ms(const LARGE_INTEGER& a, const LARGE_INTEGER& b, const LARGE_INTEGER& freq, int n) {
  return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(freq.QuadPart) / n;
}

void Pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
  GdiplusSession gdiplus;
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  GetSkinManager()->SetSchemeFolder(std::string(folder) + "\\Skins\\Default");
  GetSkinManager()->LoadSkinScheme();

  testsupport::TempDir dir;
  const std::string listPath = dir.File("big.mpl");
  {
    std::ofstream out(listPath, std::ios::binary);
    out << "#EXTM3U\r\n";
    for (int i = 0; i < kEntries; ++i) {
      out << "#EXTINF:" << (60 + i % 600) << ",Artist " << i % 97 << " - Song " << i << "\r\n";
      out << "Music\\Album " << i / 12 << "\\Artist " << i % 97 << " - Song " << i << ".mid\r\n";
    }
  }

  LARGE_INTEGER freq, a, b;
  ::QueryPerformanceFrequency(&freq);
  double loadMs = 0;
  double readMs = 0;
  const int loads = 3;
  CPlayListWnd* frame = nullptr;
  for (int round = 0; round < loads; ++round) {
    delete frame;
    frame = new CPlayListWnd(nullptr, nullptr);
    Pump();
    ::QueryPerformanceCounter(&a);
    CM3UPlayList list;
    if (!list.LoadM3U(listPath.c_str())) return 1;
    LARGE_INTEGER read;
    ::QueryPerformanceCounter(&read);
    frame->AddSongs(list.GetEntries());
    ::QueryPerformanceCounter(&b);
    loadMs += Ms(a, b, freq, 1);
    readMs += Ms(a, read, freq, 1);
    if (frame->GetPlayList()->GetCount() != kEntries) return 2;
  }
  std::printf(
      "load %d entries, LoadM3U to the last row: %.1f ms (target 100), of which reading the file %.1f ms\n",
      kEntries, loadMs / loads, readMs / loads);

  frame->ShowWindow(true);
  Pump();
  CPlayListCtrl& ctrl = frame->GetView()->GetListCtrl();
  ctrl.EnsureVisible(kEntries / 2, FALSE);
  Pump();
  ::QueryPerformanceCounter(&a);
  for (int i = 0; i < repeats; ++i) {
    ::RedrawWindow(frame->m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  ::QueryPerformanceCounter(&b);
  std::printf("full repaint of the window scrolled to row %d: %.2f ms (target 16)\n", ctrl.GetTopIndex(),
              Ms(a, b, freq, repeats));
  frame->ShowWindow(false);
  delete frame;
  return 0;
}
