// The library's factories; version 1 is the only one there is.
#include <windows.h>

#include <new>

#include "BrevantPlayer.h"
#include "SongBuffer.h"

extern "C" {

__declspec(dllexport) IBrevantPlayer* CreateBrevant(int version) {
  return version == 1 ? new (std::nothrow) CBrevantPlayer() : nullptr;
}

__declspec(dllexport) IBrevantSongBuffer* CreateSongBuffer(int version) {
  return version == 1 ? new (std::nothrow) CSongBuffer() : nullptr;
}
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
