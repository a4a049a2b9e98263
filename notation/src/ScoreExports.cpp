// The library's factories; version 2 is the only one there is.
#include <windows.h>

#include "ScoreBuffer.h"
#include "base/Guarded.h"
#include "score/IScoreView.h"

// The views' factories, in the staff and numbered view libraries.
IScoreView* NewStaffView(HWND window);
IScoreView* NewJianPuView(HWND window);

extern "C" {

__declspec(dllexport) IScoreView* CreateStaffInstance(HWND window, int version) {
  if (version != 2) return nullptr;
  return base::Guarded([&] { return NewStaffView(window); }, static_cast<IScoreView*>(nullptr));
}
__declspec(dllexport) IScoreView* CreateJianPuInstance(HWND window, int version) {
  if (version != 2) return nullptr;
  return base::Guarded([&] { return NewJianPuView(window); }, static_cast<IScoreView*>(nullptr));
}

__declspec(dllexport) IScoreBuffer* CreateScoreBufferInstance(int version) {
  if (version != 2) return nullptr;
  return base::Guarded([] { return static_cast<IScoreBuffer*>(new CScoreBuffer()); },
                       static_cast<IScoreBuffer*>(nullptr));
}
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
