// The library's factories; version 1 is the only one there is.
#include <windows.h>

#include "BrevantPlayer.h"
#include "SongBuffer.h"
#include "base/Guarded.h"

extern "C" {

__declspec(dllexport) IBrevantPlayer* CreateBrevant(int version) {
  if (version != 1) return nullptr;
  return base::Guarded([] { return static_cast<IBrevantPlayer*>(new CBrevantPlayer()); },
                       static_cast<IBrevantPlayer*>(nullptr));
}

__declspec(dllexport) IBrevantSongBuffer* CreateSongBuffer(int version) {
  if (version != 1) return nullptr;
  return base::Guarded([] { return static_cast<IBrevantSongBuffer*>(new CSongBuffer()); },
                       static_cast<IBrevantSongBuffer*>(nullptr));
}
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
