#pragma once
// Shellmark.dll, Explorer's context-menu handler for the player's media files.
// It is a COM in-process server and exports only the four COM entry points
// (DllGetClassObject, DllCanUnloadNow, DllRegisterServer, DllUnregisterServer);
// this header names what a client and an installer need to find it.
#include <windows.h>

// {D57896F8-12A8-4C5B-91E6-3C077CDDBB66}
inline constexpr CLSID CLSID_Shellmark = {
    0xD57896F8, 0x12A8, 0x4C5B, {0x91, 0xE6, 0x3C, 0x07, 0x7C, 0xDD, 0xBB, 0x66}};

namespace shellmark {

// Registration, under HKEY_CLASSES_ROOT.
constexpr wchar_t kClassKey[] = L"CLSID\\{D57896F8-12A8-4C5B-91E6-3C077CDDBB66}";
constexpr wchar_t kClassIdText[] = L"{D57896F8-12A8-4C5B-91E6-3C077CDDBB66}";
// Every file: the handler filters the selection itself, and a selection that
// mixes media and other files must reach it.
constexpr wchar_t kHandlerKey[] = L"*\\shellex\\ContextMenuHandlers\\Shellmark";

// Where the player is, under HKEY_CURRENT_USER: the program folder and the
// program's file name.
constexpr wchar_t kPlayerKey[] = L"Software\\Melodara";
constexpr wchar_t kInstallPathValue[] = L"InstallPath";
constexpr wchar_t kAppNameValue[] = L"AppName";
constexpr wchar_t kDefaultAppName[] = L"Melodara.exe";

}  // namespace shellmark
