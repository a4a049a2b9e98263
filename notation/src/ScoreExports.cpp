// The library's factories; version 2 is the only one there is.
#include <windows.h>

#include <new>

#include "ScoreBuffer.h"

extern "C" {

// The views are provided by the view library.
__declspec(dllexport) void* CreateStaffInstance(HWND window, int version) { return nullptr; }
__declspec(dllexport) void* CreateJianPuInstance(HWND window, int version) { return nullptr; }

__declspec(dllexport) IScoreBuffer* CreateScoreBufferInstance(int version) {
  if (version != 2) return nullptr;
  return new (std::nothrow) CScoreBuffer();
}

}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
