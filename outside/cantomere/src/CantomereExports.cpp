// The library's factories; version 1 is the only one there is.
#include <windows.h>

#include "LyricBuffer.h"
#include "LyricController.h"
#include "base/Guarded.h"

extern "C" {

__declspec(dllexport) ICantomereLyrics* CreateCantomereInstance(int version) {
  if (version != 1) return nullptr;
  return base::Guarded([] { return static_cast<ICantomereLyrics*>(new CLyricController()); },
                       static_cast<ICantomereLyrics*>(nullptr));
}

__declspec(dllexport) ICantomereLyricBuffer* CreateLyricBufferInstance(int version) {
  if (version != 1) return nullptr;
  return base::Guarded([] { return static_cast<ICantomereLyricBuffer*>(new CLyricBuffer()); },
                       static_cast<ICantomereLyricBuffer*>(nullptr));
}
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
