// The library's factories; version 1 is the only one there is.
#include <windows.h>

#include <new>

#include "LyricBuffer.h"
#include "LyricController.h"

extern "C" {

__declspec(dllexport) ICantomereLyrics* CreateCantomereInstance(int version) {
  return version == 1 ? new (std::nothrow) CLyricController() : nullptr;
}

__declspec(dllexport) ICantomereLyricBuffer* CreateLyricBufferInstance(int version) {
  return version == 1 ? new (std::nothrow) CLyricBuffer() : nullptr;
}
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
