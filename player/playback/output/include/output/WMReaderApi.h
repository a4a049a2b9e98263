#pragma once
// The Windows Media entry points the audio player uses, replaceable so tests
// can hand it a scripted reader and pretend to run on Windows XP.
#include <windows.h>
#include <wmsdkidl.h>

using WMCreateReaderFn = HRESULT(WINAPI*)(IUnknown* reserved, DWORD rights, IWMReader** reader);

// The function in use: WMCreateReader of "wmvcore.dll", loaded by name (the
// toolchain has no import library for it). Where the library or the function
// is missing it fails with HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND).
WMCreateReaderFn& WMCreateReaderHook();

using WindowsXPFn = bool (*)();

// Whether the system is Windows XP (NT 5.1), asked once per player at
// construction. Default: GetVersionEx.
WindowsXPFn& WindowsXPHook();
