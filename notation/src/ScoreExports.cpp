// The library's factories; version 2 is the only one there is.
#include <windows.h>

#include <new>

#include "ScoreBuffer.h"
#include "score/IScoreView.h"

// The staff view's factory, in the view library.
IScoreView* NewStaffView(HWND window);

// The numbered view's factory, when its library is linked in.
#if __has_include("JianPuView.h")
#define SCORE_HAS_JIANPU 1
IScoreView* NewJianPuView(HWND window);
#endif

extern "C" {

__declspec(dllexport) IScoreView* CreateStaffInstance(HWND window, int version) {
  if (version != 2) return nullptr;
  return NewStaffView(window);
}
__declspec(dllexport) IScoreView* CreateJianPuInstance(HWND window, int version) {
  if (version != 2) return nullptr;
#ifdef SCORE_HAS_JIANPU
  return NewJianPuView(window);
#else
  return nullptr;
#endif
}

__declspec(dllexport) IScoreBuffer* CreateScoreBufferInstance(int version) {
  if (version != 2) return nullptr;
  return new (std::nothrow) CScoreBuffer();
}
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
