// The library's one factory; version 1 is the only one there is.
#include <windows.h>

#include "CSongEngine.h"
#include "base/Guarded.h"

extern "C" ISongEngine* CreateTunewellInstance(int version) {
  if (version != 1) return nullptr;
  // The engine's parts are allocated as it is built: running out anywhere is
  // a null engine, never an exception in the caller's code.
  return base::Guarded([] { return new CSongEngine; }, static_cast<ISongEngine*>(nullptr));
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
