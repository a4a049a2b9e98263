// The library's factories; version 1 is the only one there is.
#include <windows.h>

#include <brevant/Brevant.h>

extern "C" {

__declspec(dllexport) IBrevantPlayer* CreateBrevant(int version) {
  (void)version;
  return nullptr;  // the player joins in the next step
}

__declspec(dllexport) IBrevantSongBuffer* CreateSongBuffer(int version) {
  (void)version;
  return nullptr;
}

}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
