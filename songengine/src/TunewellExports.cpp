// The library's one factory; version 1 is the only one there is.
#include <windows.h>

#include "CSongEngine.h"
#include "NoThrow.h"

extern "C" ISongEngine* CreateTunewellInstance(int version) {
  if (version != 1) return nullptr;
  // The engine's parts are allocated as it is built: running out anywhere is
  // a null engine, never an exception in the caller's code.
  return NoThrow<ISongEngine*>(nullptr, [] { return new CSongEngine; });
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
