// The library's one factory; version 1 is the only one there is.
#include <windows.h>

#include <new>

#include "CSongEngine.h"

extern "C" ISongEngine* CreateTunewellInstance(int version) {
  if (version != 1) return nullptr;
  // The engine's parts are allocated as it is built: running out anywhere is
  // a null engine, never an exception in the caller's code.
  try {
    return new CSongEngine;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
