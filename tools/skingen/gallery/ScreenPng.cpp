// Saves the screen (or the area x y w h) as PNG, for looking at a running
// program's windows under Xvfb:  screen_png.exe FILE.png [x y w h]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "ui/GdiplusSession.h"
#include "ui/PngSnapshot.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 6) {
    fprintf(stderr, "usage: screen_png FILE.png [x y w h]\n");
    return 2;
  }
  RECT area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (argc == 6) {
    area.left = atoi(argv[2]);
    area.top = atoi(argv[3]);
    area.right = area.left + atoi(argv[4]);
    area.bottom = area.top + atoi(argv[5]);
  }
  GdiplusSession gdiplus;
  return SaveScreenAreaPng(area, argv[1]) ? 0 : 1;
}
