#pragma once
// The DirectSound entry point the output thread calls, replaceable so tests can
// hand it a scripted device.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

using DirectSoundCreateFn = HRESULT(WINAPI*)(LPCGUID device, LPDIRECTSOUND* sound, LPUNKNOWN outer);

// The function in use (DirectSoundCreate unless replaced). Replace it only
// while no output thread runs.
DirectSoundCreateFn& DirectSoundCreateHook();
