// The library's factories; version 1 is the only one there is.
#include <windows.h>

#include "scrivel/Scrivel.h"

extern "C" {
ISmfParser* CreateScrivel(int version) { return nullptr; }
ISmfParser2* CreateScrivel2(int version) { return nullptr; }
ISmfParserHandler* CreateScrivelHandler(int version) { return nullptr; }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
