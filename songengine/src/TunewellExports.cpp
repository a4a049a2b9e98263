// The library's one factory; version 1 is the only one there is.
#include <windows.h>

#include <new>

#include "CSongEngine.h"

extern "C" ISongEngine* CreateTunewellInstance(int version) {
  if (version != 1) return nullptr;
  return new (std::nothrow) CSongEngine;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
