// Repaints a fully skinned frame (corners, stretched borders, title, caption
// buttons, icon) on the default scheme as many times as a process has GDI
// handles, and reports the time per paint. A paint that leaked even one
// handle would exhaust the process long before the end; the wrappers' live
// count must come back to where it started.
//
//   skin_paint_bench.exe [paints]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/CProfileHelper.h"
#include "ui/CSkinManager.h"
#include "ui/CSkinWnd.h"
#include "base/GdiHandles.h"
#include "ui/GdiplusSession.h"

int main(int argc, char** argv) {
  const int paints = argc > 1 ? std::atoi(argv[1]) : 70000;
  GdiplusSession gdiplus;
  char folder[MAX_PATH];
  GetAppFolder(folder, sizeof(folder));
  CSkinManager* skins = GetSkinManager();
  skins->SetSchemeFolder(std::string(folder) + "\\Skins\\Default");
  if (skins->LoadSkinScheme() != 0) {
    std::printf("skin_paint_bench: no default skin beside the program\n");
    return 1;
  }
  auto img = [skins](unsigned short id) { return skins->GetSkinImage(id); };
  int failures = 0;
  {
    CSkinWnd wnd;
    CSkinFrameImages* f = wnd.GetFrameImages();
    f->SetTitle(img(kSkinScoreTitleActive));
    f->SetTitleInactive(img(kSkinScoreTitleInActive));
    f->SetLeftBorder(img(kSkinScoreLeftBorder));
    f->SetRightBorder(img(kSkinScoreRightBorder));
    f->SetTopBorder(img(kSkinScoreTopBorder));
    f->SetBottomBorder(img(kSkinScoreBottomBorder));
    f->SetTopLeft(img(kSkinScoreTopLeft));
    f->SetTopRight(img(kSkinScoreTopRight));
    f->SetBottomLeft(img(kSkinScoreBottomLeft));
    f->SetBottomRight(img(kSkinScoreBottomRight));
    wnd.SetCaptionStyle(kCaptionCloseMinMax);
    wnd.SetCaptionButton(img(kSkinScoreCloseBtn), kCaptionBtnClose, true, "Close", nullptr);
    wnd.SetCaptionButton(img(kSkinScoreMaxBtn), kCaptionBtnMax, true, "Maximize", "Restore Down");
    wnd.SetCaptionButton(img(kSkinScoreMinBtn), kCaptionBtnMin, true, "Minimize", nullptr);
    wnd.SetIconImage(img(kSkinScoreIcon));
    wnd.SetBkColor(RGB(0xFB, 0xF8, 0xF1));
    CSkinFrameLayout* l = wnd.GetLayout();
    l->SetPos(10, 10);
    l->SetWidth(420);
    l->SetHeight(250);
    l->SetCaptionHeight(wnd.GetCaptionHeight());
    if (wnd.Create(nullptr, WS_EX_TOOLWINDOW, WS_POPUP | WS_VISIBLE, CS_DBLCLKS, nullptr) != 0) return 1;
    ::RedrawWindow(wnd.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const long before = base::GdiLiveHandleCount();
    LARGE_INTEGER freq, t0, t1;
    ::QueryPerformanceFrequency(&freq);
    ::QueryPerformanceCounter(&t0);
    for (int i = 0; i < paints; ++i)
      ::RedrawWindow(wnd.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ::QueryPerformanceCounter(&t1);
    const double ms =
        1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
    const long after = base::GdiLiveHandleCount();
    HDC probe = ::CreateCompatibleDC(nullptr);
    std::printf("skin_paint_bench: %d paints of a 420x250 skinned frame: %.3f ms per paint\n", paints,
                ms / paints);
    std::printf("skin_paint_bench: wrapper handles live before %ld, after %ld; a new DC %s\n", before, after,
                probe ? "can still be made" : "can NOT be made");
    if (after != before || !probe) ++failures;
    if (probe) ::DeleteDC(probe);
  }
  ReleaseSkinManager();
  return failures;
}
