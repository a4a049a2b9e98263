// The library's factories; version 1 is the only one there is.
#include <windows.h>

extern "C" {
__declspec(dllexport) void* CreateScrivel(int version) { return nullptr; }
__declspec(dllexport) void* CreateScrivel2(int version) { return nullptr; }
__declspec(dllexport) void* CreateScrivelHandler(int version) { return nullptr; }
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
